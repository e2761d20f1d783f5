#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dv {

// The text forms in which the settings store keeps values that are not plain integers. They are
// the same in every store (INI file or platform store), so that a value moves between stores as
// it is. None of the parsers fails: whatever text a store holds reads as some value.

/// One switch per column; any character other than '0' in the stored text reads as on.
using FlagList = std::vector<bool>;
/// Names joined by ",".
using NameList = std::vector<std::string>;
/// Decimal numbers joined by ",".
using NumberList = std::vector<int32_t>;

/// A colour value 0x00BBGGRR from its red, green and blue parts.
constexpr uint32_t Rgb(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint32_t>(red) | (static_cast<uint32_t>(green) << 8) |
           (static_cast<uint32_t>(blue) << 16);
}

/// Replaces every line feed by "{0x0A}", then every carriage return by "{0x0D}", then every tab
/// by "{0x09}". Nothing else is escaped.
std::string EscapeProfileText(std::string_view text);

/// The reverse of EscapeProfileText, in the same order: "{0x0A}", then "{0x0D}", then "{0x09}".
/// A user's literal "{0x0A}" therefore also reads back as a line feed.
std::string UnescapeProfileText(std::string_view stored);

/// Reads an integer as the Windows profile functions do: leading blanks are skipped, then an
/// optional "+" or "-", then decimal digits up to the first other character. Returns 0 when
/// there are no digits. Values beyond the 32-bit range wrap around modulo 2^32, as they do there.
int32_t ParseProfileInt(std::string_view text);

/// "1" for every switch that is on, "0" for every other.
std::string FormatFlagList(const FlagList& flags);
/// One switch per character: '0' is off, any other character is on. Empty text gives an empty
/// list.
FlagList ParseFlagList(std::string_view text);

/// The names joined by ",". A name that contains "," cannot come back as one name.
std::string FormatNameList(const NameList& names);
/// The text split at every ","; empty names between two commas are kept. Empty text gives an
/// empty list.
NameList ParseNameList(std::string_view text);

/// The numbers in decimal joined by ",".
std::string FormatNumberList(const NumberList& numbers);
/// The text split at every ","; each piece is read with ParseProfileInt. Pieces that hold only
/// blanks are skipped, so "1,,2" and "1,2," both give {1, 2}. Empty text gives an empty list.
NumberList ParseNumberList(std::string_view text);

} // namespace dv
