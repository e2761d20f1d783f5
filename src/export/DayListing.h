#pragma once

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/CTodoEntry.h"
#include "format/FormatSettings.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dv {

/// Colours that the platform supplies, as markers in place of a 0x00BBGGRR value: the views
/// resolve them to the current theme's colours. A marker has bit 31 set, which no stored colour
/// has.
enum SystemColor : uint32_t {
    kColorWindow = 0x80000005,     ///< window background
    kColorWindowText = 0x80000008, ///< window text
    kColorButtonFace = 0x8000000F, ///< button face
    kColorGrayText = 0x80000011,   ///< greyed-out text
};

/// True for the markers of SystemColor, false for a 0x00BBGGRR value.
constexpr bool IsSystemColor(uint32_t color) {
    return (color & 0x80000000u) != 0;
}

/// Style bits of an entry's font.
enum EntryStyle : int32_t {
    kStyleItalic = 1,
    kStyleUnderline = 2,
    kStyleStrikeOut = 4,
};

/// The small picture before an entry, by its bitmap number.
enum class EntryIcon : int32_t {
    None = 0,
    Shared = 234, ///< a shared event
    Local = 268,  ///< a local event
};

/// White or black, whichever reads better on `background` (0x00BBGGRR): white when the luminance
/// 0.2125 red + 0.7154 green + 0.0721 blue is below 128, else black.
uint32_t ContrastTextColor(uint32_t background);

/// One line of a day: an occurrence of an event that touches the day, with its text and how it
/// is drawn.
struct DayEntry {
    CDateEntry* event = nullptr;
    CDateTime occurrenceStart;
    CDateTimeSpan duration;
    std::string text;
    /// The text without the end time, for a line too narrow for `text`; empty until needed.
    std::string shortText{};
    uint32_t textColor = kColorWindowText; ///< 0x00BBGGRR or a SystemColor marker
    uint32_t backgroundColor = kColorWindow;
    int32_t style = 0; ///< EntryStyle bits
    EntryIcon icon = EntryIcon::None;
};

/// Decides whether an occurrence is listed (the sidebar's filter); an empty function lists all.
/// The event is not const: a content filter expands placeholders, which moves the event's scan.
/// A listing may call it from several threads at once, each time for a different event.
using OccurrenceFilter = std::function<bool(CDateEntry& event, const CDateTime& start)>;
/// Decides whether a to-do is listed (the to-do page's filter and hide rules).
using TodoFilter = std::function<bool(CTodoEntry& todo)>;

/// What the calendar pages, the agenda and the exports show for a run of days.
struct DayListingOptions {
    /// Events whose Display is 1 (hidden) are listed too.
    bool showHidden = false;
    /// The format set of the texts (calendar cells: kFormatSetCalendar).
    int formatSet = kFormatSetCalendar;
    OccurrenceFilter filter;
    /// How done occurrences look (setting DoneEventsMarking): 4 window background colour on the
    /// window text colour, 2 grey text (and the button face behind a coloured field unless 4 is
    /// set), 1 struck out.
    int32_t doneEventsMarking = 3;
    /// Shared events get EntryIcon::Shared (setting ShowNetworkIcon).
    bool showNetworkIcon = true;
    /// Local events get EntryIcon::Local (setting ShowLocalIcon).
    bool showLocalIcon = false;
    /// False leaves every DayEntry::text empty, for a caller that shows only some of the lines
    /// and formats those with FormatDayEntry: the texts are most of a listing's cost.
    bool formatTexts = true;
    /// Threads that share the work: 0 picks by the machine and the number of events (a large
    /// calendar is listed on up to four), 1 keeps everything on the calling thread.
    int threads = 0;
};

/// The entries of `dayCount` days from `firstDay` (its date part), one list per day, each in entry
/// order: by occurrence start, the longer duration first for equal starts, then by description
/// without regard to letter case; equal entries keep the order of the events. An occurrence that
/// spans several days is listed on each of its days within the range, with the text of
/// FormatForDay for that day. Events are scanned in the given order; their scan state moves.
/// Colours: Display 2 puts the text in the contrast colour on DisplayColor, Display 3 draws it in
/// FontColor, any other value in the window colours; done occurrences then get the done marking,
/// snoozed ones are italic (and nothing else of the style).
std::vector<std::vector<DayEntry>>
BuildDayListing(const std::vector<std::unique_ptr<CDateEntry>>& events, const CDateTime& firstDay,
                int dayCount, const FormatSettings& formats, const DayListingOptions& options = {});

/// The text of `entry` on `day`, as a listing with formatTexts gives it.
std::string FormatDayEntry(const DayEntry& entry, const CDateTime& day,
                           const FormatSettings& formats, int formatSet);

/// `formats` with the range placeholders of `formatSet` ("$THIS_STARTTOEND_AUTOTIME_S$") reduced
/// to their start ("$THIS_AUTOTIME_S$") and 12-hour times without the hour's leading zero: the
/// texts a narrow line shows, start time and description, when the end time leaves no room for
/// the description.
FormatSettings WithoutEndTimes(const FormatSettings& formats, int formatSet);

/// The to-dos the exports list for [first, last] (both inclusive): those without a deadline and
/// those whose stored deadline lies in the range and that pass `filter` (empty: all). Those with a
/// deadline come first by deadline, then the others by description without regard to letter case;
/// equal keys come out in reverse list order, as inserting each before its equals leaves them.
std::vector<CTodoEntry*> CollectExportTodos(const std::vector<std::unique_ptr<CTodoEntry>>& todos,
                                            const CDateTime& first, const CDateTime& last,
                                            const TodoFilter& filter);

/// The caption of a day on the week page: `dayFormat`, with a blank and `weekFormat` appended on
/// Mondays when `showWeekNumbers` is set.
std::string DayCaption(const CDateTime& day, const std::string& dayFormat, bool showWeekNumbers,
                       const std::string& weekFormat);

} // namespace dv
