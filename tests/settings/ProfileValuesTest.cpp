#include "settings/ProfileValues.h"

#include "support/Files.h"

#include <gtest/gtest.h>
#include <random>

namespace dv {
namespace {

TEST(ProfileValuesTest, EscapesOnlyLineFeedCarriageReturnAndTab) {
    struct Row {
        const char* name;
        std::string text;
        std::string stored;
    };
    const Row rows[] = {
        {"empty", "", ""},
        {"plain", "Meeting at 10", "Meeting at 10"},
        {"line feed", "a\nb", "a{0x0A}b"},
        {"carriage return", "a\rb", "a{0x0D}b"},
        {"tab", "a\tb", "a{0x09}b"},
        {"CR LF pair", "x\r\ny", "x{0x0D}{0x0A}y"},
        {"at both ends", "\nmid\t", "{0x0A}mid{0x09}"},
        {"other controls and braces stay", "{}\\\"\x01%", "{}\\\"\x01%"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(EscapeProfileText(row.text), row.stored) << row.name;
        EXPECT_EQ(UnescapeProfileText(row.stored), row.text) << row.name;
    }
}

TEST(ProfileValuesTest, UnescapeTurnsTypedEscapesIntoControlCharacters) {
    // The user typed the escape text itself; it still comes back as the character.
    EXPECT_EQ(UnescapeProfileText("Line{0x0A}Next"), "Line\nNext");
    EXPECT_EQ(UnescapeProfileText("{0x0D}{0x09}"), "\r\t");
    // Near misses stay as they are: case and digits must match exactly.
    EXPECT_EQ(UnescapeProfileText("{0x0a}{0x0B}{0x0A"), "{0x0a}{0x0B}{0x0A");
}

TEST(ProfileValuesTest, ParsesIntegersAsTheProfileFunctionsDo) {
    struct Row {
        const char* name;
        const char* text;
        int32_t value;
    };
    const Row rows[] = {
        {"empty", "", 0},
        {"digits", "1234", 1234},
        {"negative", "-12", -12},
        {"plus sign", "+7", 7},
        {"leading blanks", " \t42", 42},
        {"trailing garbage stops", "12abc", 12},
        {"no digits", "abc", 0},
        {"sign alone", "-", 0},
        {"blank between sign and digits", "- 5", 0},
        {"hex is not read", "0x10", 0},
        {"largest", "2147483647", 2147483647},
        {"smallest", "-2147483648", INT32_MIN},
        {"one beyond wraps", "2147483648", INT32_MIN},
        {"2^32 + 1 wraps to 1", "4294967297", 1},
        {"leading zeros", "007", 7},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseProfileInt(row.text), row.value) << row.name;
    }
}

TEST(ProfileValuesTest, FlagListsTreatEveryCharacterButZeroAsOn) {
    EXPECT_EQ(ParseFlagList("1001011"), (FlagList{true, false, false, true, false, true, true}));
    EXPECT_EQ(ParseFlagList("0x 2"), (FlagList{false, true, true, true}));
    EXPECT_EQ(ParseFlagList(""), FlagList{});
    EXPECT_EQ(FormatFlagList({true, false, true}), "101");
    EXPECT_EQ(FormatFlagList(ParseFlagList("0a0")), "010");
}

TEST(ProfileValuesTest, NameListsKeepEmptyNames) {
    EXPECT_EQ(ParseNameList("Date,Time,State"), (NameList{"Date", "Time", "State"}));
    EXPECT_EQ(ParseNameList("a,,b"), (NameList{"a", "", "b"}));
    EXPECT_EQ(ParseNameList("a,"), (NameList{"a", ""}));
    EXPECT_EQ(ParseNameList(" x "), NameList{" x "});
    EXPECT_EQ(ParseNameList(""), NameList{});
    EXPECT_EQ(FormatNameList({"Date", "", "Notes"}), "Date,,Notes");
    EXPECT_EQ(FormatNameList({}), "");
}

TEST(ProfileValuesTest, NumberListsSkipBlankPieces) {
    struct Row {
        const char* name;
        const char* text;
        NumberList numbers;
    };
    const Row rows[] = {
        {"plain", "45,45,100", {45, 45, 100}},
        {"empty", "", {}},
        {"only commas", ",, ,", {}},
        {"empty piece", "1,,2", {1, 2}},
        {"trailing comma", "1,2,", {1, 2}},
        {"blanks around", " 3 , 4 ", {3, 4}},
        {"garbage piece reads 0", "1,x,2", {1, 0, 2}},
        {"negative", "-5,6", {-5, 6}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseNumberList(row.text), row.numbers) << row.name;
    }
    EXPECT_EQ(FormatNumberList({100, 167, 110}), "100,167,110");
}

TEST(ProfileValuesTest, ListsRoundTripOverRandomValues) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int32_t> anyNumber(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int> length(1, 12);
    const std::string alphabet = "abcXYZ 019;=\"'\t{}";
    for (int round = 0; round < 500; ++round) {
        NumberList numbers(static_cast<size_t>(length(random)));
        for (int32_t& number : numbers) {
            number = anyNumber(random);
        }
        EXPECT_EQ(ParseNumberList(FormatNumberList(numbers)), numbers);

        NameList names(static_cast<size_t>(length(random)));
        for (std::string& name : names) {
            const int size = length(random) - 1;
            for (int i = 0; i < size; ++i) {
                name.push_back(alphabet[random() % alphabet.size()]);
            }
        }
        if (names.size() == 1 && names[0].empty()) {
            continue; // one empty name and no name share the empty text
        }
        EXPECT_EQ(ParseNameList(FormatNameList(names)), names);

        FlagList flags(static_cast<size_t>(length(random)));
        for (size_t i = 0; i < flags.size(); ++i) {
            flags[i] = (random() & 1U) != 0;
        }
        EXPECT_EQ(ParseFlagList(FormatFlagList(flags)), flags);
    }
}

} // namespace
} // namespace dv
