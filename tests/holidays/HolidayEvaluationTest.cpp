// Evaluation of holiday modules: the built-in references against independent computations, the
// weekday relation against a day-by-day walk, every rule kind, the shift conditions, the passes
// with their waiting holidays, and the look-ups.

#include "holidays/CHolidays.h"
#include "support/Random.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace dv {
namespace {

int64_t DayOf(int year, int month, int day) {
    return CDateTime::DayNumber(year, month, day);
}

// ---- Rule builders ---------------------------------------------------------------------------

DateRule Fixed(int month, int day) {
    DateRule rule;
    rule.kind = kRuleFixedDate;
    rule.month = month;
    rule.day = day;
    return rule;
}

DateRule NthWeekday(int ordinal, int weekday, int month) {
    DateRule rule;
    rule.kind = kRuleWeekdayInMonth;
    rule.ordinal = ordinal;
    rule.weekday = weekday;
    rule.monthOfWeekday = month;
    return rule;
}

DateRule DaysFrom(const std::string& name, int direction, int count) {
    DateRule rule;
    rule.kind = kRuleRelative;
    rule.relativeMode = kRelativeDays;
    rule.offsetName = name;
    rule.direction = direction;
    rule.count = count;
    return rule;
}

DateRule WeekdayNear(const std::string& name, int weekday, int relation, int count) {
    DateRule rule;
    rule.kind = kRuleRelative;
    rule.relativeMode = kRelativeWeekday;
    rule.weekdayName = name;
    rule.nearWeekday = weekday;
    rule.relation = relation;
    rule.count = count;
    return rule;
}

HolidayDefinition Holiday(const std::string& name, std::vector<DateRule> rules,
                          int referenceOnly = 0) {
    return HolidayDefinition{name, "Text of " + name, referenceOnly, std::move(rules)};
}

CHolidays Module(std::vector<HolidayDefinition> holidays) {
    CHolidays module;
    module.SetHolidays(std::move(holidays));
    return module;
}

// The dates of `name` in `year` as (month, day) pairs, from the year's listing.
std::vector<std::pair<int, int>> Listed(CHolidays& module, int year, const std::string& name) {
    std::vector<std::pair<int, int>> dates;
    for (const HolidayOfYear& entry : module.ListYear(year)) {
        if (entry.name == name) {
            dates.emplace_back(entry.date.GetMonth(), entry.date.GetDay());
        }
    }
    return dates;
}

using Dates = std::vector<std::pair<int, int>>;

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

// The weekday relation by walking one day at a time.
int64_t WalkRelation(int64_t day, int weekday, int relation, int count) {
    const int step = relation <= kOnOrBefore ? -1 : 1;
    int64_t at = (relation == kStrictlyBefore || relation == kStrictlyAfter) ? day + step : day;
    int found = 0;
    for (;; at += step) {
        if (CHolidays::WeekdayOf(at) == weekday && ++found == std::max(count, 1)) {
            return at;
        }
    }
}

// ---- The built-in references -------------------------------------------------------------------

TEST(HolidayReferences, WesternEasterAgreesWithTheAnonymousComputus) {
    for (int year = 1583; year <= 4099; ++year) {
        const auto [month, day] = GregorianEasterMeeus(year);
        ASSERT_EQ(CHolidays::WesternEaster(year), CDateTime(year, month, day)) << year;
    }
}

TEST(HolidayReferences, OrthodoxEaster) {
    EXPECT_EQ(CHolidays::OrthodoxEaster(2010), CHolidays::WesternEaster(2010)) << "same day";
    for (int year = 1900; year <= 2099; ++year) {
        ASSERT_EQ(CHolidays::OrthodoxEaster(year).GetDayNumber(), OrthodoxEasterMeeus(year))
            << year;
        ASSERT_EQ(CHolidays::OrthodoxEaster(year).GetDayOfWeek(), 6) << year;
    }
}

TEST(HolidayReferences, FirstSundayOfAdvent) {
    EXPECT_EQ(CHolidays::FirstAdvent(2006), CDateTime(2006, 12, 3)) << "Christmas on a Monday";
    EXPECT_EQ(CHolidays::FirstAdvent(2005), CDateTime(2005, 11, 27)) << "Christmas on a Sunday";
    // Always the fourth Sunday before Christmas Day: a Sunday from 27 November to 3 December.
    for (int year = 1; year <= 9999; ++year) {
        const CDateTime advent = CHolidays::FirstAdvent(year);
        ASSERT_EQ(advent.GetDayOfWeek(), 6) << year;
        const int64_t sinceNov27 = advent.GetDayNumber() - DayOf(year, 11, 27);
        ASSERT_TRUE(sinceNov27 >= 0 && sinceNov27 <= 6) << year;
    }
}

TEST(HolidayReferences, YearsOutsideTheRangeGiveNoDate) {
    EXPECT_FALSE(CHolidays::WesternEaster(-1).IsSet());
    EXPECT_FALSE(CHolidays::FirstAdvent(CHolidays::kMaxYear + 1).IsSet());
    EXPECT_TRUE(CHolidays::OrthodoxEaster(CHolidays::kMaxYear).IsSet());
    EXPECT_EQ(CHolidays::WesternEaster(CHolidays::kMaxYear).GetDayOfWeek(), 6);
    EXPECT_EQ(CHolidays::WesternEaster(0).GetDayOfWeek(), 6);
}

TEST(HolidayReferences, WeekdayRelationAgreesWithAWalk) {
    test::Random random(20240601);
    for (int i = 0; i < 20000; ++i) {
        const int64_t day = random.Between(1, 3'000'000);
        const int weekday = random.Int(0, 6);
        const int relation = random.Int(0, 3);
        const int count = random.Int(-1, 5); // 1 and below: the nearest
        ASSERT_EQ(CHolidays::WeekdayRelation(day, weekday, relation, count),
                  WalkRelation(day, weekday, relation, count))
            << day << " " << weekday << " " << relation << " " << count;
    }
    EXPECT_EQ(CHolidays::WeekdayRelation(100, 0, 4, 1), std::nullopt) << "unknown relation";
    EXPECT_EQ(CHolidays::WeekdayRelation(100, 0, -1, 1), std::nullopt) << "unknown relation";
}

// ---- Rule kinds -----------------------------------------------------------------------------

TEST(HolidayRules, WeekdayInMonthOutOfRangeFields) {
    struct Row {
        const char* boundary;
        DateRule rule;
        int year;
        Dates expected;
    };
    const std::vector<Row> rows = {
        {"ordinal 6 unknown", NthWeekday(6, 3, 11), 2024, {}},
        {"ordinal -1 unknown", NthWeekday(-1, 3, 11), 2024, {}},
        {"month 13", NthWeekday(0, 3, 13), 2024, {}},
        {"month 0", NthWeekday(0, 3, 0), 2024, {}},
    };
    for (const Row& row : rows) {
        CHolidays module = Module({Holiday("H", {row.rule})});
        EXPECT_EQ(Listed(module, row.year, "H"), row.expected) << row.boundary;
    }
}

TEST(HolidayRules, WeekdayInMonthAgreesWithCounting) {
    for (int year = 1990; year <= 2040; ++year) {
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
                    Dates expected;
                    if (ordinal == 5) {
                        expected.emplace_back(month, days.back());
                    } else if (static_cast<size_t>(ordinal) < days.size()) {
                        expected.emplace_back(month, days[static_cast<size_t>(ordinal)]);
                    }
                    CHolidays module =
                        Module({Holiday("H", {NthWeekday(ordinal, weekday, month)})});
                    ASSERT_EQ(Listed(module, year, "H"), expected)
                        << year << "-" << month << " weekday " << weekday << " ordinal " << ordinal;
                }
            }
        }
    }
}

