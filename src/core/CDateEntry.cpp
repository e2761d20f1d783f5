#include "core/CDateEntry.h"

#include "core/CArchive.h"
#include "core/Guid.h"

#include <string>

namespace dv {

namespace {

// ---- file-local helpers -------------------------------------------------------------------------

// Schemas of the event record. Each step added fields; reading an older one leaves them at their
// defaults.
constexpr uint16_t kSchemaColoursAndSnooze = 2;    // FontColor, SnoozeSpan/Unit/Type
constexpr uint16_t kSchemaSilentAndSoundCount = 3; // ForewarnSilent, SoundRepeatEndless/Count,
                                                   // and the weekday ordinal "fifth"
constexpr uint16_t kSchemaIdentity = 4;            // GUID, StorageType

// Weekday ordinals: before "fifth" existed, "last" was stored as 4.
constexpr int32_t kOrdinalFifth = 4;
constexpr int32_t kOrdinalLast = 5;

// Every list entry is one date-time of two int32.
constexpr size_t kDateTimeBytes = 8;

// The moment `now` with the seconds dropped: events are scheduled to the minute.
CDateTime ToWholeMinute(const CDateTime& now) {
    CDateTime result = now;
    result.SetTime(now.GetHour(), now.GetMinute(), 0);
    return result;
}

void WriteDateList(CArchive& ar, const std::vector<CDateTime>& list) {
    ar.WriteCount(static_cast<uint32_t>(list.size()));
    for (CDateTime value : list) { // Serialize reads or writes, so it works on a copy here
        value.Serialize(ar);
    }
}

// Appends to an empty `list`. The count is checked against the remaining input before anything
// is reserved, so a damaged count cannot make us allocate more than the file could hold.
void ReadDateList(CArchive& ar, std::vector<CDateTime>& list) {
    const uint32_t count = ar.ReadCount();
    ar.CheckCount(count, kDateTimeBytes);
    list.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        CDateTime value;
        value.Serialize(ar);
        list.push_back(value);
    }
}

} // namespace

const CRuntimeClass CDateEntry::RuntimeClass("CDateEntry", 4, 1, nullptr,
                                             &CDateEntry::CreateForReading);

std::unique_ptr<CObject> CDateEntry::CreateForReading() {
    return std::unique_ptr<CDateEntry>(new CDateEntry(ForReading{}));
}

CDateEntry::CDateEntry(const CDateTime& now) {
    const CDateTime start = ToWholeMinute(now);
    m_data.GUID = NewGuidString();
    m_data.StartDate = start;
    m_data.EndDate = start;
    m_data.RepeatEndDate = start;
}

CDateEntry::CDateEntry() : CDateEntry(CDateTime::Now()) {}

// The saved occurrence number belongs to a scan running on this very object, so it is not copied.
CDateEntry::CDateEntry(const CDateEntry& other)
    : CObject(), m_snoozedOccurrences(other.m_snoozedOccurrences),
      m_snoozeTimes(other.m_snoozeTimes), m_dueOccurrences(other.m_dueOccurrences),
      m_acknowledgedOccurrences(other.m_acknowledgedOccurrences),
      m_droppedOccurrences(other.m_droppedOccurrences),
      m_occurrenceNumber(other.m_occurrenceNumber),
      m_lastOccurrenceKnown(other.m_lastOccurrenceKnown),
      m_lastOccurrenceEnd(other.m_lastOccurrenceEnd), m_lastCheck(other.m_lastCheck),
      m_data(other.m_data), m_suspended(other.m_suspended) {}

CDateEntry& CDateEntry::operator=(const CDateEntry& other) {
    if (this == &other) {
        return *this;
    }
    m_snoozedOccurrences = other.m_snoozedOccurrences;
    m_snoozeTimes = other.m_snoozeTimes;
    m_dueOccurrences = other.m_dueOccurrences;
    m_acknowledgedOccurrences = other.m_acknowledgedOccurrences;
    m_droppedOccurrences = other.m_droppedOccurrences;
    m_occurrenceNumber = other.m_occurrenceNumber;
    m_lastOccurrenceKnown = other.m_lastOccurrenceKnown;
    m_lastOccurrenceEnd = other.m_lastOccurrenceEnd;
    m_lastCheck = other.m_lastCheck;
    m_data = other.m_data;
    m_suspended = other.m_suspended;
    return *this;
}

