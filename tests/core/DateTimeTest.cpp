#include "core/ByteStream.h"
#include "core/CArchive.h"
#include "core/CArchiveException.h"
#include "core/CDateTime.h"
#include "core/Clock.h"
#include "core/LocaleNames.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace dv {
namespace {

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

// Installs locale names for one test and restores the previous ones.
class ScopedLocaleNames {
public:
    explicit ScopedLocaleNames(std::shared_ptr<const ILocaleNames> names)
        : m_previous(SetLocaleNames(std::move(names))) {}
    ~ScopedLocaleNames() { SetLocaleNames(m_previous); }
    ScopedLocaleNames(const ScopedLocaleNames&) = delete;
    ScopedLocaleNames& operator=(const ScopedLocaleNames&) = delete;

private:
    std::shared_ptr<const ILocaleNames> m_previous;
};

class GermanLocaleNames final : public ILocaleNames {
public:
    std::string DayName(int weekday, bool abbreviated) const override {
        static const char* const kNames[] = {"Montag",  "Dienstag", "Mittwoch", "Donnerstag",
                                             "Freitag", "Samstag",  "Sonntag"};
        const std::string name = kNames[weekday];
        return abbreviated ? name.substr(0, 2) : name;
    }
    std::string MonthName(int month, bool abbreviated) const override {
        static const char* const kNames[] = {"Januar",    "Februar", "M\xC3\xA4rz", "April",
                                             "Mai",       "Juni",    "Juli",        "August",
                                             "September", "Oktober", "November",    "Dezember"};
        const std::string name = kNames[month - 1];
        return abbreviated ? name.substr(0, month == 3 ? 4 : 3) : name;
    }
    std::string AmDesignator() const override { return "vorm."; }
    std::string PmDesignator() const override { return "nachm."; }
};

// ---- Default value and construction -------------------------------------------------------------

TEST(DateTimeTest, DefaultValueIsFirstDayOfYearOneAndEarlierThanClockDates) {
    const CDateTime unset;
    EXPECT_EQ(unset.Format("%d.%m.%Y"), "01.01.0001");
    EXPECT_EQ(unset.GetDayNumber(), 1);
    EXPECT_EQ(unset.GetSecondsOfDay(), 0);
    EXPECT_EQ(unset.GetDayOfWeek(), 0);
    EXPECT_FALSE(unset.IsSet());
    EXPECT_TRUE(CDateTime(1, 1, 1, 0, 0, 1).IsSet());
    EXPECT_TRUE(CDateTime(1, 1, 2).IsSet());

    const CScopedClock systemClock(std::make_shared<CSystemClock>());
    EXPECT_LT(unset, CDateTime::Now());
    const CScopedClock fixedClock(std::make_shared<CFixedClock>(CDateTime(1, 1, 1, 0, 0, 1)));
    EXPECT_LT(unset, CDateTime::Now());
}

TEST(DateTimeTest, ConstructorsKeepTheDefaultValueForAnyInvalidComponent) {
    struct Row {
        const char* name;
        CDateTime value;
        std::string expected;
    };
    const Row rows[] = {
        {"validDate", CDateTime(2007, 3, 5), "2007-03-05 00:00:00"},
        {"validDateTime", CDateTime(2007, 3, 5, 14, 30, 59), "2007-03-05 14:30:59"},
        {"dayAfterMonthEnd", CDateTime(2007, 4, 31), "0001-01-01 00:00:00"},
        {"negativeYear", CDateTime(-1, 1, 1), "0001-01-01 00:00:00"},
        {"validDateInvalidHour", CDateTime(2007, 3, 5, 24, 0, 0), "0001-01-01 00:00:00"},
        {"validDateInvalidSecond", CDateTime(2007, 3, 5, 0, 0, 60), "0001-01-01 00:00:00"},
        {"invalidDateValidTime", CDateTime(2007, 13, 1, 12, 0, 0), "0001-01-01 00:00:00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Fields(row.value), row.expected);
    }
    EXPECT_FALSE(CDateTime(2007, 3, 5, 24, 0, 0).IsSet());
}

// ---- Setters ------------------------------------------------------------------------------------

TEST(DateTimeTest, SetDateAcceptsOnlyRealDatesAndKeepsEverythingOnFailure) {
    struct Row {
        const char* name;
        int year, month, day;
        bool valid;
    };
    const Row rows[] = {
        {"feb29InLeapCentury2000", 2000, 2, 29, true},
        {"feb29InCommonCentury1900", 1900, 2, 29, false},
        {"feb29InCommonYear2007", 2007, 2, 29, false},
        {"feb28InCommonYear", 2007, 2, 28, true},
        {"feb30InLeapYear", 2004, 2, 30, false},
        {"april31", 2007, 4, 31, false},
        {"month0", 2007, 0, 1, false},
        {"month13", 2007, 13, 1, false},
        {"day0", 2007, 1, 0, false},
        {"day32", 2007, 1, 32, false},
        {"year0", 0, 1, 1, true},
        {"year0Leap", 0, 2, 29, true},
        {"yearMinus1", -1, 12, 31, false},
        {"lastDayOfInt32Range", 5879611, 7, 11, true},
        {"firstDayBeyondInt32Range", 5879611, 7, 12, false},
        {"yearBeyondInt32Range", 5879612, 1, 1, false},
        {"yearIntMax", std::numeric_limits<int>::max(), 12, 31, false},
        {"yearIntMin", std::numeric_limits<int>::min(), 1, 1, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CDateTime value(2010, 6, 15, 13, 14, 15);
        const CDateTime before = value;
        EXPECT_EQ(value.SetDate(row.year, row.month, row.day), row.valid);
        if (row.valid) {
            EXPECT_EQ(value.GetYear(), row.year);
            EXPECT_EQ(value.GetMonth(), row.month);
            EXPECT_EQ(value.GetDay(), row.day);
            EXPECT_EQ(value.GetSecondsOfDay(), before.GetSecondsOfDay());
            EXPECT_EQ(value.GetHour(), 13);
            // The day number must follow the new date: it must round-trip.
            EXPECT_EQ(
                Fields(CDateTime::FromDayNumber(value.GetDayNumber(), 13 * 3600 + 14 * 60 + 15)),
                Fields(value));
        } else {
            EXPECT_EQ(Fields(value), Fields(before));
            EXPECT_EQ(value.GetDayNumber(), before.GetDayNumber());
        }
    }
}

TEST(DateTimeTest, SetTimeAcceptsOnlyClockTimesAndKeepsTheDate) {
    struct Row {
        const char* name;
        int hour, minute, second;
        bool valid;
    };
    const Row rows[] = {
        {"midnight", 0, 0, 0, true},          {"lastSecondOfDay", 23, 59, 59, true},
        {"hour24", 24, 0, 0, false},          {"negativeHour", -1, 0, 0, false},
        {"minute60", 12, 60, 0, false},       {"negativeMinute", 12, -1, 0, false},
        {"second60NoLeap", 12, 0, 60, false}, {"negativeSecond", 12, 0, -1, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CDateTime value(2010, 6, 15, 13, 14, 15);
        const CDateTime before = value;
        EXPECT_EQ(value.SetTime(row.hour, row.minute, row.second), row.valid);
        EXPECT_EQ(value.GetDayNumber(), before.GetDayNumber());
        if (row.valid) {
            EXPECT_EQ(value.GetSecondsOfDay(), row.hour * 3600 + row.minute * 60 + row.second);
            EXPECT_EQ(value.GetHour(), row.hour);
            EXPECT_EQ(value.GetMinute(), row.minute);
            EXPECT_EQ(value.GetSecond(), row.second);
        } else {
            EXPECT_EQ(Fields(value), Fields(before));
            EXPECT_EQ(value.GetSecondsOfDay(), before.GetSecondsOfDay());
        }
    }
}

TEST(DateTimeTest, SetTakesTheDateEvenWhenTheTimeIsRefused) {
    struct Row {
        const char* name;
        int year, month, day, hour, minute, second;
        bool result;
        std::string expected;
    };
    const Row rows[] = {
        {"bothValid", 2007, 3, 5, 14, 30, 0, true, "2007-03-05 14:30:00"},
        {"validDateInvalidTime", 2007, 3, 5, 25, 0, 0, false, "2007-03-05 13:14:15"},
        {"invalidDateValidTime", 2007, 2, 29, 8, 0, 0, false, "2010-06-15 13:14:15"},
        {"bothInvalid", 2007, 0, 0, 99, 99, 99, false, "2010-06-15 13:14:15"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CDateTime value(2010, 6, 15, 13, 14, 15);
        EXPECT_EQ(value.Set(row.year, row.month, row.day, row.hour, row.minute, row.second),
                  row.result);
        EXPECT_EQ(Fields(value), row.expected);
    }
}

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
}

// ---- Calendar functions -------------------------------------------------------------------------

TEST(DateTimeTest, LeapYearsAndMonthLengths) {
    struct LeapRow {
        const char* name;
        int year;
        bool leap;
    };
    const LeapRow leapRows[] = {
        {"divisibleBy400", 2000, true}, {"centuryNotBy400", 1900, false}, {"year0", 0, true},
        {"yearMinus100", -100, false},  {"yearMinus400", -400, true},
    };
    for (const LeapRow& row : leapRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(CDateTime::IsLeapYear(row.year), row.leap);
    }

    struct MonthRow {
        const char* name;
        int year, month, days;
    };
    const MonthRow monthRows[] = {
        {"februaryLeap", 2008, 2, 29}, {"februaryCentury", 1900, 2, 28},
        {"month0", 2007, 0, 0},        {"month13", 2007, 13, 0},
        {"negativeYear", -1, 1, 0},    {"year0February", 0, 2, 29},
    };
    for (const MonthRow& row : monthRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(CDateTime::DaysInMonth(row.year, row.month), row.days);
        const CDateTime value(row.year, row.month, 1);
        if (row.days != 0) {
            EXPECT_EQ(value.GetDaysInMonth(), row.days);
        }
    }
}

TEST(DateTimeTest, DayNumbersWeekdaysAndDaysOfYear) {
    struct Row {
        const char* name;
        int year, month, day;
        int32_t dayNumber;
        int dayOfWeek, dayOfYear;
    };
    const Row rows[] = {
        {"firstDayOfYear1IsMonday", 1, 1, 1, 1, 0, 1},
        {"oleDateZero", 1899, 12, 30, 693594, 5, 364},
        {"dec31OfYear0", 0, 12, 31, 0, 6, 366},
        {"jan1OfYear0", 0, 1, 1, -365, 5, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(CDateTime::DayNumber(row.year, row.month, row.day), row.dayNumber);
        EXPECT_EQ(CDateTime::DayOfWeek(row.year, row.month, row.day), row.dayOfWeek);
        EXPECT_EQ(CDateTime::DayOfYear(row.year, row.month, row.day), row.dayOfYear);
        const CDateTime value(row.year, row.month, row.day);
        EXPECT_EQ(value.GetDayNumber(), row.dayNumber);
        EXPECT_EQ(value.GetDayOfWeek(), row.dayOfWeek);
        EXPECT_EQ(value.GetDayOfYear(), row.dayOfYear);
    }
    EXPECT_EQ(CDateTime::WeekNumber(0, 1, 1), 52); // a Saturday, in the last week of year -1

    struct InvalidRow {
        const char* name;
        int year, month, day;
    };
    const InvalidRow invalidRows[] = {
        {"negativeYear", -1, 1, 1},
        {"feb29CommonYear", 2007, 2, 29},
        {"month13", 2007, 13, 1},
        {"beyondInt32Days", 5879611, 7, 12},
    };
    for (const InvalidRow& row : invalidRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(CDateTime::DayNumber(row.year, row.month, row.day), 0);
        EXPECT_EQ(CDateTime::DayOfWeek(row.year, row.month, row.day), -1);
        EXPECT_EQ(CDateTime::DayOfYear(row.year, row.month, row.day), 0);
        EXPECT_EQ(CDateTime::WeekNumber(row.year, row.month, row.day), 0);
    }
}

// ---- Comparison ---------------------------------------------------------------------------------

TEST(DateTimeTest, ComparisonOrdersByDayThenSeconds) {
    struct Row {
        const char* name;
        CDateTime a, b;
        int expected;
    };
    const Row rows[] = {
        {"equal", CDateTime(2007, 3, 5, 1, 2, 3), CDateTime(2007, 3, 5, 1, 2, 3), 0},
        {"laterSecond", CDateTime(2007, 3, 5, 1, 2, 4), CDateTime(2007, 3, 5, 1, 2, 3), 1},
        {"earlierDayLaterTime", CDateTime(2007, 3, 4, 23, 59, 59), CDateTime(2007, 3, 5), -1},
        {"defaultBeforeAnyDate", CDateTime(), CDateTime(1, 1, 1, 0, 0, 1), -1},
        {"beforeYear1", CDateTime::FromDayNumber(0, 86399), CDateTime(), -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(CDateTime::Compare(row.a, row.b), row.expected);
        EXPECT_EQ(CDateTime::Compare(row.b, row.a), -row.expected);
        EXPECT_EQ(row.a == row.b, row.expected == 0);
        EXPECT_EQ(row.a != row.b, row.expected != 0);
        EXPECT_EQ(row.a < row.b, row.expected < 0);
        EXPECT_EQ(row.a <= row.b, row.expected <= 0);
        EXPECT_EQ(row.a > row.b, row.expected > 0);
        EXPECT_EQ(row.a >= row.b, row.expected >= 0);
    }
}

// ---- Format -------------------------------------------------------------------------------------

TEST(DateTimeTest, FormatWritesEveryCode) {
    const CDateTime monday(2007, 3, 5, 14, 7, 9); // day 64, ISO week 10
    const CDateTime sunday(2007, 3, 4, 0, 30, 5);
    struct Row {
        const char* name;
        CDateTime value;
        const char* pattern;
        std::string expected;
    };
    const Row rows[] = {
        {"everyCodeOnAMonday", monday, "%A %a %B %b %d %H %I %j %m %M %p %S %w %W %y %Y",
         "Monday Mon March Mar 05 14 02 064 03 07 PM 09 0 10 07 2007"},
        {"literalsAroundCodes", monday, "[%d/%m] at %H:%M!", "[05/03] at 14:07!"},
        {"emptyPattern", monday, "", ""},
        {"noCodes", monday, "plain text", "plain text"},
        {"everyCodeTogether", sunday, "%A %a %B %b %d %H %I %j %m %M %p %S %w %W %y %Y",
         "Sunday Sun March Mar 04 00 12 063 03 30 AM 05 6 09 07 2007"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.value.Format(row.pattern), row.expected);
    }
}

TEST(DateTimeTest, FormatTwelveHourClockAndDesignatorAroundNoonAndMidnight) {
    struct Row {
        const char* name;
        int hour;
        const char* expected;
    };
    const Row rows[] = {
        {"midnight", 0, "12 AM"}, {"lastMorningHour", 11, "11 AM"}, {"noon", 12, "12 PM"},
        {"onePm", 13, "01 PM"},   {"lastHour", 23, "11 PM"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(CDateTime(2007, 3, 5, row.hour, 30, 0).Format("%I %p"), row.expected);
    }
}

TEST(DateTimeTest, FormatFlagPercentUnknownCodesAndPadding) {
    struct Row {
        const char* name;
        CDateTime value;
        const char* pattern;
        std::string expected;
    };
    const Row rows[] = {
        {"hashDropsPadding", CDateTime(2007, 3, 5), "%#d.%#m.%Y", "5.3.2007"},
        {"hashOnEveryNumber", CDateTime(5, 1, 2, 3, 4, 6),
         "%#d %#H %#I %#j %#m %#M %#S %#W %#y %#Y",
         "2 3 3 2 1 4 6 53 5 5"}, // 2 January 0005 is in week 53 of year 4
        {"hashAppliesToOneCodeOnly", CDateTime(2007, 3, 5), "%#d %d", "5 05"},
        {"hashOnNameCode", CDateTime(2007, 3, 5), "%#A", "Monday"},
        {"doublePercent", CDateTime(2007, 3, 5), "100%%", "100%"},
        {"hashPercent", CDateTime(2007, 3, 5), "%#%", "%"},
        {"unknownCodeCopied", CDateTime(2007, 3, 5), "%x", "x"},
        {"unknownCodeWithHash", CDateTime(2007, 3, 5), "%#q", "q"},
        {"danglingPercent", CDateTime(2007, 3, 5), "%d%", "05%"},
        {"danglingPercentHash", CDateTime(2007, 3, 5), "%d%#", "05%#"},
        {"yearPaddedToFour", CDateTime(5, 1, 1), "%Y", "0005"},
        {"yearZero", CDateTime(0, 6, 1), "%Y %y", "0000 00"},
        {"fiveDigitYearInFull", CDateTime(12345, 6, 1), "%Y %y", "12345 45"},
        {"dayOfYear366", CDateTime(2008, 12, 31), "%j", "366"},
        {"yearBeforeYear0", CDateTime::FromDayNumber(-366), "%Y %y", "-001 99"},
        {"nonAsciiLiteralsCopied", CDateTime(2007, 3, 5), "\xC3\xA9t\xC3\xA9 %Y",
         "\xC3\xA9t\xC3\xA9 2007"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.value.Format(row.pattern), row.expected);
    }
}

TEST(DateTimeTest, FormatAndNameHelpersUseTheInstalledLocaleNames) {
    EXPECT_EQ(CDateTime::GetDayName(0), "Monday");
    EXPECT_EQ(CDateTime::GetDayName(6, true), "Sun");
    EXPECT_EQ(CDateTime::GetMonthName(1), "January");
    EXPECT_EQ(CDateTime::GetMonthName(12, true), "Dec");
    {
        const ScopedLocaleNames german(std::make_shared<GermanLocaleNames>());
        const CDateTime value(2007, 3, 4, 9, 0, 0);
        EXPECT_EQ(value.Format("%A, %#d. %B %Y, %a %b %I %p"),
                  "Sonntag, 4. M\xC3\xA4rz 2007, So M\xC3\xA4r 09 vorm.");
        EXPECT_EQ(CDateTime(2007, 3, 4, 15, 0, 0).Format("%p"), "nachm.");
        EXPECT_EQ(CDateTime::GetDayName(2), "Mittwoch");
        EXPECT_EQ(CDateTime::GetMonthName(12, true), "Dez");
    }
    EXPECT_EQ(CDateTime(2007, 3, 4).Format("%A %B"), "Sunday March");

    struct Row {
        const char* name;
        int index;
    };
    const Row outOfRange[] = {{"belowRange", -1},
                              {"zero", 0},
                              {"aboveRange", 13},
                              {"intMin", std::numeric_limits<int>::min()}};
    for (const Row& row : outOfRange) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(CDateTime::GetMonthName(row.index), "");
        EXPECT_EQ(CDateTime::GetMonthName(row.index, true), "");
    }
    EXPECT_EQ(CDateTime::GetDayName(7), "");
    EXPECT_EQ(CDateTime::GetDayName(-1, true), "");
}

TEST(DateTimeTest, LocaleNamesInstallationReturnsThePreviousAndNullRestoresEnglish) {
    const auto german = std::make_shared<GermanLocaleNames>();
    const auto original = SetLocaleNames(german);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(&GetLocaleNames(), german.get());
    const auto previous = SetLocaleNames(nullptr);
    EXPECT_EQ(previous, german);
    EXPECT_EQ(GetLocaleNames().DayName(0, false), "Monday");
    EXPECT_EQ(GetLocaleNames().AmDesignator(), "AM");
    EXPECT_EQ(GetLocaleNames().PmDesignator(), "PM");
    SetLocaleNames(original);

    const CEnglishLocaleNames english;
    EXPECT_EQ(english.DayName(7, false), "");
    EXPECT_EQ(english.MonthName(0, true), "");
    EXPECT_EQ(english.MonthName(9, false), "September");
    EXPECT_EQ(english.DayName(3, true), "Thu");
}

TEST(DateTimeTest, DumpWritesDayMonthYearAndTime) {
    std::ostringstream out;
    CDateTime(2007, 3, 5, 14, 30, 0).Dump(out);
    EXPECT_EQ(out.str(), "05.03.2007, 14:30:00");
}

// ---- Parse --------------------------------------------------------------------------------------

TEST(DateTimeTest, ParseReadsSixNumbersAndTakesOnlyAValidDate) {
    // Every row starts from 1999-12-31 23:59:58; an invalid date leaves that value as it is,
    // a valid date with an invalid time keeps its time of day.
    const std::string unchanged = "1999-12-31 23:59:58";
    struct Row {
        const char* name;
        const char* text;
        bool result;
        std::string expected;
    };
    const Row rows[] = {
        {"fixedForm", "2007 03 05 14 30 00", true, "2007-03-05 14:30:00"},
        {"isoLikeWithoutSeconds", "2007-03-05 14:30", true, "2007-03-05 14:30:00"},
        {"dateOnlyGivesMidnight", "2007 3 5", true, "2007-03-05 00:00:00"},
        {"everySeparator", "2007\t3:5.14,30/15\\", true, "2007-03-05 14:30:15"},
        {"runsOfSeparators", "  ::2007 -- 3 ..5,,, 1 / 2 \\\\ 3  ", true, "2007-03-05 01:02:03"},
        {"hyphenSeparatesNotNegates", "2007 -3 -5", true, "2007-03-05 00:00:00"},
        {"trailingLettersIgnored", "2007y 3m 5d 14h", true, "2007-03-05 14:00:00"},
        {"plusSign", "+2007 +3 +5", true, "2007-03-05 00:00:00"},
        {"leadingControlSpaceSkipped", "\n2007 3 5 \r14", true, "2007-03-05 14:00:00"},
        {"tokensBeyondSixIgnored", "2007 3 5 14 30 15 99 abc", true, "2007-03-05 14:30:15"},
        {"tokenWithoutDigitsIsZero", "2007 3 5 x 30 15", true, "2007-03-05 00:30:15"},
        {"year0", "0 2 29", true, "0000-02-29 00:00:00"},
        {"hour24KeepsTime", "2007 3 5 24 0 0", true, "2007-03-05 23:59:58"},
        {"minute60KeepsTime", "2007 3 5 12 60 0", true, "2007-03-05 23:59:58"},
        {"second60KeepsTime", "2007 3 5 12 0 60", true, "2007-03-05 23:59:58"},
        {"hourOverflowSaturates", "2007 3 5 99999999999 0 0", true, "2007-03-05 23:59:58"},
        {"empty", "", false, unchanged},
        {"onlySeparators", " -:./\\,\t", false, unchanged},
        {"dayMonthYearOrder", "5.3.2007", false, unchanged},
        {"monthNotANumber", "2007 March 5", false, unchanged},
        {"fewerThanThreeTokens", "2007 3", false, unchanged},
        {"invalidLeapDay", "2007 2 29 12 0 0", false, unchanged},
        {"yearOverflowSaturates", "99999999999999999999 1 1", false, unchanged},
        {"monthOverflowSaturates", "2007 4294967299 1", false, unchanged},
        {"signedZeroTokens", "+ + +", false, unchanged},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CDateTime value(1999, 12, 31, 23, 59, 58);
        EXPECT_EQ(value.Parse(row.text), row.result);
        EXPECT_EQ(Fields(value), row.expected);
        EXPECT_EQ(value.GetDayNumber(),
                  CDateTime::DayNumber(value.GetYear(), value.GetMonth(), value.GetDay()));
    }
}

TEST(DateTimeTest, FormatFixedThenParseRoundTrips) {
    const CDateTime values[] = {CDateTime(), CDateTime(9999, 12, 31, 23, 59, 59),
                                CDateTime(2008, 2, 29, 12, 0, 1), CDateTime(0, 1, 1),
                                CDateTime(123456, 7, 8, 9, 10, 11)};
    for (const CDateTime& value : values) {
        SCOPED_TRACE(Fields(value));
        CDateTime parsed(2000, 1, 1, 1, 1, 1);
        EXPECT_TRUE(parsed.Parse(value.FormatFixed()));
        EXPECT_EQ(parsed, value);
        EXPECT_EQ(Fields(parsed), Fields(value));
    }
    EXPECT_EQ(CDateTime(2007, 3, 5, 14, 30, 0).FormatFixed(), "2007 03 05 14 30 00");
}

// ---- Archive ------------------------------------------------------------------------------------

std::vector<uint8_t> Store(CDateTime value) {
    CMemorySink sink;
    CArchive ar(sink);
    value.Serialize(ar);
    ar.Close();
    return sink.TakeData();
}

TEST(DateTimeTest, SerializeWritesDayNumberAndSecondsAsTwoLittleEndianLongs) {
    struct Row {
        const char* name;
        CDateTime value;
        std::vector<uint8_t> bytes;
    };
    const Row rows[] = {
        {"defaultValue", CDateTime(), {0x01, 0, 0, 0, 0, 0, 0, 0}},
        {"march5Of2007At1430",
         CDateTime(2007, 3, 5, 14, 30, 0),
         {0x44, 0x2E, 0x0B, 0x00, 0xE8, 0xCB, 0x00, 0x00}}, // 732740, 52200
        {"lastSecondOf9999",
         CDateTime(9999, 12, 31, 23, 59, 59),
         {0xDB, 0xB9, 0x37, 0x00, 0x7F, 0x51, 0x01, 0x00}}, // 3652059, 86399
        {"negativeDayNumber",
         CDateTime::FromDayNumber(-2, 1),
         {0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0}},
        {"largestDayNumber",
         CDateTime::FromDayNumber(kInt32Max),
         {0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0}},
        {"smallestDayNumber", CDateTime::FromDayNumber(kInt32Min), {0, 0, 0, 0x80, 0, 0, 0, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<uint8_t> bytes = Store(row.value);
        EXPECT_EQ(bytes, row.bytes);

        CMemorySource source(bytes);
        CArchive ar(source);
        CDateTime loaded(1999, 1, 1, 1, 1, 1);
        loaded.Serialize(ar);
        EXPECT_EQ(loaded, row.value);
        EXPECT_EQ(Fields(loaded), Fields(row.value)); // the cache is rebuilt
        EXPECT_EQ(ar.GetPosition(), 8u);
    }
}

TEST(DateTimeTest, SerializeRefusesSecondsOutsideTheDayAndKeepsTheValue) {
    struct Row {
        const char* name;
        std::vector<uint8_t> bytes;
        bool accepted;
    };
    const Row rows[] = {
        {"lastSecondOfDay", {1, 0, 0, 0, 0x7F, 0x51, 0x01, 0x00}, true},
        {"secondsOneDay", {1, 0, 0, 0, 0x80, 0x51, 0x01, 0x00}, false},
        {"secondsMinusOne", {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, false},
        {"secondsLargest", {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CMemorySource source(row.bytes);
        CArchive ar(source);
        CDateTime loaded(1999, 1, 1, 1, 1, 1);
        const CDateTime before = loaded;
        if (row.accepted) {
            EXPECT_NO_THROW(loaded.Serialize(ar));
            continue;
        }
        try {
            loaded.Serialize(ar);
            ADD_FAILURE() << "no error";
        } catch (const CArchiveException& error) {
            EXPECT_EQ(error.GetCause(), CArchiveException::Cause::badFormat);
            EXPECT_NE(std::string(error.what()).find("seconds of a date-time out of range"),
                      std::string::npos)
                << error.what();
            EXPECT_EQ(error.GetOffset(), 8u);
        }
        EXPECT_EQ(loaded, before);
        EXPECT_EQ(Fields(loaded), Fields(before));
    }

    const std::vector<uint8_t> truncated = {1, 0, 0, 0, 0, 0};
    CMemorySource source(truncated);
    CArchive ar(source);
    CDateTime loaded(1999, 1, 1);
    EXPECT_THROW(loaded.Serialize(ar), CArchiveException);
    EXPECT_EQ(Fields(loaded), "1999-01-01 00:00:00");
}

// ---- Clock --------------------------------------------------------------------------------------

TEST(DateTimeTest, NowReadsTheInstalledClock) {
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
        {
            const CScopedClock inner(std::make_shared<CFixedClock>(CDateTime(1999, 1, 1)));
            EXPECT_EQ(Fields(CDateTime::Now()), "1999-01-01 00:00:00");
        }
        EXPECT_EQ(Fields(CDateTime::Now()), "2010-01-01 00:00:00");
    }
    EXPECT_NE(GetClock(), fixed);

    const auto previous = SetClock(fixed);
    EXPECT_EQ(SetClock(nullptr), fixed);
    EXPECT_NE(dynamic_cast<const CSystemClock*>(GetClock().get()), nullptr);
    SetClock(previous);
}

TEST(DateTimeTest, SystemClockGivesTheLocalTimeInWholeSeconds) {
    // Compare with the C library's local time taken around the call; the two may straddle a
    // second boundary, never more.
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

TEST(DateTimeTest, FixedClockAdvancesAtomicallyFromManyThreads) {
    const CDateTime start(2007, 3, 5);
    const auto clock = std::make_shared<CFixedClock>(start);
    const CScopedClock scope(clock);
    constexpr int kThreads = 4;
    constexpr int kSteps = 2000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&clock] {
            for (int i = 0; i < kSteps; ++i) {
                clock->Advance(CDateTimeSpan(1));
                // Readers see a consistent value: cache and seconds in step.
                const CDateTime now = CDateTime::Now();
                if (now.GetHour() * 3600 + now.GetMinute() * 60 + now.GetSecond() !=
                    now.GetSecondsOfDay()) {
                    ADD_FAILURE() << "torn value " << now.GetSecondsOfDay();
                    return;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ((CDateTime::Now() - start).GetTotalSeconds(), kThreads * kSteps);
}

} // namespace
} // namespace dv
