#include "core/EntryChecks.h"

#include "core/CDateEntry.h"
#include "core/RepetitionRule.h"

#include <array>
#include <cstdint>

namespace dv {

namespace {

constexpr int32_t kWeekdayBits = 0x7F;
constexpr int32_t kMonthBits = 0xFFF;

// Whether `weekday` (0 Monday .. 6 Sunday) is allowed; a code outside that range never is.
bool WeekdayAllowed(int32_t condWeekdays, int32_t weekday) {
    return weekday >= 0 && weekday <= 6 && ((condWeekdays >> weekday) & 1) != 0;
}

// Whether `month` (0 January .. 11 December) is allowed.
bool MonthAllowed(int32_t condMonth, int month) {
    return ((condMonth >> month) & 1) != 0;
}

// True when every occurrence of an interval rule falls on the start's weekday: whole weeks,
// counted in hours, days or weeks. Other units move the weekday.
bool KeepsWeekday(const DateData& data) {
    switch (data.RepeatUnit) {
    case kRepeatHours:
        return data.RepeatRate % (7 * 24) == 0;
    case kRepeatDays:
        return data.RepeatRate % 7 == 0;
    case kRepeatWeeks:
        return true;
    default:
        return false;
    }
}

// For a monthly rule: the months it visits repeat with the largest of 2, 3, 4, 6 and 12 that
// divides the rate (which is its common divisor with 12 whenever that exceeds 1); 0 when none
// divides it, and then the rule reaches every month.
int MonthCycle(int32_t rate) {
    for (const int cycle : std::array{12, 6, 4, 3, 2}) {
        if (rate % cycle == 0) {
            return cycle;
        }
    }
    return 0;
}

} // namespace

bool IsMissingDescription(const DateData& data) {
    return data.Description.empty() && data.ShowStartTime == 0;
}

bool NeverOccurs(const DateData& data) {
    if (data.Repeat == kRepeatNone) {
        return false;
    }
    // Only bits 0..6 and 0..11 name a weekday or month; a mask without any of them allows none.
    if ((data.CondWeekdays & kWeekdayBits) == 0 || (data.CondMonth & kMonthBits) == 0) {
        return true;
    }
    if (data.Repeat == kRepeatNthWeekday) {
        return !WeekdayAllowed(data.CondWeekdays, data.RepeatWeekday);
    }
    if (data.Repeat != kRepeatInterval) {
        return false;
    }
    const int startWeekday = data.StartDate.GetDayOfWeek();
    const int startMonth = data.StartDate.GetMonth() - 1;
    if (KeepsWeekday(data) && !WeekdayAllowed(data.CondWeekdays, startWeekday)) {
        return true;
    }
    if (data.RepeatUnit == kRepeatMonths) {
        const int cycle = MonthCycle(data.RepeatRate);
        if (cycle == 0) {
            return false;
        }
        for (int offset = 0; offset < 12; offset += cycle) {
            if (MonthAllowed(data.CondMonth, (startMonth + offset) % 12)) {
                return false;
            }
        }
        return true;
    }
    if (data.RepeatUnit == kRepeatYears) {
        // A yearly rule keeps the start's month (29 February becomes the 28th, not 1 March).
        return !MonthAllowed(data.CondMonth, startMonth);
    }
    return false;
}

namespace {

// The weekday conditions allow some but not all weekdays, and one besides the start's.
bool AllowsOtherWeekdays(const DateData& data) {
    const int32_t days = data.CondWeekdays & kWeekdayBits;
    const int32_t startDay = int32_t{1} << data.StartDate.GetDayOfWeek();
    return days != kWeekdayBits && (days & ~startDay) != 0;
}

bool IsEveryWeek(const DateData& data) {
    return data.Repeat == kRepeatInterval && data.RepeatUnit == kRepeatWeeks &&
           data.RepeatRate == 1;
}

} // namespace

bool WeekdaysNeedWeekly(const DateData& data) {
    return data.Repeat == kRepeatInterval && data.RepeatRate >= 1 && KeepsWeekday(data) &&
           !IsEveryWeek(data) && AllowsOtherWeekdays(data);
}

void FoldWeeklyWeekdays(DateData& data) {
    if (IsEveryWeek(data) && (data.CondWeekdays & kWeekdayBits) != 0 && AllowsOtherWeekdays(data)) {
        data.RepeatUnit = kRepeatDays;
    }
}

bool EndsBeforeFirstOccurrence(const DateData& data) {
    if (data.Repeat == kRepeatNone || data.RepeatEnd != kRepeatEndAtDate) {
        return false;
    }
    // Ask a throw-away event, so that the answer is the scan's own, end date rule included. The
    // window opens at the first start: an all-day event starts at midnight whatever time of day
    // StartDate holds, so an end date earlier on the start day still keeps that day.
    CDateEntry probe(data.StartDate);
    probe.AssignData(data);
    CDateTime start;
    CDateTime end;
    return !probe.FindFirstOccurrence(probe.GetFirstStart(), data.RepeatEndDate, start, end);
}

EventCheck CheckEventData(const DateData& data) {
    if (IsMissingDescription(data)) {
        return EventCheck::MissingDescription;
    }
    if (NeverOccurs(data)) {
        return EventCheck::NeverOccurs;
    }
    if (WeekdaysNeedWeekly(data)) {
        return EventCheck::WeekdaysNeedWeekly;
    }
    if (EndsBeforeFirstOccurrence(data)) {
        return EventCheck::EndBeforeFirstOccurrence;
    }
    return EventCheck::Ok;
}

TodoCheck CheckTodoData(const TodoData& data) {
    if (data.Group.empty()) {
        return TodoCheck::MissingGroup;
    }
    if (data.Description.empty()) {
        return TodoCheck::MissingDescription;
    }
    return TodoCheck::Ok;
}

} // namespace dv
