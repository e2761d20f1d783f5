#pragma once

// Shared set-up of the expander tests: short, unambiguous date formats and recognisable format
// sets.

#include "format/FormatSettings.h"

#include <string>

namespace dv::test {

/// ISO-like formats that show exactly what a placeholder picked, and format sets whose strings
/// name their set and variant ("2N", "2S", "2F", "2M", "2L" for the calendar set...).
inline const FormatSettings& TestSettings() {
    static const FormatSettings settings = [] {
        FormatSettings s;
        s.DateFormat = "%Y-%m-%d";
        s.TimeFormat = "%H:%M";
        s.DateTimeFormat = "%Y-%m-%d %H:%M";
        for (int set = 0; set < kFormatSetCount; ++set) {
            const std::string number = std::to_string(set);
            s.EventSets[static_cast<std::size_t>(set)] = {number + "N", number + "S", number + "F",
                                                          number + "M", number + "L"};
        }
        s.StateValueDone = "done";
        s.StateValueOverdue = "overdue";
        s.StateValueUndone = "undone";
        s.StateValueUrgent = "urgent";
        return s;
    }();
    return settings;
}

} // namespace dv::test
