#include "holidays/HolidaySource.h"

#include "core/CFileException.h"
#include "support/ArchiveBytes.h"
#include "support/Random.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace dv {
namespace {

// Source -> module -> source -> module: the bytes agree, and the decompiled source is a fixed
// point (decompiling the recompiled module gives the same text).
void ExpectRoundTrip(const std::string& source) {
    const CHolidays first = CompileHolidaySource(source, "test.txt");
    const std::string decompiled = DecompileHolidays(first);
    CHolidays second;
    ASSERT_NO_THROW(second = CompileHolidaySource(decompiled, "decompiled.txt")) << decompiled;
    EXPECT_EQ(second.WriteModuleBytes(), first.WriteModuleBytes()) << decompiled;
    EXPECT_EQ(DecompileHolidays(second), decompiled);
}

// Spellings the writer never produces (it writes the canonical form of each rule), and the
// extremes of the header; the random modules below cover every form the writer does produce.
TEST(HolidaySourceTest, SourcesRoundTripByteExact) {
    for (const std::string rule :
         {"29 Feb; until 1999", "fourth Thursday of November", "\"Monday\" - 3 days",
          "ORTHODOX_EASTER_REF + 1 day", "Sunday on or before X", "kind -3",
          "1 May; if Saturday then previous Friday"}) {
        SCOPED_TRACE(rule);
        ExpectRoundTrip("language 0x407\nholiday H \"Text\" = " + rule + "\n");
    }
    ExpectRoundTrip("language 0xFFFFFFFF\nvalue -2147483648\n");
    ExpectRoundTrip("language 0\nvalue 2147483647\nreference R\nreference S \"shown\"\n"
                    "holiday T \"\" with reference=-1\nholiday \"\" \"\"\n"
                    "holiday \"if\" \"\\u{1}\\u{7F}\\u{81}\\t\\r\\n\\\\\"\n"
                    "holiday U \"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\x84\"\n    1 May\n    2 May\n"
                    "holiday V \"v\" = 1 June\n");

    const std::string source = "language 0x0407\n\n"
                               "holiday H \"h\" = 1 January; if Saturday then previous Friday; "
                               "if Sunday then next Monday\n\n"
                               "holiday A \"a\"\n"
                               "    2nd Monday after EASTER_REF; from 2000 to 2010; every 2 years\n"
                               "    last Monday of May; in 2017\n"
                               "    H - 3 days\n";
    EXPECT_EQ(DecompileHolidays(CompileHolidaySource(source, "t")), source);

    // As a Windows editor saves it: a byte order mark, CR LF, escapes of three and four bytes.
    const CHolidays windows = CompileHolidaySource(
        "\xEF\xBB\xBFlanguage 1\r\nholiday A \"\\u{20AC}\\u{1F384}\"\r\n", "t");
    EXPECT_EQ(windows.GetHolidays().at(0).displayText, "\xE2\x82\xAC\xF0\x9F\x8E\x84");
}

// ---- Random modules ----------------------------------------------------------------------------

class RandomModules {
public:
    explicit RandomModules(uint32_t seed) : m_random(seed) {}

    CHolidays Module() {
        CHolidays module;
        module.SetLanguage(static_cast<uint32_t>(Int()));
        module.SetModuleValue(Int());
        std::vector<HolidayDefinition> holidays(Below(6));
        for (HolidayDefinition& h : holidays) {
            h.name = Text();
            h.displayText = Text();
            h.referenceOnly = Below(3) == 0 ? Int() : static_cast<int32_t>(Below(2));
            h.rules.resize(Below(4));
            for (DateRule& rule : h.rules) {
                RandomRule(rule);
            }
        }
        module.SetHolidays(std::move(holidays));
        return module;
    }

private:
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(m_random.Between(0, n - 1)); }

    // Small values near the meaningful ranges most of the time, extremes now and then.
    int32_t Int() {
        switch (Below(4)) {
        case 0:
            return static_cast<int32_t>(Below(8)) - 1;
        case 1:
            return static_cast<int32_t>(Below(40));
        case 2:
            return Below(2) ? std::numeric_limits<int32_t>::min()
                            : std::numeric_limits<int32_t>::max();
        default:
            return static_cast<int32_t>(m_random.Engine()());
        }
    }
    int32_t Year() { return Below(3) == 0 ? Int() : 1890 + static_cast<int32_t>(Below(220)); }

