#include "core/TextCompare.h"

#include <gtest/gtest.h>
#include <string>

namespace dv {
namespace {

TEST(TextCompare, FoldsAndLowersLettersOfEveryCoveredScript) {
    struct Row {
        const char* name;
        const char* a;
        const char* b;
        int sign;
    };
    const Row rows[] = {
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
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const int result = CompareNoCase(row.a, row.b);
        EXPECT_EQ((result > 0) - (result < 0), row.sign);
        const int reverse = CompareNoCase(row.b, row.a);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -row.sign);
        EXPECT_EQ(NoCaseLess()(row.a, row.b), row.sign < 0);
    }
    // Lower-casing folds the same letters and keeps all other bytes.
    EXPECT_EQ(ToLowerText("ABC xyz 09 ÀÞ × ß ĀŁŽ İ Ÿ"), "abc xyz 09 àþ × ß āłž İ ÿ");
    EXPECT_EQ(ToLowerText("\xC3 broken \xFF"), "\xC3 broken \xFF");
    EXPECT_EQ(ToLowerText("Ω€📅"), "ω€📅");
}

} // namespace
} // namespace dv
