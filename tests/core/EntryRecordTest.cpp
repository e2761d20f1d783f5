// The event and to-do records: their archive forms of every schema, damaged records, copies,
// and the to-do's deadline states.

#include "RecordBytes.h"
#include "core/CArchive.h"
#include "core/CDateEntry.h"
#include "core/CTodoEntry.h"
#include "core/Clock.h"
#include "core/Guid.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace dv {
namespace {

using test::ByteDifference;
using test::LoadObject;
using test::RecordBytes;
using test::StoreObject;
using Dates = std::vector<CDateTime>;

CDateTime Mar(int day, int hour = 0, int minute = 0, int second = 0) {
    return CDateTime(2007, 3, day, hour, minute, second);
}

const CDateTime kNow(2007, 3, 5, 14, 30, 45);

// Every integer field holds a value of its own, so that two fields read in the wrong order cannot
// compare equal. The record keeps codes as read, however out of range.
DateData DistinctEvent() {
    DateData d;
    d.GUID = "{0A1B2C3D-4E5F-4A6B-8C7D-8E9FA0B1C2D3}";
    d.Category = "Work";
    d.Description = "Team meeting";
    d.Notes = "Caf\xC3\xA9 on floor 4\r\nBring the agenda"; // the e-acute is one byte when stored
    d.DisplayColor = 0x00A1B2C3;
    d.FontColor = 0x00102030;
    d.StartDate = Mar(5, 10);
    d.EndDate = Mar(5, 11, 30);
    d.RepeatEndDate = CDateTime(2008, 12, 31, 23, 59, 0);
    d.SoundFile = "C:\\Sounds\\ring.wav";
    d.DocumentFile = "C:\\Docs\\agenda.txt";
    d.CmdLine = "notepad.exe";
    d.Parameter = "/p agenda.txt";
    int32_t value = 100;
    for (int32_t DateData::*field : {&DateData::StorageType,
                                     &DateData::Display,
                                     &DateData::ShowStartTime,
                                     &DateData::ShowEnd,
                                     &DateData::Repeat,
                                     &DateData::RepeatRate,
                                     &DateData::RepeatUnit,
                                     &DateData::RepeatWeekdayCount,
                                     &DateData::RepeatWeekday,
                                     &DateData::RepeatEnd,
                                     &DateData::RepeatEndCount,
                                     &DateData::CondWeekdays,
                                     &DateData::CondMonth,
                                     &DateData::Forewarn,
                                     &DateData::ForewarnSpan,
                                     &DateData::ForewarnUnit,
                                     &DateData::ForewarnSilent,
                                     &DateData::SnoozeSpan,
                                     &DateData::SnoozeUnit,
                                     &DateData::SnoozeType,
                                     &DateData::OverdueAction,
                                     &DateData::ExecuteSpan,
                                     &DateData::ExecuteUnit,
                                     &DateData::Action,
                                     &DateData::Sound,
                                     &DateData::SoundRepeatEndless,
                                     &DateData::SoundRepeatCount,
                                     &DateData::AckOpen,
                                     &DateData::AckExecute}) {
        d.*field = ++value;
    }
    return d;
}

// How DistinctEvent().Notes is stored (Windows-1252).
constexpr const char* kStoredNotes = "Caf\xE9 on floor 4\r\nBring the agenda";

struct ReminderState {
    CDateTime lastCheck, lastOccurrenceEnd;
    int32_t lastOccurrenceKnown = 0;
    int32_t suspended = 0;
    Dates due, acknowledged, snoozed, snoozeTimes, dropped;
    bool operator==(const ReminderState&) const = default;
};

ReminderState StateOf(const CDateEntry& e) {
    return {e.GetLastCheck(),          e.GetLastOccurrenceEnd(), e.IsLastOccurrenceKnown() ? 1 : 0,
            e.IsSuspended() ? 1 : 0,   e.GetDueOccurrences(),    e.GetAcknowledgedOccurrences(),
            e.GetSnoozedOccurrences(), e.GetSnoozeTimes(),       e.GetDroppedOccurrences()};
}

// A weekly 10:00 event with one occurrence of each kind, three of them dropped.
ReminderState SampleState() {
    ReminderState s;
    s.lastCheck = Mar(12, 9);
    s.lastOccurrenceEnd = CDateTime(2007, 6, 25, 11, 30, 0);
    s.lastOccurrenceKnown = 1;
    s.due = {Mar(12, 10)};
    s.acknowledged = {Mar(5, 10)};
    s.snoozed = {Mar(19, 10)};
    s.snoozeTimes = {Mar(19, 9, 50)};
    s.dropped = {Mar(26, 10), CDateTime(2007, 4, 2, 10, 0, 0), CDateTime(2007, 4, 9, 10, 0, 0)};
    return s;
}

// An event record of any schema, fields present as that schema stored them, in the order of the
// file format. `storedNotes` is the Notes field as it stands in the file.
RecordBytes EventRecord(uint16_t schema, const DateData& d, const ReminderState& s,
                        const std::string& storedNotes = kStoredNotes) {
    RecordBytes b;
    b.ClassRecord("CDateEntry", schema);
    if (schema >= 4) {
        b.Str(d.GUID).Long(d.StorageType);
    }
    b.Str(d.Category).Str(d.Description).Str(storedNotes);
    b.Long(d.Display).DWord(d.DisplayColor);
    if (schema >= 2) {
        b.DWord(d.FontColor);
    }
    b.Date(d.StartDate).Date(d.EndDate);
    b.Long(d.ShowStartTime).Long(d.ShowEnd).Long(d.Repeat).Long(d.RepeatRate).Long(d.RepeatUnit);
    b.Long(d.RepeatWeekdayCount).Long(d.RepeatWeekday).Long(d.RepeatEnd).Long(d.RepeatEndCount);
    b.Date(d.RepeatEndDate);
    b.Long(d.CondWeekdays).Long(d.CondMonth).Long(d.Forewarn).Long(d.ForewarnSpan);
    b.Long(d.ForewarnUnit);
    if (schema >= 3) {
        b.Long(d.ForewarnSilent);
    }
    if (schema >= 2) {
        b.Long(d.SnoozeSpan).Long(d.SnoozeUnit).Long(d.SnoozeType);
    }
    b.Long(d.OverdueAction).Long(d.ExecuteSpan).Long(d.ExecuteUnit).Long(d.Action).Long(d.Sound);
    b.Str(d.SoundFile);
    if (schema >= 3) {
        b.Long(d.SoundRepeatEndless).Long(d.SoundRepeatCount);
    }
    b.Str(d.DocumentFile).Long(d.AckOpen).Str(d.CmdLine).Str(d.Parameter).Long(d.AckExecute);
    b.Date(s.lastCheck).Date(s.lastOccurrenceEnd).Long(s.lastOccurrenceKnown).Long(s.suspended);
    b.Dates(s.due).Dates(s.acknowledged).Dates(s.snoozed).Dates(s.snoozeTimes).Dates(s.dropped);
    return b;
}

TodoData DistinctTodo() {
    TodoData d;
    d.GUID = "{89ABCDEF-0123-4567-89AB-CDEF01234567}";
    d.StorageType = 2;
    d.Group = "Home";
    d.Description = "Pay the rent";
    d.Notes = "Standing order\r\nfrom March on \xE2\x82\xAC 500"; // the euro sign is 0x80 stored
    d.Deadline = Mar(10, 15, 45);
    d.ShowDeadline = 7;
    d.ShowDeadlineTime = 8;
    d.Forewarn = 9;
    d.ForewarnSpan = 10;
    d.ForewarnUnit = 11;
    d.Priority = 12;
    d.AssociateDocumentFile = 13;
    d.DocumentFile = "C:\\Docs\\rent.pdf";
    return d;
}

const CDateTime kStoredCurrentTime(2007, 3, 9, 12, 0, 0);

RecordBytes TodoRecord(uint16_t schema, int32_t done) {
    const TodoData d = DistinctTodo();
    RecordBytes b;
    b.ClassRecord("CTodoEntry", schema);
    if (schema >= 2) {
        b.Str(d.GUID).DWord(static_cast<uint32_t>(d.StorageType));
    }
    b.Str(d.Group).Str(d.Description).Str("Standing order\r\nfrom March on \x80 500");
    b.Date(d.Deadline).Long(d.ShowDeadline).Long(d.ShowDeadlineTime).Long(d.Forewarn);
    b.Long(d.ForewarnSpan).Long(d.ForewarnUnit).Long(d.Priority).Long(d.AssociateDocumentFile);
    b.Str(d.DocumentFile).Long(done).Date(kStoredCurrentTime);
    return b;
}

TEST(EntryRecords, NewEntriesStartAtTheClocksMinute) {
    const CScopedClock clock(std::make_shared<CFixedClock>(kNow));
    EXPECT_EQ(CDateEntry().GetData().StartDate, Mar(5, 14, 30));
    EXPECT_EQ(CTodoEntry().GetData().Deadline, Mar(5, 14, 30));
}

TEST(EntryRecords, EventRecordReadsAndWritesEveryFieldAndTheSuspensionIsNotKept) {
    const std::vector<uint8_t> bytes = EventRecord(4, DistinctEvent(), SampleState()).Get();
    const std::unique_ptr<CDateEntry> entry = LoadObject<CDateEntry>(bytes);
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->GetData() == DistinctEvent());
    EXPECT_TRUE(StateOf(*entry) == SampleState());
    EXPECT_EQ(ByteDifference(StoreObject(*entry), bytes), "");

