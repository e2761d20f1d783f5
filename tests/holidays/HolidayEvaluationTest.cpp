// Evaluation of holiday modules: the built-in references against independent computations, rule
// kinds, shift conditions, passes and look-ups.

#include "holidays/CHolidays.h"
#include "holidays/HolidaySource.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace dv {
namespace {

int64_t DayOf(int year, int month, int day) {
    return CDateTime::DayNumber(year, month, day);
}

// The module compiled from `source` (the language line added).
CHolidays Compiled(const std::string& source) {
    return CompileHolidaySource("language 0x409\n" + source, "test.txt");
}

// The dates of `name` in `year` ("MM-DD", blank-separated).
std::string DatesOf(CHolidays module, int year, const std::string& name = "H") {
    std::string dates;
    for (const HolidayOfYear& entry : module.ListYear(year)) {
        if (entry.name == name) {
            dates += (dates.empty() ? "" : " ") + entry.date.Format("%m-%d");
        }
    }
    return dates;
}

// ---- Independent references ------------------------------------------------------------------

// The anonymous Gregorian computus (Meeus/Jones/Butcher); returns {month, day}.
std::pair<int, int> GregorianEasterMeeus(int year) {
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return {month, day};
}

// Meeus's Julian computus, then the Julian date turned into a day number by counting days.
int64_t OrthodoxEasterMeeus(int year) {
    const int a = year % 4;
    const int b = year % 7;
    const int c = year % 19;
    const int d = (19 * c + 15) % 30;
    const int e = (2 * a + 4 * b - d + 34) % 7;
    const int month = (d + e + 114) / 31;
    const int day = (d + e + 114) % 31 + 1;
    // Julian day count: 1 March of a Julian year as an offset from the Gregorian one. Between
    // 1 March 1900 and 28 February 2100 the calendars are 13 days apart.
    return DayOf(year, month, day) + 13;
}

// ---- The built-in references -------------------------------------------------------------------

// Advent: always the fourth Sunday before Christmas Day, a Sunday from 27 November to 3 December.
TEST(HolidayReferences, EasterAndAdventAgreeWithIndependentComputations) {
    for (int year = 1; year <= 9999; ++year) {
        if (year >= 1583 && year <= 4099) {
            const auto [month, day] = GregorianEasterMeeus(year);
            ASSERT_EQ(CHolidays::WesternEaster(year), CDateTime(year, month, day)) << year;
        }
        if (year >= 1900 && year <= 2099) {
            ASSERT_EQ(CHolidays::OrthodoxEaster(year).GetDayNumber(), OrthodoxEasterMeeus(year))
                << year;
        }
        const CDateTime advent = CHolidays::FirstAdvent(year);
        ASSERT_EQ(advent.GetDayOfWeek(), 6) << year;
        const int64_t sinceNov27 = advent.GetDayNumber() - DayOf(year, 11, 27);
        ASSERT_TRUE(sinceNov27 >= 0 && sinceNov27 <= 6) << year;
    }
    EXPECT_EQ(CHolidays::OrthodoxEaster(2010), CHolidays::WesternEaster(2010)) << "same day";
    EXPECT_FALSE(CHolidays::WesternEaster(-1).IsSet());
    EXPECT_FALSE(CHolidays::FirstAdvent(CHolidays::kMaxYear + 1).IsSet());
    EXPECT_TRUE(CHolidays::OrthodoxEaster(CHolidays::kMaxYear).IsSet());
    EXPECT_EQ(CHolidays::WesternEaster(CHolidays::kMaxYear).GetDayOfWeek(), 6);
    EXPECT_EQ(CHolidays::WesternEaster(0).GetDayOfWeek(), 6);
}

// ---- Rule kinds -----------------------------------------------------------------------------

TEST(HolidayRules, WeekdayInMonthAgreesWithCounting) {
    // 28 years hold every combination of leap year and weekday of 1 January.
    for (int year = 2000; year < 2028; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int weekday = 0; weekday < 7; ++weekday) {
                // All days of the month with that weekday, counted from the 1st.
                std::vector<int> days;
                for (int day = 1; day <= CDateTime::DaysInMonth(year, month); ++day) {
                    if (CDateTime::DayOfWeek(year, month, day) == weekday) {
                        days.push_back(day);
                    }
                }
                for (int ordinal = 0; ordinal <= 5; ++ordinal) {
                    std::string expected;
                    if (ordinal == 5 || static_cast<size_t>(ordinal) < days.size()) {
                        const int day =
                            ordinal == 5 ? days.back() : days[static_cast<size_t>(ordinal)];
                        expected = CDateTime(year, month, day).Format("%m-%d");
                    }
                    DateRule rule;
                    rule.kind = kRuleWeekdayInMonth;
                    rule.ordinal = ordinal;
                    rule.weekday = weekday;
                    rule.monthOfWeekday = month;
                    CHolidays module;
                    module.SetHolidays({HolidayDefinition{"H", "h", 0, {rule}}});
                    ASSERT_EQ(DatesOf(module, year), expected)
                        << year << "-" << month << " weekday " << weekday << " ordinal " << ordinal;
                }
            }
        }
    }
}

