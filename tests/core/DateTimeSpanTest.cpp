#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>

namespace dv {
namespace {

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();
constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();

TEST(DateTimeSpanTest, ComponentConstructorSumsInSixtyFourBits) {
    EXPECT_EQ(CDateTimeSpan(1, -1, 0, -1).GetTotalSeconds(), 82799);
    EXPECT_EQ(CDateTimeSpan(kInt32Max, kInt32Max, kInt32Max, kInt32Max).GetTotalSeconds(),
              int64_t{kInt32Max} * (86400 + 3600 + 60 + 1));
}

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

// ---- Date-time plus span against a reference on a single seconds axis ---------------------------

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

struct Reference {
    bool saturatedHigh;
    bool saturatedLow;
    int64_t dayNumber;
    int64_t seconds;
};

// Everything as one count of seconds from the start of day 0; |spans| stay below 2^62 so that
// the sum cannot overflow.
Reference ReferenceShift(const CDateTime& start, int64_t spanSeconds) {
    const int64_t axis =
        int64_t{start.GetDayNumber()} * 86400 + start.GetSecondsOfDay() + spanSeconds;
    const int64_t day = FloorDiv(axis, 86400);
    return {day > kInt32Max, day < kInt32Min, day, axis - day * 86400};
}

int64_t RandomSpan(std::mt19937_64& random) {
    switch (random() % 5) {
    case 0:
        return std::uniform_int_distribution<int64_t>(-200000, 200000)(random);
    case 1: // whole days, or a few seconds either side of them
        return std::uniform_int_distribution<int64_t>(-40000, 40000)(random) * 86400 +
               std::uniform_int_distribution<int64_t>(-2, 2)(random);
    case 2:
        return std::uniform_int_distribution<int64_t>(-400'000'000'000, 400'000'000'000)(random);
    case 3: // far beyond the day range
        return std::uniform_int_distribution<int64_t>(-(int64_t{1} << 61),
                                                      int64_t{1} << 61)(random);
    default:
        return std::uniform_int_distribution<int64_t>(-(int64_t{1} << 40),
                                                      int64_t{1} << 40)(random);
    }
}

CDateTime RandomDateTime(std::mt19937_64& random) {
    const int32_t seconds = std::uniform_int_distribution<int32_t>(0, 86399)(random);
    switch (random() % 3) {
    case 0:
        return CDateTime::FromDayNumber(
            std::uniform_int_distribution<int32_t>(kInt32Min, kInt32Max)(random), seconds);
    case 1: // near either end of the day range
        return CDateTime::FromDayNumber((random() % 2 ? kInt32Max : kInt32Min + 50) -
                                            std::uniform_int_distribution<int32_t>(0, 50)(random),
                                        seconds);
    default:
        return CDateTime::FromDayNumber(std::uniform_int_distribution<int32_t>(1, 3652059)(random),
                                        seconds);
    }
}

TEST(DateTimeSpanTest, DateTimeArithmeticMatchesASecondsAxisReference) {
    std::mt19937_64 random(20070305);
    int failures = 0;
    for (int i = 0; i < 200000 && failures < 10; ++i) {
        const CDateTime start = RandomDateTime(random);
        const int64_t spanSeconds = RandomSpan(random);
        const CDateTimeSpan span(spanSeconds);
        const Reference expected = ReferenceShift(start, spanSeconds);

        const CDateTime sum = start + span;
        CDateTime viaMinus = start;
        viaMinus -= CDateTimeSpan(-spanSeconds);

        int64_t expectedDay = expected.dayNumber;
        int64_t expectedSeconds = expected.seconds;
        if (expected.saturatedHigh) {
            expectedDay = kInt32Max;
            expectedSeconds = 86399;
        } else if (expected.saturatedLow) {
            expectedDay = kInt32Min;
            expectedSeconds = 0;
        }
        const bool cacheInStep =
            sum.GetHour() * 3600 + sum.GetMinute() * 60 + sum.GetSecond() ==
                sum.GetSecondsOfDay() &&
            CDateTime::FromDayNumber(sum.GetDayNumber()).GetDay() == sum.GetDay() &&
            (sum.GetYear() < 0 || CDateTime::DayNumber(sum.GetYear(), sum.GetMonth(),
                                                       sum.GetDay()) == sum.GetDayNumber());
        const bool exact = !expected.saturatedHigh && !expected.saturatedLow;
        // Any two values: their difference is exact, and adding it back lands on the first.
        const CDateTime other = RandomDateTime(random);
        const int64_t difference = (int64_t{other.GetDayNumber()} - start.GetDayNumber()) * 86400 +
                                   other.GetSecondsOfDay() - start.GetSecondsOfDay();
        if (sum.GetDayNumber() != expectedDay || sum.GetSecondsOfDay() != expectedSeconds ||
            viaMinus != sum || !cacheInStep ||
            (exact && (sum - start).GetTotalSeconds() != spanSeconds) ||
            (other - start).GetTotalSeconds() != difference || start + (other - start) != other) {
            ++failures;
            ADD_FAILURE() << "start day " << start.GetDayNumber() << " second "
                          << start.GetSecondsOfDay() << " + " << spanSeconds << " s gave day "
                          << sum.GetDayNumber() << " second " << sum.GetSecondsOfDay()
                          << ", expected day " << expectedDay << " second " << expectedSeconds
                          << "; or the difference to day " << other.GetDayNumber() << " is wrong";
        }
    }
}

} // namespace
} // namespace dv
