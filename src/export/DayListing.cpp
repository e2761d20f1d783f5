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

} // namespace

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
        CDateEntryFormatter formatter(event, formats, options.formatSet);
        const CDateTimeSpan duration = event.GetDuration();
        CDateTime start;
        CDateTime end;
        for (bool found = event.FindFirstOccurrence(first, last, start, end); found;
             found = event.FindNextOccurrence(first, last, start, end)) {
            if (options.filter && !options.filter(event, start)) {
                continue;
            }
            // Every day of the occurrence within the range gets a line of its own.
            const int32_t from = std::max(start.GetDayNumber(), firstDayNumber);
            const int32_t to = std::min(end.GetDayNumber(), last.GetDayNumber());
            for (int32_t dayNumber = from; dayNumber <= to; ++dayNumber) {
                const CDateTime day = CDateTime::FromDayNumber(dayNumber);
                days[static_cast<size_t>(dayNumber - firstDayNumber)].push_back(
                    {&event, start, duration, formatter.FormatForDay(start, day)});
            }
        }
    }
    for (auto& entries : days) {
        std::stable_sort(entries.begin(), entries.end(), ComesBefore);
    }
    return days;
}

std::string DayCaption(const CDateTime& day, const std::string& dayFormat, bool showWeekNumbers,
                       const std::string& weekFormat) {
    if (showWeekNumbers && day.GetDayOfWeek() == 0) {
        return day.Format(dayFormat + " " + weekFormat);
    }
    return day.Format(dayFormat);
}

} // namespace dv
