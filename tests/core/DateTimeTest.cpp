#include "RecordBytes.h"
#include "core/ByteStream.h"
#include "core/CArchive.h"
#include "core/CArchiveException.h"
#include "core/CDateTime.h"
#include "core/CDateTimeObject.h"
#include "core/CDateTimeSpan.h"
#include "core/Clock.h"
#include "core/LocaleNames.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace dv {
namespace {

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();
constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();

// The broken-down fields, written without Format so that a formatting fault cannot hide a
// calendar fault.
std::string Fields(const CDateTime& value) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", value.GetYear(),
                  value.GetMonth(), value.GetDay(), value.GetHour(), value.GetMinute(),
                  value.GetSecond());
    return text;
}

// Names that show which argument they were asked for.
class TaggedLocaleNames final : public ILocaleNames {
public:
    std::string DayName(int weekday, bool abbreviated) const override {
        return (abbreviated ? "d" : "day") + std::to_string(weekday);
    }
    std::string MonthName(int month, bool abbreviated) const override {
        return (abbreviated ? "m" : "month") + std::to_string(month);
    }
    std::string AmDesignator() const override { return "vorm."; }
    std::string PmDesignator() const override { return "nachm."; }
};

TEST(DateTimeTest, DateAndTimePartsAreTakenAndSplitSeparately) {
    const CDateTime source(2008, 2, 29, 23, 59, 58);
    CDateTime target(1999, 12, 31, 1, 2, 3);
    target.SetDate(source);
    EXPECT_EQ(Fields(target), "2008-02-29 01:02:03");
    EXPECT_EQ(target.GetDayNumber(), source.GetDayNumber());
    target.SetTime(CDateTime(1, 1, 1, 7, 8, 9));
    EXPECT_EQ(Fields(target), "2008-02-29 07:08:09");
    EXPECT_EQ(target.GetSecondsOfDay(), 7 * 3600 + 8 * 60 + 9);

    EXPECT_EQ(Fields(source.GetDate()), "2008-02-29 00:00:00");
    EXPECT_EQ(source.GetDate().GetDayNumber(), source.GetDayNumber());
    EXPECT_EQ(Fields(source.GetTime()), "0001-01-01 23:59:58");
    EXPECT_EQ(source.GetTime().GetDayNumber(), 1);

    // Ordered by day, then by the second; Dump writes day, month, year and time.
    EXPECT_EQ(CDateTime::Compare(target, source), -1);
    EXPECT_EQ(CDateTime::Compare(source, source.GetDate()), 1);
    EXPECT_EQ(CDateTime::Compare(source, source), 0);
    std::ostringstream out;
    source.Dump(out);
    EXPECT_EQ(out.str(), "29.02.2008, 23:59:58");
}

TEST(DateTimeTest, CalendarFunctionsBeforeYearOneAndOnRefusedInput) {
    EXPECT_TRUE(CDateTime::IsLeapYear(0));
    EXPECT_FALSE(CDateTime::IsLeapYear(-100));
    EXPECT_TRUE(CDateTime::IsLeapYear(-400));
    EXPECT_EQ(CDateTime::DaysInMonth(0, 2), 29);
    EXPECT_EQ(CDateTime(2100, 2, 1).GetDaysInMonth(), 28);
    EXPECT_EQ(CDateTime::DaysInMonth(2007, 0), 0);
    EXPECT_EQ(CDateTime::DaysInMonth(2007, 13), 0);
    EXPECT_EQ(CDateTime::DaysInMonth(-1, 1), 0);
    EXPECT_EQ(CDateTime::DayNumber(0, 1, 1), -365);
    EXPECT_EQ(CDateTime::DayOfWeek(0, 12, 31), 6);
    EXPECT_EQ(CDateTime::DayOfYear(0, 12, 31), 366);
    EXPECT_EQ(CDateTime::WeekNumber(0, 1, 1), 52); // a Saturday, in the last week of year -1

    // A negative year, 29 February of a common year, a day beyond the int32 day numbers.
    for (const auto& [y, m, d] :
         {std::tuple{-1, 1, 1}, std::tuple{2007, 2, 29}, std::tuple{5879611, 7, 12}}) {
        EXPECT_EQ(CDateTime::DayNumber(y, m, d), 0) << y;
        EXPECT_EQ(CDateTime::DayOfWeek(y, m, d), -1) << y;
        EXPECT_EQ(CDateTime::DayOfYear(y, m, d), 0) << y;
        EXPECT_EQ(CDateTime::WeekNumber(y, m, d), 0) << y;
    }
}

