// Every day of years -3000 to 9999 against an independent, deliberately plain model of the
// calendar: a day-by-day counter of (year, month, day), the closed day-number formula, and ISO
// weeks decided by each week's Thursday.

#include "core/CDateTime.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace dv {
namespace {

constexpr int kMaxReports = 10;

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

bool ModelIsLeap(int64_t year) {
    return FloorDiv(year, 4) * 4 == year &&
           (FloorDiv(year, 100) * 100 != year || FloorDiv(year, 400) * 400 == year);
}

int ModelMonthLength(int64_t year, int month) {
    static const int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && ModelIsLeap(year) ? 29 : kLengths[month - 1];
}

int ModelDayOfYear(int64_t year, int month, int day) {
    int dayOfYear = day;
    for (int m = 1; m < month; ++m) {
        dayOfYear += ModelMonthLength(year, m);
    }
    return dayOfYear;
}

// The closed formula, with floor division so that it also holds for years before 1.
int64_t ModelDayNumber(int64_t year, int month, int day) {
    const int64_t before = year - 1;
    return ModelDayOfYear(year, month, day) + 365 * before + FloorDiv(before, 4) -
           FloorDiv(before, 100) + FloorDiv(before, 400);
}

// A calendar date that steps one day at a time, by month lengths only.
struct ModelDate {
    int64_t year;
    int month, day;

    void Next() {
        if (++day > ModelMonthLength(year, month)) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
};

bool SameDate(const CDateTime& value, const ModelDate& date) {
    return value.GetYear() == date.year && value.GetMonth() == date.month &&
           value.GetDay() == date.day;
}

// Checks every day from 1 January of `firstYear` to 31 December of `lastYear`. The ranges are
// separate tests so that the test runner can spread them over the cores.
void CheckEveryDay(int firstYear, int lastYear) {
    ModelDate date{firstYear, 1, 1};
    // The year part of the closed formula, for the years around the current one.
    int64_t jan1 = ModelDayNumber(firstYear, 1, 1);
    int64_t nextJan1 = ModelDayNumber(firstYear + 1, 1, 1);
    int64_t previousJan1 = ModelDayNumber(firstYear - 1, 1, 1);
    int weekday = static_cast<int>(jan1 - 1 - FloorDiv(jan1 - 1, 7) * 7); // 1 January 0001: Monday
    int dayOfYear = 1;
    int reports = 0;
    auto dayNumber = static_cast<int32_t>(jan1);
    while (date.year <= lastYear) {
        const int year = static_cast<int>(date.year);
        // Vary the time of day so that every second of the day is met many times over.
        const int32_t secondOfDay = static_cast<int32_t>(
            int64_t{dayNumber} * 7919 - FloorDiv(int64_t{dayNumber} * 7919, 86400) * 86400);
        const CDateTime value = CDateTime::FromDayNumber(dayNumber, secondOfDay);
        // ISO 8601: the week's Thursday decides the year; weeks count from that year's start.
        const int64_t thursday = dayNumber - weekday + 3;
        const int64_t weekYearStart =
            thursday < jan1 ? previousJan1 : (thursday >= nextJan1 ? nextJan1 : jan1);
        const int isoWeek = static_cast<int>((thursday - weekYearStart) / 7 + 1);
        // Years before 0 are reached only through arithmetic: no date of theirs can be given.
        const bool fromDate =
            year < 0 || (CDateTime::DayNumber(year, date.month, date.day) == dayNumber &&
                         CDateTime::WeekNumber(year, date.month, date.day) == isoWeek);
        if ((!fromDate || !SameDate(value, date) || value.GetDayNumber() != dayNumber ||
             value.GetDayOfWeek() != weekday || value.GetDayOfYear() != dayOfYear ||
             value.GetWeekNumber() != isoWeek ||
             (year > 0 && dayNumber % 101 == 0 &&
              value.FormatFixed() != value.Format("%Y %m %d %H %M %S"))) &&
            ++reports <= kMaxReports) {
            ADD_FAILURE() << date.year << "-" << date.month << "-" << date.day << " (weekday "
                          << weekday << ", day " << dayOfYear << ", week " << isoWeek << ") gave "
                          << value.Format("%Y-%m-%d, weekday %w, day %j, week %W")
                          << (fromDate ? "" : ", or DayNumber or WeekNumber differ");
        }

        ++dayNumber;
        weekday = (weekday + 1) % 7;
        const int64_t yearBefore = date.year;
        date.Next();
        if (date.year != yearBefore) {
            dayOfYear = 1;
            previousJan1 = jan1;
            jan1 = nextJan1;
            nextJan1 = ModelDayNumber(date.year + 1, 1, 1);
        } else {
            ++dayOfYear;
        }
    }
    EXPECT_EQ(dayNumber, ModelDayNumber(lastYear + 1, 1, 1));
    EXPECT_EQ(reports, 0);
}

TEST(DateTimeExhaustiveTest, EveryDayOfYearsMinus3000To5000) {
    CheckEveryDay(-3000, 5000);
}
TEST(DateTimeExhaustiveTest, EveryDayOfYears5001To9999) {
    CheckEveryDay(5001, 9999);
    EXPECT_EQ(CDateTime::DayNumber(9999, 12, 31), 3652059);
}

} // namespace
} // namespace dv
