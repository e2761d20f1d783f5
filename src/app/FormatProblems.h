#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dv {

/// What a user probably did not mean in a date-time format (the codes of CDateTime::Format):
/// a "%" followed by a character that is no code, and a "%" that ends the format. Each problem
/// is one sentence from the string table; an empty list means none. Never refuses a format: the
/// formatter shows such characters as they are.
std::vector<std::string> DateCodeProblems(std::string_view format);

/// What a user probably did not mean in a placeholder format: tokens that are no placeholder of
/// the record (they pass through as typed) and a "$" that opens a token without a closing one.
/// `expand` expands a format for a sample record; a token is a placeholder exactly when
/// expanding it alone changes it (whether a token is recognised never depends on what stands
/// before it). The tokens are found the way the expander scans: an unrecognised token's closing
/// "$" may open the next one.
std::vector<std::string>
PlaceholderProblems(std::string_view format,
                    const std::function<std::string(std::string_view)>& expand);

} // namespace dv