// Holidays of the shipped modules are compared with an independent package for 2000 to 2035 (see
// reference/); these rows are the boundaries and rule kinds that comparison does not reach.
TEST(HolidayRules, FixedAndRelativeDates) {
    struct Row {
        const char* boundary;
        std::vector<DateRule> rules;
        int year;
        Dates expected;
    };
    DateRule everyFour = Fixed(7, 4);
    everyFour.firstYear = 2000;
    everyFour.lastYear = 2010;
    everyFour.interval = 4;
    DateRule firstYearOnly = Fixed(7, 4);
    firstYearOnly.firstYear = 2001;
    firstYearOnly.interval = 0;
    DateRule backwards = Fixed(7, 4);
    backwards.firstYear = 2000;
    backwards.interval = -3;
    const std::vector<Row> rows = {
        {"Orthodox Good Friday", {DaysFrom(kOrthodoxEasterRef, 0, 2)}, 2024, {{5, 3}}},
        {"fourth Advent Sunday", {DaysFrom(kAdventRef, 1, 21)}, 2024, {{12, 22}}},
        {"29 February in a common year", {Fixed(2, 29)}, 2023, {}},
        {"29 February in a century year", {Fixed(2, 29)}, 1900, {}},
        {"29 February in a 400th year", {Fixed(2, 29)}, 2000, {{2, 29}}},
        {"31 April", {Fixed(4, 31)}, 2024, {}},
        {"day 0", {Fixed(4, 0)}, 2024, {}},
        {"interval 4, first year", {everyFour}, 2000, {{7, 4}}},
        {"interval 4, in between", {everyFour}, 2002, {}},
        {"interval 4, last applying year", {everyFour}, 2008, {{7, 4}}},
        {"interval 4, after the last year", {everyFour}, 2012, {}},
        {"interval 4, before the first year", {everyFour}, 1996, {}},
        {"interval 0, the first year", {firstYearOnly}, 2001, {{7, 4}}},
        {"interval 0, later", {firstYearOnly}, 2002, {}},
        {"negative interval counts like its size", {backwards}, 2003, {{7, 4}}},
        {"default last year 2100", {Fixed(7, 4)}, 2100, {{7, 4}}},
        {"after the default last year", {Fixed(7, 4)}, 2101, {}},
        {"before the default first year", {Fixed(7, 4)}, 1899, {}},
        {"two rules, one day: listed twice", {Fixed(5, 1), Fixed(5, 1)}, 2024, {{5, 1}, {5, 1}}},
        {"relative date pushed into the next year", {DaysFrom(kAdventRef, 1, 40)}, 2024, {}},
    };
    for (const Row& row : rows) {
        CHolidays module = Module({Holiday("H", row.rules)});
        EXPECT_EQ(Listed(module, row.year, "H"), row.expected) << row.boundary;
    }
}

