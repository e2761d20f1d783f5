#pragma once

// Shared set-up of the expander tests: short, unambiguous date formats and recognisable format
// sets, and a clock fixed for the length of one test.

#include "core/CDateTime.h"
#include "core/Clock.h"
#include "format/FormatSettings.h"

#include <memory>
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

/// Fixes CDateTime::Now() at `now` while the object lives.
class FixedNow {
public:
    explicit FixedNow(const CDateTime& now)
        : m_clock(std::make_shared<CFixedClock>(now)), m_scope(m_clock) {}

private:
    std::shared_ptr<CFixedClock> m_clock;
    CScopedClock m_scope;
};

} // namespace dv::test
