// Occurrences of events: derived start and duration, the overlap rule, validity, every kind of
// repetition at its boundaries, count and date ends, and record values only a damaged file holds.

#include "EventBuilder.h"
#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/RepetitionRule.h"
#include "support/Occurrences.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace dv {
namespace {

using test::DescribeRepetition;
using test::EventBuilder;

constexpr int32_t kMon = 0, kTue = 1, kThu = 3, kFri = 4;
constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();

CDateTime T(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    return CDateTime(y, m, d, h, mi, s);
}
CDateTime DayEnd(int y, int m, int d) {
    return T(y, m, d, 23, 59, 59);
}

std::vector<CDateTime> Starts(CDateEntry& entry, const CDateTime& a, const CDateTime& b) {
    return test::OccurrenceStarts(entry, a, b, 1000);
}

std::string Describe(const std::vector<CDateTime>& list) {
    std::string out;
    for (const CDateTime& t : list) {
        out += "\n  " + t.FormatFixed();
    }
    return list.empty() ? " (none)" : out;
}

// ---------------------------------------------------------------------------------------------

// Ordinary starts and durations are the differential test's; these records are damaged.
TEST(Occurrence, FirstStartAndDurationOfDamagedRecords) {
    struct Row {
        const char* name;
        EventBuilder event;
        CDateTime firstStart;
        int64_t seconds;
    };
    const Row rows[] = {
        {"all_day_end_on_start_day",
         EventBuilder().Start(2007, 3, 5, 14, 30).End(2007, 3, 5, 9, 0).AllDay(), T(2007, 3, 5),
         86399},
        {"timed_end_before_start_counts_as_no_duration",
         EventBuilder().Start(2007, 3, 5, 10, 0).End(2007, 3, 5, 9, 0), T(2007, 3, 5, 10), 0},
        {"all_day_end_before_start_day_counts_as_no_duration",
         EventBuilder().Start(2007, 3, 5).End(2007, 3, 3).AllDay(), T(2007, 3, 5), 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CDateEntry entry = row.event.Build();
        EXPECT_EQ(entry.GetFirstStart(), row.firstStart);
        EXPECT_EQ(entry.GetDuration().GetTotalSeconds(), row.seconds);
    }
}

TEST(Occurrence, OverlapRuleAtWindowBoundaries) {
    struct Row {
        const char* name;
        CDateTime a;
        CDateTime b;
        bool overlaps;
    };
    // One occurrence from 10:00 to 11:00.
    const Row hour[] = {
        {"window_ends_at_start", T(2007, 3, 5, 9), T(2007, 3, 5, 10), true},
        {"window_ends_second_before_start", T(2007, 3, 5, 9), T(2007, 3, 5, 9, 59, 59), false},
        {"window_begins_at_end", T(2007, 3, 5, 11), T(2007, 3, 5, 12), true},
        {"window_begins_second_after_end", T(2007, 3, 5, 11, 0, 1), T(2007, 3, 5, 12), false},
        {"window_around_occurrence", T(2007, 3, 5, 9), T(2007, 3, 5, 12), true},
        {"window_inside_ending_a_second_before_the_end", T(2007, 3, 5, 10, 0, 1),
         T(2007, 3, 5, 10, 59, 59), true},
        {"instant_inside", T(2007, 3, 5, 10, 30), T(2007, 3, 5, 10, 30), true},
    };
    CDateEntry withEnd = EventBuilder().Start(2007, 3, 5, 10).End(2007, 3, 5, 11).Build();
    for (const Row& row : hour) {
        SCOPED_TRACE(row.name);
        CDateTime start;
        CDateTime end;
        ASSERT_EQ(withEnd.FindFirstOccurrence(row.a, row.b, start, end), row.overlaps);
        if (row.overlaps) {
            EXPECT_EQ(start, T(2007, 3, 5, 10));
            EXPECT_EQ(end, T(2007, 3, 5, 11));
        }
    }
    // A timed event without end is a point in time.
    const Row point[] = {
        {"instant_at_the_point", T(2007, 3, 5, 10), T(2007, 3, 5, 10), true},
        {"window_from_second_after", T(2007, 3, 5, 10, 0, 1), T(2007, 3, 5, 11), false},
        {"window_to_second_before", T(2007, 3, 5, 9), T(2007, 3, 5, 9, 59, 59), false},
    };
    CDateEntry instant = EventBuilder().Start(2007, 3, 5, 10).Build();
    for (const Row& row : point) {
        SCOPED_TRACE(row.name);
        CDateTime start;
        CDateTime end;
        EXPECT_EQ(instant.FindFirstOccurrence(row.a, row.b, start, end), row.overlaps);
    }
}

// The random walk rarely meets a century year; 2100 has no 29 February, 2000 has one.
TEST(Occurrence, MonthlyStepsFromThe31stClampInCenturyYears) {
    for (const auto& [year, day] : {std::pair{2100, 28}, std::pair{2000, 29}}) {
        SCOPED_TRACE(year);
        CDateEntry entry = EventBuilder().Start(year, 1, 31, 10).Every(1, kRepeatMonths).Build();
        EXPECT_EQ(Starts(entry, T(year, 2, 1), T(year, 3, 1, 9)),
                  std::vector<CDateTime>{T(year, 2, day, 10)});
    }
}

TEST(Occurrence, CountLimitedScanKeepsOrdinalAndCachesLastEnd) {
    // Daily 10:00-11:00 from 1 January 2007, three occurrences, the second dropped.
    CDateEntry entry = EventBuilder()
                           .Start(2007, 1, 1, 10)
                           .End(2007, 1, 1, 11)
                           .Every(1, kRepeatDays)
                           .EndAfter(3)
                           .Drop(T(2007, 1, 2, 10))
                           .Build();
    CDateTime start;
    CDateTime end;
    // A window on the third valid occurrence: ordinal 2, the count is not reached yet.
    ASSERT_TRUE(entry.FindFirstOccurrence(T(2007, 1, 3), DayEnd(2007, 1, 3), start, end));
    EXPECT_EQ(start, T(2007, 1, 3, 10));
    EXPECT_EQ(entry.GetOccurrenceNumber(), 2);
    EXPECT_FALSE(entry.IsLastOccurrenceKnown());

    // Scanning on reaches the last occurrence and remembers its end.
    ASSERT_TRUE(entry.FindFirstOccurrence(T(2007, 1, 1), DayEnd(2007, 1, 31), start, end));
    EXPECT_EQ(entry.GetOccurrenceNumber(), 1);
    ASSERT_TRUE(entry.FindNextOccurrence(T(2007, 1, 1), DayEnd(2007, 1, 31), start, end));
    EXPECT_EQ(entry.GetOccurrenceNumber(), 2);
    ASSERT_TRUE(entry.FindNextOccurrence(T(2007, 1, 1), DayEnd(2007, 1, 31), start, end));
    EXPECT_EQ(start, T(2007, 1, 4, 10));
    EXPECT_EQ(entry.GetOccurrenceNumber(), 3);
    EXPECT_TRUE(entry.IsLastOccurrenceKnown());
    EXPECT_EQ(entry.GetLastOccurrenceEnd(), T(2007, 1, 4, 11));
    EXPECT_FALSE(entry.FindNextOccurrence(T(2007, 1, 1), DayEnd(2007, 1, 31), start, end));

    // Windows after the last end find nothing; one touching the last end still finds it.
    EXPECT_FALSE(
        entry.FindFirstOccurrence(T(2007, 1, 4, 11, 0, 1), DayEnd(2030, 1, 1), start, end));
    ASSERT_TRUE(entry.FindFirstOccurrence(T(2007, 1, 4, 11), DayEnd(2030, 1, 1), start, end));
    EXPECT_EQ(start, T(2007, 1, 4, 10));

    // Counting alone also finds and remembers the last occurrence.
    CDateEntry counted =
        EventBuilder().Start(2007, 1, 1, 10).Every(1, kRepeatWeeks).EndAfter(2).Build();
    EXPECT_EQ(counted.CountOccurrences(T(2007, 12, 31)), 3);
    EXPECT_TRUE(counted.IsLastOccurrenceKnown());
    EXPECT_EQ(counted.GetLastOccurrenceEnd(), T(2007, 1, 8, 10));
}

// Values that only a damaged or hand-made file holds: defined results, no crash, no overflow
// (the sanitizer build checks the latter).
TEST(Occurrence, OutOfRangeRecordValues) {
    const CDateTime latestDay = CDateTime::FromDayNumber(kIntMax);
    const CDateTime earliest = CDateTime::FromDayNumber(kIntMin);
    const CDateTime latest = CDateTime::FromDayNumber(kIntMax, 86399);
    struct Row {
        const char* name;
        EventBuilder event;
        CDateTime a;
        CDateTime b;
        size_t count;        // occurrences in [a, b]
        int countUpToB = -1; // CountOccurrences(b) when it differs from count
    };
    const Row rows[] = {
        {"largest_hour_rate", EventBuilder().Every(kIntMax, kRepeatHours), earliest, latest,
         // 2^31 - 1 hours is about 245,000 years; the day range holds about 5.9 million.
         24},
        {"largest_week_rate_leaves_the_day_range", EventBuilder().Every(kIntMax, kRepeatWeeks),
         earliest, latest, 1},
        {"largest_year_rate", EventBuilder().Every(kIntMax, kRepeatYears), earliest, latest, 1},
        {"smallest_rate", EventBuilder().Every(kIntMin, kRepeatDays), earliest, latest, 1},
        {"weekday_7", EventBuilder().NthWeekday(0, 7), earliest, latest, 0},
        {"ordinal_6", EventBuilder().NthWeekday(6, kMon), earliest, latest, 0},
        // Counting stops at the first valid occurrence, which already exceeds the count.
        {"count_end_0", EventBuilder().Every(1, kRepeatDays).EndAfter(0), earliest, latest, 0, 1},
        {"unknown_repeat_end_never_ends",
         [] {
             EventBuilder b = EventBuilder().Every(1, kRepeatYears);
             b.MutableData().RepeatEnd = 7;
             return b;
         }(),
         T(2007, 1, 1), T(2106, 12, 31), 100},
        {"masks_with_every_bit", EventBuilder().Every(1, kRepeatDays).Weekdays(-1).Months(-1),
         T(2007, 1, 1), DayEnd(2007, 1, 31), 31},
        {"masks_with_only_high_bits",
         EventBuilder().Every(1, kRepeatHours).Weekdays(kIntMin).Months(0x7000), earliest, latest,
         0},
        {"start_on_last_day_daily",
         EventBuilder().StartAt(CDateTime::FromDayNumber(kIntMax - 2, 36000)).Every(1, kRepeatDays),
         earliest, latest, 3},
        {"start_on_last_day_fifth_weekday",
         EventBuilder()
             .StartAt(CDateTime::FromDayNumber(kIntMax - 400))
             .NthWeekday(kOrdinalFifth, kFri),
         earliest, latest, 4},
        {"start_on_first_day_hourly_window_near_it",
         EventBuilder().StartAt(earliest).Every(1, kRepeatHours), earliest,
         earliest + CDateTimeSpan(86399), 24},
        {"longest_duration_weekly",
         EventBuilder().StartAt(earliest).EndAt(latest).Every(1, kRepeatWeeks), latestDay, latest,
         1},
        {"window_over_the_whole_range_negative_years",
         EventBuilder().StartAt(CDateTime::FromDayNumber(-1000)).Every(1000, kRepeatYears),
         earliest, T(9999, 12, 31), 11},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CDateEntry entry = row.event.Build();
        const std::vector<CDateTime> starts = Starts(entry, row.a, row.b);
        EXPECT_EQ(starts.size(), row.count)
            << DescribeRepetition(row.event.Data()) << Describe(starts);
        for (size_t i = 1; i < starts.size(); ++i) {
            EXPECT_LT(starts[i - 1], starts[i]);
        }
        // Every window starts at or before the first start, except where only one occurrence
        // exists at all, so counting up to b sees the same occurrences.
        EXPECT_EQ(entry.CountOccurrences(row.b),
                  row.countUpToB >= 0 ? row.countUpToB : static_cast<int>(row.count));
    }
}

// Any values a file may hold, days across the whole int32 range included: every result must be
// an occurrence that overlaps the window, lasts the event's duration, passes the conditions and
// comes after the previous one. The sanitizer build checks that nothing overflows on the way.
TEST(Occurrence, ArbitraryRecordValuesGiveWellFormedResults) {
    std::mt19937_64 engine(5879611);
    const auto pick = [&engine](std::initializer_list<int64_t> values) {
        return static_cast<int32_t>(*(values.begin() + engine() % values.size()));
    };
    const auto anyInt = [&engine] { return static_cast<int32_t>(static_cast<uint32_t>(engine())); };
    const auto anyTime = [&engine](int64_t nearDay) {
        const int64_t day = std::clamp<int64_t>(
            nearDay + static_cast<int64_t>(engine() % 2001) - 1000, kIntMin, kIntMax);
        return CDateTime::FromDayNumber(static_cast<int32_t>(day),
                                        static_cast<int32_t>(engine() % 86400));
    };
    for (int i = 0; i < 3000; ++i) {
        EventBuilder builder;
        DateData& d = builder.MutableData();
        const int64_t startDay = engine() % 4 == 0 ? pick({kIntMin, kIntMax, 0, 1}) : anyInt();
        d.StartDate = anyTime(startDay);
        d.EndDate = engine() % 4 == 0 ? anyTime(anyInt()) : anyTime(startDay);
        d.ShowStartTime = pick({0, 1, 2, -1});
        d.ShowEnd = pick({0, 1, 2, -1});
        d.Repeat = pick({0, 1, 1, 1, 2, 2, 3, -1, kIntMin});
        d.RepeatRate = engine() % 2 == 0 ? pick({1, 2, 7, 12, 168})
                                         : pick({0, -1, kIntMin, kIntMax, anyInt()});
        d.RepeatUnit = pick({0, 1, 2, 3, 4, 5, 6, -1, kIntMax});
        d.RepeatWeekdayCount = pick({0, 3, 4, 5, 6, -1, kIntMin});
        d.RepeatWeekday = pick({0, 3, 6, 7, -1, kIntMax});
        d.CondWeekdays = engine() % 2 == 0 ? 0x7F : anyInt();
        d.CondMonth = engine() % 2 == 0 ? 0xFFF : anyInt();
        // A count-limited scan counts from the first start; keep counts small enough to finish.
        d.RepeatEnd = pick({0, 1, 2, 7});
        d.RepeatEndCount = pick({0, 1, 5, 50, -1});
        d.RepeatEndDate = anyTime(engine() % 2 == 0 ? startDay : anyInt());
        CDateEntry entry = builder.Build();
        const CDateTimeSpan duration = entry.GetDuration();
        ASSERT_GE(duration.GetTotalSeconds(), 0);

        const CDateTime a = anyTime(engine() % 2 == 0 ? startDay + 3 : anyInt());
        const CDateTime b =
            engine() % 3 == 0 ? CDateTime::FromDayNumber(kIntMax, 86399)
                              : a + CDateTimeSpan(static_cast<int64_t>(engine() % (400LL * 86400)));
        CDateTime start;
        CDateTime end;
        CDateTime previous;
        int found = 0;
        for (bool ok = entry.FindFirstOccurrence(a, b, start, end); ok && found < 200;
             ok = entry.FindNextOccurrence(a, b, start, end)) {
            SCOPED_TRACE(DescribeRepetition(d) + " window " + a.FormatFixed() + " .. " +
                         b.FormatFixed());
            ASSERT_EQ(end - start, duration);
            ASSERT_TRUE(start <= b && end >= a) << start.FormatFixed();
            ASSERT_TRUE(entry.IsValidOccurrence(start)) << start.FormatFixed();
            ASSERT_GE(start, entry.GetFirstStart());
            if (found > 0) {
                ASSERT_GT(start, previous);
            }
            ASSERT_LE(d.Repeat == kRepeatNone ? found : 0, 0) << "a single event occurs once";
            ASSERT_TRUE(d.Repeat == kRepeatNone || d.Repeat == kRepeatInterval ||
                        d.Repeat == kRepeatNthWeekday);
            previous = start;
            ++found;
        }
    }
}

TEST(Occurrence, RuleThatCanNeverPassIsRejectedWithoutWalking) {
    // Hourly, every Monday excluded, weekly rate: no occurrence in the whole range, and answered
    // at once (a walk over the range would take 50 billion steps).
    CDateEntry entry =
        EventBuilder().Start(2007, 1, 1, 10).Every(168, kRepeatHours).Weekdays(0x7E).Build();
    CDateTime start;
    CDateTime end;
    EXPECT_FALSE(entry.FindFirstOccurrence(T(2007, 1, 1), CDateTime::FromDayNumber(kIntMax, 86399),
                                           start, end));
    EXPECT_EQ(entry.CountOccurrences(CDateTime::FromDayNumber(kIntMax, 86399)), 0);
    // Every 3 months from January reaches January, April, July and October only.
    CDateEntry quarterly =
        EventBuilder().Start(2007, 1, 10).Every(3, kRepeatMonths).Months(0xFFF & ~0x249).Build();
    EXPECT_FALSE(quarterly.FindFirstOccurrence(
        T(2007, 1, 1), CDateTime::FromDayNumber(kIntMax, 86399), start, end));
}

} // namespace
} // namespace dv
