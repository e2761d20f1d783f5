#include "settings/ProfileValues.h"

#include "support/Random.h"

#include <gtest/gtest.h>

namespace dv {
namespace {

TEST(ProfileValuesTest, EscapesOnlyLineFeedCarriageReturnAndTab) {
    const std::pair<std::string, std::string> rows[] = {
        {"", ""},
        {"x\r\ny\t", "x{0x0D}{0x0A}y{0x09}"},
        {"\nmid", "{0x0A}mid"},
        {"{}\\\"\x01%", "{}\\\"\x01%"}, // other controls and braces stay
    };
    for (const auto& [text, stored] : rows) {
        EXPECT_EQ(EscapeProfileText(text), stored);
        EXPECT_EQ(UnescapeProfileText(stored), text);
    }
    // Typed escape text comes back as the character; near misses stay as they are.
    EXPECT_EQ(UnescapeProfileText("{0x0a}{0x0B}{0x0A"), "{0x0a}{0x0B}{0x0A");
}

TEST(ProfileValuesTest, ParsesIntegersAsTheProfileFunctionsDo) {
    const std::pair<const char*, int32_t> rows[] = {
        {"", 0},
        {"-12", -12},
        {"+7", 7},
        {" \t42", 42},
        {"12abc", 12},
        {"abc", 0},
        {"- 5", 0},
        {"0x10", 0},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", INT32_MIN}, // one beyond wraps
        {"4294967297", 1},
    };
    for (const auto& [text, value] : rows) {
        EXPECT_EQ(ParseProfileInt(text), value) << text;
    }
}

TEST(ProfileValuesTest, ListForms) {
    EXPECT_EQ(ParseFlagList("0x 2"), (FlagList{false, true, true, true})) << "all but 0 are on";
    EXPECT_EQ(ParseNameList("a,,b,"), (NameList{"a", "", "b", ""})) << "empty names stay";
    EXPECT_EQ(ParseNameList(" x "), NameList{" x "});
    EXPECT_EQ(ParseNameList(""), NameList{});
    const std::pair<const char*, NumberList> numbers[] = {
        {"45,45,100", {45, 45, 100}}, {",, ,", {}},         {"1,,2,", {1, 2}},
        {" -3 , 4 ", {-3, 4}},        {"1,x,2", {1, 0, 2}},
    };
    for (const auto& [text, list] : numbers) {
        EXPECT_EQ(ParseNumberList(text), list) << text;
    }
}

TEST(ProfileValuesTest, ListsRoundTripOverRandomValues) {
    test::Random random(20240611);
    const auto length = [&] { return static_cast<size_t>(random.Int(1, 12)); };
    const std::string alphabet = "abcXYZ 019;=\"'\t{}";
    for (int round = 0; round < 500; ++round) {
        NumberList numbers(length());
        for (int32_t& number : numbers) {
            number = random.Int(INT32_MIN, INT32_MAX);
        }
        EXPECT_EQ(ParseNumberList(FormatNumberList(numbers)), numbers);

        NameList names(length());
        for (std::string& name : names) {
            for (size_t i = length() - 1; i > 0; --i) {
                name.push_back(random.Pick(alphabet));
            }
        }
        if (names.size() == 1 && names[0].empty()) {
            continue; // one empty name and no name share the empty text
        }
        EXPECT_EQ(ParseNameList(FormatNameList(names)), names);

        FlagList flags(length());
        for (size_t i = 0; i < flags.size(); ++i) {
            flags[i] = random.OneIn(2);
        }
        EXPECT_EQ(ParseFlagList(FormatFlagList(flags)), flags);
    }
    EXPECT_EQ(FormatFlagList({true, false, true}), "101");
    EXPECT_EQ(FormatNameList({"Date", "", "Notes"}), "Date,,Notes");
    EXPECT_EQ(FormatNumberList({100, -167, 110}), "100,-167,110");
}

} // namespace
} // namespace dv
