#pragma once

#include "core/CDateTimeSpan.h"

#include <cstdint>

namespace dv {

/// Units of (count, unit) spans: forewarning, snoozing, overdue execution, to-do forewarning.
enum TimeUnit : int32_t {
    kUnitMinutes = 0,
    kUnitHours = 1,
    kUnitDays = 2,
    kUnitWeeks = 3,
};

/// The span of `count` units (0 minutes, 1 hours, 2 days, 3 weeks of seven days). Any other unit
/// gives a zero span, as stored records may hold anything. Computed in 64 bits: no overflow for
/// any int32 count.
inline CDateTimeSpan MakeSpan(int32_t count, int32_t unit) {
    int64_t seconds = 0;
    switch (unit) {
    case kUnitMinutes:
        seconds = 60;
        break;
    case kUnitHours:
        seconds = 3600;
        break;
    case kUnitDays:
        seconds = 86400;
        break;
    case kUnitWeeks:
        seconds = 7 * 86400;
        break;
    default:
        return CDateTimeSpan();
    }
    return CDateTimeSpan(static_cast<int64_t>(count) * seconds);
}

} // namespace dv