CDateEntry::~CDateEntry() = default;

void CDateEntry::Serialize(CArchive& ar) {
    DateData& d = m_data;
    if (ar.IsStoring()) {
        ar.WriteString(d.GUID);
        ar.WriteLong(d.StorageType);
        ar.WriteString(d.Category);
        ar.WriteString(d.Description);
        ar.WriteString(d.Notes);
        ar.WriteLong(d.Display);
        ar.WriteDWord(d.DisplayColor);
        ar.WriteDWord(d.FontColor);
        d.StartDate.Serialize(ar);
        d.EndDate.Serialize(ar);
        ar.WriteLong(d.ShowStartTime);
        ar.WriteLong(d.ShowEnd);
        ar.WriteLong(d.Repeat);
        ar.WriteLong(d.RepeatRate);
        ar.WriteLong(d.RepeatUnit);
        ar.WriteLong(d.RepeatWeekdayCount);
        ar.WriteLong(d.RepeatWeekday);
        ar.WriteLong(d.RepeatEnd);
        ar.WriteLong(d.RepeatEndCount);
        d.RepeatEndDate.Serialize(ar);
        ar.WriteLong(d.CondWeekdays);
        ar.WriteLong(d.CondMonth);
        ar.WriteLong(d.Forewarn);
        ar.WriteLong(d.ForewarnSpan);
        ar.WriteLong(d.ForewarnUnit);
        ar.WriteLong(d.ForewarnSilent);
        ar.WriteLong(d.SnoozeSpan);
        ar.WriteLong(d.SnoozeUnit);
        ar.WriteLong(d.SnoozeType);
        ar.WriteLong(d.OverdueAction);
        ar.WriteLong(d.ExecuteSpan);
        ar.WriteLong(d.ExecuteUnit);
        ar.WriteLong(d.Action);
        ar.WriteLong(d.Sound);
        ar.WriteString(d.SoundFile);
        ar.WriteLong(d.SoundRepeatEndless);
        ar.WriteLong(d.SoundRepeatCount);
        ar.WriteString(d.DocumentFile);
        ar.WriteLong(d.AckOpen);
        ar.WriteString(d.CmdLine);
        ar.WriteString(d.Parameter);
        ar.WriteLong(d.AckExecute);
        m_lastCheck.Serialize(ar);
        m_lastOccurrenceEnd.Serialize(ar);
        ar.WriteLong(m_lastOccurrenceKnown);
        ar.WriteLong(m_suspended);
        WriteDateList(ar, m_dueOccurrences);
        WriteDateList(ar, m_acknowledgedOccurrences);
        WriteDateList(ar, m_snoozedOccurrences);
        WriteDateList(ar, m_snoozeTimes);
        WriteDateList(ar, m_droppedOccurrences);
        return;
    }

    // Fields that an older record lacks take the defaults of a new event; the GUID of an event
    // from before identities existed is the one this object was constructed with. Read outside
    // an object record, the archive reports no schema, which means the current layout.
    const uint16_t schema = ar.GetObjectSchema();
    const DateData defaults;
    if (schema >= kSchemaIdentity) {
        d.GUID = ar.ReadString();
        d.StorageType = ar.ReadLong();
    } else {
        if (d.GUID.empty()) {
            d.GUID = NewGuidString();
        }
        d.StorageType = defaults.StorageType;
    }
    d.Category = ar.ReadString();
    d.Description = ar.ReadString();
    d.Notes = ar.ReadString();
    d.Display = ar.ReadLong();
    d.DisplayColor = ar.ReadDWord();
    d.FontColor = schema >= kSchemaColoursAndSnooze ? ar.ReadDWord() : defaults.FontColor;
    d.StartDate.Serialize(ar);
    d.EndDate.Serialize(ar);
    d.ShowStartTime = ar.ReadLong();
    d.ShowEnd = ar.ReadLong();
    d.Repeat = ar.ReadLong();
    d.RepeatRate = ar.ReadLong();
    d.RepeatUnit = ar.ReadLong();
    d.RepeatWeekdayCount = ar.ReadLong();
    if (schema < kSchemaSilentAndSoundCount && d.RepeatWeekdayCount == kOrdinalFifth) {
        d.RepeatWeekdayCount = kOrdinalLast;
    }
    d.RepeatWeekday = ar.ReadLong();
    d.RepeatEnd = ar.ReadLong();
    d.RepeatEndCount = ar.ReadLong();
    d.RepeatEndDate.Serialize(ar);
    d.CondWeekdays = ar.ReadLong();
    d.CondMonth = ar.ReadLong();
    d.Forewarn = ar.ReadLong();
    d.ForewarnSpan = ar.ReadLong();
    d.ForewarnUnit = ar.ReadLong();
    d.ForewarnSilent =
        schema >= kSchemaSilentAndSoundCount ? ar.ReadLong() : defaults.ForewarnSilent;
    if (schema >= kSchemaColoursAndSnooze) {
        d.SnoozeSpan = ar.ReadLong();
        d.SnoozeUnit = ar.ReadLong();
        d.SnoozeType = ar.ReadLong();
    } else {
        d.SnoozeSpan = defaults.SnoozeSpan;
        d.SnoozeUnit = defaults.SnoozeUnit;
        d.SnoozeType = defaults.SnoozeType;
    }
    d.OverdueAction = ar.ReadLong();
    d.ExecuteSpan = ar.ReadLong();
    d.ExecuteUnit = ar.ReadLong();
    d.Action = ar.ReadLong();
    d.Sound = ar.ReadLong();
    d.SoundFile = ar.ReadString();
    if (schema >= kSchemaSilentAndSoundCount) {
        d.SoundRepeatEndless = ar.ReadLong();
        d.SoundRepeatCount = ar.ReadLong();
    } else {
        d.SoundRepeatEndless = defaults.SoundRepeatEndless;
        d.SoundRepeatCount = defaults.SoundRepeatCount;
    }
    d.DocumentFile = ar.ReadString();
    d.AckOpen = ar.ReadLong();
    d.CmdLine = ar.ReadString();
    d.Parameter = ar.ReadString();
    d.AckExecute = ar.ReadLong();
    m_lastCheck.Serialize(ar);
    m_lastOccurrenceEnd.Serialize(ar);
    m_lastOccurrenceKnown = ar.ReadLong();
    // A suspension marks a dialog that was open in the program that saved the file; it never
    // outlives that run.
    ar.ReadLong();
    m_suspended = 0;
    // The stored lists replace the whole reminder state, also when one of them turns out damaged.
    const auto clearLists = [this] {
        m_dueOccurrences.clear();
        m_acknowledgedOccurrences.clear();
        m_snoozedOccurrences.clear();
        m_snoozeTimes.clear();
        m_droppedOccurrences.clear();
    };
    clearLists();
    ReadDateList(ar, m_dueOccurrences);
    ReadDateList(ar, m_acknowledgedOccurrences);
    ReadDateList(ar, m_snoozedOccurrences);
    ReadDateList(ar, m_snoozeTimes);
    ReadDateList(ar, m_droppedOccurrences);
    // Every snoozed occurrence needs its wake-up time; the two lists are only ever changed
    // together, so a difference means a damaged record.
    if (m_snoozedOccurrences.size() != m_snoozeTimes.size()) {
        const auto snoozed = m_snoozedOccurrences.size();
        const auto times = m_snoozeTimes.size();
        clearLists();
        ar.ThrowFormatError("event record " + d.GUID + ": " + std::to_string(snoozed) +
                            " snoozed occurrences but " + std::to_string(times) + " snooze times");
    }
}

} // namespace dv