    // Saved while suspended: written as it is, and yet not suspended after reading.
    entry->SetSuspended(true);
    ReminderState suspended = SampleState();
    suspended.suspended = 1;
    const std::vector<uint8_t> saved = StoreObject(*entry);
    EXPECT_EQ(ByteDifference(saved, EventRecord(4, DistinctEvent(), suspended).Get()), "");
    EXPECT_TRUE(StateOf(*LoadObject<CDateEntry>(saved)) == SampleState());

    // Read straight into the existing object, outside any object record: the stored lists
    // replace the whole state.
    ReminderState other;
    other.dropped = {CDateTime(2008, 1, 1, 10, 0, 0)};
    const std::vector<uint8_t> record = EventRecord(4, DistinctEvent(), other).Get();
    const size_t classRecordSize = 2 + 2 + 2 + 10;
    const std::vector<uint8_t> fields(record.begin() + classRecordSize, record.end());
    CMemorySource source(fields);
    CArchive ar(source);
    entry->Serialize(ar);
    EXPECT_EQ(ar.GetRemaining(), 0u);
    EXPECT_TRUE(StateOf(*entry) == other);
}

TEST(EntryRecords, OlderEventSchemasLeaveAbsentFieldsAtTheirDefaults) {
    struct Row {
        uint16_t schema;
        int32_t storedOrdinal;
        int32_t expectedOrdinal; // schemas 1 and 2 stored "last" as 4
    };
    const Row rows[] = {{1, 4, 5}, {1, 3, 3}, {2, 4, 5}, {3, 4, 4}};
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "schema " << row.schema << " ordinal " << row.storedOrdinal);
        DateData stored = DistinctEvent();
        stored.RepeatWeekdayCount = row.storedOrdinal;
        const auto entry = LoadObject<CDateEntry>(EventRecord(row.schema, stored, {}).Get());
        ASSERT_NE(entry, nullptr);
        const DateData defaults;
        DateData expected = stored;
        expected.RepeatWeekdayCount = row.expectedOrdinal;
        EXPECT_TRUE(IsGuidString(entry->GetGUID())) << entry->GetGUID();
        EXPECT_NE(entry->GetGUID(), stored.GUID);
        expected.GUID = entry->GetGUID();
        expected.StorageType = defaults.StorageType;
        if (row.schema < 3) {
            expected.ForewarnSilent = defaults.ForewarnSilent;
            expected.SoundRepeatEndless = defaults.SoundRepeatEndless;
            expected.SoundRepeatCount = defaults.SoundRepeatCount;
        }
        if (row.schema < 2) {
            expected.FontColor = defaults.FontColor;
            expected.SnoozeSpan = defaults.SnoozeSpan;
            expected.SnoozeUnit = defaults.SnoozeUnit;
            expected.SnoozeType = defaults.SnoozeType;
        }
        EXPECT_TRUE(entry->GetData() == expected);
    }
}

