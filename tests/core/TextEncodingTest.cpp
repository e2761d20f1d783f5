#include "core/TextEncoding.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace dv {
namespace {

// ---- Slow, obviously correct encoders as the reference ------------------------------------------

std::string ReferenceUtf8(const std::vector<char32_t>& codePoints) {
    std::string out;
    for (const char32_t c : codePoints) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string ReferenceUtf16(const std::vector<char32_t>& codePoints) {
    std::u16string out;
    for (const char32_t c : codePoints) {
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

// Code points from every encoding length, with the boundaries of each length well represented.
char32_t RandomCodePoint(std::mt19937& random) {
    static const std::vector<std::pair<char32_t, char32_t>> ranges = {
        {0x00, 0x7F},        {0x80, 0x7FF},     {0x800, 0xD7FF},      {0xE000, 0xFFFF},
        {0x10000, 0x10FFFF}, {0x7E, 0x81},      {0x7FE, 0x801},       {0xD7FE, 0xD7FF},
        {0xE000, 0xE001},    {0xFFFE, 0x10001}, {0x10FFFE, 0x10FFFF},
    };
    const auto& [low, high] = ranges[random() % ranges.size()];
    return std::uniform_int_distribution<char32_t>(low, high)(random);
}

std::string Utf8Of(char32_t c) {
    return ReferenceUtf8({c});
}

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
    EXPECT_EQ(Cp1252ToUtf8("\x80\x81\x9F\xFF"),
              Utf8Of(0x20AC) + Utf8Of(0x81) + Utf8Of(0x178) + Utf8Of(0xFF));

    // A C1 control that the code page uses for the euro, the first character after Latin-1,
    // an emoji, an ill-formed byte after fitting text.
    for (const std::string& utf8 :
         {Utf8Of(0x80), Utf8Of(0x100), Utf8Of(0x1F600), std::string("abc\xC3")}) {
        EXPECT_FALSE(Utf8ToCp1252(utf8).has_value()) << utf8;
    }
}

// ---- UTF-8 and UTF-16 ---------------------------------------------------------------------------

TEST(TextEncodingTest, Utf8AndUtf16AgreeWithTheReferenceOnRandomText) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 20000; ++round) {
        std::vector<char32_t> codePoints(random() % 24);
        for (char32_t& c : codePoints) {
            c = RandomCodePoint(random);
        }
        const std::string utf8 = ReferenceUtf8(codePoints);
        const std::u16string utf16 = ReferenceUtf16(codePoints);
        ASSERT_EQ(Utf8ToUtf16(utf8), utf16) << "round " << round;
        ASSERT_EQ(Utf16ToUtf8(utf16), utf8) << "round " << round;
        ASSERT_TRUE(IsValidUtf8(utf8)) << "round " << round;
    }
}

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
        {"last before surrogates is fine", "\xED\x9F\xBF", u"\uD7FF"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"U+10FFFF is fine", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
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
        {"high surrogate alone", u"\xD800", r},
        {"two highs then a low", u"\xD800\xD800\xDC00", r + "\xF0\x90\x80\x80"},
        {"low before high", u"\xDC00\xD800", r + r},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Utf16ToUtf8(row.utf16), row.expected) << row.name;
    }
}

TEST(TextEncodingTest, RandomBytesRoundTripExactlyWhenValid) {
    // Whatever comes in, the UTF-16 detour yields valid UTF-8, identical to the input exactly
    // when the input was valid.
    std::mt19937 random(7);
    const std::vector<uint8_t> interesting = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F,
                                              0xA0, 0xBF, 0xC0, 0xC2, 0xDF, 0xE0, 0xED,
                                              0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
    for (int round = 0; round < 50000; ++round) {
        std::string bytes(random() % 12, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(random() % 2 ? interesting[random() % interesting.size()]
                                               : random() % 256);
        }
        const std::string back = Utf16ToUtf8(Utf8ToUtf16(bytes));
        ASSERT_TRUE(IsValidUtf8(back)) << "round " << round;
        ASSERT_EQ(back == bytes, IsValidUtf8(bytes)) << "round " << round;
        ASSERT_FALSE(Utf8ToCp1252(bytes).has_value() && !IsValidUtf8(bytes)) << "round " << round;
    }
}

} // namespace
} // namespace dv
