#include "settings/ProfileValues.h"

namespace dv {

namespace {

// Replaces every `from` by `to` in one pass from left to right; replaced text is not searched
// again.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    result.reserve(text.size());
    size_t position = 0;
    while (true) {
        const size_t found = text.find(from, position);
        if (found == std::string_view::npos) {
            result.append(text.substr(position));
            return result;
        }
        result.append(text.substr(position, found - position));
        result.append(to);
        position = found + from.size();
    }
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Calls `piece` for every part of `text` between commas (one part for text without a comma).
template <class Piece>
void SplitAtCommas(std::string_view text, Piece&& piece) {
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            piece(text.substr(start));
            return;
        }
        piece(text.substr(start, comma - start));
        start = comma + 1;
    }
}

} // namespace

std::string EscapeProfileText(std::string_view text) {
    std::string result = ReplaceAll(text, "\n", "{0x0A}");
    result = ReplaceAll(result, "\r", "{0x0D}");
    return ReplaceAll(result, "\t", "{0x09}");
}

std::string UnescapeProfileText(std::string_view stored) {
    std::string result = ReplaceAll(stored, "{0x0A}", "\n");
    result = ReplaceAll(result, "{0x0D}", "\r");
    return ReplaceAll(result, "{0x09}", "\t");
}

int32_t ParseProfileInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Unsigned arithmetic wraps without undefined behaviour, as the platform's conversion does.
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10U + static_cast<uint32_t>(text[i] - '0');
    }
    if (negative) {
        value = 0U - value;
    }
    return static_cast<int32_t>(value);
}

std::string FormatFlagList(const FlagList& flags) {
    std::string text;
    text.reserve(flags.size());
    for (const bool flag : flags) {
        text.push_back(flag ? '1' : '0');
    }
    return text;
}

FlagList ParseFlagList(std::string_view text) {
    FlagList flags;
    flags.reserve(text.size());
    for (const char c : text) {
        flags.push_back(c != '0');
    }
    return flags;
}

std::string FormatNameList(const NameList& names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            text.push_back(',');
        }
        text.append(names[i]);
    }
    return text;
}

NameList ParseNameList(std::string_view text) {
    NameList names;
    if (text.empty()) {
        return names;
    }
    SplitAtCommas(text, [&](std::string_view piece) { names.emplace_back(piece); });
    return names;
}

std::string FormatNumberList(const NumberList& numbers) {
    std::string text;
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) {
            text.push_back(',');
        }
        text.append(std::to_string(numbers[i]));
    }
    return text;
}

NumberList ParseNumberList(std::string_view text) {
    NumberList numbers;
    SplitAtCommas(text, [&](std::string_view piece) {
        for (const char c : piece) {
            if (!IsBlank(c)) {
                numbers.push_back(ParseProfileInt(piece));
                return;
            }
        }
    });
    return numbers;
}

} // namespace dv
