#include "format/CDateEntryFormatter.h"

#include "core/CDateTimeSpan.h"
#include "core/RepetitionRule.h"
#include "format/PlaceholderEngine.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>

namespace dv {

namespace {

// ---- Occurrence searches -----------------------------------------------------------------------

constexpr int32_t kLastSecondOfDay = 86399;

CDateTime EndOfTime() {
    return CDateTime(9999, 12, 31, 23, 59, 59);
}

// The first/next scan over [a, b] as every consumer of events runs it; `visit` returns false to
// stop early.
template <typename Visit>
void Scan(CDateEntry& entry, const CDateTime& a, const CDateTime& b, Visit visit) {
    CDateTime start;
    CDateTime end;
    if (!entry.FindFirstOccurrence(a, b, start, end)) {
        return;
    }
    do {
        if (!visit(start, end)) {
            return;
        }
    } while (entry.FindNextOccurrence(a, b, start, end));
}

// The last occurrence of the scan over [a, b] (the last one not done when `undoneOnly`).
DatePick LastInScan(CDateEntry& entry, const CDateTime& a, const CDateTime& b, bool undoneOnly) {
    DatePick last;
    Scan(entry, a, b, [&](const CDateTime& start, const CDateTime& end) {
        if (!undoneOnly || !entry.IsDone(start)) {
            last = DatePick{start, end, true};
        }
        return true;
    });
    return last;
}

// The same result as LastInScan(entry, a, b, undoneOnly), found without walking every occurrence
// from `a` where the rule allows it.
//
// The occurrences that overlap [t, b] for a later t are a tail of those that overlap [a, b]:
// starts strictly increase and every occurrence lasts the same, so its end increases too, and
// "overlaps [t, b]" is "starts by b and ends at t or later". Validity and the end date depend on
// the start alone. So the last hit of a scan over [t, b], when there is one, is the last hit over
// [a, b], and windows that double in width backwards from the last possible start find it in a
// few arithmetic searches. A count-limited rule counts every occurrence from the first on each
// search anyway, so it is walked once from `a`; the final, widest window is the full scan, so
// nothing is ever missed.
DatePick FindLast(CDateEntry& entry, const CDateTime& a, const CDateTime& b, bool undoneOnly) {
    if (b < a) {
        return DatePick{};
    }
    const DateData& data = entry.GetData();
    const bool countLimited = data.Repeat != kRepeatNone && data.RepeatEnd == kRepeatEndAfterCount;
    if (!countLimited) {
        // No occurrence of a date-limited repetition starts after its end date.
        CDateTime anchor = b;
        if (data.Repeat != kRepeatNone && data.RepeatEnd == kRepeatEndAtDate &&
            data.RepeatEndDate < anchor) {
            anchor = data.RepeatEndDate;
        }
        const int64_t whole = (anchor - a).GetTotalSeconds();
        for (int64_t width = 86400; width < whole; width *= 2) {
            const DatePick hit = LastInScan(entry, anchor - CDateTimeSpan(width), b, undoneOnly);
            if (hit.valid) {
                return hit;
            }
        }
    }
    return LastInScan(entry, a, b, undoneOnly);
}

// ---- The event side of an expansion ------------------------------------------------------------

enum class Selector {
    Now,
    This,
    ThisSelected,
    First,
    Previous,
    Next,
    NextUndone,
    Last,
    LastUndone,
    Count // number of selectors, not a word
};

std::optional<Selector> SelectorOf(std::string_view word) {
    static constexpr std::array<std::pair<std::string_view, Selector>, 9> kWords = {{
        {"NOW", Selector::Now},
        {"THIS", Selector::This},
        {"THISSELECTED", Selector::ThisSelected},
        {"FIRST", Selector::First},
        {"PREVIOUS", Selector::Previous},
        {"NEXT", Selector::Next},
        {"NEXTUNDONE", Selector::NextUndone},
        {"LAST", Selector::Last},
        {"LASTUNDONE", Selector::LastUndone},
    }};
    for (const auto& [name, selector] : kWords) {
        if (word == name) {
            return selector;
        }
    }
    return std::nullopt;
}

// One top-level expansion's view of the event. The picks and counts are remembered for the call:
// they depend only on the event and the occurrence, and a format (with its nested descriptions)
// may name the same selector many times, while a search can walk many occurrences.
class EventRecord final : public IPlaceholderRecord {
public:
    EventRecord(CDateEntry& entry, const DateData& data, const CDateTime& occurrence,
                const CDateTime& selectedDay, const CDateTimeSpan& duration)
        : m_entry(entry), m_data(data), m_occurrence(occurrence), m_selectedDay(selectedDay),
          m_duration(duration) {}

