// The reminder state of an event: which occurrences are due, snoozed, acknowledged or dropped,
// and how that state follows the clock and the user's edits.
//
// Occurrences are named by their start. The lists are short (a handful of entries), so they are
// plain vectors searched from the front; the first match is the one that counts.

#include "core/CDateEntry.h"
#include "core/TimeUnits.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace dv {

namespace {

// ---- list helpers -------------------------------------------------------------------------------

using DateList = std::vector<CDateTime>;

/// Index of the first entry equal to `value`, or -1.
std::ptrdiff_t IndexOf(const DateList& list, const CDateTime& value) {
    const auto it = std::find(list.begin(), list.end(), value);
    return it == list.end() ? -1 : it - list.begin();
}

bool Contains(const DateList& list, const CDateTime& value) {
    return IndexOf(list, value) >= 0;
}

/// Removes the first entry equal to `value`; true when there was one.
bool RemoveFirst(DateList& list, const CDateTime& value) {
    const auto it = std::find(list.begin(), list.end(), value);
    if (it == list.end()) {
        return false;
    }
    list.erase(it);
    return true;
}

/// Appends `value` unless it is already there. Every append to the due list goes through here,
/// so that an occurrence is never due twice (the reminder window would list it twice).
void AppendUnique(DateList& list, const CDateTime& value) {
    if (!Contains(list, value)) {
        list.push_back(value);
    }
}

/// Removes the first snooze of `value` with its paired time (the two lists run in parallel).
void RemoveSnooze(DateList& occurrences, DateList& times, const CDateTime& value) {
    const std::ptrdiff_t index = IndexOf(occurrences, value);
    if (index >= 0) {
        occurrences.erase(occurrences.begin() + index);
        times.erase(times.begin() + index);
    }
}

bool IsSet(int32_t flag) {
    return flag != 0;
}

} // namespace

// ---- queries ------------------------------------------------------------------------------------

bool CDateEntry::IsDone(const CDateTime& occurrence) const {
    if (Contains(m_dueOccurrences, occurrence) || Contains(m_snoozedOccurrences, occurrence)) {
        return false;
    }
    // Acknowledged explicitly, or the evaluation watermark has passed the occurrence's end.
    return Contains(m_acknowledgedOccurrences, occurrence) ||
           occurrence + GetDuration() <= m_lastCheck;
}

bool CDateEntry::IsSnoozed(const CDateTime& occurrence) const {
    return Contains(m_snoozedOccurrences, occurrence);
}

bool CDateEntry::GetSnoozeTime(const CDateTime& occurrence, CDateTime& until) const {
    const std::ptrdiff_t index = IndexOf(m_snoozedOccurrences, occurrence);
    if (index < 0) {
        return false;
    }
    until = m_snoozeTimes[static_cast<std::size_t>(index)];
    return true;
}

bool CDateEntry::IsDropped(const CDateTime& occurrence) const {
    return Contains(m_droppedOccurrences, occurrence);
}

bool CDateEntry::IsStillExecutable(const CDateTime& occurrence, const CDateTime& at) {
    switch (m_data.OverdueAction) {
    case 0:
        // Normal execution: the reminder waits until the user handles it.
        return true;
    case 1: {
        const CDateTime limit =
            occurrence + GetDuration() + MakeSpan(m_data.ExecuteSpan, m_data.ExecuteUnit);
        return !(limit < at);
    }
    case 3:
        // "Do not execute": a grace of 30 seconds lets the tick that raises it still show it.
        return !(occurrence + GetDuration() + CDateTimeSpan(30) < at);
    case 2: {
        // "Before the next event": overdue once the next occurrence has reached its own
        // reminder time, i.e. a second occurrence overlaps [occurrence, at + forewarning].
        CDateTime reminderLimit = at;
        if (IsSet(m_data.Forewarn)) {
            reminderLimit += MakeSpan(m_data.ForewarnSpan, m_data.ForewarnUnit);
        }
        CDateTime start;
        CDateTime end;
        if (FindFirstOccurrence(occurrence, reminderLimit, start, end) &&
            FindNextOccurrence(occurrence, reminderLimit, start, end)) {
            return false;
        }
        return true;
    }
    default:
        return true;
    }
}

