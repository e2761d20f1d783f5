#pragma once

#include <string>
#include <string_view>

namespace dv {

/// Makes a new random (version 4, RFC 4122 variant) GUID in the 38-character registry form:
/// "{XXXXXXXX-XXXX-4XXX-YXXX-XXXXXXXXXXXX}" with upper-case hexadecimal digits, Y one of 8, 9, A,
/// B. Thread-safe; every call gives a new value.
std::string NewGuidString();

/// True when `text` has the 38-character form above (braces, hyphens, hexadecimal digits of either
/// case in the groups 8-4-4-4-12). Version and variant are not checked: GUIDs from files may come
/// from any generator.
bool IsGuidString(std::string_view text);

} // namespace dv