    bool IsEvent() const override { return true; }
    bool IsTimeOfDayShown() const override { return m_data.ShowStartTime != 0; }

    std::optional<std::string> FieldValue(std::string_view word) override {
        if (word == "CATEGORY") {
            return m_data.Category;
        }
        return std::nullopt;
    }

    std::optional<DatePick> PickDate(std::string_view word) override {
        m_askedOccurrences = true;
        const std::optional<Selector> selector = SelectorOf(word);
        if (!selector) {
            return std::nullopt;
        }
        std::optional<DatePick>& memo = m_picks[static_cast<std::size_t>(*selector)];
        if (!memo) {
            memo = Pick(*selector);
        }
        return memo;
    }

    int CountOccurrences(const CDateTime& upTo) override {
        m_askedOccurrences = true;
        const auto known = m_counts.find(upTo);
        if (known != m_counts.end()) {
            return known->second;
        }
        const int count = m_entry.CountOccurrences(upTo);
        m_counts.emplace(upTo, count);
        return count;
    }

    const std::string& GetDescription() const override { return m_data.Description; }
    const std::string& GetNotes() const override { return m_data.Notes; }

    /// Whether the expansion asked for a date or a count. When it did not, the text depends on
    /// nothing but the format and the snapshot, and so is the same for every occurrence and day.
    bool AskedOccurrences() const { return m_askedOccurrences; }

private:
    // Base: the first start, at 00:00:00 for an all-day event.
    CDateTime Base() const {
        return m_data.ShowStartTime != 0 ? m_data.StartDate : m_data.StartDate.GetDate();
    }

    DatePick Pick(Selector selector) {
        switch (selector) {
        case Selector::Now: {
            const CDateTime now = CDateTime::Now();
            return DatePick{now, now, true};
        }
        case Selector::This:
            return DatePick{m_occurrence, m_occurrence + m_duration, true};
        case Selector::ThisSelected:
            return PickThisSelected();
        case Selector::First: {
            DatePick first;
            Scan(m_entry, Base(), EndOfTime(),
                 [&first](const CDateTime& start, const CDateTime& end) {
                     first = DatePick{start, end, true};
                     return false;
                 });
            return first;
        }
        case Selector::Previous:
            return FindLast(m_entry, Base(), m_occurrence - CDateTimeSpan(1), false);
        case Selector::Next:
        case Selector::NextUndone:
            return PickAfter(selector == Selector::NextUndone);
        case Selector::Last:
        case Selector::LastUndone:
            if (m_data.RepeatEnd == kRepeatEndNever) {
                return DatePick{};
            }
            return FindLast(m_entry, Base(), EndOfTime(), selector == Selector::LastUndone);
        case Selector::Count:
            break;
        }
        return DatePick{};
    }

    // The part of the THIS occurrence that lies on the selected day.
    DatePick PickThisSelected() const {
        const CDateTime start = m_occurrence;
        const CDateTime end = m_occurrence + m_duration;
        const int32_t day = m_selectedDay.GetDayNumber();
        const CDateTime dayStart = CDateTime::FromDayNumber(day, 0);
        const CDateTime dayEnd = CDateTime::FromDayNumber(day, kLastSecondOfDay);
        const bool startsOnDay = start.GetDayNumber() == day;
        const bool endsOnDay = end.GetDayNumber() == day;
        if (startsOnDay && endsOnDay) {
            return DatePick{start, end, true};
        }
        if (startsOnDay) {
            return DatePick{start, dayEnd, true};
        }
        if (endsOnDay) {
            return DatePick{dayStart, end, true};
        }
        if (start.GetDayNumber() < day && day < end.GetDayNumber()) {
            return DatePick{dayStart, dayEnd, true};
        }
        return DatePick{};
    }

