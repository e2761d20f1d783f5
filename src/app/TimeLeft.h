#pragma once

#include "core/CDateTimeSpan.h"

#include <string>

namespace dv {

/// The time-left form of the reminder window: the first non-zero of weeks, days, hours and
/// minutes and the unit after it, e.g. "1 Hours, 30 Minutes", "2 Weeks, 0 Days"; the first
/// number carries the sign ("-1 Days, 3 Hours" for an occurrence in the past); "0 Minutes" when
/// less than a minute is left. Seconds are dropped. Unit names come from the string table.
std::string FormatTimeLeft(const CDateTimeSpan& span);

} // namespace dv
