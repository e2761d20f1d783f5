#pragma once

#include <string>
#include <string_view>

namespace dv {

/// Converts a date-time format of the "%" codes into the format language of the date and time
/// pickers: "%m/%d/%Y, %I:%M %p" becomes "MM/dd/yyyy, hh:mm tt". "%#" asks for the short form of
/// the code that follows ("%#d" becomes "d"). Characters outside codes are copied as they are; an
/// unknown code letter (such as "%W" or "%%") is copied without its "%"; a "%" or "%#" at the very
/// end is dropped. Never fails.
std::string ToPickerFormat(std::string_view format);

/// The same conversion into the display-format language of Qt's date and time edits: "%p" becomes
/// "AP", every other code maps as for ToPickerFormat ("%I" to "hh", 12-hour when "AP" is present).
/// Literal text that holds a letter is enclosed in single quotes and every single quote is
/// doubled, so that Qt shows the text verbatim. Two codes whose Qt forms share a letter with
/// nothing between them ("%d%a" gives "ddddd") run together into one Qt expression, as Qt has no
/// empty separator; such formats make no sense for a picker. A format without any code gives a
/// format that Qt's edits reject (they need a field). Never fails.
std::string ToQtDisplayFormat(std::string_view format);

} // namespace dv