    // NEXT and NEXTUNDONE: from the end of this occurrence on, the first hit (normally this
    // occurrence itself) is passed over; then the next hit, or the next one not done.
    DatePick PickAfter(bool undoneOnly) {
        DatePick found;
        bool passedFirst = false;
        Scan(m_entry, m_occurrence + m_duration, EndOfTime(),
             [&](const CDateTime& start, const CDateTime& end) {
                 if (!passedFirst) {
                     passedFirst = true;
                     return true;
                 }
                 if (undoneOnly && m_entry.IsDone(start)) {
                     return true;
                 }
                 found = DatePick{start, end, true};
                 return false;
             });
        return found;
    }

    CDateEntry& m_entry;
    const DateData& m_data;
    CDateTime m_occurrence;
    CDateTime m_selectedDay;
    CDateTimeSpan m_duration;
    std::array<std::optional<DatePick>, static_cast<std::size_t>(Selector::Count)> m_picks;
    std::map<CDateTime, int> m_counts;
    bool m_askedOccurrences = false;
};

// Restores the event's occurrence counter when the expansion ends, however it ends. Nested
// expansions run inside the top-level one, so this one restore covers them too.
class OccurrenceNumberGuard {
public:
    explicit OccurrenceNumberGuard(CDateEntry& entry) : m_entry(entry) {
        m_entry.SaveOccurrenceNumber();
    }
    ~OccurrenceNumberGuard() { m_entry.RestoreOccurrenceNumber(); }
    OccurrenceNumberGuard(const OccurrenceNumberGuard&) = delete;
    OccurrenceNumberGuard& operator=(const OccurrenceNumberGuard&) = delete;

private:
    CDateEntry& m_entry;
};

} // namespace

CDateEntryFormatter::CDateEntryFormatter(CDateEntry& entry, const FormatSettings& settings,
                                         int formatSet)
    : m_entry(&entry), m_data(entry.GetData()), m_settings(&settings) {
    SetFormatSet(formatSet);
}

void CDateEntryFormatter::SetEntry(CDateEntry& entry) {
    m_entry = &entry;
    m_data = entry.GetData();
    m_fixedTexts = {};
}

void CDateEntryFormatter::SetFormatSet(int formatSet) {
    if (formatSet >= 0 && formatSet < kFormatSetCount) {
        m_formats = m_settings->EventSets[static_cast<std::size_t>(formatSet)];
        m_fixedTexts = {};
    }
}

std::string CDateEntryFormatter::Expand(std::string_view format, const CDateTime& occurrenceDate,
                                        const CDateTime& selectedDay) {
    bool askedOccurrences = false;
    return ExpandWith(format, occurrenceDate, selectedDay, m_entry->GetDuration(),
                      askedOccurrences);
}

std::string CDateEntryFormatter::ExpandWith(std::string_view format,
                                            const CDateTime& occurrenceDate,
                                            const CDateTime& selectedDay,
                                            const CDateTimeSpan& duration, bool& askedOccurrences) {
    OccurrenceNumberGuard guard(*m_entry);
    EventRecord record(*m_entry, m_data, occurrenceDate, selectedDay, duration);
    std::string text = ExpandPlaceholders(format, record, *m_settings);
    askedOccurrences = record.AskedOccurrences();
    return text;
}

std::string CDateEntryFormatter::FormatForDay(const CDateTime& start, const CDateTime& day) {
    // The duration is asked of the event once per text: building it costs a repetition rule.
    const CDateTimeSpan duration = m_entry->GetDuration();
    const CDateTime end = start + duration;
    const int32_t dayNumber = day.GetDayNumber();
    const bool startsOnDay = start.GetDayNumber() == dayNumber;
    const bool endsOnDay = end.GetDayNumber() == dayNumber;
    FormatVariant variant = kVariantMiddleDay;
    if (startsOnDay && endsOnDay) {
        variant = m_data.ShowStartTime != 0 ? kVariantNormal : kVariantSingleDay;
    } else if (startsOnDay) {
        variant = kVariantFirstDay;
    } else if (endsOnDay) {
        variant = kVariantLastDay;
    }
    // A text that asked for no date or count is kept for the next occurrence: the format and
    // the snapshot it depends on change only through SetFormatSet and SetEntry, which drop it.
    std::optional<std::string>& fixed = m_fixedTexts[static_cast<std::size_t>(variant)];
    if (fixed) {
        return *fixed;
    }
    bool askedOccurrences = false;
    std::string text = ExpandWith(m_formats[static_cast<std::size_t>(variant)], start, day,
                                  duration, askedOccurrences);
    if (!askedOccurrences) {
        fixed = text;
    }
    return text;
}

} // namespace dv
