#pragma once

#include "core/CDateTimeSpan.h"

#include <string>

namespace dv {

/// The time-left form of the reminder window: the first non-zero of weeks, days, hours and
/// minutes and the unit after it, e.g. "1 Hour, 30 Minutes", "2 Weeks, 0 Days", with a started
/// minute counted as one ahead; "1 Day, 3 Hours ago" for an occurrence in the past, in whole
/// minutes; "Now" within the minute after the time. Unit names come from the string table.
std::string FormatTimeLeft(const CDateTimeSpan& span);

} // namespace dv
