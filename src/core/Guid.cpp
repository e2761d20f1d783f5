#include "core/Guid.h"

#include <array>
#include <cstdint>
#include <random>

namespace dv {

namespace {

// One engine per thread, seeded from the operating system's entropy source, so that GUIDs made on
// the synchronisation thread and on the user-interface thread never share state.
std::mt19937_64& Engine() {
    thread_local std::mt19937_64 engine = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(),
                           device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }();
    return engine;
}

constexpr std::array<char, 16> kHexDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                             '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};

// Offsets of the hyphens in the 38-character form.
constexpr bool IsHyphenPosition(size_t i) {
    return i == 9 || i == 14 || i == 19 || i == 24;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

std::string NewGuidString() {
    std::array<uint8_t, 16> bytes{};
    auto& engine = Engine();
    for (size_t i = 0; i < bytes.size(); i += 8) {
        uint64_t word = engine();
        for (size_t k = 0; k < 8; ++k) {
            bytes[i + k] = static_cast<uint8_t>(word >> (8 * k));
        }
    }
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant

    std::string text;
    text.reserve(38);
    text.push_back('{');
    size_t byte = 0;
    for (size_t pos = 1; pos < 37; ++pos) {
        if (IsHyphenPosition(pos)) {
            text.push_back('-');
            continue;
        }
        // Two characters per byte, high nibble first.
        text.push_back(kHexDigits[bytes[byte] >> 4]);
        text.push_back(kHexDigits[bytes[byte] & 0x0F]);
        ++byte;
        ++pos;
    }
    text.push_back('}');
    return text;
}

bool IsGuidString(std::string_view text) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') {
        return false;
    }
    for (size_t i = 1; i < 37; ++i) {
        if (IsHyphenPosition(i) ? text[i] != '-' : !IsHexDigit(text[i])) {
            return false;
        }
    }
    return true;
}

} // namespace dv
