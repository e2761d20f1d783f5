#pragma once

#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/CObject.h"
#include "core/CRuntimeClass.h"
#include "core/DateData.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dv {

class CArchive;

/// One calendar event, or a category template: the user data (DateData), the occurrence scan state
/// and the reminder state that the alarm machinery keeps for it.
///
/// Occurrences are named by their start; an occurrence ends at start + GetDuration(). Scans are
/// tied to the object (the occurrence number lives in it), so two scans of one event must not
/// interleave; text formatting saves and restores the number around its own scans.
///
/// Implementation files: CDateEntry.cpp (record, copy, archive), CDateEntryOccurrences.cpp
/// (repetition and occurrence scan), CDateEntryReminders.cpp (reminder state).
class CDateEntry : public CObject {
public:
    /// "CDateEntry", schema 4, schemas 1 to 3 read.
    static const CRuntimeClass RuntimeClass;

    /// Every field at its default, a new GUID, and StartDate, EndDate and RepeatEndDate at `now`
    /// with the seconds set to 0. The state lists start empty, LastCheck and LastOccurrenceEnd at
    /// the date-time default.
    explicit CDateEntry(const CDateTime& now);
    /// As above with CDateTime::Now().
    CDateEntry();
    CDateEntry(const CDateEntry& other);
    CDateEntry& operator=(const CDateEntry& other);
    ~CDateEntry() override;

    const CRuntimeClass* GetRuntimeClass() const override { return &RuntimeClass; }
    /// Writes schema 4; reads schemas 1 to 4 (older layouts leave absent fields at their defaults,
    /// a "last" weekday ordinal stored as 4 by schemas 1 and 2 becomes 5, Suspended is cleared).
    void Serialize(CArchive& ar) override;

    // --- user data -----------------------------------------------------------------------------
    const DateData& GetData() const { return m_data; }
    void GetData(DateData& out) const { out = m_data; }
    /// Copies the data in and brings the reminder and occurrence state in line with what changed;
    /// `now` is the reference time for the forewarning rules.
    void SetData(const DateData& data, const CDateTime& now);
    void SetData(const DateData& data);
    /// Replaces the data without touching any state (reading, restoring, tests).
    void AssignData(const DateData& data) { m_data = data; }
    const std::string& GetGUID() const { return m_data.GUID; }
    void SetGUID(std::string guid) { m_data.GUID = std::move(guid); }
    int32_t GetStorageType() const { return m_data.StorageType; }
    bool IsSuspended() const { return m_suspended != 0; }
    void SetSuspended(bool suspended) { m_suspended = suspended ? 1 : 0; }

    // --- repetition and occurrences ----------------------------------------------------------
    /// First start S: StartDate, at 00:00:00 for an all-day event.
    CDateTime GetFirstStart() const;
    /// Duration D of every occurrence (0 for a timed event without end, 86399 s for one whole day).
    CDateTimeSpan GetDuration() const;
    /// Not dropped and, for a repeating event, allowed by the month and weekday masks.
    bool IsValidOccurrence(const CDateTime& start) const;
    /// The first valid occurrence overlapping [a, b] (both ends inclusive) within the repetition
    /// end; false when there is none (start and end are then unspecified).
    bool FindFirstOccurrence(const CDateTime& a, const CDateTime& b, CDateTime& start,
                             CDateTime& end);
    /// Continues a scan: start/end hold the previous result and receive the next one.
    bool FindNextOccurrence(const CDateTime& a, const CDateTime& b, CDateTime& start,
                            CDateTime& end);
    /// Ordinal (from 1) of the occurrence starting at x among the valid occurrences from the first.
    int CountOccurrences(const CDateTime& x);
    int GetOccurrenceNumber() const { return m_occurrenceNumber; }
    void SaveOccurrenceNumber() { m_savedOccurrenceNumber = m_occurrenceNumber; }
    void RestoreOccurrenceNumber() { m_occurrenceNumber = m_savedOccurrenceNumber; }
    bool IsLastOccurrenceKnown() const { return m_lastOccurrenceKnown != 0; }
    const CDateTime& GetLastOccurrenceEnd() const { return m_lastOccurrenceEnd; }