bool CDateEntry::FindNextReminderTime(const CDateTime& now, const CDateTime& horizon,
                                      CDateTime& at) {
    bool found = false;
    const auto consider = [&](const CDateTime& moment) {
        if (now < moment && !(horizon < moment) && (!found || moment < at)) {
            at = moment;
            found = true;
        }
    };
    for (const CDateTime& until : m_snoozeTimes) {
        consider(until);
    }
    // An occurrence becomes due when it starts within the forewarning of the evaluation time.
    const CDateTimeSpan forewarn =
        IsSet(m_data.Forewarn) ? MakeSpan(m_data.ForewarnSpan, m_data.ForewarnUnit) : CDateTimeSpan();
    const CDateTime from = now + forewarn;
    const CDateTime to = horizon + forewarn;
    CDateTime start;
    CDateTime end;
    for (bool more = FindFirstOccurrence(from, to, start, end); more;
         more = FindNextOccurrence(from, to, start, end)) {
        if (from < start) {
            consider(start - forewarn);
            break; // the scan runs by start: later ones come later
        }
    }
    return found;
}

CDateTime CDateEntry::ComputeSnoozeTime(const CDateTime& occurrence, int32_t count, int32_t unit,
                                        int32_t type, const CDateTime& now,
                                        const std::optional<CDateTime>& fixedTimeOfDay) const {
    const CDateTimeSpan span = MakeSpan(count, unit);
    // Type 0 snoozes from the moment of snoozing; any other type until that long before the
    // occurrence.
    CDateTime until = type == 0 ? now + span : occurrence - span;
    if (fixedTimeOfDay && (unit == kUnitDays || unit == kUnitWeeks)) {
        until.SetTime(*fixedTimeOfDay);
    }
    return until;
}

CDateTime CDateEntry::ComputeDefaultSnoozeTime(const CDateTime& occurrence,
                                               const CDateTime& now) const {
    return ComputeSnoozeTime(occurrence, m_data.SnoozeSpan, m_data.SnoozeUnit, m_data.SnoozeType,
                             now);
}

// ---- evaluation ---------------------------------------------------------------------------------

bool CDateEntry::UpdateReminders(const CDateTime& now) {
    bool changed = false;

    // 1. The look-ahead limit: an occurrence that starts by then has reached its reminder time.
    CDateTime limit = now;
    if (IsSet(m_data.Forewarn)) {
        limit += MakeSpan(m_data.ForewarnSpan, m_data.ForewarnUnit);
    }

    // 2. Snoozed reminders whose time has come are due again.
    for (std::size_t i = 0; i < m_snoozedOccurrences.size();) {
        if (now >= m_snoozeTimes[i]) {
            AppendUnique(m_dueOccurrences, m_snoozedOccurrences[i]);
            m_snoozedOccurrences.erase(m_snoozedOccurrences.begin() +
                                       static_cast<std::ptrdiff_t>(i));
            m_snoozeTimes.erase(m_snoozeTimes.begin() + static_cast<std::ptrdiff_t>(i));
            changed = true;
        } else {
            ++i;
        }
    }

    // 3. Acknowledgements the old watermark already covers are redundant: the watermark alone
    //    keeps those occurrences done.
    const CDateTimeSpan duration = GetDuration();
    std::erase_if(m_acknowledgedOccurrences, [&](const CDateTime& occurrence) {
        return occurrence + duration <= m_lastCheck;
    });

    // 4. Every occurrence that reached its reminder time since the last evaluation and is not
    //    handled yet becomes due. Evaluating from the watermark (not from the previous tick) is
    //    what catches occurrences that fell into a time when the program was not running.
    CDateTime start;
    CDateTime end;
    for (bool found = FindFirstOccurrence(m_lastCheck, limit, start, end); found;
         found = FindNextOccurrence(m_lastCheck, limit, start, end)) {
        if (Contains(m_dueOccurrences, start) || Contains(m_snoozedOccurrences, start) ||
            Contains(m_acknowledgedOccurrences, start)) {
            continue;
        }
        if (end > m_lastCheck) {
            m_dueOccurrences.push_back(start);
            changed = true;
        }
    }

    // 5. Reminders past the overdue limit are acknowledged, due ones first, then snoozed ones.
    //    SetDone removes the entry, so the walk stays at the same index after a removal.
    if (m_data.OverdueAction != 0) {
        for (DateList* list : {&m_dueOccurrences, &m_snoozedOccurrences}) {
            for (std::size_t i = 0; i < list->size();) {
                const CDateTime occurrence = (*list)[i];
                if (IsStillExecutable(occurrence, now)) {
                    ++i;
                    continue;
                }
                const std::size_t before = list->size();
                SetDone(occurrence, true);
                changed = true;
                if (list->size() == before) {
                    ++i; // not removed at i (cannot happen while the lists are consistent)
                }
            }
        }
    }

    // 6. The watermark moves on.
    m_lastCheck = now;
    return changed;
}

