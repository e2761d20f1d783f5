#include "settings/LogFont.h"

#include "support/Random.h"

#include <gtest/gtest.h>

namespace dv {
namespace {

TEST(LogFontTest, CutsLongFaceNamesBetweenCharacters) {
    const std::string prefix = "0,0,0,0,0,0,0,0,0,0,0,0,0,";
    EXPECT_EQ(LogFont::FromString(prefix + std::string(40, 'x'))->FaceName, std::string(31, 'x'));
    // 30 ASCII bytes and a two-byte character that would end at byte 32: the character goes.
    EXPECT_EQ(LogFont::FromString(prefix + std::string(30, 'x') + "\xC3\xA4")->FaceName,
              std::string(30, 'x'));
    EXPECT_EQ(LogFont::FromString(prefix + std::string(29, 'x') + "\xC3\xA4")->FaceName,
              std::string(29, 'x') + "\xC3\xA4");
}

TEST(LogFontTest, RandomFontsRoundTrip) {
    test::Random random(77);
    const auto anyNumber = [&] { return random.Int(INT32_MIN, INT32_MAX); };
    const std::string faceLetters = "Arial Segoe,UI-Mono";
    for (int round = 0; round < 300; ++round) {
        LogFont font;
        font.Height = anyNumber();
        font.Width = anyNumber();
        font.Escapement = anyNumber();
        font.Orientation = anyNumber();
        font.Weight = anyNumber();
        for (uint8_t* field :
             {&font.Italic, &font.Underline, &font.StrikeOut, &font.CharSet, &font.OutPrecision,
              &font.ClipPrecision, &font.Quality, &font.PitchAndFamily}) {
            *field = static_cast<uint8_t>(random.Int(0, 255));
        }
        for (int i = random.Int(0, LogFont::kMaxFaceNameLength); i > 0; --i) {
            font.FaceName.push_back(random.Pick(faceLetters));
        }
        EXPECT_EQ(LogFont::FromString(font.ToString()), font) << font.ToString();
    }
}

} // namespace
} // namespace dv
