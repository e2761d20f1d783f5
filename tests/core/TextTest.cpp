// Texts: GUIDs, comparison without case, and the conversions between encodings.

#include "core/Guid.h"
#include "core/TextCompare.h"
#include "core/TextEncoding.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace dv {
namespace {

TEST(Guid, NewGuidsHaveTheRegistryFormVersionVariantAndRandomBits) {
    // A generator that fills only part of the value (or repeats a byte) leaves some digit constant.
    std::vector<std::set<char>> seen(38);
    for (int i = 0; i < 4000; ++i) {
        const std::string guid = NewGuidString();
        ASSERT_TRUE(IsGuidString(guid)) << guid;
        for (size_t k = 0; k < guid.size(); ++k) {
            ASSERT_FALSE(guid[k] >= 'a' && guid[k] <= 'f') << "lower-case digit in " << guid;
            seen[k].insert(guid[k]);
        }
    }
    EXPECT_EQ(seen[15], std::set<char>{'4'}) << "version";
    EXPECT_EQ(seen[20], (std::set<char>{'8', '9', 'A', 'B'})) << "variant";
    for (size_t k = 1; k < 37; ++k) {
        if (k != 9 && k != 14 && k != 15 && k != 19 && k != 20 && k != 24) {
            EXPECT_EQ(seen[k].size(), 16u) << "position " << k;
        }
    }
}

TEST(Guid, RecognisesOnlyTheBracedForm) {
    // Upper or lower case (from another generator), any version.
    for (const char* valid :
         {"{0F8FAD5B-D9CB-469F-A165-70867728950E}", "{0f8fad5b-d9cb-469f-a165-70867728950e}",
          "{0F8FAD5B-D9CB-169F-0165-70867728950E}"}) {
        EXPECT_TRUE(IsGuidString(valid)) << valid;
    }
    // No braces, one digit short, a hyphen moved, a non-hex digit.
    for (const char* invalid :
         {"0F8FAD5B-D9CB-469F-A165-70867728950E", "{0F8FAD5B-D9CB-469F-A165-70867728950}",
          "{0F8FAD5BD-9CB-469F-A165-70867728950E}", "{0F8FAD5B-D9CB-469F-A165-70867728950G}"}) {
        EXPECT_FALSE(IsGuidString(invalid)) << invalid;
    }
}

TEST(TextCompare, FoldsAndLowersLettersOfEveryCoveredScript) {
    const std::tuple<const char*, const char*, const char*, int> rows[] = {
        {"ascii", "Birthday", "bIRTHDAY", 0},
        {"ascii order ignores case", "apple", "Banana", -1},
        {"latin-1 umlaut", "\xC3\x84rzte", "\xC3\xA4RZTE", 0},            // Ärzte / äRZTE
        {"multiplication sign is no letter", "\xC3\x97", "\xC3\xB7", -1}, // × / ÷
        {"latin extended-a even/odd",
         "\xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         "\xC5\x82\xC3\x93"
         "D\xC5\xB9",
         0},
        {"greek", "\xCE\x91\xCE\xA9", "\xCE\xB1\xCF\x89", 0},    // ΑΩ / αω
        {"cyrillic", "\xD0\x9C\xD0\x81", "\xD0\xBC\xD1\x91", 0}, // МЁ / мё
        {"prefix sorts first", "Work", "workshop", -1},
        {"empty", "", "", 0},
        {"empty first", "", "a", -1},
        {"ill-formed byte after text", "\xFF", "z", 1},
        {"truncated sequence is a byte", "\xC3", "\xC3\xA4", 1},
    };
    for (const auto& [name, a, b, sign] : rows) {
        SCOPED_TRACE(name);
        const int result = CompareNoCase(a, b);
        EXPECT_EQ((result > 0) - (result < 0), sign);
        const int reverse = CompareNoCase(b, a);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -sign);
        EXPECT_EQ(NoCaseLess()(a, b), sign < 0);
    }
    // Lower-casing folds the same letters and keeps all other bytes.
    EXPECT_EQ(ToLowerText("ABC xyz 09 ÀÞ × ß ĀŁŽ İ Ÿ"), "abc xyz 09 àþ × ß āłž İ ÿ");
    EXPECT_EQ(ToLowerText("\xC3 broken \xFF"), "\xC3 broken \xFF");
    EXPECT_EQ(ToLowerText("Ω€📅"), "ω€📅");
}

TEST(TextEncodingTest, IllFormedUtf8BecomesOneReplacementPerMaximalSubpart) {
    const std::tuple<const char*, std::string, std::u16string> rows[] = {
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
    for (const auto& [name, utf8, expected] : rows) {
        EXPECT_EQ(Utf8ToUtf16(utf8), expected) << name;
        EXPECT_EQ(IsValidUtf8(utf8), expected.find(u'\uFFFD') == std::u16string::npos) << name;
    }
}

TEST(TextEncodingTest, UnpairedSurrogatesBecomeReplacements) {
    const std::string r = "\xEF\xBF\xBD";
    const std::tuple<const char*, std::u16string, std::string> rows[] = {
        {"first unit after the surrogates", u"\xE000", "\xEE\x80\x80"},
        {"high surrogate alone", u"\xD800", r},
        {"two highs then a low", u"\xD800\xD800\xDC00", r + "\xF0\x90\x80\x80"},
        {"low before high", u"\xDC00\xD800", r + r},
    };
    for (const auto& [name, utf16, expected] : rows) {
        EXPECT_EQ(Utf16ToUtf8(utf16), expected) << name;
    }
}

} // namespace
} // namespace dv
