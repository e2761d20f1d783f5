#include "export/DayListing.h"

#include "core/TextCompare.h"
#include "format/CDateEntryFormatter.h"

#include <algorithm>
#include <iterator>

namespace dv {

namespace {

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
    const int32_t lastDayNumber = last.GetDayNumber();
    std::vector<CDateTime> dayValues;
    dayValues.reserve(days.size());
    for (int32_t dayNumber = firstDayNumber; dayNumber <= lastDayNumber; ++dayNumber) {
        dayValues.push_back(CDateTime::FromDayNumber(dayNumber));
    }

    // The sort keys of each day, beside its entries: sorting these small records and moving each
    // entry once is cheaper than sorting the entries with their texts.
    struct SortKey {
        CDateTime start;
        CDateTimeSpan duration;
        const std::string* description;
        uint32_t position;
    };
    std::vector<std::vector<SortKey>> keys(days.size());

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
        const std::string* description = &event.GetData().Description;
        for (; found; found = event.FindNextOccurrence(first, last, start, end)) {
            if (options.filter && !options.filter(event, start)) {
                continue;
            }
            // Every day of the occurrence within the range gets a line of its own.
            const int32_t from = std::max(start.GetDayNumber(), firstDayNumber);
            const int32_t to = std::min(end.GetDayNumber(), lastDayNumber);
            DayEntry entry{&event, start, duration, {}};
            SetAppearance(entry, event, options);
            for (int32_t dayNumber = from; dayNumber <= to; ++dayNumber) {
                const auto index = static_cast<size_t>(dayNumber - firstDayNumber);
                DayEntry& added = days[index].emplace_back(entry);
                added.text = formatter.FormatForDay(start, dayValues[index]);
                keys[index].push_back(
                    {start, duration, description, static_cast<uint32_t>(keys[index].size())});
            }
        }
    }

    for (size_t day = 0; day < days.size(); ++day) {
        std::vector<SortKey>& dayKeys = keys[day];
        // By start and the longer first; the position as the last key gives the order of a
        // stable sort.
        const auto sameTimes = [](const SortKey& a, const SortKey& b) {
            return a.start == b.start && a.duration == b.duration;
        };
        std::sort(dayKeys.begin(), dayKeys.end(), [](const SortKey& a, const SortKey& b) {
            if (a.start != b.start) {
                return a.start < b.start;
            }
            if (a.duration != b.duration) {
                return a.duration > b.duration;
            }
            return a.position < b.position;
        });
        // Then each run of equal times by description: the texts are compared only where they
        // decide. Runs are short, so an insertion sort does it without a buffer; it moves an entry
        // only past greater ones, which keeps equal ones in event order.
        for (auto run = dayKeys.begin(); run != dayKeys.end();) {
            auto runEnd = std::next(run);
            while (runEnd != dayKeys.end() && sameTimes(*run, *runEnd)) {
                ++runEnd;
            }
            for (auto it = std::next(run); it < runEnd; ++it) {
                for (auto at = it;
                     at != run && CompareNoCase(*std::prev(at)->description, *at->description) > 0;
                     --at) {
                    std::iter_swap(std::prev(at), at);
                }
            }
            run = runEnd;
        }
        std::vector<DayEntry> sorted;
        sorted.reserve(dayKeys.size());
        for (const SortKey& key : dayKeys) {
            sorted.push_back(std::move(days[day][key.position]));
        }
        days[day] = std::move(sorted);
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