TEST(HolidayRules, UnknownKindsModesAndRelationsGiveNoDate) {
    DateRule unknownKind = Fixed(5, 1);
    unknownKind.kind = 3;
    DateRule unknownMode = DaysFrom(kEasterRef, 1, 1);
    unknownMode.relativeMode = 2;
    CHolidays module = Module({Holiday("KIND", {unknownKind}), Holiday("MODE", {unknownMode}),
                               Holiday("REL", {WeekdayNear(kEasterRef, 0, 4, 1)})});
    EXPECT_TRUE(module.ListYear(2024).empty());
    // They have computed (empty) lists: they did not wait.
    ASSERT_NE(module.GetComputedDays("KIND"), nullptr);
    EXPECT_TRUE(module.GetComputedDays("MODE")->empty());
    EXPECT_TRUE(module.GetComputedDays("REL")->empty());
}

// ---- Shift conditions -----------------------------------------------------------------------

ShiftCondition OnWeekdayMoveTo(int testWeekday, unsigned weekday, unsigned relation,
                               unsigned count = 1) {
    ShiftCondition condition;
    condition.test = kTestWeekday;
    condition.testWeekday = testWeekday;
    condition.action = kActionMoveToWeekday;
    condition.weekday = weekday;
    condition.relation = relation;
    condition.count = count;
    return condition;
}