// Holidays of the shipped modules are compared with an independent package for 2000 to 2035 (see
// reference/); these rows are the boundaries, rule kinds and conditions that it does not reach.
TEST(HolidayRules, RulesConditionsAndReferences) {
    struct Row {
        const char* boundary;
        std::string source;
        int year;
        std::string expected;
    };
    const std::string h = "holiday H \"h\" = ";
    const std::string twoDates = "reference TWO\n    3 May\n    7 May\n";
    const std::string xmas = "holiday XMAS \"x\" = 25 December; if Saturday then next Monday; "
                             "if Sunday then next Monday\n";
    const std::string boxing = h + "26 December; if on XMAS then next Tuesday; "
                                   "if Sunday then next Monday\n";
    const std::vector<Row> rows = {
        {"Orthodox Good Friday", h + "2 days before ORTHODOX_EASTER_REF", 2024, "05-03"},
        {"relative date pushed into the next year", h + "ADVENT_REF + 40 days", 2024, ""},
        {"day 0", h + "1 April; with day=0", 2024, ""},
        {"first Monday, short names", h + "first Mon in Jan", 2024, "01-01"},
        {"weekday ordinal 6", h + "first Monday of May; with ordinal=6", 2024, ""},
        {"weekday ordinal -1", h + "first Monday of May; with ordinal=-1", 2024, ""},
        {"weekday in month 13", h + "first Monday of May; with weekdayMonth=13", 2024, ""},
        {"weekday in month 0", h + "first Monday of May; with weekdayMonth=0", 2024, ""},
        {"interval 4, in between", h + "4 July; from 2000 to 2008; every 4 years", 2002, ""},
        {"interval 0, later", h + "4 July; from 2001; with interval=0", 2002, ""},
        {"until: default first year", h + "1 May; until 1950", 1900, "05-01"},
        {"default last year 2100", h + "4 July", 2100, "07-04"},
        {"after the default last year", h + "4 July", 2101, ""},
        {"before the default first year", h + "4 July", 1899, ""},
        {"two rules, one day: listed twice", "holiday H \"h\"\n    1 May\n    1 May", 2024,
         "05-01 05-01"},
        {"unknown mode", h + "EASTER_REF + 1 day; with mode=2", 2024, ""},
        {"unknown relation", h + "Monday after EASTER_REF; with relation=4", 2024, ""},
        {"after a Monday: the next one", "reference M = 6 May\n" + h + "Monday after M", 2024,
         "05-13"},
        // Shift conditions; 6 January 2024 is a Saturday.
        {"first condition that holds decides, its result is not tested again",
         h + "6 January; if Saturday then next Sunday; if Sunday then next Monday", 2024, "01-07"},
        {"second weekday", h + "6 January; if Saturday then 2nd Monday after", 2024, "01-15"},
        {"drop", h + "6 January; if Saturday then drop", 2024, ""},
        {"drop only when the test holds", h + "6 January; if Saturday then drop", 2025, "01-06"},
        {"an unknown action keeps the date and ends the search",
         h + "6 January; if Saturday then drop with action=7; if Saturday then drop", 2024,
         "01-06"},
        {"an unknown test never holds", h + "6 January; if Saturday then drop with test=2", 2024,
         "01-06"},
        {"an unknown relation drops the date",
         h + "6 January; if Saturday then next Monday with relation=9", 2024, ""},
        {"nearest, tie: the first of equals", twoDates + h + "5 May; if Sunday then nearest TWO",
         2024, "05-03"},
        {"nearest, target listed after", h + "12 May; if Sunday then nearest TWO\n" + twoDates,
         2024, "05-07"},
        {"nearest, target without dates keeps the date",
         "reference NONE = 1 February; with day=30\n" + h + "5 May; if Sunday then nearest NONE",
         2024, "05-05"},
        // Passes: references to holidays later in the list, waiting conditions, cycles.
        {"chain of references",
         "holiday P \"p\" = Wednesday before N\nreference N = 23 November\n" + h + "1 day after P",
         2024, "11-21"},
        {"condition on a later holiday, on its date", boxing + xmas, 2022, "12-27"},
        {"condition on a name that never gets dates waits for ever",
         h + "26 December; if on NOTHING then next Tuesday", 2022, ""},
        {"unknown name", "holiday H \"h\"\n    3 March\n    NOWHERE + 1 day", 2024, ""},

    };
    for (const Row& row : rows) {
        EXPECT_EQ(DatesOf(Compiled(row.source), row.year), row.expected) << row.boundary;
    }
}