TEST(DateTimeTest, FormatWritesEveryCodeFlagAndLiteral) {
    const CDateTime monday(2007, 3, 5, 14, 7, 9); // day 64, ISO week 10
    const CDateTime march5(2007, 3, 5);
    const std::tuple<const char*, CDateTime, const char*, std::string> rows[] = {
        {"everyCodeOnAMonday", monday, "[%A %a %B %b %d %H %I %j %m %M %p %S %w %W %y %Y]",
         "[Monday Mon March Mar 05 14 02 064 03 07 PM 09 0 10 07 2007]"},
        {"everyCodeOnASundayAfterMidnight", CDateTime(2007, 3, 4, 0, 30, 5),
         "%A %a %B %b %d %H %I %j %m %M %p %S %w %W %y %Y",
         "Sunday Sun March Mar 04 00 12 063 03 30 AM 05 6 09 07 2007"},
        {"beforeNoon", CDateTime(2007, 3, 5, 11, 30, 0), "%I %p", "11 AM"},
        {"noon", CDateTime(2007, 3, 5, 12, 30, 0), "%I %p", "12 PM"},
        {"hashOnEveryNumber", CDateTime(5, 1, 2, 3, 4, 6),
         "%#d %#H %#I %#j %#m %#M %#S %#W %#y %#Y",
         "2 3 3 2 1 4 6 53 5 5"}, // 2 January 0005 is in week 53 of year 4
        {"hashAppliesToOneCodeOnly", march5, "%#d %d", "5 05"},
        {"percentAndUnknownCodes", march5, "100%% %#% %x %#q", "100% % x q"},
        {"danglingPercent", march5, "%d%", "05%"},
        {"danglingPercentHash", march5, "%d%#", "05%#"},
        {"yearPaddedToFour", CDateTime(5, 1, 1), "%Y", "0005"},
        {"fiveDigitYearInFull", CDateTime(12345, 6, 1), "%Y %y", "12345 45"},
        {"yearBeforeYear0", CDateTime::FromDayNumber(-366), "%Y %y", "-001 99"},
    };
    for (const auto& [name, value, pattern, expected] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(value.Format(pattern), expected);
    }
}

TEST(DateTimeTest, FormatAndNameHelpersUseTheInstalledLocaleNames) {
    const auto tagged = std::make_shared<TaggedLocaleNames>();
    const auto original = SetLocaleNames(tagged);
    EXPECT_EQ(CDateTime(2007, 3, 4, 9, 0, 0).Format("%A %a %B %b %p"), "day6 d6 month3 m3 vorm.");
    EXPECT_EQ(CDateTime(2007, 3, 4, 15, 0, 0).Format("%p"), "nachm.");
    EXPECT_EQ(CDateTime::GetDayName(2), "day2");
    EXPECT_EQ(CDateTime::GetMonthName(12, true), "m12");
    EXPECT_EQ(CDateTime::GetMonthName(13), "") << "out of range, whatever the names";

    // Installing returns the previous names; null restores English.
    EXPECT_EQ(SetLocaleNames(nullptr), tagged);
    EXPECT_EQ(GetLocaleNames().PmDesignator(), "PM");
    EXPECT_EQ(CDateTime(2007, 3, 4).Format("%A %B %b"), "Sunday March Mar");
    for (const int index : {-1, 0, 13, std::numeric_limits<int>::min()}) {
        EXPECT_EQ(CDateTime::GetMonthName(index), "") << index;
    }
    EXPECT_EQ(CDateTime::GetDayName(7), "");
    EXPECT_EQ(CDateTime::GetDayName(-1, true), "");
    EXPECT_EQ(CEnglishLocaleNames().DayName(7, false), "");
    EXPECT_EQ(CEnglishLocaleNames().MonthName(0, true), "");
    SetLocaleNames(original);
}

