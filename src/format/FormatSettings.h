#pragma once

#include <array>
#include <string>
#include <string_view>

namespace dv {

/// Numbers of the event format sets, as SetFormatSet takes them.
enum FormatSetNumber : int {
    kFormatSetClipboard = 0,
    kFormatSetTooltip = 1,
    kFormatSetCalendar = 2,
    kFormatSetHtmlTime = 3,
    kFormatSetHtmlDesc = 4,
    kFormatSetCsvTime = 5,
};
constexpr int kFormatSetCount = 6;

/// The five variants of an event format set, chosen per day: normal (starts and ends on the day,
/// with a time of day), single day (the same without time of day), and the first, middle and
/// last day of an occurrence that spans several days.
enum FormatVariant : int {
    kVariantNormal = 0,
    kVariantSingleDay = 1,
    kVariantFirstDay = 2,
    kVariantMiddleDay = 3,
    kVariantLastDay = 4,
};
using FormatSet = std::array<std::string, 5>;

/// What the placeholder expanders read from the settings: the initial date, time and date-time
/// formats of every expansion, the six event format sets and the to-do state texts. The settings
/// object fills one from its keys; Defaults() gives the built-in texts of the active language.
struct FormatSettings {
    std::string DateFormat;
    std::string TimeFormat;
    std::string DateTimeFormat;
    std::array<FormatSet, kFormatSetCount> EventSets;
    std::string StateValueDone;
    std::string StateValueOverdue;
    std::string StateValueUndone;
    std::string StateValueUrgent;

    /// Every value from its default string (LoadString, so a language hook applies).
    static FormatSettings Defaults();

    friend bool operator==(const FormatSettings&, const FormatSettings&) = default;
};

/// A date/time format (the %-codes of CDateTime::Format) for the 24-hour clock (true: "%I" and
/// "%#I" become "%H" and "%#H", "%p" goes with the blank beside it) or the 12-hour clock (false:
/// "%H" becomes "%I" and " %p" follows the time's last of minute and second). A format without
/// an hour is returned as it is, and so is one already on the asked clock.
std::string FormatForClock(std::string_view format, bool twentyFourHour);

} // namespace dv
