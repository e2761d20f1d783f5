#include "settings/LogFont.h"

#include "support/Random.h"

#include <gtest/gtest.h>

namespace dv {
namespace {

TEST(LogFontTest, ReadsStoredForms) {
    struct Row {
        const char* name;
        const char* text;
        std::optional<std::string> reread; // ToString of what was read; nullopt: not a font
    };
    const Row rows[] = {
        {"every field", "-13,2,900,450,700,1,1,0,238,3,2,5,34,Times New Roman",
         "-13,2,900,450,700,1,1,0,238,3,2,5,34,Times New Roman"},
        {"empty face name", "-12,0,0,0,400,0,0,0,0,0,0,0,0,", "-12,0,0,0,400,0,0,0,0,0,0,0,0,"},
        {"face name with comma", "1,2,3,4,5,0,0,0,0,0,0,0,0,A, B",
         "1,2,3,4,5,0,0,0,0,0,0,0,0,A, B"},
        {"blanks around numbers", " -9 , 0,0,0,400,0,0,0,0,0,0,0,0,X",
         "-9,0,0,0,400,0,0,0,0,0,0,0,0,X"},
        {"garbage numbers read 0", "a,b,c,d,e,f,g,h,i,j,k,l,m,F", "0,0,0,0,0,0,0,0,0,0,0,0,0,F"},
        {"byte field keeps low 8 bits", "0,0,0,0,0,300,-1,0,0,0,0,0,0,F",
         "0,0,0,0,0,44,255,0,0,0,0,0,0,F"},
        {"twelve numbers only", "-12,0,0,0,400,0,0,0,1,0,0,0", std::nullopt},
        {"thirteen numbers without comma before face", "-12,0,0,0,400,0,0,0,1,0,0,0,0",
         std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const Row& row : rows) {
        const std::optional<LogFont> font = LogFont::FromString(row.text);
        ASSERT_EQ(font.has_value(), row.reread.has_value()) << row.name;
        if (font) {
            EXPECT_EQ(font->ToString(), *row.reread) << row.name;
        }
    }
    const LogFont f = *LogFont::FromString(rows[0].text);
    EXPECT_EQ((std::vector<int>{f.Height, f.Width, f.Escapement, f.Orientation, f.Weight, f.Italic,
                                f.Underline, f.StrikeOut, f.CharSet, f.OutPrecision,
                                f.ClipPrecision, f.Quality, f.PitchAndFamily}),
              (std::vector<int>{-13, 2, 900, 450, 700, 1, 1, 0, 238, 3, 2, 5, 34}));
    EXPECT_EQ(f.FaceName, "Times New Roman");
}

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
