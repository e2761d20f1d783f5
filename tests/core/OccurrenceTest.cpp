// Occurrences of events where the differential test cannot reach: the overlap rule's boundaries,
// century years, and any values a damaged file may hold.

#include "EventBuilder.h"
#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/RepetitionRule.h"
#include "support/Occurrences.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace dv {
namespace {

using test::EventBuilder;

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();

CDateTime T(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    return CDateTime(y, m, d, h, mi, s);
}

TEST(Occurrence, OverlapRuleAtWindowBoundaries) {
    // One occurrence from 10:00 to 11:00.
    const std::tuple<const char*, CDateTime, CDateTime, bool> hour[] = {
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
    for (const auto& [name, a, b, overlaps] : hour) {
        SCOPED_TRACE(name);
        CDateTime start;
        CDateTime end;
        ASSERT_EQ(withEnd.FindFirstOccurrence(a, b, start, end), overlaps);
        if (overlaps) {
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

// Values a damaged file may hold: weekday codes out of range select no day, and a repetition
// stops where the calendar ends instead of running past it.
TEST(Occurrence, CodesOutOfRangeAndTheEndOfTheCalendarGiveNoMore) {
    const CDateTime last = CDateTime::FromDayNumber(kIntMax, 86399);
    for (const auto& [ordinal, weekday] :
         {std::pair{0, 7}, std::pair{0, -1}, std::pair{6, 0}, std::pair{-1, 0}}) {
        CDateEntry entry = EventBuilder().Start(2007, 1, 1).NthWeekday(ordinal, weekday).Build();
        EXPECT_EQ(test::OccurrenceStarts(entry, T(2007, 1, 1), last), std::vector<CDateTime>{})
            << ordinal << " " << weekday;
    }
    // Hourly from two hours before the last second: one hour long, the second occurrence ends on
    // it; without length, the third starts on it; the next one of either would pass it.
    const CDateTime start = last - CDateTimeSpan(2 * 3600);
    for (const int64_t length : {3600, 0}) {
        EventBuilder event = EventBuilder().StartAt(start).EndAt(start + CDateTimeSpan(length));
        CDateEntry hourly = event.Every(1, kRepeatHours).Build();
        const std::vector<CDateTime> starts = test::OccurrenceStarts(hourly, start, last);
        ASSERT_EQ(starts.size(), length == 0 ? 3u : 2u);
        EXPECT_EQ(starts.back(), last - CDateTimeSpan(length));
    }
}

} // namespace
} // namespace dv