TEST(EntryRecords, TodoRecordOfBothSchemas) {
    CTodoEntry todo(kNow);
    todo.SetData(DistinctTodo());
    todo.SetDone(true);
    todo.SetCurrentTime(kStoredCurrentTime);
    todo.SetInEditor(true); // not stored
    const std::vector<uint8_t> bytes = TodoRecord(2, 1).Get();
    EXPECT_EQ(ByteDifference(StoreObject(todo), bytes), "");
    const std::unique_ptr<CTodoEntry> read = LoadObject<CTodoEntry>(bytes);
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->GetData() == DistinctTodo());
    EXPECT_TRUE(read->IsDone());
    EXPECT_EQ(read->GetCurrentTime(), kStoredCurrentTime);
    EXPECT_FALSE(read->IsInEditor());

    // Schema 1 has no identity: each read makes a new one, and the to-do is local.
    const std::vector<uint8_t> old = TodoRecord(1, 0).Get();
    const std::unique_ptr<CTodoEntry> first = LoadObject<CTodoEntry>(old);
    const std::unique_ptr<CTodoEntry> second = LoadObject<CTodoEntry>(old);
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(IsGuidString(first->GetGUID())) << first->GetGUID();
    EXPECT_NE(first->GetGUID(), second->GetGUID());
    TodoData expected = DistinctTodo();
    expected.GUID = first->GetGUID();
    expected.StorageType = 0;
    EXPECT_TRUE(first->GetData() == expected);
    EXPECT_EQ(first->GetStorageType(), 0);
    EXPECT_FALSE(first->IsDone());
}

