#include "holidays/HolidaySourceSyntax.h"

namespace dv::holiday_source {

namespace {

// Words that a bare name may not be, so that the writer quotes them.
constexpr std::array<const char*, 32> kKeywords = {
    "holiday", "reference", "language", "value", "with",   "if",    "then",   "on",
    "or",      "of",        "in",       "from",  "until",  "to",    "every",  "kind",
    "day",     "days",      "year",     "years", "before", "after", "next",   "previous",
    "nearest", "drop",      "last",     "first", "second", "third", "fourth", "fifth"};

template <size_t N>
std::optional<int> FindName(const std::array<const char*, N>& names, std::string_view word) {
    const std::string lower = Lower(word);
    for (size_t i = 0; i < N; ++i) {
        const std::string name = Lower(names[i]);
        if (lower == name || (lower.size() == 3 && name.compare(0, 3, lower) == 0)) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

} // namespace

std::string Lower(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

std::optional<int> FindMonth(std::string_view word) {
    return FindName(kMonthNames, word);
}

std::optional<int> FindWeekday(std::string_view word) {
    return FindName(kWeekdayNames, word);
}

bool IsReserved(std::string_view word) {
    const std::string lower = Lower(word);
    for (const char* keyword : kKeywords) {
        if (lower == keyword) {
            return true;
        }
    }
    return FindMonth(word) || FindWeekday(word);
}

int DaysInMonth(int month) {
    constexpr std::array<int, 12> kDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return kDays[static_cast<size_t>(month - 1)];
}

std::string OrdinalText(uint64_t n) {
    const uint64_t tens = n % 100;
    const char* suffix = "th";
    if (tens < 11 || tens > 13) {
        suffix = n % 10 == 1 ? "st" : n % 10 == 2 ? "nd" : n % 10 == 3 ? "rd" : "th";
    }
    return std::to_string(n) + suffix;
}

bool IsWordByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c >= 0x80;
}

} // namespace dv::holiday_source
