#include "export/DayListing.h"

#include "core/TextCompare.h"
#include "format/CDateEntryFormatter.h"

#include <algorithm>
#include <exception>
#include <future>
#include <iterator>
#include <optional>
#include <span>
#include <string_view>
#include <thread>

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

namespace {

/// What every part of a listing shares.
struct ListingRange {
    CDateTime first;
    CDateTime last;
    int32_t firstDayNumber = 0;
    int32_t lastDayNumber = 0;
    std::vector<CDateTime> dayValues;
};

// The entries of one run of events, per day in event order (unsorted).
std::vector<std::vector<DayEntry>> ListEvents(std::span<const std::unique_ptr<CDateEntry>> events,
                                              const ListingRange& range,
                                              const FormatSettings& formats,
                                              const DayListingOptions& options) {
    std::vector<std::vector<DayEntry>> days(range.dayValues.size());
    for (const auto& owned : events) {
        CDateEntry& event = *owned;
        if (event.GetData().Display == 1 && !options.showHidden) {
            continue;
        }
        CDateTime start;
        CDateTime end;
        bool found = event.FindFirstOccurrence(range.first, range.last, start, end);
        if (!found) {
            continue; // most events have nothing in a short range: no formatter, no snapshot
        }
        // The formatter copies the event's data and format set: only made when texts are wanted.
        std::optional<CDateEntryFormatter> formatter;
        if (options.formatTexts) {
            formatter.emplace(event, formats, options.formatSet);
        }
        const CDateTimeSpan duration = event.GetDuration();
        for (; found; found = event.FindNextOccurrence(range.first, range.last, start, end)) {
            if (options.filter && !options.filter(event, start)) {
                continue;
            }
            // Every day of the occurrence within the range gets a line of its own.
            const int32_t from = std::max(start.GetDayNumber(), range.firstDayNumber);
            const int32_t to = std::min(end.GetDayNumber(), range.lastDayNumber);
            DayEntry entry{&event, start, duration, {}};
            SetAppearance(entry, event, options);
            for (int32_t dayNumber = from; dayNumber <= to; ++dayNumber) {
                const auto index = static_cast<size_t>(dayNumber - range.firstDayNumber);
                DayEntry& added = days[index].emplace_back(entry);
                if (formatter) {
                    added.text = formatter->FormatForDay(start, range.dayValues[index]);
                }
            }
        }
    }
    return days;
}

// Puts the entries of day `day` of every part into entry order. The parts hold consecutive runs
// of the events, so taking them in part order gives the event order that equal entries keep.
std::vector<DayEntry> SortDay(std::vector<std::vector<std::vector<DayEntry>>>& parts, size_t day) {
    // Sorting small keys and moving each entry once is cheaper than sorting the entries with
    // their texts.
    struct SortKey {
        CDateTime start;
        CDateTimeSpan duration;
        const std::string* description;
        uint32_t position;
        DayEntry* entry;
    };
    std::vector<SortKey> keys;
    size_t total = 0;
    for (const auto& part : parts) {
        total += part[day].size();
    }
    keys.reserve(total);
    for (auto& part : parts) {
        for (DayEntry& entry : part[day]) {
            keys.push_back({entry.occurrenceStart, entry.duration,
                            &entry.event->GetData().Description, static_cast<uint32_t>(keys.size()),
                            &entry});
        }
    }
    // By start and the longer first; the position as the last key gives the order of a stable
    // sort.
    const auto sameTimes = [](const SortKey& a, const SortKey& b) {
        return a.start == b.start && a.duration == b.duration;
    };
    std::sort(keys.begin(), keys.end(), [](const SortKey& a, const SortKey& b) {
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
    for (auto run = keys.begin(); run != keys.end();) {
        auto runEnd = std::next(run);
        while (runEnd != keys.end() && sameTimes(*run, *runEnd)) {
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
    sorted.reserve(keys.size());
    for (const SortKey& key : keys) {
        sorted.push_back(std::move(*key.entry));
    }
    return sorted;
}

// Below this many events per thread a second thread costs more than it saves.
constexpr size_t kEventsPerThread = 1500;
constexpr unsigned kMaxThreads = 4;

unsigned ThreadCount(const DayListingOptions& options, size_t eventCount) {
    if (options.threads > 0) {
        return static_cast<unsigned>(
            std::min<size_t>(options.threads, std::max<size_t>(eventCount, 1)));
    }
    const unsigned hardware = std::max(std::thread::hardware_concurrency(), 1u);
    const size_t byWork = std::max<size_t>(eventCount / kEventsPerThread, 1);
    return static_cast<unsigned>(std::min<size_t>({hardware, kMaxThreads, byWork}));
}

// Runs `work(i)` for i in [0, count): the last share on the calling thread, the others on
// threads of their own. An exception of any share reaches the caller after all have ended.
template <class Work>
void RunShares(unsigned count, const Work& work) {
    std::vector<std::future<void>> others;
    others.reserve(count > 0 ? count - 1 : 0);
    for (unsigned i = 0; i + 1 < count; ++i) {
        others.push_back(std::async(std::launch::async, [&work, i] { work(i); }));
    }
    std::exception_ptr failure;
    try {
        work(count - 1);
    } catch (...) {
        failure = std::current_exception();
    }
    for (auto& other : others) {
        try {
            other.get();
        } catch (...) {
            if (!failure) {
                failure = std::current_exception();
            }
        }
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace

std::vector<std::vector<DayEntry>>
BuildDayListing(const std::vector<std::unique_ptr<CDateEntry>>& events, const CDateTime& firstDay,
                int dayCount, const FormatSettings& formats, const DayListingOptions& options) {
    std::vector<std::vector<DayEntry>> days(static_cast<size_t>(std::max(dayCount, 0)));
    if (days.empty()) {
        return days;
    }
    ListingRange range;
    range.first = firstDay.GetDate();
    range.last = range.first + CDateTimeSpan(dayCount - 1, 23, 59, 59);
    range.firstDayNumber = range.first.GetDayNumber();
    range.lastDayNumber = range.last.GetDayNumber();
    range.dayValues.reserve(days.size());
    for (int32_t dayNumber = range.firstDayNumber; dayNumber <= range.lastDayNumber; ++dayNumber) {
        range.dayValues.push_back(CDateTime::FromDayNumber(dayNumber));
    }

    // A large calendar is listed in consecutive runs of events on several threads: each event
    // is touched by one thread only, and nothing else the listing reads is written meanwhile.
    const unsigned threads = ThreadCount(options, events.size());
    std::vector<std::vector<std::vector<DayEntry>>> parts(threads);
    const std::span<const std::unique_ptr<CDateEntry>> all(events);
    RunShares(threads, [&](unsigned share) {
        const size_t from = all.size() * share / threads;
        const size_t to = all.size() * (share + 1) / threads;
        parts[share] = ListEvents(all.subspan(from, to - from), range, formats, options);
    });
    RunShares(threads, [&](unsigned share) {
        for (size_t day = days.size() * share / threads; day < days.size() * (share + 1) / threads;
             ++day) {
            days[day] = SortDay(parts, day);
        }
    });
    return days;
}

std::string FormatDayEntry(const DayEntry& entry, const CDateTime& day,
                           const FormatSettings& formats, int formatSet) {
    CDateEntryFormatter formatter(*entry.event, formats, formatSet);
    return formatter.FormatForDay(entry.occurrenceStart, day);
}

FormatSettings WithoutEndTimes(const FormatSettings& formats, int formatSet) {
    FormatSettings reduced = formats;
    // A 12-hour start without its leading zero ("9:30 AM") leaves a narrow line more room.
    for (std::string* format : {&reduced.TimeFormat, &reduced.DateTimeFormat}) {
        for (size_t at = format->find("%I"); at != std::string::npos; at = format->find("%I", at)) {
            format->insert(at + 1, "#");
        }
    }
    static constexpr std::string_view kRange = "STARTTOEND_";
    for (std::string& format : reduced.EventSets[static_cast<size_t>(formatSet)]) {
        // Only inside a placeholder: a literal word in the text stays.
        bool inside = false;
        for (size_t i = 0; i < format.size(); ++i) {
            if (format[i] == '$') {
                inside = !inside;
            } else if (inside && format.compare(i, kRange.size(), kRange) == 0) {
                format.erase(i, kRange.size());
                --i;
            }
        }
    }
    return reduced;
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