TEST(EntryRecords, DamagedListsAreRefusedOrRepaired) {
    // Each of the five lists in turn claims 0xFFFFFFFF entries with 16 bytes left: refused before
    // anything is reserved for them.
    for (int hugeList = 0; hugeList < 5; ++hugeList) {
        SCOPED_TRACE("list " + std::to_string(hugeList));
        std::vector<uint8_t> bytes = EventRecord(4, DistinctEvent(), {}).Get();
        bytes.resize(bytes.size() - 5 * 2); // drop the five empty counts
        RecordBytes lists;
        for (int list = 0; list < hugeList; ++list) {
            lists.Count(0);
        }
        lists.Count(0xFFFFFFFF).Long(0).Long(0).Long(0).Long(0);
        bytes.insert(bytes.end(), lists.Get().begin(), lists.Get().end());
        EXPECT_THROW(LoadObject<CDateEntry>(bytes), CArchiveException);
    }

    // Snooze lists of different lengths: a damaged record that names the event.
    ReminderState uneven = SampleState();
    uneven.snoozeTimes.push_back(Mar(19, 9, 55));
    try {
        LoadObject<CDateEntry>(EventRecord(4, DistinctEvent(), uneven).Get());
        ADD_FAILURE() << "read without an error";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.GetCause(), CArchiveException::Cause::badFormat);
        EXPECT_NE(std::string(e.what()).find("snooze"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(DistinctEvent().GUID), std::string::npos) << e.what();
    }
}

TEST(TodoEntryState, OverdueUrgentAndStateAtAGivenTime) {
    // The deadline is 10 March 2007, 15:45; by default forewarned three days before its day.
    using Row = std::tuple<const char*, int32_t, int32_t, int32_t, int32_t, int32_t, bool,
                           CDateTime, TodoState>;
    const Row rows[] = {
        {"date only: before midnight", 0, 0, 3, 2, 1, false, Mar(9, 23, 59, 59), TodoState::Undone},
        {"date only: from midnight", 0, 0, 3, 2, 1, false, Mar(10), TodoState::Overdue},
        {"with time: before it", 1, 0, 3, 2, 1, false, Mar(10, 15, 44, 59), TodoState::Undone},
        {"with time: at it", 1, 0, 3, 2, 1, false, Mar(10, 15, 45), TodoState::Overdue},
        {"three days before, a second early", 0, 1, 3, 2, 1, false, Mar(6, 23, 59, 59),
         TodoState::Undone},
        {"three days before", 0, 1, 3, 2, 1, false, Mar(7), TodoState::Urgent},
        {"two weeks before", 0, 1, 2, 3, 1, false, CDateTime(2007, 2, 24), TodoState::Urgent},
        {"span zero", 0, 1, 0, 2, 1, false, Mar(9, 23, 59, 59), TodoState::Undone},
        {"unknown unit", 0, 1, 3, 9, 1, false, Mar(9, 23, 59, 59), TodoState::Undone},
        {"forewarn off ignores the span", 0, 0, 3, 2, 1, false, Mar(8), TodoState::Undone},
        {"no deadline", 0, 1, 3, 2, 0, false, CDateTime(2030, 1, 1), TodoState::Undone},
        {"done beats overdue", 0, 1, 3, 2, 1, true, CDateTime(2007, 4, 1), TodoState::Done},
    };
    for (const auto& [name, showTime, forewarn, span, unit, showDeadline, done, now, state] :
         rows) {
        SCOPED_TRACE(name);
        CTodoEntry todo(kNow);
        TodoData d = todo.GetData();
        d.Deadline = Mar(10, 15, 45);
        d.ShowDeadlineTime = showTime;
        d.Forewarn = forewarn;
        d.ForewarnSpan = span;
        d.ForewarnUnit = unit;
        d.ShowDeadline = showDeadline;
        todo.SetData(d);
        todo.SetDone(done);
        todo.SetCurrentTime(now);
        EXPECT_EQ(static_cast<int>(todo.GetState()), static_cast<int>(state));
        EXPECT_EQ(todo.IsOverdue(), state == TodoState::Overdue);
        EXPECT_EQ(todo.IsUrgent(), state == TodoState::Overdue || state == TodoState::Urgent);
    }
}

TEST(TodoEntryState, SetCurrentTimeReportsChangesOfUrgentOrOverdue) {
    // Deadline 10 March 2007 without a time, forewarned three days before; from urgent to
    // overdue is a change too.
    CTodoEntry todo(Mar(10, 15, 45));
    EXPECT_FALSE(todo.SetCurrentTime(Mar(1)));
    EXPECT_TRUE(todo.SetCurrentTime(Mar(7)));
    EXPECT_FALSE(todo.SetCurrentTime(Mar(9, 23, 59, 59)));
    EXPECT_EQ(todo.GetCurrentTime(), Mar(9, 23, 59, 59)) << "kept all the same";
    EXPECT_TRUE(todo.SetCurrentTime(Mar(10)));
    EXPECT_EQ(todo.GetState(), TodoState::Overdue);
}

} // namespace
} // namespace dv
