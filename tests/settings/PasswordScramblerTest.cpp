#include "settings/PasswordScrambler.h"

#include "core/TextEncoding.h"
#include "support/Random.h"

#include <gtest/gtest.h>
#include <set>

namespace dv {
namespace {

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
