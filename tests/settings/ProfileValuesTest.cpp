#include "settings/ProfileValues.h"

#include "support/Random.h"

#include <gtest/gtest.h>

namespace dv {
namespace {

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

} // namespace
} // namespace dv
