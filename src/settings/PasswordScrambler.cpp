#include "settings/PasswordScrambler.h"

#include "core/TextEncoding.h"
#include "settings/PasswordTables.h"

#include <array>
#include <cstdint>

namespace dv {

namespace {

using namespace password_tables;

constexpr size_t kBlockSize = kMaxPasswordLength + 1; // 65
constexpr size_t kBitCount = kBlockSize * 8;          // 520
using Block = std::array<uint8_t, kBlockSize>;

static_assert(kBitPermutation.size() == kBitCount);
static_assert(kOutputTable.size() == kBlockSize);
static_assert(kFirstTable.size() == kMaxPasswordLength &&
              kSecondTable.size() == kMaxPasswordLength);

// A permutation table must hit every position exactly once, or scrambling loses bits.
constexpr bool IsPermutation() {
    std::array<bool, kBitCount> seen{};
    for (const uint16_t target : kBitPermutation) {
        if (target >= kBitCount || seen[target]) {
            return false;
        }
        seen[target] = true;
    }
    return true;
}
static_assert(IsPermutation());

// Bit i of a block is bit (i % 8) of byte i / 8, counting from the least significant bit.
bool GetBit(const Block& block, size_t bit) {
    return ((block[bit / 8] >> (bit % 8)) & 1U) != 0;
}
void SetBit(Block& block, size_t bit) {
    block[bit / 8] = static_cast<uint8_t>(block[bit / 8] | (1U << (bit % 8)));
}

// Bit i moves to position kBitPermutation[i].
Block Permute(const Block& block) {
    Block result{};
    for (size_t i = 0; i < kBitCount; ++i) {
        if (GetBit(block, i)) {
            SetBit(result, kBitPermutation[i]);
        }
    }
    return result;
}

Block Unpermute(const Block& block) {
    Block result{};
    for (size_t i = 0; i < kBitCount; ++i) {
        if (GetBit(block, kBitPermutation[i])) {
            SetBit(result, i);
        }
    }
    return result;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The longest prefix of at most kMaxPasswordLength bytes that does not end inside a character.
std::string_view CutPassword(std::string_view password) {
    if (password.size() <= kMaxPasswordLength) {
        return password;
    }
    size_t end = kMaxPasswordLength;
    while (end > 0 && (static_cast<unsigned char>(password[end]) & 0xC0) == 0x80) {
        --end;
    }
    return password.substr(0, end);
}

} // namespace

std::string ScramblePassword(std::string_view password) {
    const std::string_view kept = CutPassword(password);
    if (kept.empty()) {
        return {};
    }
    Block block{};
    block[0] = static_cast<uint8_t>(kept.size() ^ kLengthMask);
    for (size_t i = 0; i < kMaxPasswordLength; ++i) {
        const auto byte = static_cast<uint8_t>(kept[i % kept.size()]);
        block[i + 1] = static_cast<uint8_t>(byte ^ kFirstTable[i] ^ kSecondTable[i]);
    }
    const Block permuted = Permute(block);
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string stored;
    stored.reserve(kScrambledPasswordLength);
    for (size_t i = 0; i < kBlockSize; ++i) {
        const auto byte = static_cast<uint8_t>(permuted[i] ^ kOutputTable[i]);
        stored.push_back(kDigits[byte >> 4]);
        stored.push_back(kDigits[byte & 0x0F]);
    }
    return stored;
}

std::string UnscramblePassword(std::string_view stored) {
    if (stored.size() != kScrambledPasswordLength) {
        return {};
    }
    Block permuted{};
    for (size_t i = 0; i < kBlockSize; ++i) {
        const int high = HexValue(stored[2 * i]);
        const int low = HexValue(stored[2 * i + 1]);
        if (high < 0 || low < 0) {
            return {};
        }
        permuted[i] = static_cast<uint8_t>(((high << 4) | low) ^ kOutputTable[i]);
    }
    const Block block = Unpermute(permuted);
    const size_t length = block[0] ^ kLengthMask;
    if (length == 0 || length > kMaxPasswordLength) {
        return {};
    }
    std::string password(length, '\0');
    for (size_t i = 0; i < kMaxPasswordLength; ++i) {
        const auto byte = static_cast<char>(block[i + 1] ^ kFirstTable[i] ^ kSecondTable[i]);
        if (i < length) {
            password[i] = byte;
        } else if (byte != password[i % length]) {
            return {}; // not the cyclic fill of a scrambled password: scrambled with other tables
        }
    }
    if (!IsValidUtf8(password)) {
        password = Utf16ToUtf8(Utf8ToUtf16(password));
    }
    return password;
}

} // namespace dv