// ---- changes by the user ------------------------------------------------------------------------

void CDateEntry::SetDone(const CDateTime& occurrence, bool done) {
    // A deleted occurrence has no reminder; marking it would put it back into a state list.
    if (IsDropped(occurrence)) {
        return;
    }
    if (done) {
        RemoveSnooze(m_snoozedOccurrences, m_snoozeTimes, occurrence);
        RemoveFirst(m_dueOccurrences, occurrence);
        // The acknowledged list only needs to carry occurrences the watermark has not passed yet.
        const bool pastWatermark = occurrence + GetDuration() <= m_lastCheck;
        if (Contains(m_acknowledgedOccurrences, occurrence)) {
            if (pastWatermark) {
                RemoveFirst(m_acknowledgedOccurrences, occurrence);
            }
        } else if (!pastWatermark) {
            m_acknowledgedOccurrences.push_back(occurrence);
        }
        return;
    }

    // Re-open: only a done occurrence can be re-opened.
    if (!IsDone(occurrence)) {
        return;
    }
    // An acknowledged occurrence whose end still lies after the watermark becomes pending: the
    // next evaluation raises it again. One the watermark has passed (acknowledged or not) would
    // never be raised by an evaluation, so its reminder is raised here.
    RemoveFirst(m_acknowledgedOccurrences, occurrence);
    if (occurrence + GetDuration() <= m_lastCheck) {
        AppendUnique(m_dueOccurrences, occurrence);
    }
}

void CDateEntry::Snooze(const CDateTime& occurrence, const CDateTime& until) {
    if (IsDropped(occurrence)) {
        return;
    }
    RemoveFirst(m_dueOccurrences, occurrence);
    RemoveFirst(m_acknowledgedOccurrences, occurrence);
    RemoveSnooze(m_snoozedOccurrences, m_snoozeTimes, occurrence);
    if (IsStillExecutable(occurrence, until)) {
        m_snoozedOccurrences.push_back(occurrence);
        m_snoozeTimes.push_back(until);
    } else {
        // Snoozing beyond the overdue limit drops the reminder.
        SetDone(occurrence, true);
    }
}

void CDateEntry::SnoozeDefault(const CDateTime& occurrence, const CDateTime& now) {
    Snooze(occurrence, ComputeDefaultSnoozeTime(occurrence, now));
}

void CDateEntry::DropOccurrence(const CDateTime& occurrence) {
    RemoveSnooze(m_snoozedOccurrences, m_snoozeTimes, occurrence);
    RemoveFirst(m_dueOccurrences, occurrence);
    RemoveFirst(m_acknowledgedOccurrences, occurrence);
    AppendUnique(m_droppedOccurrences, occurrence);
    // The count-th valid occurrence of a count-limited repetition may have moved.
    m_lastOccurrenceKnown = 0;
}

void CDateEntry::RestoreOccurrence(const CDateTime& occurrence) {
    RemoveFirst(m_droppedOccurrences, occurrence);
    m_lastOccurrenceKnown = 0;
}

// ---- housekeeping -------------------------------------------------------------------------------

void CDateEntry::ResetReminderState() {
    m_snoozedOccurrences.clear();
    m_snoozeTimes.clear();
    m_dueOccurrences.clear();
    m_acknowledgedOccurrences.clear();
}

void CDateEntry::ClearReminderState() {
    ResetReminderState();
    m_droppedOccurrences.clear();
}

