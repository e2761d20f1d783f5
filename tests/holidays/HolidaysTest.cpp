// Module files: the exact byte layout both ways and truncation at every byte.

#include "core/CArchiveException.h"
#include "holidays/CHolidays.h"
#include "support/ArchiveBytes.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace dv {
namespace {

using test::ByteDifference;
using test::RecordBytes;

// A module with every field set to a value of its own, so that a swapped field shows.
CHolidays SampleModule() {
    ShiftCondition condition;
    condition.test = 1;
    condition.testWeekday = 5;
    condition.testName = "XMAS";
    condition.action = 2;
    condition.count = 3;
    condition.weekday = 4;
    condition.relation = 0xFFFFFFFEu;
    condition.targetName = "T\xC3\xA9";

    DateRule rule;
    rule.firstYear = 1950;
    rule.lastYear = 2050;
    rule.interval = 2;
    rule.kind = 2;
    rule.day = 25;
    rule.month = 12;
    rule.ordinal = 5;
    rule.unused = -7;
    rule.monthOfWeekday = 11;
    rule.relativeMode = 1;
    rule.weekday = 3;
    rule.direction = 1;
    rule.offsetName = "ADVENT_REF";
    rule.count = 39;
    rule.nearWeekday = 6;
    rule.relation = 2;
    rule.weekdayName = "EASTER_REF";
    rule.conditions = {condition};

    HolidayDefinition first;
    first.name = "XMAS";
    first.displayText = "Christmas";
    first.referenceOnly = 1;
    first.rules = {rule, DateRule{}};
    HolidayDefinition second;
    second.name = "EMPTY";
    second.displayText = "";

    CHolidays module;
    module.SetLanguage(0x0407);
    module.SetModuleValue(-2);
    module.SetHolidays({first, second});
    return module;
}

RecordBytes& Condition(RecordBytes& b, const ShiftCondition& c, std::string_view testName,
                       std::string_view targetName) {
    return b.Long(c.test)
        .Long(c.testWeekday)
        .Str(testName)
        .Long(c.action)
        .DWord(c.count)
        .DWord(c.weekday)
        .DWord(c.relation)
        .Str(targetName);
}

std::vector<uint8_t> SampleBytes() {
    const CHolidays module = SampleModule();
    const DateRule& rule = module.GetHolidays()[0].rules[0];
    RecordBytes b;
    b.DWord(0x0407).Long(-2).DWord(2);
    b.Str("XMAS").Str("Christmas").Long(1).DWord(2);
    b.Long(1950).Long(2050).Long(2).Long(2).Long(25).Long(12).Long(5).Long(-7).Long(11).Long(1);
    b.Long(3).Long(1).Str("ADVENT_REF").Long(39).Long(6).Long(2).Str("EASTER_REF").DWord(1);
    Condition(b, rule.conditions[0], "XMAS", "T\xE9"); // stored in Windows-1252
    // A default rule, written out field by field.
    b.Long(1900).Long(2100).Long(1).Long(0).Long(1).Long(1).Long(1).Long(0).Long(1).Long(0);
    b.Long(0).Long(0).Str("EASTER_REF").Long(1).Long(0).Long(0).Str("EASTER_REF").DWord(0);
    b.Str("EMPTY").Str("").Long(0).DWord(0);
    return std::move(b).Get();
}

TEST(HolidayModuleFile, StoresAndReadsTheExactLayout) {
    EXPECT_EQ(ByteDifference(SampleModule().WriteModuleBytes(), SampleBytes()), "");
    CHolidays module;
    module.ReadModuleBytes(SampleBytes());
    EXPECT_EQ(module.GetLanguage(), 0x0407u);
    EXPECT_EQ(module.GetLanguageAbbreviation(), "DEU");
    EXPECT_EQ(module.GetModuleValue(), -2);
    EXPECT_EQ(module.GetHolidays(), SampleModule().GetHolidays());
    module.SetLanguage(0x7FFF);
    EXPECT_EQ(module.GetLanguageAbbreviation(), "") << "unknown identifier";
}

TEST(HolidayModuleFile, EveryTruncationFailsAndChangesNothing) {
    const std::vector<uint8_t> bytes = SampleBytes();
    for (size_t length = 0; length < bytes.size(); ++length) {
        CHolidays module;
        module.SetLanguage(0x0409);
        module.SetHolidays({HolidayDefinition{"KEEP", "Kept", 0, {DateRule{}}}});
        try {
            module.ReadModuleBytes(std::span(bytes.data(), length));
            ADD_FAILURE() << "a module cut to " << length << " bytes was read";
        } catch (const CArchiveException& error) {
            EXPECT_EQ(error.GetCause(), CArchiveException::Cause::endOfFile) << length;
        }
        EXPECT_EQ(module.GetLanguage(), 0x0409u) << length;
        ASSERT_EQ(module.GetHolidays().size(), 1u) << length;
        EXPECT_EQ(module.GetHolidays()[0].name, "KEEP") << length;
    }
}

} // namespace
} // namespace dv
