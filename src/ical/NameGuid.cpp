#include "ical/NameGuid.h"

#include "core/Guid.h"

#include <algorithm>
#include <cctype>

namespace dv::ical {

namespace {

// The namespace of every name-based GUID this program makes; fixed forever, since changing it
// would turn every imported entry into a new one on the next import.
constexpr std::array<uint8_t, 16> kNamespace = {0x6b, 0x1f, 0x3a, 0x52, 0x9c, 0x4d, 0x5e, 0x21,
                                                0xa7, 0x08, 0x44, 0xd2, 0x71, 0xe3, 0x0b, 0x96};

constexpr uint32_t Rotl(uint32_t v, int n) {
    return (v << n) | (v >> (32 - n));
}

void Sha1Block(std::array<uint32_t, 5>& h, const uint8_t* block) {
    std::array<uint32_t, 80> w{};
    for (int i = 0; i < 16; ++i) {
        w[i] = uint32_t{block[4 * i]} << 24 | uint32_t{block[4 * i + 1]} << 16 |
               uint32_t{block[4 * i + 2]} << 8 | uint32_t{block[4 * i + 3]};
    }
    for (int i = 16; i < 80; ++i) {
        w[i] = Rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    }
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (int i = 0; i < 80; ++i) {
        uint32_t f = 0;
        uint32_t k = 0;
        if (i < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999;
        } else if (i < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1;
        } else if (i < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDC;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6;
        }
        const uint32_t t = Rotl(a, 5) + f + e + k + w[i];
        e = d;
        d = c;
        c = Rotl(b, 30);
        b = a;
        a = t;
    }
    h[0] += a;
    h[1] += b;
    h[2] += c;
    h[3] += d;
    h[4] += e;
}

} // namespace

std::array<uint8_t, 20> Sha1(std::string_view bytes) {
    std::array<uint32_t, 5> h = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    size_t whole = bytes.size() / 64 * 64;
    for (size_t i = 0; i < whole; i += 64) {
        Sha1Block(h, reinterpret_cast<const uint8_t*>(bytes.data()) + i);
    }
    // The tail, the 0x80 marker and the bit length fill one or two last blocks.
    std::array<uint8_t, 128> tail{};
    const size_t rest = (bytes.size() - whole) % 64; // < 64, which the compiler cannot see
    for (size_t i = 0; i < rest; ++i) {
        tail[i] = static_cast<uint8_t>(bytes[whole + i]);
    }
    tail[rest] = 0x80;
    const size_t tailSize = rest < 56 ? 64 : 128;
    const uint64_t bits = static_cast<uint64_t>(bytes.size()) * 8;
    for (int i = 0; i < 8; ++i) {
        tail[tailSize - 1 - i] = static_cast<uint8_t>(bits >> (8 * i));
    }
    for (size_t i = 0; i < tailSize; i += 64) {
        Sha1Block(h, tail.data() + i);
    }
    std::array<uint8_t, 20> digest{};
    for (int i = 0; i < 20; ++i) {
        digest[i] = static_cast<uint8_t>(h[i / 4] >> (24 - 8 * (i % 4)));
    }
    return digest;
}

std::string NameGuid(std::string_view name) {
    std::string input(kNamespace.begin(), kNamespace.end());
    input.append(name);
    const auto digest = Sha1(input);
    std::array<uint8_t, 16> bytes{};
    std::copy_n(digest.begin(), 16, bytes.begin());
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x50);
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string guid = "{";
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            guid += '-';
        }
        guid += kHex[bytes[i] >> 4];
        guid += kHex[bytes[i] & 0x0F];
    }
    guid += '}';
    return guid;
}

std::string GuidForUid(std::string_view uid) {
    if (IsGuidString(uid)) {
        return std::string(uid);
    }
    if (uid.size() == 36) {
        std::string braced = "{" + std::string(uid) + "}";
        if (IsGuidString(braced)) {
            std::transform(braced.begin(), braced.end(), braced.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            return braced;
        }
    }
    return NameGuid(uid);
}

} // namespace dv::ical
