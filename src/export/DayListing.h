#pragma once

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "format/FormatSettings.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dv {

/// One line of a day: an occurrence of an event that touches the day, with its text.
struct DayEntry {
    CDateEntry* event = nullptr;
    CDateTime occurrenceStart;
    CDateTimeSpan duration;
    std::string text;
};

/// Decides whether an occurrence is listed (the sidebar's filter); an empty function lists all.
using OccurrenceFilter = std::function<bool(const CDateEntry& event, const CDateTime& start)>;

/// What the calendar pages, the agenda and the exports show for a run of days.
struct DayListingOptions {
    /// Events whose Display is 1 (hidden) are listed too.
    bool showHidden = false;
    /// The format set of the texts (calendar cells: kFormatSetCalendar).
    int formatSet = kFormatSetCalendar;
    OccurrenceFilter filter;
};

/// The entries of `dayCount` days from `firstDay` (its date part), one list per day, each in entry
/// order: by occurrence start, the longer duration first for equal starts, then by description
/// without regard to letter case; equal entries keep the order of the events. An occurrence that
/// spans several days is listed on each of its days within the range, with the text of
/// FormatForDay for that day. Events are scanned in the given order; their scan state moves.
std::vector<std::vector<DayEntry>>
BuildDayListing(const std::vector<std::unique_ptr<CDateEntry>>& events, const CDateTime& firstDay,
                int dayCount, const FormatSettings& formats, const DayListingOptions& options = {});

/// The caption of a day on the week page: `dayFormat`, with a blank and `weekFormat` appended on
/// Mondays when `showWeekNumbers` is set.
std::string DayCaption(const CDateTime& day, const std::string& dayFormat, bool showWeekNumbers,
                       const std::string& weekFormat);

} // namespace dv
