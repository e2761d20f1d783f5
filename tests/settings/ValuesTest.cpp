// Stored forms of single values: profile integers and lists, fonts, the scrambled password.

#include "core/TextEncoding.h"
#include "settings/LogFont.h"
#include "settings/PasswordScrambler.h"
#include "settings/ProfileValues.h"
#include "support/Random.h"

#include <gtest/gtest.h>
#include <set>

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

TEST(PasswordScramblerTest, LongPasswordsKeepTheirFirst64Bytes) {
    const std::string longPassword = std::string(40, 'a') + std::string(40, 'b');
    EXPECT_EQ(UnscramblePassword(ScramblePassword(longPassword)), longPassword.substr(0, 64));
    // 63 ASCII bytes and a two-byte character across the limit: the character is left out.
    const std::string acrossTheLimit = std::string(63, 'q') + "\xC3\xA4" + "tail";
    EXPECT_EQ(UnscramblePassword(ScramblePassword(acrossTheLimit)), std::string(63, 'q'));
}

TEST(PasswordScramblerTest, WrongInputReadsAsEmptyOrGarbageWithoutHarm) {
    EXPECT_EQ(ScramblePassword(""), "");
    const std::string good = ScramblePassword("password");
    std::string lowerCase = good;
    for (char& c : lowerCase) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(UnscramblePassword(lowerCase), "password") << "hex digits of either case";
    std::string notHex = good;
    notHex[17] = 'G';
    for (const std::string& stored : {std::string(), std::string("password"), good.substr(1),
                                      good + "0", notHex, std::string(130, '0')}) {
        EXPECT_EQ(UnscramblePassword(stored), "") << stored;
    }

    // Damaged or foreign forms never crash and give valid UTF-8 of at most 64 bytes; nearly all
    // of them read as empty because the filler no longer repeats the password.
    test::Random random(99);
    int empty = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string stored(kScrambledPasswordLength, '0');
        for (char& c : stored) {
            c = "0123456789ABCDEF"[random.Between(0, 15)];
        }
        const std::string password = UnscramblePassword(stored);
        EXPECT_LE(password.size(), 3 * kMaxPasswordLength);
        EXPECT_TRUE(IsValidUtf8(password));
        empty += password.empty() ? 1 : 0;
    }
    EXPECT_GT(empty, 2900);
}

} // namespace
} // namespace dv