TEST(HolidayConditions, ShiftRules) {
    struct Row {
        const char* boundary;
        std::vector<HolidayDefinition> holidays;
        int year;
        Dates expected; // of "H"
    };
    DateRule newYear = Fixed(1, 1);
    newYear.conditions = {ShiftCondition{}};
    DateRule firstWins = Fixed(1, 6); // a Saturday in 2024
    firstWins.conditions = {OnWeekdayMoveTo(5, 6, kStrictlyAfter),
                            OnWeekdayMoveTo(6, 0, kStrictlyAfter)};
    DateRule drop = Fixed(1, 6);
    ShiftCondition dropOnSaturday;
    dropOnSaturday.testWeekday = 5;
    dropOnSaturday.action = kActionDrop;
    drop.conditions = {dropOnSaturday};
    DateRule unknownAction = Fixed(1, 6);
    ShiftCondition doNothing = dropOnSaturday;
    doNothing.action = 7;
    unknownAction.conditions = {doNothing, dropOnSaturday};
    DateRule unknownTest = Fixed(1, 6);
    ShiftCondition neverHolds = dropOnSaturday;
    neverHolds.test = 2;
    unknownTest.conditions = {neverHolds};
    DateRule badRelation = Fixed(1, 6);
    badRelation.conditions = {OnWeekdayMoveTo(5, 0, 9)};
    DateRule secondMonday = Fixed(1, 6);
    secondMonday.conditions = {OnWeekdayMoveTo(5, 0, kStrictlyAfter, 2)};

    // Action 1: the nearest date of a holiday with the dates 3 and 7 May (equally near to 5 May).
    const HolidayDefinition twoDates = Holiday("TWO", {Fixed(5, 3), Fixed(5, 7)}, 1);
    ShiftCondition toNearest;
    toNearest.test = kTestWeekday;
    toNearest.action = kActionNearestNamed;
    toNearest.targetName = "TWO";
    DateRule tie = Fixed(5, 5); // a Sunday in 2024
    tie.conditions = {toNearest};
    DateRule nearer = Fixed(5, 12); // a Sunday in 2024
    nearer.conditions = {toNearest};
    ShiftCondition toEmpty = toNearest;
    toEmpty.targetName = "NONE";
    DateRule emptyTarget = Fixed(5, 5);
    emptyTarget.conditions = {toEmpty};
    const HolidayDefinition none = Holiday("NONE", {Fixed(2, 30)});

    // Test 1: the date equals a date of a named holiday.
    ShiftCondition onEaster;
    onEaster.test = kTestNamedDate;
    onEaster.testName = kEasterRef;
    onEaster.action = kActionMoveToWeekday;
    onEaster.weekday = 2;
    onEaster.relation = kStrictlyAfter;
    DateRule collides = Fixed(3, 31); // Easter Sunday 2024
    collides.conditions = {onEaster};
    DateRule noCollision = Fixed(3, 30);
    noCollision.conditions = {onEaster};

    const std::vector<Row> rows = {
        {"1 January on a Sunday moves to Monday", {Holiday("H", {newYear})}, 2023, {{1, 2}}},
        {"1 January on a Monday stays", {Holiday("H", {newYear})}, 2024, {{1, 1}}},
        {"first condition that holds decides, its result is not tested again",
         {Holiday("H", {firstWins})},
         2024,
         {{1, 7}}},
        {"action 0 with count 2", {Holiday("H", {secondMonday})}, 2024, {{1, 15}}},
        {"action 2 drops", {Holiday("H", {drop})}, 2024, {}},
        {"action 2 only when the test holds", {Holiday("H", {drop})}, 2025, {{1, 6}}},
        {"an unknown action keeps the date and ends the search",
         {Holiday("H", {unknownAction})},
         2024,
         {{1, 6}}},
        {"an unknown test never holds", {Holiday("H", {unknownTest})}, 2024, {{1, 6}}},
        {"an unknown relation in action 0 drops the date", {Holiday("H", {badRelation})}, 2024, {}},
        {"action 1, tie: the first of equals", {twoDates, Holiday("H", {tie})}, 2024, {{5, 3}}},
        {"action 1, the nearer one", {twoDates, Holiday("H", {nearer})}, 2024, {{5, 7}}},
        {"action 1, target listed after", {Holiday("H", {nearer}), twoDates}, 2024, {{5, 7}}},
        {"action 1, target without dates keeps the date",
         {none, Holiday("H", {emptyTarget})},
         2024,
         {{5, 5}}},
        {"test 1 holds on the named date", {Holiday("H", {collides})}, 2024, {{4, 3}}},
        {"test 1 does not hold elsewhere", {Holiday("H", {noCollision})}, 2024, {{3, 30}}},
    };
    for (const Row& row : rows) {
        CHolidays module = Module(row.holidays);
        EXPECT_EQ(Listed(module, row.year, "H"), row.expected) << row.boundary;
    }
}

// ---- Passes and references between holidays
// ------------------------------------------------------

TEST(HolidayPasses, ReferencesBeforeAndAfterInTheList) {
    // Day of Prayer and Repentance: the Wednesday before 23 November, through a reference-only
    // holiday that comes after it in the list.
    CHolidays module = Module({
        Holiday("PRAYER", {WeekdayNear("NOV23", 2, kStrictlyBefore, 1)}),
        Holiday("NOV23", {Fixed(11, 23)}, 1),
        Holiday("AFTER_PRAYER", {DaysFrom("PRAYER", 1, 1)}),
    });
    EXPECT_EQ(Listed(module, 2024, "PRAYER"), (Dates{{11, 20}}));
    EXPECT_EQ(Listed(module, 2022, "PRAYER"), (Dates{{11, 16}})) << "23 November a Wednesday";
    EXPECT_EQ(Listed(module, 2024, "AFTER_PRAYER"), (Dates{{11, 21}}));
    EXPECT_TRUE(Listed(module, 2024, "NOV23").empty()) << "reference only is not listed";
    ASSERT_NE(module.GetComputedDays("NOV23"), nullptr);
    EXPECT_EQ(*module.GetComputedDays("NOV23"), std::vector<int64_t>{DayOf(2024, 11, 23)});
}