// "LATE" waits for a holiday after it, so it is entered after "EARLY" and "BASE" on the day.
TEST(HolidayLookups, TableOrderFollowsTheOrderOfEntryAndYearsOutsideTheRangeHaveNone) {
    CHolidays module =
        Compiled("holiday LATE \"late\" = BASE + 0 days\n"
                 "holiday EARLY \"early\" = 1 June\nholiday BASE \"base\" = 1 June\n"
                 "holiday NY \"ny\" = 1 January\nholiday LAST \"last\" = 31 December\n");
    const CDateTime day(2024, 6, 1);
    ASSERT_EQ(module.GetHolidayCount(day), 3);
    EXPECT_EQ(module.GetHoliday(day, 0), (HolidayText{"early", "EARLY"}));
    EXPECT_EQ(module.GetHoliday(day, 1), (HolidayText{"base", "BASE"}));
    EXPECT_EQ(module.GetHoliday(day, 2), (HolidayText{"late", "LATE"}));
    EXPECT_EQ(module.GetHoliday(day, 3), std::nullopt);
    EXPECT_EQ(module.GetHoliday(day, -1), std::nullopt);
    EXPECT_EQ(module.GetHolidayCount(CDateTime(2024, 6, 2)), 0);

    std::vector<HolidayDefinition> wide = module.GetHolidays();
    for (HolidayDefinition& holiday : wide) {
        holiday.rules[0].firstYear = INT32_MIN;
        holiday.rules[0].lastYear = INT32_MAX;
    }
    module.SetHolidays({wide[3], wide[4]});
    EXPECT_EQ(module.GetHolidayCount(CDateTime::FromDayNumber(-400)), 0) << "year -1";
    EXPECT_TRUE(module.ListYear(-1).empty());
    EXPECT_TRUE(module.ListYear(CHolidays::kMaxYear + 1).empty());
    EXPECT_EQ(module.ListYear(0).size(), 2u) << "year 0";
    const std::vector<HolidayOfYear> last = module.ListYear(CHolidays::kMaxYear);
    ASSERT_EQ(last.size(), 2u);
    EXPECT_EQ(last[1].date, CDateTime(CHolidays::kMaxYear, 12, 31));
    module.Evaluate(-5);
    EXPECT_EQ(module.GetComputedDays(kEasterRef), nullptr);
}

} // namespace
} // namespace dv
