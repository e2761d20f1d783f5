#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dv {

/// The name under which Western Easter Sunday of the evaluated year is known.
inline constexpr const char* kEasterRef = "EASTER_REF";
/// The name under which Orthodox Easter Sunday (as a Gregorian date) is known.
inline constexpr const char* kOrthodoxEasterRef = "ORTHODOX_EASTER_REF";
/// The name under which the first Sunday of Advent is known.
inline constexpr const char* kAdventRef = "ADVENT_REF";

/// Values of DateRule::kind.
enum HolidayRuleKind : int32_t {
    kRuleFixedDate = 0,      ///< day and month
    kRuleWeekdayInMonth = 1, ///< ordinal weekday of monthOfWeekday
    kRuleRelative = 2,       ///< relative to a named date (see relativeMode)
};

/// Values of DateRule::relativeMode (kind 2).
enum HolidayRelativeMode : int32_t {
    kRelativeDays = 0,    ///< count days before or after offsetName
    kRelativeWeekday = 1, ///< the count-th nearWeekday in relation to weekdayName
};

/// Weekday relations used by DateRule::relation (kind 2, mode 1) and ShiftCondition::relation.
enum HolidayRelation : int32_t {
    kStrictlyBefore = 0,
    kOnOrBefore = 1,
    kOnOrAfter = 2,
    kStrictlyAfter = 3,
};

/// Values of ShiftCondition::test.
enum HolidayConditionTest : int32_t {
    kTestWeekday = 0,   ///< the date falls on testWeekday
    kTestNamedDate = 1, ///< the date equals one of the dates of testName
};

/// Values of ShiftCondition::action.
enum HolidayConditionAction : int32_t {
    kActionMoveToWeekday = 0, ///< the weekday relation (weekday, relation, count) from the date
    kActionNearestNamed = 1,  ///< the date of targetName nearest to the date
    kActionDrop = 2,          ///< remove the date
};

/// A shift condition of a date rule. A new condition reads: when the date falls on a Sunday, move
/// it to the first Monday strictly after it. Values outside the documented ranges are stored and
/// carried unchanged; evaluation treats them as described in CHolidays.
struct ShiftCondition {
    int32_t test = kTestWeekday;
    int32_t testWeekday = 6;           ///< test 0: 0 Monday .. 6 Sunday
    std::string testName = kEasterRef; ///< test 1
    int32_t action = kActionMoveToWeekday;
    uint32_t count = 1;                  ///< action 0: which occurrence, 1 the nearest
    uint32_t weekday = 0;                ///< action 0: 0 Monday .. 6 Sunday
    uint32_t relation = kStrictlyAfter;  ///< action 0: a HolidayRelation
    std::string targetName = kEasterRef; ///< action 1

    bool operator==(const ShiftCondition&) const = default;
};

/// One date rule of a holiday, valid for the years firstYear..lastYear (inclusive) in steps of
/// interval. Fields that a kind does not use are stored and carried unchanged.
struct DateRule {
    int32_t firstYear = 1900;
    int32_t lastYear = 2100;
    int32_t interval = 1;
    int32_t kind = kRuleFixedDate;
    int32_t day = 1;                      ///< kind 0: 1..31
    int32_t month = 1;                    ///< kind 0: 1..12
    int32_t ordinal = 1;                  ///< kind 1: 0..3 first to fourth, 4 fifth, 5 last
    int32_t unused = 0;                   ///< meaning unknown; carried unchanged
    int32_t monthOfWeekday = 1;           ///< kind 1: 1..12
    int32_t relativeMode = kRelativeDays; ///< kind 2
    int32_t weekday = 0;                  ///< kind 1: 0 Monday .. 6 Sunday
    int32_t direction = 0;                ///< kind 2 mode 0: 0 before, anything else after
    std::string offsetName = kEasterRef;  ///< kind 2 mode 0
    int32_t count = 1;       ///< kind 2: mode 0 days; mode 1 which occurrence (1 the nearest)
    int32_t nearWeekday = 0; ///< kind 2 mode 1: 0 Monday .. 6 Sunday
    int32_t relation = kStrictlyBefore;   ///< kind 2 mode 1: a HolidayRelation
    std::string weekdayName = kEasterRef; ///< kind 2 mode 1
    std::vector<ShiftCondition> conditions;

    bool operator==(const DateRule&) const = default;
};

/// One holiday of a module: its identifier, its display text and the rules whose dates together
/// are its dates.
struct HolidayDefinition {
    std::string name;          ///< identifier; other holidays refer to it by this (case-sensitive)
    std::string displayText;   ///< the text shown for the holiday
    int32_t referenceOnly = 0; ///< not 0: computed for references only, never listed
    std::vector<DateRule> rules;

    bool operator==(const HolidayDefinition&) const = default;
};

} // namespace dv