    // Names, keywords, quotes, escapes, control characters and UTF-8, separated by '|'.
    std::string Text() {
        static constexpr std::string_view kPieces = "EASTER_REF|A|holiday|Monday|x y|\"|\\|\t|\x01|"
                                                    "#|;|=|\xC3\xA4|1st|_b2|with|-|0x1|\n|"
                                                    "\xE2\x82\xAC|\xC2\x81|\xF0\x9F\x8E\x84";
        std::string text;
        for (uint32_t pieces = Below(4); pieces > 0; --pieces) {
            size_t at = 0;
            for (uint32_t skip = Below(22); skip > 0; --skip) {
                at = kPieces.find('|', at) + 1;
            }
            text += kPieces.substr(at, kPieces.find('|', at) - at);
        }
        return text;
    }

    void RandomRule(DateRule& rule) {
        rule.firstYear = Year();
        rule.lastYear = Year();
        rule.interval = Below(2) ? 1 : Int();
        rule.kind = Below(5) == 0 ? Int() : static_cast<int32_t>(Below(3));
        for (int32_t* field : {&rule.day, &rule.month, &rule.ordinal, &rule.unused,
                               &rule.monthOfWeekday, &rule.relativeMode, &rule.weekday,
                               &rule.direction, &rule.count, &rule.nearWeekday, &rule.relation}) {
            *field = Int();
        }
        rule.offsetName = Text();
        rule.weekdayName = Text();
        rule.conditions.resize(Below(3));
        for (ShiftCondition& cond : rule.conditions) {
            cond.test = Below(4) == 0 ? Int() : static_cast<int32_t>(Below(2));
            cond.testWeekday = Int();
            cond.testName = Text();
            cond.action = Below(4) == 0 ? Int() : static_cast<int32_t>(Below(3));
            cond.count = static_cast<uint32_t>(Int());
            cond.weekday = static_cast<uint32_t>(Int());
            cond.relation = static_cast<uint32_t>(Int());
            cond.targetName = Text();
        }
    }

    test::Random m_random;
};

TEST(HolidaySourceTest, RandomModulesDecompileAndRecompileByteExact) {
    RandomModules random(20240601);
    for (int i = 0; i < 1500; ++i) {
        const CHolidays module = random.Module();
        const std::vector<uint8_t> bytes = module.WriteModuleBytes();
        // Through the file form first, as the command line tool sees modules.
        CHolidays read;
        read.ReadModuleBytes(bytes);
        const std::string source = DecompileHolidays(read);
        CHolidays compiled;
        ASSERT_NO_THROW(compiled = CompileHolidaySource(source, "random.txt")) << source;
        ASSERT_EQ(compiled.WriteModuleBytes(), bytes) << source;
        ASSERT_EQ(compiled.GetHolidays(), module.GetHolidays()) << source;
    }
}

// ---- Errors ------------------------------------------------------------------------------------