TEST(DateTimeTest, ParseReadsSixNumbersAndTakesOnlyAValidDate) {
    // Every row starts from 1999-12-31 23:59:58; an invalid date leaves that value as it is,
    // a valid date with an invalid time keeps its time of day.
    const std::string unchanged = "1999-12-31 23:59:58";
    const std::tuple<const char*, const char*, bool, std::string> rows[] = {
        {"isoLikeWithoutSeconds", "2007-03-05 14:30", true, "2007-03-05 14:30:00"},
        {"everySeparator", "2007\t3:5.14,30/15\\", true, "2007-03-05 14:30:15"},
        {"hyphenSeparatesNotNegates", "2007 -3 -5", true, "2007-03-05 00:00:00"},
        {"trailingLettersIgnored", "2007y 3m 5d 14h", true, "2007-03-05 14:00:00"},
        {"plusSign", "+2007 +3 +5", true, "2007-03-05 00:00:00"},
        {"leadingControlSpaceSkipped", "\n2007 3 5 \r14", true, "2007-03-05 14:00:00"},
        {"tokensBeyondSixIgnored", "2007 3 5 14 30 15 99 abc", true, "2007-03-05 14:30:15"},
        {"tokenWithoutDigitsIsZero", "2007 3 5 x 30 15", true, "2007-03-05 00:30:15"},
        {"hour24KeepsTime", "2007 3 5 24 0 0", true, "2007-03-05 23:59:58"},
        {"hourOverflowSaturates", "2007 3 5 99999999999 0 0", true, "2007-03-05 23:59:58"},
        {"onlySeparators", " -:./\\,\t", false, unchanged},
        {"dayMonthYearOrder", "5.3.2007", false, unchanged},
        {"fewerThanThreeTokens", "2007 3", false, unchanged},
        {"yearOverflowSaturates", "99999999999999999999 1 1", false, unchanged},
        {"signedZeroTokens", "+ + +", false, unchanged},
    };
    for (const auto& [name, text, result, expected] : rows) {
        SCOPED_TRACE(name);
        CDateTime value(1999, 12, 31, 23, 59, 58);
        EXPECT_EQ(value.Parse(text), result);
        EXPECT_EQ(Fields(value), expected);
        EXPECT_EQ(value.GetDayNumber(),
                  CDateTime::DayNumber(value.GetYear(), value.GetMonth(), value.GetDay()));
    }
}

TEST(DateTimeTest, SerializeWritesDayNumberAndSecondsAndRefusesSecondsOutsideTheDay) {
    struct Row {
        std::vector<uint8_t> bytes;
        CDateTime value; // unset: refused, the value stays as it was
    };
    const CDateTime before(1999, 1, 1, 1, 1, 1);
    const Row rows[] = {
        {{0x44, 0x2E, 0x0B, 0x00, 0xE8, 0xCB, 0x00, 0x00}, CDateTime(2007, 3, 5, 14, 30, 0)},
        {{0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0}, CDateTime::FromDayNumber(-2, 1)},
        {{0, 0, 0, 0x80, 0, 0, 0, 0}, CDateTime::FromDayNumber(kInt32Min)},
        {{1, 0, 0, 0, 0x7F, 0x51, 0x01, 0x00}, CDateTime::FromDayNumber(1, 86399)},
        {{1, 0, 0, 0, 0x80, 0x51, 0x01, 0x00}, CDateTime()},
        {{1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, CDateTime()},
        {{1, 0, 0, 0, 0, 0}, CDateTime()}, // cut short
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Fields(row.value));
        CMemorySource source(row.bytes);
        CArchive ar(source);
        CDateTime loaded = before;
        if (!row.value.IsSet()) {
            EXPECT_THROW(loaded.Serialize(ar), CArchiveException);
            EXPECT_EQ(Fields(loaded), Fields(before));
            continue;
        }
        loaded.Serialize(ar);
        EXPECT_EQ(Fields(loaded), Fields(row.value)); // the cache is rebuilt
        EXPECT_EQ(test::Store([&](CArchive& out) { loaded.Serialize(out); }), row.bytes);
    }
    test::ExpectArchiveError(
        rows[4].bytes, CArchiveException::Cause::badFormat, 8,
        [](CArchive& ar) { CDateTime().Serialize(ar); }, "seconds of the day",
        "seconds of a date-time out of range: 86400");

    // Another writer may store a date-time as an object of its own: a class record, then the value.
    const CDateTime value(2007, 3, 5, 14, 30, 0);
    const std::vector<uint8_t> bytes =
        test::RecordBytes().ClassRecord("CDateTime", 1).Date(value).Get();
    EXPECT_EQ(test::StoreObject(CDateTimeObject(value)), bytes);
    EXPECT_EQ(test::LoadObject<CDateTimeObject>(bytes)->GetValue(), value);
}