    // --- reminder state ------------------------------------------------------------------------
    /// Evaluates the reminders up to `now`; true when the due or snoozed state changed.
    bool UpdateReminders(const CDateTime& now);
    bool IsDone(const CDateTime& occurrence) const;
    bool IsSnoozed(const CDateTime& occurrence) const;
    bool GetSnoozeTime(const CDateTime& occurrence, CDateTime& until) const;
    bool IsDropped(const CDateTime& occurrence) const;
    int GetDueCount() const { return static_cast<int>(m_dueOccurrences.size()); }
    CDateTime GetDueOccurrence(int index) const { return m_dueOccurrences.at(index); }
    int GetDroppedCount() const { return static_cast<int>(m_droppedOccurrences.size()); }
    CDateTime GetDroppedOccurrence(int index) const { return m_droppedOccurrences.at(index); }
    /// Whether the reminder of `occurrence` is still to be carried out at `at` under OverdueAction.
    bool IsStillExecutable(const CDateTime& occurrence, const CDateTime& at);
    /// The first moment in (now, horizon] at which UpdateReminders would find something new due:
    /// an occurrence reaching its reminder time or a snooze ending. False when there is none.
    bool FindNextReminderTime(const CDateTime& now, const CDateTime& horizon, CDateTime& at);
    /// The end of a snooze by `count` units: type 0 now + span, any other type occurrence - span.
    /// With `fixedTimeOfDay`, a snooze in days or weeks ends at that value's time of day. The
    /// reminder window asks about, and the scheduler applies, this one value.
    CDateTime ComputeSnoozeTime(const CDateTime& occurrence, int32_t count, int32_t unit,
                                int32_t type, const CDateTime& now,
                                const std::optional<CDateTime>& fixedTimeOfDay = {}) const;
    CDateTime ComputeDefaultSnoozeTime(const CDateTime& occurrence, const CDateTime& now) const;
    void SetDone(const CDateTime& occurrence, bool done);
    void Snooze(const CDateTime& occurrence, const CDateTime& until);
    void SnoozeDefault(const CDateTime& occurrence, const CDateTime& now);
    void DropOccurrence(const CDateTime& occurrence);
    void RestoreOccurrence(const CDateTime& occurrence);
    /// Empties the due, snoozed and acknowledged lists; dropped occurrences and LastCheck stay.
    void ResetReminderState();
    /// Empties all five lists, dropped occurrences included.
    void ClearReminderState();
    /// Removes state entries that no longer name an occurrence.
    void PurgeReminderState();

    // Read access to the state (listings, backups, tests).
    const CDateTime& GetLastCheck() const { return m_lastCheck; }
    const std::vector<CDateTime>& GetDueOccurrences() const { return m_dueOccurrences; }
    const std::vector<CDateTime>& GetAcknowledgedOccurrences() const {
        return m_acknowledgedOccurrences;
    }
    const std::vector<CDateTime>& GetSnoozedOccurrences() const { return m_snoozedOccurrences; }
    const std::vector<CDateTime>& GetSnoozeTimes() const { return m_snoozeTimes; }
    const std::vector<CDateTime>& GetDroppedOccurrences() const { return m_droppedOccurrences; }

private:
    // The archive's factory: a record that reading overwrites at once needs neither a GUID nor
    // the clock; one of a schema without identity gets its new GUID while it is read.
    struct ForReading {};
    explicit CDateEntry(ForReading) {}
    static std::unique_ptr<CObject> CreateForReading();

    // The reminder state. SnoozedOccurrences and SnoozeTimes run in parallel; an occurrence start
    // stands in at most one of snoozed, due and acknowledged, and a dropped one in none of them.
    std::vector<CDateTime> m_snoozedOccurrences;
    std::vector<CDateTime> m_snoozeTimes;
    std::vector<CDateTime> m_dueOccurrences;
    std::vector<CDateTime> m_acknowledgedOccurrences;
    std::vector<CDateTime> m_droppedOccurrences;
    int32_t m_occurrenceNumber = 0;      ///< ordinal of the last occurrence a scan found; not saved
    int32_t m_savedOccurrenceNumber = 0; ///< saved copy for nested scans; not saved
    int32_t m_lastOccurrenceKnown = 0;   ///< m_lastOccurrenceEnd holds the last occurrence's end
    CDateTime m_lastOccurrenceEnd;
    CDateTime m_lastCheck; ///< reminders are evaluated up to here
    DateData m_data;
    int32_t m_suspended = 0; ///< while set the periodic update skips the event
};

} // namespace dv
