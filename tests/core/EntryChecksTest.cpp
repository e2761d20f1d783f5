// What the event and to-do editors refuse on confirmation.

#include "core/EntryChecks.h"

#include "EventBuilder.h"
#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/RepetitionRule.h"
#include "core/TodoData.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace dv {
namespace {

using test::EventBuilder;

constexpr int32_t kAllWeekdays = 0x7F;
constexpr int32_t kAllMonths = 0xFFF;
constexpr int32_t kMon = 0, kFri = 4;

constexpr int32_t Without(int32_t mask, int bit) {
    return mask & ~(1 << bit);
}
constexpr int32_t MonthBit(int month) {
    return 1 << (month - 1);
}

TEST(EntryChecks, NeverOccurs) {
    // 1 January 2007 is a Monday.
    const EventBuilder jan1 = EventBuilder().Start(2007, 1, 1, 10);
    const int32_t noMonday = Without(kAllWeekdays, kMon);
    const std::tuple<const char*, EventBuilder, bool> rows[] = {
        {"single_event_is_never_checked", EventBuilder(jan1).Weekdays(0).Months(0), false},
        {"weekday_mask_empty", EventBuilder(jan1).Every(1, kRepeatDays).Weekdays(0), true},
        {"month_mask_only_above_december", EventBuilder(jan1).Every(1, kRepeatDays).Months(0x1000),
         true},
        {"every_2_weeks_start_weekday_excluded",
         EventBuilder(jan1).Every(2, kRepeatWeeks).Weekdays(noMonday), true},
        {"every_3_days_start_weekday_excluded",
         EventBuilder(jan1).Every(3, kRepeatDays).Weekdays(noMonday), false},
        {"every_168_hours_start_weekday_excluded",
         EventBuilder(jan1).Every(168, kRepeatHours).Weekdays(noMonday), true},
        {"every_100_hours_start_weekday_excluded",
         EventBuilder(jan1).Every(100, kRepeatHours).Weekdays(noMonday), false},
        {"nth_weekday_its_weekday_excluded",
         EventBuilder(jan1).NthWeekday(kOrdinalLast, kFri).Weekdays(Without(kAllWeekdays, kFri)),
         true},
        {"nth_weekday_code_out_of_range", EventBuilder(jan1).NthWeekday(0, 9).Weekdays(-1), true},
        {"every_3_months_from_january_february_only",
         EventBuilder(jan1).Every(3, kRepeatMonths).Months(MonthBit(2)), true},
        {"every_10_months_reaches_odd_months_only",
         EventBuilder(jan1).Every(10, kRepeatMonths).Months(MonthBit(2) | MonthBit(12)), true},
        {"every_10_months_november",
         EventBuilder(jan1).Every(10, kRepeatMonths).Months(MonthBit(11)), false},
        {"monthly_start_weekday_excluded_is_not_checked",
         EventBuilder(jan1).Every(1, kRepeatMonths).Weekdays(noMonday), false},
        {"yearly_start_month_excluded",
         EventBuilder(jan1).Every(1, kRepeatYears).Months(Without(kAllMonths, 0)), true},
        {"yearly_from_29_february_february_only",
         EventBuilder().Start(2004, 2, 29).Every(1, kRepeatYears).Months(MonthBit(2)), false},
        {"unknown_repeat_code_only_masks_checked",
         EventBuilder(jan1).RepeatCode(3).Months(MonthBit(7)), false},
        {"unknown_repeat_code_empty_mask", EventBuilder(jan1).RepeatCode(3).Weekdays(0), true},
    };
    for (const auto& [name, event, never] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(NeverOccurs(event.Data()), never) << test::DescribeRepetition(event.Data());
    }
}

TEST(EntryChecks, EventChecksInEditorOrder) {
    const EventBuilder timed = EventBuilder().Start(2007, 1, 1, 10);
    const EventBuilder allDay = EventBuilder().Start(2007, 1, 1).AllDay();
    const std::tuple<const char*, EventBuilder, EventCheck> rows[] = {
        {"timed_without_description", timed, EventCheck::Ok},
        {"all_day_without_description", allDay, EventCheck::MissingDescription},
        {"missing_description_checked_before_never_occurs",
         EventBuilder(allDay).Every(1, kRepeatDays).Weekdays(0), EventCheck::MissingDescription},
        {"never_occurs_checked_before_end_date",
         EventBuilder(timed).Every(1, kRepeatWeeks).Weekdays(0x7E).Until(CDateTime(2006, 1, 1)),
         EventCheck::NeverOccurs},
        {"repeating_and_fine",
         EventBuilder(timed).Every(1, kRepeatWeeks).Until(CDateTime(2008, 1, 1)), EventCheck::Ok},
        {"count_end_is_not_checked", EventBuilder(timed).Every(1, kRepeatWeeks).EndAfter(1),
         EventCheck::Ok},
        {"end_before_first_occurrence",
         EventBuilder(timed).Every(1, kRepeatWeeks).Until(CDateTime(2006, 1, 1)),
         EventCheck::EndBeforeFirstOccurrence},
    };
    for (const auto& [name, event, result] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(CheckEventData(event.Data()), result);
    }
}

TEST(EntryChecks, WeekdaysOfAWeeklyRuleAreKeptOrRefused) {
    // 2 January 2007 is a Tuesday; bit 1 Tuesday, bit 3 Thursday.
    const EventBuilder tuesday = EventBuilder().Start(2007, 1, 2, 10);
    constexpr int32_t kTue = 1 << 1, kTueThu = kTue | 1 << 3, kThu = 1 << 3;
    // Rows: rule; what the editor stores (unit after folding); the check after folding.
    const std::tuple<const char*, EventBuilder, int32_t, EventCheck> rows[] = {
        {"every_week_all_weekdays_stays_weekly", EventBuilder(tuesday).Every(1, kRepeatWeeks),
         kRepeatWeeks, EventCheck::Ok},
        {"every_week_start_weekday_only_stays_weekly",
         EventBuilder(tuesday).Every(1, kRepeatWeeks).Weekdays(kTue), kRepeatWeeks, EventCheck::Ok},
        {"every_week_tuesday_thursday_becomes_daily",
         EventBuilder(tuesday).Every(1, kRepeatWeeks).Weekdays(kTueThu), kRepeatDays,
         EventCheck::Ok},
        {"every_week_thursday_only_becomes_daily",
         EventBuilder(tuesday).Every(1, kRepeatWeeks).Weekdays(kThu), kRepeatDays, EventCheck::Ok},
        {"every_week_no_weekday_still_never_occurs",
         EventBuilder(tuesday).Every(1, kRepeatWeeks).Weekdays(0), kRepeatWeeks,
         EventCheck::NeverOccurs},
        {"every_2_weeks_tuesday_thursday_refused",
         EventBuilder(tuesday).Every(2, kRepeatWeeks).Weekdays(kTueThu), kRepeatWeeks,
         EventCheck::WeekdaysNeedWeekly},
        {"every_14_days_tuesday_thursday_refused",
         EventBuilder(tuesday).Every(14, kRepeatDays).Weekdays(kTueThu), kRepeatDays,
         EventCheck::WeekdaysNeedWeekly},
        {"every_2_weeks_thursday_only_never_occurs",
         EventBuilder(tuesday).Every(2, kRepeatWeeks).Weekdays(kThu), kRepeatWeeks,
         EventCheck::NeverOccurs},
        {"every_2_weeks_start_weekday_only",
         EventBuilder(tuesday).Every(2, kRepeatWeeks).Weekdays(kTue), kRepeatWeeks, EventCheck::Ok},
        {"every_3_days_tuesday_thursday_keeps_moving",
         EventBuilder(tuesday).Every(3, kRepeatDays).Weekdays(kTueThu), kRepeatDays,
         EventCheck::Ok},
    };
    for (const auto& [name, event, unit, check] : rows) {
        SCOPED_TRACE(name);
        DateData data = event.Data();
        FoldWeeklyWeekdays(data);
        EXPECT_EQ(data.RepeatUnit, unit);
        EXPECT_EQ(data.RepeatRate, event.Data().RepeatRate);
        EXPECT_EQ(data.CondWeekdays, event.Data().CondWeekdays);
        EXPECT_EQ(CheckEventData(data), check);
    }
    // The folded rule gives exactly the ticked weekdays, Tuesday and Thursday, week after week.
    DateData folded = EventBuilder(tuesday).Every(1, kRepeatWeeks).Weekdays(kTueThu).Data();
    FoldWeeklyWeekdays(folded);
    CDateEntry event(folded.StartDate);
    event.AssignData(folded);
    std::vector<int> days;
    CDateTime start;
    CDateTime end;
    const CDateTime to(2007, 1, 14, 23, 59, 59);
    for (bool found = event.FindFirstOccurrence(CDateTime(2007, 1, 1), to, start, end); found;
         found = event.FindNextOccurrence(CDateTime(2007, 1, 1), to, start, end)) {
        days.push_back(start.GetDay());
    }
    EXPECT_EQ(days, (std::vector<int>{2, 4, 9, 11}));
}

TEST(EntryChecks, TodoChecksInEditorOrder) {
    const auto check = [](const char* group, const char* description) {
        TodoData data;
        data.Group = group;
        data.Description = description;
        return CheckTodoData(data);
    };
    EXPECT_EQ(check("Work", "Write report"), TodoCheck::Ok);
    EXPECT_EQ(check("", "Write report"), TodoCheck::MissingGroup);
    EXPECT_EQ(check("Work", ""), TodoCheck::MissingDescription);
    EXPECT_EQ(check(" ", " "), TodoCheck::Ok) << "blank texts are not empty";
}

} // namespace
} // namespace dv