TEST(HolidayPasses, CyclesAndUnknownNamesGiveNoDates) {
    CHolidays module = Module({
        Holiday("A", {DaysFrom("B", 1, 1)}),
        Holiday("B", {DaysFrom("A", 1, 1)}),
        Holiday("SELF", {Fixed(3, 3), DaysFrom("SELF", 1, 1)}),
        Holiday("UNKNOWN", {Fixed(3, 4), DaysFrom("NOWHERE", 1, 1)}),
        Holiday("FINE", {Fixed(3, 5)}),
        Holiday("ON_A", {DaysFrom("A", 1, 0)}),
    });
    const std::vector<HolidayOfYear> listed = module.ListYear(2024);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, "FINE");
    for (const char* name : {"A", "B", "SELF", "UNKNOWN", "ON_A"}) {
        EXPECT_EQ(module.GetComputedDays(name), nullptr) << name;
    }
}

TEST(HolidayPasses, ConditionsNamingLaterHolidaysWait) {
    // Boxing Day moves off Christmas Day's substitute day: test 1 names a holiday listed later.
    ShiftCondition onChristmas;
    onChristmas.test = kTestNamedDate;
    onChristmas.testName = "XMAS";
    onChristmas.action = kActionMoveToWeekday;
    onChristmas.weekday = 1;
    onChristmas.relation = kStrictlyAfter;
    DateRule boxing = Fixed(12, 26);
    boxing.conditions = {onChristmas, OnWeekdayMoveTo(6, 0, kStrictlyAfter)};
    DateRule christmas = Fixed(12, 25);
    christmas.conditions = {OnWeekdayMoveTo(5, 0, kStrictlyAfter),
                            OnWeekdayMoveTo(6, 0, kStrictlyAfter)};
    CHolidays module = Module({Holiday("BOXING", {boxing}), Holiday("XMAS", {christmas})});
    // 2021: Christmas Saturday -> Monday 27; Boxing Day Sunday 26 -> Monday 27: the first
    // condition tests the 26th itself, which is not one of Christmas's dates.
    EXPECT_EQ(Listed(module, 2021, "XMAS"), (Dates{{12, 27}}));
    EXPECT_EQ(Listed(module, 2021, "BOXING"), (Dates{{12, 27}}));
    // 2022: Christmas Sunday -> Monday 26; Boxing Day Monday 26 equals Christmas's date -> Tuesday.
    EXPECT_EQ(Listed(module, 2022, "XMAS"), (Dates{{12, 26}}));
    EXPECT_EQ(Listed(module, 2022, "BOXING"), (Dates{{12, 27}}));
    // A condition whose named list never appears makes the holiday wait for ever.
    DateRule hopeless = Fixed(12, 26);
    ShiftCondition onNothing = onChristmas;
    onNothing.testName = "NOTHING";
    hopeless.conditions = {onNothing};
    CHolidays waiting = Module({Holiday("H", {hopeless})});
    EXPECT_TRUE(waiting.ListYear(2022).empty());
    EXPECT_EQ(waiting.GetComputedDays("H"), nullptr);
}

TEST(HolidayPasses, TableOrderFollowsTheOrderOfEntry) {
    // "LATE" waits for a holiday after it, so it is entered after "EARLY" and "BASE" on the day.
    CHolidays module = Module({
        Holiday("LATE", {DaysFrom("BASE", 1, 0)}),
        Holiday("EARLY", {Fixed(6, 1)}),
        Holiday("BASE", {Fixed(6, 1)}),
    });
    const CDateTime day(2024, 6, 1);
    ASSERT_EQ(module.GetHolidayCount(day), 3);
    EXPECT_EQ(module.GetHoliday(day, 0), (HolidayText{"Text of EARLY", "EARLY"}));
    EXPECT_EQ(module.GetHoliday(day, 1), (HolidayText{"Text of BASE", "BASE"}));
    EXPECT_EQ(module.GetHoliday(day, 2), (HolidayText{"Text of LATE", "LATE"}));
    EXPECT_EQ(module.GetHoliday(day, 3), std::nullopt);
    EXPECT_EQ(module.GetHoliday(day, -1), std::nullopt);
    EXPECT_EQ(module.GetHolidayCount(CDateTime(2024, 6, 2)), 0);
}

