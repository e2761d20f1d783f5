// Helpers shared by the reminder tests: times in one fixed week, readable lists and events made
// the way the program makes them.

#pragma once

#include "core/CDateEntry.h"
#include "core/TimeUnits.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dv::reminder_test {

using Dates = std::vector<CDateTime>;
using Edit = std::function<void(DateData&)>;

/// A time in the week of Monday 5 March 2007 (Sunday is the 4th, Tuesday the 6th ...).
inline CDateTime At(int day, int hour, int minute, int second = 0) {
    return CDateTime(2007, 3, day, hour, minute, second);
}

inline std::string Text(const CDateTime& t) {
    return t.Format("%Y-%m-%d %H:%M:%S");
}

inline std::vector<std::string> Texts(const Dates& dates) {
    std::vector<std::string> out;
    for (const CDateTime& d : dates) {
        out.push_back(Text(d));
    }
    return out;
}

// ---- events -------------------------------------------------------------------------------------

/// Monday 10:00 to 11:00, no repetition.
inline void Meeting(DateData& d) {
    d.StartDate = At(5, 10, 0);
    d.EndDate = At(5, 11, 0);
    d.ShowStartTime = 1;
    d.ShowEnd = 1;
}

/// Every day from Monday, 10:00 to 11:00.
inline void Daily(DateData& d) {
    Meeting(d);
    d.Repeat = 1;
    d.RepeatRate = 1;
    d.RepeatUnit = 2;
}

inline void Forewarn(DateData& d, int32_t span, int32_t unit) {
    d.Forewarn = 1;
    d.ForewarnSpan = span;
    d.ForewarnUnit = unit;
}

/// Creates an event the way the program does: default data, one evaluation at the creation time
/// (which sets the watermark), then the real data.
inline CDateEntry Create(const CDateTime& created, const Edit& edit) {
    CDateEntry entry(created);
    entry.UpdateReminders(created);
    DateData data = entry.GetData();
    edit(data);
    entry.SetData(data, created);
    return entry;
}

} // namespace dv::reminder_test