void CDateEntry::PurgeReminderState() {
    CDateTime start;
    CDateTime end;
    const auto namesNoOccurrence = [&](const CDateTime& entry) {
        return !FindFirstOccurrence(entry, entry, start, end);
    };

    std::erase_if(m_dueOccurrences, namesNoOccurrence);
    std::erase_if(m_acknowledgedOccurrences, namesNoOccurrence);
    for (std::size_t i = 0; i < m_snoozedOccurrences.size();) {
        if (namesNoOccurrence(m_snoozedOccurrences[i])) {
            m_snoozedOccurrences.erase(m_snoozedOccurrences.begin() +
                                       static_cast<std::ptrdiff_t>(i));
            m_snoozeTimes.erase(m_snoozeTimes.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }

    // A dropped start is never a valid occurrence, so each entry is tested with itself taken out
    // of the list. The other entries stay in: with a count-limited repetition they decide which
    // candidates still fall within the count, and testing against an empty list would bring back
    // deletions beyond the count. The scans below run on provisional lists, so the cached end of
    // a count-limited repetition they may set is discarded; the one from before still holds,
    // because removing a start that is no occurrence changes no valid occurrence.
    const int32_t savedKnown = m_lastOccurrenceKnown;
    const CDateTime savedEnd = m_lastOccurrenceEnd;
    const DateList former = std::move(m_droppedOccurrences);
    DateList kept;
    for (std::size_t i = 0; i < former.size(); ++i) {
        const CDateTime& entry = former[i];
        if (Contains(kept, entry)) {
            continue;
        }
        m_droppedOccurrences.clear();
        for (std::size_t j = 0; j < former.size(); ++j) {
            if (former[j] != entry) {
                m_droppedOccurrences.push_back(former[j]);
            }
        }
        m_lastOccurrenceKnown = 0;
        if (FindFirstOccurrence(entry, entry, start, end)) {
            kept.push_back(entry);
        }
    }
    m_droppedOccurrences = std::move(kept);
    m_lastOccurrenceKnown = savedKnown;
    m_lastOccurrenceEnd = savedEnd;
}

// ---- editing ------------------------------------------------------------------------------------

void CDateEntry::SetData(const DateData& data) {
    SetData(data, CDateTime::Now());
}

void CDateEntry::SetData(const DateData& data, const CDateTime& now) {
    const DateData& old = m_data;

    // 1. A new first start renames every occurrence: no entry of the lists names one any more.
    if (old.StartDate != data.StartDate || old.ShowStartTime != data.ShowStartTime) {
        ClearReminderState();
    }

    // 2. Without a reminder nothing can stay snoozed: what has already begun is due, what lies
    //    ahead is forgotten.
    if (IsSet(old.Forewarn) && !IsSet(data.Forewarn)) {
        for (const CDateTime& occurrence : m_snoozedOccurrences) {
            if (occurrence < now) {
                AppendUnique(m_dueOccurrences, occurrence);
            }
        }
        m_snoozedOccurrences.clear();
        m_snoozeTimes.clear();
    }

    // 3. A shorter forewarning: reminders whose time has not come under the new span wait again.
    if (IsSet(data.Forewarn) &&
        (old.ForewarnSpan != data.ForewarnSpan || old.ForewarnUnit != data.ForewarnUnit)) {
        const CDateTime limit = now + MakeSpan(data.ForewarnSpan, data.ForewarnUnit);
        std::erase_if(m_dueOccurrences,
                      [&](const CDateTime& occurrence) { return occurrence > limit; });
        for (std::size_t i = 0; i < m_snoozedOccurrences.size();) {
            if (m_snoozedOccurrences[i] > limit) {
                m_snoozedOccurrences.erase(m_snoozedOccurrences.begin() +
                                           static_cast<std::ptrdiff_t>(i));
                m_snoozeTimes.erase(m_snoozeTimes.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                ++i;
            }
        }
    }

    // 4. A different repetition pattern: the occurrences are not the same ones any more.
    const bool patternChanged =
        old.Repeat != data.Repeat ||
        (data.Repeat == 1 &&
         (old.RepeatRate != data.RepeatRate || old.RepeatUnit != data.RepeatUnit)) ||
        (data.Repeat == 2 && (old.RepeatWeekdayCount != data.RepeatWeekdayCount ||
                              old.RepeatWeekday != data.RepeatWeekday));
    if (patternChanged) {
        ClearReminderState();
    }

    // 5. The end of a count-limited repetition may have moved with any field.
    m_lastOccurrenceKnown = 0;

    // 6. The new data.
    m_data = data;

    // 7. What is left must still name occurrences under the new data.
    PurgeReminderState();
}

} // namespace dv
