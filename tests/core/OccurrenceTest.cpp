// Occurrences of events where the differential test cannot reach: the overlap rule's boundaries,
// century years, and any values a damaged file may hold.

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

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();

CDateTime T(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    return CDateTime(y, m, d, h, mi, s);
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
}

// The random walk rarely meets a century year; 2100 has no 29 February, 2000 has one.
TEST(Occurrence, MonthlyStepsFromThe31stClampInCenturyYears) {
    for (const auto& [year, day] : {std::pair{2100, 28}, std::pair{2000, 29}}) {
        SCOPED_TRACE(year);
        CDateEntry entry = EventBuilder().Start(year, 1, 31, 10).Every(1, kRepeatMonths).Build();
        EXPECT_EQ(test::OccurrenceStarts(entry, T(year, 2, 1), T(year, 3, 1, 9)),
                  std::vector<CDateTime>{T(year, 2, day, 10)});
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

} // namespace
} // namespace dv
