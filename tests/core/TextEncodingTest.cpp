#include "core/TextEncoding.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace dv {
namespace {

// ---- Windows-1252 -------------------------------------------------------------------------------

TEST(TextEncodingTest, Cp1252RoundTripsEveryByteAndRefusesWhatItCannotHold) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        const std::string single(1, static_cast<char>(byte));
        const std::string utf8 = Cp1252ToUtf8(single);
        EXPECT_TRUE(IsValidUtf8(utf8)) << "byte " << byte;
        EXPECT_EQ(Utf8ToCp1252(utf8), single) << "byte " << byte;
        all += single;
    }
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    // The euro sign, an undefined byte kept as it is, the last of the 0x80 row and Latin-1.
    EXPECT_EQ(Cp1252ToUtf8("\x80\x81\x9F\xFF"), "\u20AC\u0081\u0178\u00FF");

    // A C1 control that the code page uses for the euro, the first character after Latin-1,
    // an emoji, an ill-formed byte after fitting text.
    for (const char* utf8 : {"\u0080", "\u0100", "\U0001F600", "abc\xC3"}) {
        EXPECT_FALSE(Utf8ToCp1252(utf8).has_value()) << utf8;
    }
}

// ---- UTF-8 and UTF-16 ---------------------------------------------------------------------------

TEST(TextEncodingTest, IllFormedUtf8BecomesOneReplacementPerMaximalSubpart) {
    struct Row {
        const char* name;
        std::string utf8;
        std::u16string expected;
    };
    const std::vector<Row> rows = {
        {"lone continuation byte", "a\x80z", u"a\uFFFDz"},
        {"lead C1 is always overlong", "\xC1\xBF", u"\uFFFD\uFFFD"},
        {"overlong three-byte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded high surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"last before surrogates is fine", "\xED\x9F\xBFz", u"\uD7FFz"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"U+10FFFF is fine", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"lead F3 is fine", "\xF3\xA0\x80\x81", u"\U000E0001"},
        {"lead F5 never starts a character", "\xF5\x80", u"\uFFFD\uFFFD"},
        {"three-byte cut by ASCII", "\xE2\x82z", u"\uFFFDz"},
        {"four-byte cut by a new lead", "\xF0\x9F\x98\xF0\x9F\x98\x80", u"\uFFFD\U0001F600"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Utf8ToUtf16(row.utf8), row.expected) << row.name;
        EXPECT_EQ(IsValidUtf8(row.utf8), row.expected.find(u'\uFFFD') == std::u16string::npos)
            << row.name;
    }
}

TEST(TextEncodingTest, UnpairedSurrogatesBecomeReplacements) {
    struct Row {
        const char* name;
        std::u16string utf16;
        std::string expected;
    };
    const std::string r = "\xEF\xBF\xBD";
    const std::vector<Row> rows = {
        {"first unit after the surrogates", u"\xE000", "\xEE\x80\x80"},
        {"high surrogate alone", u"\xD800", r},
        {"two highs then a low", u"\xD800\xD800\xDC00", r + "\xF0\x90\x80\x80"},
        {"low before high", u"\xDC00\xD800", r + r},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Utf16ToUtf8(row.utf16), row.expected) << row.name;
    }
}

} // namespace
} // namespace dv
