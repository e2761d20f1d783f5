// The occurrence scan of an event: validity, first and next occurrence in a window, counting.

#include "core/CDateEntry.h"
#include "core/RepetitionRule.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

namespace dv {

namespace {

// A repeating event takes only weekdays and months whose condition bits are set.
bool PassesConditions(const DateData& data, const CDateTime& start) {
    const bool monthAllowed = ((data.CondMonth >> (start.GetMonth() - 1)) & 1) != 0;
    const bool weekdayAllowed = ((data.CondWeekdays >> start.GetDayOfWeek()) & 1) != 0;
    return monthAllowed && weekdayAllowed;
}

// True when no candidate of a repeating event can ever pass the condition masks, so a scan
// can give up at once instead of walking candidates to the end of a long window.
bool CannotPassConditions(const DateData& data, const RepetitionRule& rule) {
    return data.Repeat != kRepeatNone && !rule.ConditionsCanPass(data.CondWeekdays, data.CondMonth);
}

// Walks from candidate `c` on to the first valid one within [a, b]. Past the end date nothing can
// be shown, so the walk over skipped candidates stops there.
std::optional<RepetitionRule::Candidate>
FirstValidFrom(const CDateEntry& entry, const RepetitionRule& rule, const CDateTime& a,
               const CDateTime& b, std::optional<RepetitionRule::Candidate> c) {
    const DateData& data = entry.GetData();
    while (c && !entry.IsValidOccurrence(c->start)) {
        if (data.RepeatEnd == kRepeatEndAtDate && c->start > data.RepeatEndDate) {
            return std::nullopt;
        }
        c = rule.Next(a, b, c->start);
    }
    return c;
}

} // namespace

CDateTime CDateEntry::GetFirstStart() const {
    return RepetitionRule(m_data).GetFirstStart();
}

CDateTimeSpan CDateEntry::GetDuration() const {
    return RepetitionRule::DurationOf(m_data);
}

bool CDateEntry::IsValidOccurrence(const CDateTime& start) const {
    if (std::find(m_droppedOccurrences.begin(), m_droppedOccurrences.end(), start) !=
        m_droppedOccurrences.end()) {
        return false;
    }
    // The masks are repetition conditions; a single event ignores whatever they hold.
    return m_data.Repeat == kRepeatNone || PassesConditions(m_data, start);
}

bool CDateEntry::FindFirstOccurrence(const CDateTime& a, const CDateTime& b, CDateTime& start,
                                     CDateTime& end) {
    // A count-limited repetition whose last occurrence ended before the window: nothing to find.
    if (m_data.RepeatEnd == kRepeatEndAfterCount && m_lastOccurrenceKnown != 0 &&
        a > m_lastOccurrenceEnd) {
        return false;
    }
    const RepetitionRule rule(m_data);
    if (CannotPassConditions(m_data, rule)) {
        return false;
    }
    const std::optional<RepetitionRule::Candidate> c =
        FirstValidFrom(*this, rule, a, b, rule.First(a, b));
    if (!c) {
        return false;
    }
    if (m_data.Repeat != kRepeatNone) {
        if (m_data.RepeatEnd == kRepeatEndAfterCount) {
            // The ordinal needs every valid occurrence from the first: dropped and masked ones
            // do not count, so it cannot be computed arithmetically.
            m_occurrenceNumber = CountOccurrences(c->start);
            if (m_occurrenceNumber > m_data.RepeatEndCount) {
                return false;
            }
        }
        if (m_data.RepeatEnd == kRepeatEndAtDate && c->start > m_data.RepeatEndDate) {
            return false;
        }
    }
    start = c->start;
    end = c->end;
    return true;
}

bool CDateEntry::FindNextOccurrence(const CDateTime& a, const CDateTime& b, CDateTime& start,
                                    CDateTime& end) {
    if (m_data.RepeatEnd == kRepeatEndAfterCount && m_lastOccurrenceKnown != 0 &&
        a > m_lastOccurrenceEnd) {
        return false;
    }
    const RepetitionRule rule(m_data);
    if (CannotPassConditions(m_data, rule)) {
        return false;
    }
    const std::optional<RepetitionRule::Candidate> c =
        FirstValidFrom(*this, rule, a, b, rule.Next(a, b, start));
    if (!c) {
        return false;
    }
    if (m_data.RepeatEnd == kRepeatEndAfterCount) {
        // The scan started with FindFirstOccurrence, which set the ordinal of its occurrence.
        if (m_occurrenceNumber < std::numeric_limits<int32_t>::max()) {
            ++m_occurrenceNumber;
        }
        if (m_occurrenceNumber == m_data.RepeatEndCount) {
            m_lastOccurrenceEnd = c->end;
            m_lastOccurrenceKnown = 1;
        } else if (m_occurrenceNumber > m_data.RepeatEndCount) {
            return false;
        }
    }
    if (m_data.RepeatEnd == kRepeatEndAtDate && c->start > m_data.RepeatEndDate) {
        return false;
    }
    start = c->start;
    end = c->end;
    return true;
}

int CDateEntry::CountOccurrences(const CDateTime& x) {
    const RepetitionRule rule(m_data);
    if (CannotPassConditions(m_data, rule)) {
        return 0;
    }
    const CDateTime first = rule.GetFirstStart();
    const bool countLimited =
        m_data.Repeat != kRepeatNone && m_data.RepeatEnd == kRepeatEndAfterCount;
    // 64 bits: an unlimited count from the start of the calendar can pass the int32 range.
    int64_t n = 0;
    std::optional<RepetitionRule::Candidate> c = rule.First(first, x);
    while (c) {
        if (IsValidOccurrence(c->start)) {
            ++n;
            if (countLimited) {
                if (n == m_data.RepeatEndCount) {
                    // Remember where the repetition ends, so later scans past it stop at once.
                    m_lastOccurrenceEnd = c->end;
                    m_lastOccurrenceKnown = 1;
                } else if (n > m_data.RepeatEndCount) {
                    break;
                }
            }
        }
        // An occurrence starting exactly at a midnight x is the last one up to x.
        if (c->start.GetDate() == x) {
            break;
        }
        c = rule.Next(first, x, c->start);
    }
    return static_cast<int>(std::min<int64_t>(n, std::numeric_limits<int32_t>::max()));
}

} // namespace dv
