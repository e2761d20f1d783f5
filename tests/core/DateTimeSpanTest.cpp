#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace dv {
namespace {

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();
constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();

TEST(DateTimeSpanTest, DerivedCountsTruncateTowardZeroAndSaturate) {
    struct Row {
        const char* name;
        int64_t seconds;
        int32_t minutes, hours, days, weeks;
    };
    const Row rows[] = {
        {"minusJustUnderOneMinute", -59, 0, 0, 0, 0},
        {"minusOneAndAHalfDays", -129600, -2160, -36, -1, 0},
        {"justUnderOneWeek", 604799, 10079, 167, 6, 0},
        {"minusOneWeekExactly", -604800, -10080, -168, -7, -1},
        {"minutesAtInt32Limit", int64_t{kInt32Max} * 60 + 59, kInt32Max, 35791394, 1491308, 213044},
        {"minutesBeyondInt32", int64_t{kInt32Max} * 60 + 60, kInt32Max, 35791394, 1491308, 213044},
        {"largestSpan", kInt64Max, kInt32Max, kInt32Max, kInt32Max, kInt32Max},
        {"smallestSpan", kInt64Min, kInt32Min, kInt32Min, kInt32Min, kInt32Min},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CDateTimeSpan span(row.seconds);
        EXPECT_EQ(span.GetTotalMinutes(), row.minutes);
        EXPECT_EQ(span.GetTotalHours(), row.hours);
        EXPECT_EQ(span.GetDays(), row.days);
        EXPECT_EQ(span.GetTotalWeeks(), row.weeks);
    }
}

TEST(DateTimeSpanTest, SaturatingArithmetic) {
    struct Row {
        const char* name;
        int64_t left, right;
        int64_t sum, difference;
    };
    const Row rows[] = {
        {"sumOverflowsUp", kInt64Max, 1, kInt64Max, kInt64Max - 1},
        {"sumOverflowsDown", kInt64Min, -1, kInt64Min, kInt64Min + 1},
        {"differenceOverflowsUp", kInt64Max, -1, kInt64Max - 1, kInt64Max},
        {"differenceOverflowsDown", kInt64Min, 1, kInt64Min + 1, kInt64Min},
        {"subtractSmallestFromMinusOne", -1, kInt64Min, kInt64Min, kInt64Max},
        {"extremesCancel", kInt64Max, kInt64Min, -1, kInt64Max},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CDateTimeSpan left(row.left);
        const CDateTimeSpan right(row.right);
        EXPECT_EQ((left + right).GetTotalSeconds(), row.sum);
        EXPECT_EQ((left - right).GetTotalSeconds(), row.difference);
        CDateTimeSpan accumulated = left;
        accumulated += right;
        EXPECT_EQ(accumulated.GetTotalSeconds(), row.sum);
        accumulated = left;
        accumulated -= right;
        EXPECT_EQ(accumulated.GetTotalSeconds(), row.difference);
    }
    EXPECT_EQ((-CDateTimeSpan(5)).GetTotalSeconds(), -5);
    EXPECT_EQ((-CDateTimeSpan(kInt64Min)).GetTotalSeconds(), kInt64Max);
    EXPECT_EQ((-CDateTimeSpan(kInt64Max)).GetTotalSeconds(), -kInt64Max);
}

TEST(DateTimeArithmeticTest, FromDayNumberNormalisesSecondsOutsideTheDay) {
    struct Row {
        const char* name;
        int32_t dayNumber, seconds;
        int32_t expectedDay, expectedSeconds;
    };
    const Row rows[] = {
        {"exactlyOneDay", 733041, 86400, 733042, 0},
        {"minusOneSecond", 733041, -1, 733040, 86399},
        {"manyDaysForward", 1, kInt32Max, 1 + kInt32Max / 86400, kInt32Max % 86400},
        {"manyDaysBack", 1, kInt32Min, 1 + kInt32Min / 86400 - 1, 86400 + kInt32Min % 86400},
        {"saturatesAtTop", kInt32Max, 86400, kInt32Max, 86399},
        {"saturatesAtBottom", kInt32Min, -1, kInt32Min, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CDateTime value = CDateTime::FromDayNumber(row.dayNumber, row.seconds);
        EXPECT_EQ(value.GetDayNumber(), row.expectedDay);
        EXPECT_EQ(value.GetSecondsOfDay(), row.expectedSeconds);
        EXPECT_EQ(value.GetHour() * 3600 + value.GetMinute() * 60 + value.GetSecond(),
                  row.expectedSeconds);
    }
}

} // namespace
} // namespace dv
