#include "export/DayListing.h"

#include "core/TextCompare.h"
#include "format/CDateEntryFormatter.h"

#include <algorithm>

namespace dv {

namespace {

// The entry order of a day cell. Stable sorting keeps equal entries in event order.
bool ComesBefore(const DayEntry& a, const DayEntry& b) {
    if (a.occurrenceStart != b.occurrenceStart) {
        return a.occurrenceStart < b.occurrenceStart;
    }
    if (a.duration != b.duration) {
        return a.duration > b.duration;
    }
    return CompareNoCase(a.event->GetData().Description, b.event->GetData().Description) < 0;
}

// Colours, style and icon of one occurrence of `event`.
void SetAppearance(DayEntry& entry, const CDateEntry& event, const DayListingOptions& options) {
    const DateData& data = event.GetData();
    if (data.Display == 2) {
        entry.backgroundColor = data.DisplayColor;
        entry.textColor = ContrastTextColor(data.DisplayColor);
    } else if (data.Display == 3) {
        entry.textColor = data.FontColor;
    }
    if (event.IsDone(entry.occurrenceStart)) {
        const int32_t marking = options.doneEventsMarking;
        if ((marking & 4) != 0) {
            entry.textColor = kColorWindow;
            entry.backgroundColor = kColorWindowText;
        }
        if ((marking & 2) != 0) {
            entry.textColor = kColorGrayText;
            if (data.Display == 2 && (marking & 4) == 0) {
                entry.backgroundColor = kColorButtonFace;
            }
        }
        if ((marking & 1) != 0) {
            entry.style = kStyleStrikeOut;
        }
    }
    if (event.IsSnoozed(entry.occurrenceStart)) {
        entry.style = kStyleItalic;
    }
    if (data.StorageType == 1) {
        entry.icon = options.showNetworkIcon ? EntryIcon::Shared : EntryIcon::None;
    } else {
        entry.icon = options.showLocalIcon ? EntryIcon::Local : EntryIcon::None;
    }
}

} // namespace

uint32_t ContrastTextColor(uint32_t background) {
    // The weights in ten-thousandths, so that the threshold is exact.
    const uint32_t red = background & 0xFF;
    const uint32_t green = (background >> 8) & 0xFF;
    const uint32_t blue = (background >> 16) & 0xFF;
    return 2125 * red + 7154 * green + 721 * blue < 1280000 ? 0xFFFFFFu : 0x000000u;
}

std::vector<std::vector<DayEntry>>
BuildDayListing(const std::vector<std::unique_ptr<CDateEntry>>& events, const CDateTime& firstDay,
                int dayCount, const FormatSettings& formats, const DayListingOptions& options) {
    std::vector<std::vector<DayEntry>> days(static_cast<size_t>(std::max(dayCount, 0)));
    if (days.empty()) {
        return days;
    }
    const CDateTime first = firstDay.GetDate();
    const CDateTime last = first + CDateTimeSpan(dayCount - 1, 23, 59, 59);
    const int32_t firstDayNumber = first.GetDayNumber();

    for (const auto& owned : events) {
        CDateEntry& event = *owned;
        if (event.GetData().Display == 1 && !options.showHidden) {
            continue;
        }
        CDateTime start;
        CDateTime end;
        bool found = event.FindFirstOccurrence(first, last, start, end);
        if (!found) {
            continue; // most events have nothing in a short range: no formatter, no snapshot
        }
        CDateEntryFormatter formatter(event, formats, options.formatSet);
        const CDateTimeSpan duration = event.GetDuration();
        for (; found; found = event.FindNextOccurrence(first, last, start, end)) {
            if (options.filter && !options.filter(event, start)) {
                continue;
            }
            // Every day of the occurrence within the range gets a line of its own.
            const int32_t from = std::max(start.GetDayNumber(), firstDayNumber);
            const int32_t to = std::min(end.GetDayNumber(), last.GetDayNumber());
            DayEntry entry{&event, start, duration, {}};
            SetAppearance(entry, event, options);
            for (int32_t dayNumber = from; dayNumber <= to; ++dayNumber) {
                const CDateTime day = CDateTime::FromDayNumber(dayNumber);
                entry.text = formatter.FormatForDay(start, day);
                days[static_cast<size_t>(dayNumber - firstDayNumber)].push_back(entry);
            }
        }
    }
    for (auto& entries : days) {
        std::stable_sort(entries.begin(), entries.end(), ComesBefore);
    }
    return days;
}

std::vector<CTodoEntry*> CollectExportTodos(const std::vector<std::unique_ptr<CTodoEntry>>& todos,
                                            const CDateTime& first, const CDateTime& last,
                                            const TodoFilter& filter) {
    std::vector<CTodoEntry*> result;
    // Walking the list backwards and sorting stably gives equal keys in reverse list order.
    for (auto it = todos.rbegin(); it != todos.rend(); ++it) {
        CTodoEntry& todo = **it;
        const TodoData& data = todo.GetData();
        if (data.ShowDeadline != 0 && (data.Deadline < first || data.Deadline > last)) {
            continue;
        }
        if (filter && !filter(todo)) {
            continue;
        }
        result.push_back(&todo);
    }
    std::stable_sort(result.begin(), result.end(), [](const CTodoEntry* a, const CTodoEntry* b) {
        const TodoData& x = a->GetData();
        const TodoData& y = b->GetData();
        const bool xDated = x.ShowDeadline != 0;
        const bool yDated = y.ShowDeadline != 0;
        if (xDated != yDated) {
            return xDated;
        }
        if (xDated) {
            return x.Deadline < y.Deadline;
        }
        return CompareNoCase(x.Description, y.Description) < 0;
    });
    return result;
}

std::string DayCaption(const CDateTime& day, const std::string& dayFormat, bool showWeekNumbers,
                       const std::string& weekFormat) {
    if (showWeekNumbers && day.GetDayOfWeek() == 0) {
        return day.Format(dayFormat + " " + weekFormat);
    }
    return day.Format(dayFormat);
}

} // namespace dv
