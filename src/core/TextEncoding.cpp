#include "core/TextEncoding.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace dv {

namespace {

// ---- Code page and UTF helpers ------------------------------------------------------------------

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves undefined map to the C1
// control of the same value, which keeps every byte string convertible both ways.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80..0x87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88..0x8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90..0x97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98..0x9F
};

// Length of the leading run of ASCII bytes, eight at a time where possible.
size_t AsciiPrefixLength(const unsigned char* data, size_t size) {
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, data + i, 8);
        if ((word & 0x8080808080808080ULL) != 0) {
            break;
        }
    }
    while (i < size && data[i] < 0x80) {
        ++i;
    }
    return i;
}

struct Decoded {
    char32_t codePoint; // U+FFFD for an ill-formed subpart
    size_t length;      // bytes consumed, 1..4, never more than were available
    bool wellFormed;
};

// Decodes one character from a non-empty input. The accepted ranges are those of well-formed
// UTF-8; at the first byte outside them the bytes so far form one ill-formed subpart.
Decoded DecodeUtf8(const unsigned char* p, size_t available) {
    const unsigned lead = p[0];
    if (lead < 0x80) {
        return {lead, 1, true};
    }
    size_t trailing = 0;
    char32_t codePoint = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2;
        codePoint = lead & 0x0F;
        if (lead == 0xE0) {
            low = 0xA0; // no overlong three-byte forms
        } else if (lead == 0xED) {
            high = 0x9F; // no surrogates
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailing = 3;
        codePoint = lead & 0x07;
        if (lead == 0xF0) {
            low = 0x90; // no overlong four-byte forms
        } else if (lead == 0xF4) {
            high = 0x8F; // nothing above U+10FFFF
        }
    } else {
        return {kReplacement, 1, false};
    }
    for (size_t i = 1; i <= trailing; ++i) {
        if (i >= available || p[i] < low || p[i] > high) {
            return {kReplacement, i, false};
        }
        codePoint = (codePoint << 6) | (p[i] & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return {codePoint, trailing + 1, true};
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

// The Windows-1252 byte of a code point, or -1 when it has none.
int Cp1252Byte(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<int>(codePoint);
    }
    for (size_t i = 0; i < kCp1252High.size(); ++i) {
        if (kCp1252High[i] == codePoint) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

} // namespace

// ---- Public conversions -------------------------------------------------------------------------

std::optional<std::string> Utf8ToCp1252(std::string_view utf8) {
    const unsigned char* data = Bytes(utf8);
    const size_t size = utf8.size();
    size_t i = AsciiPrefixLength(data, size);
    std::string out(utf8.substr(0, i));
    if (i == size) {
        return out;
    }
    out.reserve(size);
    while (i < size) {
        if (data[i] < 0x80) {
            out.push_back(static_cast<char>(data[i]));
            ++i;
            continue;
        }
        const Decoded decoded = DecodeUtf8(data + i, size - i);
        // U+FFFD itself has no place in the code page, so ill-formed input also ends here.
        const int byte = Cp1252Byte(decoded.codePoint);
        if (byte < 0) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(byte));
        i += decoded.length;
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
    const unsigned char* data = Bytes(cp1252);
    const size_t size = cp1252.size();
    size_t i = AsciiPrefixLength(data, size);
    std::string out(cp1252.substr(0, i));
    if (i == size) {
        return out;
    }
    out.reserve(size + (size - i) / 2 + 4);
    for (; i < size; ++i) {
        const unsigned byte = data[i];
        if (byte < 0x80) {
            out.push_back(static_cast<char>(byte));
        } else if (byte < 0xA0) {
            AppendUtf8(out, kCp1252High[byte - 0x80]);
        } else {
            AppendUtf8(out, byte);
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    const unsigned char* data = Bytes(utf8);
    const size_t size = utf8.size();
    std::u16string out;
    out.reserve(size);
    size_t i = 0;
    while (i < size) {
        if (data[i] < 0x80) {
            out.push_back(data[i]);
            ++i;
            continue;
        }
        const Decoded decoded = DecodeUtf8(data + i, size - i);
        if (decoded.codePoint >= 0x10000) {
            const char32_t offset = decoded.codePoint - 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(decoded.codePoint));
        }
        i += decoded.length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    const size_t size = utf16.size();
    for (size_t i = 0; i < size; ++i) {
        const char32_t unit = utf16[i];
        if (unit < 0x80) {
            out.push_back(static_cast<char>(unit));
        } else if (unit < 0xD800 || unit > 0xDFFF) {
            AppendUtf8(out, unit);
        } else if (unit <= 0xDBFF && i + 1 < size && utf16[i + 1] >= 0xDC00 &&
                   utf16[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
            ++i;
        } else {
            AppendUtf8(out, kReplacement);
        }
    }
    return out;
}

bool IsAscii(std::string_view text) {
    return AsciiPrefixLength(Bytes(text), text.size()) == text.size();
}

bool IsValidUtf8(std::string_view text) {
    const unsigned char* data = Bytes(text);
    const size_t size = text.size();
    size_t i = AsciiPrefixLength(data, size);
    while (i < size) {
        if (data[i] < 0x80) {
            ++i;
            continue;
        }
        const Decoded decoded = DecodeUtf8(data + i, size - i);
        if (!decoded.wellFormed) {
            return false;
        }
        i += decoded.length;
    }
    return true;
}

} // namespace dv
