#pragma once

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/DateData.h"
#include "format/FormatSettings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace dv {

/// Turns an event into text through the placeholder language: calendar cells, tooltips, the
/// clipboard, the reminder window and the exports each use one of the six format sets.
///
/// Holds a snapshot of the event's data (description, notes, category, time-of-day flag) and a
/// reference to the event itself, through which it asks for occurrences, the duration, the
/// occurrence count and whether an occurrence is done. The event and the settings must outlive the
/// formatter. Occurrence searches move the event's occurrence counter; every Expand saves it
/// before and restores it after, so a caller may format in the middle of its own scan.
class CDateEntryFormatter {
public:
    /// Takes a snapshot of `entry` and loads format set `formatSet` (0..5; see SetFormatSet).
    CDateEntryFormatter(CDateEntry& entry, const FormatSettings& settings,
                        int formatSet = kFormatSetCalendar);
    /// The formatter keeps a reference to the settings: a temporary (such as the copy that
    /// CSettings::GetFormatSettings returns) would be gone before the first Expand.
    CDateEntryFormatter(CDateEntry& entry, const FormatSettings&& settings,
                        int formatSet = kFormatSetCalendar) = delete;

    /// A new snapshot and reference; the five format strings stay.
    void SetEntry(CDateEntry& entry);
    /// Copies the five strings of set `formatSet` (0 clipboard, 1 tooltip, 2 calendar, 3 HTML time,
    /// 4 HTML description, 5 CSV time, both ends inclusive) from the settings. Any other number
    /// keeps the strings as they are. A later change of the settings reaches the formatter only
    /// when a set is chosen again.
    void SetFormatSet(int formatSet);

    /// Expands `format` for the occurrence that starts at `occurrenceDate` ("THIS") as shown on
    /// `selectedDay` ("THISSELECTED"; only its date counts). Never fails: tokens that are not
    /// placeholders pass through as text, and invalid dates show as "-".
    std::string Expand(std::string_view format, const CDateTime& occurrenceDate,
                       const CDateTime& selectedDay);
    /// Expands the string of the loaded set that fits `day` for the occurrence starting at
    /// `start`: normal or single day (by ShowStartTime) when the occurrence starts and ends on
    /// `day`, else the first-day string when it starts on `day`, else the last-day string when it
    /// ends on `day`, else the middle-day string. Dates are compared without their times. A text
    /// that names no date or count is expanded once per string and then reused.
    std::string FormatForDay(const CDateTime& start, const CDateTime& day);

    /// The five strings loaded, in the order normal, single day, first, middle, last day.
    const FormatSet& GetFormats() const { return m_formats; }

private:
    // Expand with the event's duration already known; `askedOccurrences` tells whether the text
    // depends on the occurrence, the day or the clock.
    std::string ExpandWith(std::string_view format, const CDateTime& occurrenceDate,
                           const CDateTime& selectedDay, const CDateTimeSpan& duration,
                           bool& askedOccurrences);

    CDateEntry* m_entry;
    DateData m_data;
    const FormatSettings* m_settings;
    FormatSet m_formats;
    // FormatForDay's texts of the variants that depend on no occurrence, by variant.
    std::array<std::optional<std::string>, std::tuple_size_v<FormatSet>> m_fixedTexts;
};

} // namespace dv
