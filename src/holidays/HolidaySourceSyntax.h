#pragma once

// The words of the holiday source format, shared by its reader and its writer.

#include "holidays/HolidayRules.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dv::holiday_source {

inline constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
inline constexpr std::array<const char*, 7> kWeekdayNames = {
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
/// Indexed by the relation number (0 strictly before .. 3 strictly after).
inline constexpr std::array<const char*, 4> kRelationWords = {"before", "on or before",
                                                              "on or after", "after"};
inline constexpr std::array<const char*, 5> kOrdinalWords = {"first", "second", "third", "fourth",
                                                             "fifth"};

/// ASCII lower case; other bytes stay as they are.
std::string Lower(std::string_view text);

/// Index (0-based) of a full English month name or its three-letter abbreviation,
/// case-insensitively; nullopt for anything else.
std::optional<int> FindMonth(std::string_view word);
/// Index (0 Monday .. 6 Sunday) of a weekday name or its abbreviation; nullopt for anything else.
std::optional<int> FindWeekday(std::string_view word);

/// True for keywords, month and weekday names: words that a bare name may not be.
bool IsReserved(std::string_view word);

/// Days of month 1..12 in a leap year (the most a fixed date may name).
int DaysInMonth(int month);

/// "1st", "2nd", "3rd", "4th", "11th", "21st" ...
std::string OrdinalText(uint64_t n);

/// Bytes that a bare word may hold: ASCII letters, digits, '_' and any byte of a non-ASCII
/// character.
bool IsWordByte(unsigned char c);

/// Parses one rule line (without a holiday header); throws HolidaySourceError naming "(rule)".
DateRule ParseRuleText(const std::string& text);

} // namespace dv::holiday_source
