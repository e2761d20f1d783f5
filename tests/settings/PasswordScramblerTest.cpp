#include "settings/PasswordScrambler.h"

#include "core/TextEncoding.h"
#include "support/Random.h"

#include <gtest/gtest.h>
#include <set>

namespace dv {
namespace {

bool IsUpperHex(const std::string& text) {
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return true;
}

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char c : bytes) {
        hex.push_back(kDigits[static_cast<unsigned char>(c) >> 4]);
        hex.push_back(kDigits[static_cast<unsigned char>(c) & 0x0F]);
    }
    return hex;
}

TEST(PasswordScramblerTest, StoredFormIs130UpperCaseHexDigitsWithoutThePlainText) {
    for (const std::string& password :
         std::vector<std::string>{"a", "secret", std::string(64, 'z')}) {
        const std::string stored = ScramblePassword(password);
        EXPECT_EQ(stored.size(), kScrambledPasswordLength) << password;
        EXPECT_TRUE(IsUpperHex(stored)) << stored;
        if (password.size() >= 4) { // shorter hex strings turn up by chance
            EXPECT_EQ(stored.find(Hex(password)), std::string::npos) << password;
        }
        EXPECT_EQ(ScramblePassword(password), stored) << "the scrambling is fixed";
    }
}

TEST(PasswordScramblerTest, RandomPasswordsRoundTrip) {
    test::Random random(4711);
    const std::vector<std::string> pieces = {
        "a", "Z", "0", "!", " ", "~", "\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
    std::set<std::string> storedForms;
    for (int round = 0; round < 2000; ++round) {
        std::string password;
        const auto target = static_cast<size_t>(random.Between(1, kMaxPasswordLength));
        while (true) {
            const std::string& piece = random.Pick(pieces);
            if (password.size() + piece.size() > target) {
                break;
            }
            password += piece;
        }
        if (password.empty()) {
            password = "x";
        }
        const std::string stored = ScramblePassword(password);
        EXPECT_EQ(UnscramblePassword(stored), password);
        storedForms.insert(stored);
    }
    EXPECT_GT(storedForms.size(), 1900U) << "different passwords give different stored forms";
}

TEST(PasswordScramblerTest, LongPasswordsKeepTheirFirst64Bytes) {
    const std::string longPassword = std::string(40, 'a') + std::string(40, 'b');
    EXPECT_EQ(UnscramblePassword(ScramblePassword(longPassword)), longPassword.substr(0, 64));
    EXPECT_EQ(ScramblePassword(longPassword), ScramblePassword(longPassword.substr(0, 64)));
    // 63 ASCII bytes and a two-byte character across the limit: the character is left out.
    const std::string acrossTheLimit = std::string(63, 'q') + "\xC3\xA4" + "tail";
    EXPECT_EQ(UnscramblePassword(ScramblePassword(acrossTheLimit)), std::string(63, 'q'));
}

TEST(PasswordScramblerTest, WrongInputReadsAsEmptyOrGarbageWithoutHarm) {
    EXPECT_EQ(ScramblePassword(""), "");
    EXPECT_EQ(UnscramblePassword(""), "");
    const std::string good = ScramblePassword("password");
    std::string lowerCase = good;
    for (char& c : lowerCase) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(UnscramblePassword(lowerCase), "password") << "hex digits of either case";

    struct Row {
        const char* name;
        std::string stored;
    };
    std::string notHex = good;
    notHex[17] = 'G';
    const Row rows[] = {
        {"plain text", "password"},          {"one digit short", good.substr(1)},
        {"one digit more", good + "0"},      {"not hexadecimal", notHex},
        {"all zero", std::string(130, '0')},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(UnscramblePassword(row.stored), "") << row.name;
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