TEST(HolidaySourceTest, ErrorsNameTheLineAndWhatWasExpected) {
    struct Row {
        const char* name;
        std::string source;
        int line;
        std::string message; // a part of the message
    };
    const std::string head = "language 0x407\nholiday A \"a\"\n";
    const std::vector<Row> rows = {
        {"NoLanguage", "holiday A \"a\" = 1 May\n", 1, "expected a 'language' line"},
        {"EmptyFile", "", 1, "expected a 'language' line"},
        {"LanguageTwice", "language 1\nlanguage 2\n", 2, "given twice"},
        {"LanguageAfterHoliday", head + "language 3\n", 3, "before the first holiday"},
        {"RuleBeforeHoliday", "language 1\n1 May\n", 2, "a rule before the first 'holiday'"},
        {"NoSuchDay", head + "30 February\n", 3, "30 February is not a date"},
        {"DayZero", head + "0 March\n", 3, "0 March is not a date"},
        {"MissingDays", head + "EASTER_REF + 1\n", 3, "expected 'days'"},
        {"MissingSign", head + "EASTER_REF 1 day\n", 3, "expected '+' or '-'"},
        {"NegativeDays", head + "EASTER_REF + -1 days\n", 3, "must lie in 0.."},
        {"SixthWeekday", head + "6th Monday of May\n", 3, "1st .. 5th or last"},
        {"LastNear", head + "last Monday after X\n", 3, "counts 1st, 2nd"},
        {"NoRelation", head + "Monday near X\n", 3, "expected 'of MONTH', 'before'"},
        {"BadClause", head + "1 May; since 2000\n", 3, "expected 'from', 'until'"},
        {"MissingSemicolon", head + "1 May from 2000\n", 3, "expected ';'"},
        {"YearsTwice", head + "1 May; from 2000; in 2001\n", 3, "years are given twice"},
        {"FromBeyondDefaultEnd", head + "1 May; from 2200\n", 3, "after its last year 2100"},
        {"NoThen", head + "1 May; if Sunday next Monday\n", 3, "expected 'then'"},
        {"BadTest", head + "1 May; if holiday then drop\n", 3, "expected a weekday or 'on NAME'"},
        {"BadAction", head + "1 May; if Sunday then move\n", 3, "after 'then'"},
        {"UnknownField", head + "1 May; with colour=1\n", 3, "unknown rule field 'colour'"},
        {"UnknownConditionField", head + "1 May; if Sunday then drop with day=1\n", 3,
         "unknown condition field 'day'"},
        {"FieldOutOfRange", head + "1 May; with day=2147483648\n", 3, "day must lie in"},
        {"UnclosedQuote", "language 1\nholiday A \"abc\n", 2, "without its closing"},
        {"BadEscape", "language 1\nholiday A \"a\\q\"\n", 2, "unknown escape"},
        {"BadCodePoint", "language 1\nholiday A \"\\u{D800}\"\n", 2, "not a Unicode character"},
        {"BadCharacter", "language 1\nholiday A \"a\" = 1 May, 2 May\n", 2,
         "unexpected character ','"},
        {"BadNumber", "language 12ab\n", 1, "neither a number nor an ordinal"},
        {"InvalidUtf8", "language 1\n\n# \xC3\x28\n", 3, "not valid UTF-8"},
        {"LonelyContinuation", "; from 2000\nlanguage 1\n", 1, "continues no rule"},
        {"ContinuationLine", head + "1 May\n\n  ; from 2000 until\n", 5, "expected a year"},
        {"NameMissing", "language 1\nholiday = 1 May\n", 2, "expected the holiday's name"},
        {"TrailingTokens", "language 1 2\n", 1, "expected the end of the line"},
        {"HeaderJunk", "language 1\nholiday A \"a\" 1 May\n", 2, "'with' or '= RULE'"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            CompileHolidaySource(row.source, "de.txt");
            ADD_FAILURE() << "no error";
        } catch (const HolidaySourceError& e) {
            EXPECT_EQ(e.GetFile(), "de.txt");
            EXPECT_EQ(e.GetLine(), row.line) << e.what();
            EXPECT_NE(e.GetMessage().find(row.message), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("de.txt:" + std::to_string(row.line) + ": ", 0),
                      0u);
        }
    }
    EXPECT_THROW(CompileHolidaySourceFile("/nonexistent/folder/Module.txt"), CFileException);
}

// ---- Module files: the exact byte layout both ways and truncation at every byte ------------

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

std::vector<uint8_t> SampleBytes() {
    test::RecordBytes b;
    b.DWord(0x0407).Long(-2).DWord(2);
    b.Str("XMAS").Str("Christmas").Long(1).DWord(2);
    b.Long(1950).Long(2050).Long(2).Long(2).Long(25).Long(12).Long(5).Long(-7).Long(11).Long(1);
    b.Long(3).Long(1).Str("ADVENT_REF").Long(39).Long(6).Long(2).Str("EASTER_REF").DWord(1);
    b.Long(1).Long(5).Str("XMAS").Long(2).DWord(3).DWord(4).DWord(0xFFFFFFFEu);
    b.Str("T\xE9"); // the condition's target, stored in Windows-1252
    // A default rule, written out field by field.
    b.Long(1900).Long(2100).Long(1).Long(0).Long(1).Long(1).Long(1).Long(0).Long(1).Long(0);
    b.Long(0).Long(0).Str("EASTER_REF").Long(1).Long(0).Long(0).Str("EASTER_REF").DWord(0);
    b.Str("EMPTY").Str("").Long(0).DWord(0);
    return std::move(b).Get();
}

TEST(HolidayModuleFile, StoresAndReadsTheExactLayout) {
    EXPECT_EQ(test::ByteDifference(SampleModule().WriteModuleBytes(), SampleBytes()), "");
    CHolidays module;
    module.ReadModuleBytes(SampleBytes());
    EXPECT_EQ(module.GetLanguage(), 0x0407u);
    EXPECT_EQ(module.GetLanguageAbbreviation(), "DEU");
    EXPECT_EQ(module.GetModuleValue(), -2);
    EXPECT_EQ(module.GetHolidays(), SampleModule().GetHolidays());
    module.SetLanguage(0x7FFF);
    EXPECT_EQ(module.GetLanguageAbbreviation(), "") << "unknown identifier";
}

} // namespace
} // namespace dv
