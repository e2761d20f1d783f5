// Occurrences of events where the differential test cannot reach: the spanning case of the
// overlap rule, and any values a damaged file may hold.

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

// A window inside one occurrence, ending a second before it does: neither end of the occurrence
// lies in the window, so only the spanning part of the overlap rule finds it.
TEST(Occurrence, WindowInsideTheOccurrenceOverlapsIt) {
    CDateEntry entry = EventBuilder().Start(2007, 3, 5, 10).End(2007, 3, 5, 11).Build();
    CDateTime start;
    CDateTime end;
    ASSERT_TRUE(
        entry.FindFirstOccurrence(T(2007, 3, 5, 10, 0, 1), T(2007, 3, 5, 10, 59, 59), start, end));
    EXPECT_EQ(start, T(2007, 3, 5, 10));
    EXPECT_EQ(end, T(2007, 3, 5, 11));
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
