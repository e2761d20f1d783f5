#pragma once

#include <string>
#include <string_view>

namespace dv {

// The FTP password is kept in the settings only in scrambled form. Scrambling hides it from a
// casual look at the settings file; it is not encryption, the tables are in the program.

/// The longest password kept, in bytes; longer ones are cut (never inside a UTF-8 character).
constexpr size_t kMaxPasswordLength = 64;
/// Length of a scrambled password: 65 bytes as two upper-case hexadecimal digits each.
constexpr size_t kScrambledPasswordLength = 130;

/// The stored form of `password`: empty for an empty password, else 130 upper-case hexadecimal
/// digits. The 65-byte block is the length combined with a fixed byte, then the password bytes
/// repeated to 64 positions, each combined with two fixed tables; its 520 bits are moved by a
/// fixed permutation, and each byte is combined with a third fixed table.
std::string ScramblePassword(std::string_view password);

/// The password of a stored form. Empty text gives an empty password, and so does text that is
/// not 130 hexadecimal digits (either case), whose length byte is not 1 to 64, or whose filler
/// positions do not repeat the password (a password scrambled with other tables). The few
/// foreign texts that pass these checks give some garbage password, always valid UTF-8: bytes
/// that do not form UTF-8 characters become U+FFFD.
std::string UnscramblePassword(std::string_view stored);

} // namespace dv