TEST(DateTimeSpanTest, DerivedCountsTruncateTowardZeroAndSaturate) {
    const std::tuple<const char*, int64_t, int32_t, int32_t, int32_t, int32_t> rows[] = {
        {"minusJustUnderOneMinute", -59, 0, 0, 0, 0},
        {"minusOneAndAHalfDays", -129600, -2160, -36, -1, 0},
        {"justUnderOneWeek", 604799, 10079, 167, 6, 0},
        {"minusOneWeekExactly", -604800, -10080, -168, -7, -1},
        {"minutesAtInt32Limit", int64_t{kInt32Max} * 60 + 59, kInt32Max, 35791394, 1491308, 213044},
        {"minutesBeyondInt32", int64_t{kInt32Max} * 60 + 60, kInt32Max, 35791394, 1491308, 213044},
        {"largestSpan", kInt64Max, kInt32Max, kInt32Max, kInt32Max, kInt32Max},
        {"smallestSpan", kInt64Min, kInt32Min, kInt32Min, kInt32Min, kInt32Min},
    };
    for (const auto& [name, seconds, minutes, hours, days, weeks] : rows) {
        SCOPED_TRACE(name);
        const CDateTimeSpan span(seconds);
        EXPECT_EQ(span.GetTotalMinutes(), minutes);
        EXPECT_EQ(span.GetTotalHours(), hours);
        EXPECT_EQ(span.GetDays(), days);
        EXPECT_EQ(span.GetTotalWeeks(), weeks);
    }
}

TEST(DateTimeSpanTest, SaturatingArithmetic) {
    const std::tuple<const char*, int64_t, int64_t, int64_t, int64_t> rows[] = {
        {"sumOverflowsUp", kInt64Max, 1, kInt64Max, kInt64Max - 1},
        {"sumOverflowsDown", kInt64Min, -1, kInt64Min, kInt64Min + 1},
        {"differenceOverflowsUp", kInt64Max, -1, kInt64Max - 1, kInt64Max},
        {"differenceOverflowsDown", kInt64Min, 1, kInt64Min + 1, kInt64Min},
        {"subtractSmallestFromMinusOne", -1, kInt64Min, kInt64Min, kInt64Max},
        {"extremesCancel", kInt64Max, kInt64Min, -1, kInt64Max},
    };
    for (const auto& [name, a, b, sum, difference] : rows) {
        SCOPED_TRACE(name);
        const CDateTimeSpan left(a);
        const CDateTimeSpan right(b);
        EXPECT_EQ((left + right).GetTotalSeconds(), sum);
        EXPECT_EQ((left - right).GetTotalSeconds(), difference);
        CDateTimeSpan accumulated = left;
        accumulated += right;
        EXPECT_EQ(accumulated.GetTotalSeconds(), sum);
        accumulated = left;
        accumulated -= right;
        EXPECT_EQ(accumulated.GetTotalSeconds(), difference);
    }
    EXPECT_EQ((-CDateTimeSpan(5)).GetTotalSeconds(), -5);
    EXPECT_EQ((-CDateTimeSpan(kInt64Min)).GetTotalSeconds(), kInt64Max);
    EXPECT_EQ((-CDateTimeSpan(kInt64Max)).GetTotalSeconds(), -kInt64Max);
}

TEST(DateTimeTest, NowReadsTheInstalledClockAndTheSystemClockTheLocalTime) {
    const auto fixed = std::make_shared<CFixedClock>(CDateTime(2007, 3, 5, 14, 30, 0));
    {
        const CScopedClock scope(fixed);
        EXPECT_EQ(Fields(CDateTime::Now()), "2007-03-05 14:30:00");
        fixed->Advance(CDateTimeSpan(0, 9, 30, 0));
        EXPECT_EQ(Fields(CDateTime::Now()), "2007-03-06 00:00:00");
        fixed->Advance(CDateTimeSpan(-1));
        EXPECT_EQ(Fields(CDateTime::Now()), "2007-03-05 23:59:59");
        fixed->Set(CDateTime(2010, 1, 1));
        EXPECT_EQ(Fields(CDateTime::Now()), "2010-01-01 00:00:00");
    }

    const auto previous = SetClock(fixed);
    EXPECT_EQ(SetClock(nullptr), fixed);
    EXPECT_NE(dynamic_cast<const CSystemClock*>(GetClock().get()), nullptr);
    SetClock(previous);
    // The system clock gives the local time in whole seconds: compare with the C library's local
    // time taken around the call; the two may straddle a second boundary, never more.
    const auto localNow = [] {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
#ifdef _WIN32
        localtime_s(&local, &now);
#else
        localtime_r(&now, &local);
#endif
        return CDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                         local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec);
    };
    const CDateTime before = localNow();
    const CDateTime now = CSystemClock().Now();
    const CDateTime after = localNow();
    ASSERT_TRUE(before.IsSet());
    EXPECT_LE(before, now);
    EXPECT_LE(now, after);
    EXPECT_LE((after - before).GetTotalSeconds(), 2);
}

} // namespace
} // namespace dv
