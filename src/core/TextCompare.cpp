#include "core/TextCompare.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace dv {

namespace {

// Ill-formed bytes are mapped above every code point so that they sort after all text.
constexpr uint32_t kRawByteBase = 0x110000;

// Decodes the character at `pos` and advances past it; a byte that does not start a well-formed
// sequence stands for itself (as kRawByteBase + byte).
uint32_t NextCodePoint(std::string_view text, size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int length = 0;
    uint32_t cp = 0;
    uint32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    }
    if (length == 0 || pos + static_cast<size_t>(length) > text.size()) {
        ++pos;
        return kRawByteBase + lead;
    }
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + static_cast<size_t>(i)]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kRawByteBase + lead;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kRawByteBase + lead;
    }
    pos += static_cast<size_t>(length);
    return cp;
}

uint32_t FoldCase(uint32_t cp) {
    if (cp >= 'A' && cp <= 'Z') {
        return cp + 0x20;
    }
    if (cp < 0xC0) {
        return cp;
    }
    // Latin-1 capitals with accents; U+00D7 is the multiplication sign.
    if (cp <= 0xDE) {
        return cp == 0xD7 ? cp : cp + 0x20;
    }
    // Latin Extended-A pairs capital/small on even/odd code points, except the run U+0139..U+0148
    // and U+0179..U+017E, which pair odd/even; U+0130, U+0131, U+0138 and U+0149 have no pair.
    if (cp >= 0x100 && cp <= 0x17F) {
        if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) {
            return (cp % 2 == 1) ? cp + 1 : cp;
        }
        if (cp == 0x130 || cp == 0x131 || cp == 0x138 || cp == 0x149 || cp == 0x178) {
            return cp == 0x178 ? 0xFF : cp;
        }
        return (cp % 2 == 0) ? cp + 1 : cp;
    }
    // Greek capitals Α..Ω (without the reserved U+03A2) and Cyrillic capitals.
    if (cp >= 0x391 && cp <= 0x3A9 && cp != 0x3A2) {
        return cp + 0x20;
    }
    if (cp >= 0x410 && cp <= 0x42F) {
        return cp + 0x20;
    }
    if (cp >= 0x400 && cp <= 0x40F) {
        return cp + 0x50;
    }
    return cp;
}

} // namespace

int CompareNoCase(std::string_view a, std::string_view b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        // Fast path: equal ASCII bytes after folding need no decoding.
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[j]);
        if (x < 0x80 && y < 0x80) {
            const uint32_t fx = FoldCase(x);
            const uint32_t fy = FoldCase(y);
            if (fx != fy) {
                return fx < fy ? -1 : 1;
            }
            ++i;
            ++j;
            continue;
        }
        const uint32_t cx = FoldCase(NextCodePoint(a, i));
        const uint32_t cy = FoldCase(NextCodePoint(b, j));
        if (cx != cy) {
            return cx < cy ? -1 : 1;
        }
    }
    if (i < a.size()) {
        return 1;
    }
    return j < b.size() ? -1 : 0;
}

std::string ToLowerText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t start = pos;
        const uint32_t cp = NextCodePoint(text, pos);
        const uint32_t lower = cp < kRawByteBase ? FoldCase(cp) : cp;
        if (lower == cp) {
            out.append(text.substr(start, pos - start));
        } else if (lower < 0x80) {
            out += static_cast<char>(lower);
        } else {
            // Every folded letter lies below U+0800: two bytes.
            out += static_cast<char>(0xC0 | (lower >> 6));
            out += static_cast<char>(0x80 | (lower & 0x3F));
        }
    }
    return out;
}

} // namespace dv