TEST(HolidayPasses, DuplicateNamesAndBuiltInNames) {
    CHolidays module = Module({
        Holiday("DUP", {Fixed(1, 1)}),
        Holiday("DUP", {Fixed(1, 2)}),
        Holiday(kEasterRef, {Fixed(1, 3)}),
    });
    const std::vector<HolidayOfYear> listed = module.ListYear(2024);
    ASSERT_EQ(listed.size(), 1u)
        << "the second DUP and a holiday named like a reference are skipped";
    EXPECT_EQ(listed[0].date, CDateTime(2024, 1, 1));
}

// ---- Look-ups --------------------------------------------------------------------------------

TEST(HolidayLookups, EvaluateLazilyPerYear) {
    CHolidays module = Module({Holiday("EASTER", {DaysFrom(kEasterRef, 1, 0)})});
    EXPECT_EQ(module.GetEvaluatedYear(), CHolidays::kNotEvaluated);
    EXPECT_EQ(module.GetHolidayCount(CDateTime(2024, 3, 31)), 1);
    EXPECT_EQ(module.GetEvaluatedYear(), 2024);
    EXPECT_EQ(module.GetHolidayCount(CDateTime(2025, 3, 31)), 0);
    EXPECT_EQ(module.GetEvaluatedYear(), 2025);
    EXPECT_EQ(module.GetHolidayCount(CDateTime(2025, 4, 20)), 1);
    EXPECT_EQ(module.GetHolidayCount(CDateTime(2024, 3, 31, 23, 59, 59)), 1) << "time ignored";
}

TEST(HolidayLookups, YearsOutsideTheRangeHaveNoHolidays) {
    CHolidays module = Module({Holiday("NY", {Fixed(1, 1)}), Holiday("LAST", {Fixed(12, 31)})});
    std::vector<HolidayDefinition> wide = module.GetHolidays();
    for (HolidayDefinition& holiday : wide) {
        holiday.rules[0].firstYear = INT32_MIN;
        holiday.rules[0].lastYear = INT32_MAX;
    }
    module.SetHolidays(wide);
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

TEST(HolidayLookups, ExtremeCountsDoNotOverflow) {
    DateRule far = DaysFrom(kEasterRef, 1, INT32_MAX);
    DateRule farBack = DaysFrom(kEasterRef, 0, INT32_MIN);
    DateRule farWeekday = WeekdayNear(kEasterRef, 0, kStrictlyBefore, INT32_MAX);
    DateRule farShift = Fixed(1, 7); // a Sunday in 2024
    farShift.conditions = {OnWeekdayMoveTo(6, 0xFFFFFFFFu, kStrictlyAfter, 0xFFFFFFFFu)};
    CHolidays module = Module({Holiday("F", {far, farBack, farWeekday, farShift})});
    EXPECT_TRUE(module.ListYear(2024).empty());
    ASSERT_NE(module.GetComputedDays("F"), nullptr);
    EXPECT_EQ(module.GetComputedDays("F")->size(), 4u);
    EXPECT_EQ((*module.GetComputedDays("F"))[0], DayOf(2024, 3, 31) + INT32_MAX);
}

TEST(HolidayLookups, ListYearInDayOrder) {
    CHolidays module = Module({
        Holiday("XMAS", {Fixed(12, 25)}),
        Holiday("NY", {Fixed(1, 1)}),
        Holiday("EASTER", {DaysFrom(kEasterRef, 1, 0)}),
        Holiday("REF", {Fixed(2, 2)}, 1),
    });
    const std::vector<HolidayOfYear> listed = module.ListYear(2024);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0], (HolidayOfYear{CDateTime(2024, 1, 1), "Text of NY", "NY"}));
    EXPECT_EQ(listed[1], (HolidayOfYear{CDateTime(2024, 3, 31), "Text of EASTER", "EASTER"}));
    EXPECT_EQ(listed[2], (HolidayOfYear{CDateTime(2024, 12, 25), "Text of XMAS", "XMAS"}));
}

} // namespace
} // namespace dv
