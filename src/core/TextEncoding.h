#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dv {

// Every string in memory is UTF-8. These conversions sit at the edges where the event file and the
// text backups need Windows-1252 or UTF-16. None of them throws on bad input or reads out of
// bounds: an ill-formed UTF-8 sequence or an unpaired surrogate becomes U+FFFD, one replacement for
// each maximal ill-formed subpart (the Unicode-recommended practice).

/// Converts UTF-8 to Windows-1252. Returns nullopt when any character has no place in that code
/// page, including U+FFFD for ill-formed input. The five bytes that Windows-1252 leaves undefined
/// (0x81, 0x8D, 0x8F, 0x90, 0x9D) are reached from U+0081, U+008D, U+008F, U+0090 and U+009D, so
/// that the result of Cp1252ToUtf8 always converts back to the bytes it came from.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);

/// Converts Windows-1252 to UTF-8. Every byte has a character (see Utf8ToCp1252 for the five
/// undefined ones), so the result is always valid UTF-8 and at most three times as long.
std::string Cp1252ToUtf8(std::string_view cp1252);

/// Converts UTF-8 to UTF-16; ill-formed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);

/// Converts UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

/// True when every byte is below 0x80 (the text is the same in UTF-8 and in Windows-1252).
bool IsAscii(std::string_view text);

/// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool IsValidUtf8(std::string_view text);

} // namespace dv
