#include "EntryRecords.h"
#include "RecordBytes.h"
#include "core/CArchive.h"
#include "core/CDateEntry.h"
#include "core/Clock.h"
#include "core/DateData.h"
#include "core/Guid.h"

#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace dv {
namespace {

using test::ByteDifference;
using test::LoadObject;
using test::RecordBytes;
using test::StoreObject;

// The user data is compared with DateData's defaulted ==; DistinctData below gives every field
// its own value, so that two fields read in the wrong order cannot compare equal.

// Every integer field holds a value of its own (100 + its number), so that two fields read in the
// wrong order cannot go unnoticed. The record keeps codes as read, however out of range.
DateData DistinctData() {
    DateData d;
    d.GUID = "{0A1B2C3D-4E5F-4A6B-8C7D-8E9FA0B1C2D3}";
    d.StorageType = 102;
    d.Category = "Work";
    d.Description = "Team meeting";
    d.Notes = "Caf\xC3\xA9 on floor 4\r\nBring the agenda"; // the e-acute is one byte when stored
    d.Display = 106;
    d.DisplayColor = 0x00A1B2C3;
    d.FontColor = 0x00102030;
    d.StartDate = CDateTime(2007, 3, 5, 10, 0, 0);
    d.EndDate = CDateTime(2007, 3, 5, 11, 30, 0);
    d.ShowStartTime = 111;
    d.ShowEnd = 112;
    d.Repeat = 113;
    d.RepeatRate = 114;
    d.RepeatUnit = 115;
    d.RepeatWeekdayCount = 116;
    d.RepeatWeekday = 117;
    d.RepeatEnd = 118;
    d.RepeatEndCount = 119;
    d.RepeatEndDate = CDateTime(2008, 12, 31, 23, 59, 0);
    d.CondWeekdays = 121;
    d.CondMonth = 122;
    d.Forewarn = 123;
    d.ForewarnSpan = 124;
    d.ForewarnUnit = 125;
    d.ForewarnSilent = 126;
    d.SnoozeSpan = 127;
    d.SnoozeUnit = 128;
    d.SnoozeType = 129;
    d.OverdueAction = 130;
    d.ExecuteSpan = 131;
    d.ExecuteUnit = 132;
    d.Action = 133;
    d.Sound = 134;
    d.SoundFile = "C:\\Sounds\\ring.wav";
    d.SoundRepeatEndless = 136;
    d.SoundRepeatCount = 137;
    d.DocumentFile = "C:\\Docs\\agenda.txt";
    d.AckOpen = 139;
    d.CmdLine = "notepad.exe";
    d.Parameter = "/p agenda.txt";
    d.AckExecute = 142;
    return d;
}

// How DistinctData().Notes is stored (Windows-1252).
constexpr const char* kStoredNotes = "Caf\xE9 on floor 4\r\nBring the agenda";

// ---- reminder state
// -------------------------------------------------------------------------------

struct ReminderState {
    CDateTime lastCheck;
    CDateTime lastOccurrenceEnd;
    int32_t lastOccurrenceKnown = 0;
    int32_t suspended = 0;
    std::vector<CDateTime> due;
    std::vector<CDateTime> acknowledged;
    std::vector<CDateTime> snoozed;
    std::vector<CDateTime> snoozeTimes;
    std::vector<CDateTime> dropped;
};

// A weekly 10:00 event with one occurrence of each kind, three of them dropped.
ReminderState SampleState() {
    ReminderState s;
    s.lastCheck = CDateTime(2007, 3, 12, 9, 0, 0);
    s.lastOccurrenceEnd = CDateTime(2007, 6, 25, 11, 30, 0);
    s.lastOccurrenceKnown = 1;
    s.due = {CDateTime(2007, 3, 12, 10, 0, 0)};
    s.acknowledged = {CDateTime(2007, 3, 5, 10, 0, 0)};
    s.snoozed = {CDateTime(2007, 3, 19, 10, 0, 0)};
    s.snoozeTimes = {CDateTime(2007, 3, 19, 9, 50, 0)};
    s.dropped = {CDateTime(2007, 3, 26, 10, 0, 0), CDateTime(2007, 4, 2, 10, 0, 0),
                 CDateTime(2007, 4, 9, 10, 0, 0)};
    return s;
}

std::vector<std::string> Texts(const std::vector<CDateTime>& values) {
    std::vector<std::string> texts;
    for (const CDateTime& value : values) {
        texts.push_back(value.FormatFixed());
    }
    return texts;
}

void ExpectState(const CDateEntry& entry, const ReminderState& expected) {
    EXPECT_EQ(entry.GetLastCheck().FormatFixed(), expected.lastCheck.FormatFixed());
    EXPECT_EQ(entry.GetLastOccurrenceEnd().FormatFixed(), expected.lastOccurrenceEnd.FormatFixed());
    EXPECT_EQ(entry.IsLastOccurrenceKnown(), expected.lastOccurrenceKnown != 0);
    EXPECT_EQ(entry.IsSuspended(), expected.suspended != 0);
    EXPECT_EQ(Texts(entry.GetDueOccurrences()), Texts(expected.due));
    EXPECT_EQ(Texts(entry.GetAcknowledgedOccurrences()), Texts(expected.acknowledged));
    EXPECT_EQ(Texts(entry.GetSnoozedOccurrences()), Texts(expected.snoozed));
    EXPECT_EQ(Texts(entry.GetSnoozeTimes()), Texts(expected.snoozeTimes));
    EXPECT_EQ(Texts(entry.GetDroppedOccurrences()), Texts(expected.dropped));
}

// An event record of any schema, fields present as that schema stored them. `storedNotes` is
// the Notes field as it stands in the file.
RecordBytes EventRecord(uint16_t schema, const DateData& d, const ReminderState& s,
                        const std::string& storedNotes) {
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

RecordBytes SampleRecord(uint16_t schema) {
    return EventRecord(schema, DistinctData(), SampleState(), kStoredNotes);
}

CArchiveException::Cause ReadFailure(const std::vector<uint8_t>& bytes, std::string* what) {
    try {
        LoadObject<CDateEntry>(bytes);
    } catch (const CArchiveException& e) {
        if (what != nullptr) {
            *what = e.what();
        }
        return e.GetCause();
    }
    ADD_FAILURE() << "the record was read without an error";
    return CArchiveException::Cause::badFormat;
}

const CDateTime kNow(2007, 3, 5, 14, 30, 45);
const CDateTime kNowWholeMinute(2007, 3, 5, 14, 30, 0);

// ---- construction
// ---------------------------------------------------------------------------------

TEST(DateEntryConstruction, EveryEventGetsItsOwnGuidAndTheClockGivesNow) {
    const CScopedClock clock(std::make_shared<CFixedClock>(kNow));
    std::set<std::string> guids;
    for (int i = 0; i < 100; ++i) {
        const CDateEntry entry;
        EXPECT_EQ(entry.GetData().StartDate, kNowWholeMinute);
        guids.insert(entry.GetGUID());
    }
    EXPECT_EQ(guids.size(), 100u);
}

// ---- the archive record
// ---------------------------------------------------------------------------

TEST(DateEntryArchive, NewEventIsWrittenByteForByte) {
    CDateEntry entry(kNow);
    entry.SetGUID("{00112233-4455-4677-8899-AABBCCDDEEFF}");

    RecordBytes b;
    b.Word(0xFFFF).Word(4).Word(10);           // new class record, schema 4, name length
    for (char c : std::string("CDateEntry")) { // class name
        b.Byte(static_cast<uint8_t>(c));
    }
    b.Byte(38);
    for (char c : std::string("{00112233-4455-4677-8899-AABBCCDDEEFF}")) {
        b.Byte(static_cast<uint8_t>(c));
    }
    b.Long(0);                                     // StorageType
    b.Byte(0).Byte(0).Byte(0);                     // Category, Description, Notes
    b.Long(0).DWord(0xC0C0C0).DWord(0);            // Display, DisplayColor, FontColor
    b.Date(kNowWholeMinute).Date(kNowWholeMinute); // StartDate, EndDate
    b.Long(1).Long(1);                             // ShowStartTime, ShowEnd
    b.Long(0).Long(0).Long(0).Long(0).Long(0);     // Repeat .. RepeatWeekday
    b.Long(0).Long(1);                             // RepeatEnd, RepeatEndCount
    b.Date(kNowWholeMinute);                       // RepeatEndDate
    b.Long(0x7F).Long(0xFFF);                      // CondWeekdays, CondMonth
    b.Long(0).Long(0).Long(0).Long(0);             // Forewarn, span, unit, silent
    b.Long(5).Long(1).Long(0);                     // SnoozeSpan, SnoozeUnit, SnoozeType
    b.Long(0).Long(1).Long(1);                     // OverdueAction, ExecuteSpan, ExecuteUnit
    b.Long(0).Long(0).Byte(0);                     // Action, Sound, SoundFile
    b.Long(1).Long(3);                             // SoundRepeatEndless, SoundRepeatCount
    b.Byte(0).Long(0).Byte(0).Byte(0).Long(0);     // DocumentFile .. AckExecute
    b.Long(1).Long(0).Long(1).Long(0);             // LastCheck, LastOccurrenceEnd: not set
    b.Long(0).Long(0);                             // LastOccurrenceKnown, Suspended
    b.Word(0).Word(0).Word(0).Word(0).Word(0);     // five empty lists

    EXPECT_EQ(ByteDifference(StoreObject(entry), b.Get()), "");
}

TEST(DateEntryArchive, FullRecordOfSchema4ByteForByte) {
    const DateData d = DistinctData();
    const ReminderState s = SampleState();

    // Written out field by field in the order of the record.
    RecordBytes b;
    b.ClassRecord("CDateEntry", 4);
    b.Str(d.GUID).Long(102);                                                        // 1-2
    b.Str("Work").Str("Team meeting").Str(kStoredNotes);                            // 3-5
    b.Long(106).DWord(0x00A1B2C3).DWord(0x00102030);                                // 6-8
    b.Date(CDateTime(2007, 3, 5, 10, 0, 0)).Date(CDateTime(2007, 3, 5, 11, 30, 0)); // 9-10
    for (int32_t value = 111; value <= 119; ++value) {                              // 11-19
        b.Long(value);
    }
    b.Date(CDateTime(2008, 12, 31, 23, 59, 0));        // 20
    for (int32_t value = 121; value <= 134; ++value) { // 21-34
        b.Long(value);
    }
    b.Str("C:\\Sounds\\ring.wav").Long(136).Long(137);                   // 35-37
    b.Str("C:\\Docs\\agenda.txt").Long(139);                             // 38-39
    b.Str("notepad.exe").Str("/p agenda.txt").Long(142);                 // 40-42
    b.Date(s.lastCheck).Date(s.lastOccurrenceEnd).Long(1).Long(0);       // 43-46
    b.Count(1).Date(s.due[0]);                                           // 47
    b.Count(1).Date(s.acknowledged[0]);                                  // 48
    b.Count(1).Date(s.snoozed[0]);                                       // 49
    b.Count(1).Date(s.snoozeTimes[0]);                                   // 50
    b.Count(3).Date(s.dropped[0]).Date(s.dropped[1]).Date(s.dropped[2]); // 51
    ASSERT_EQ(ByteDifference(SampleRecord(4).Get(), b.Get()), "")
        << "the test's record builder disagrees with the literal record";

    const std::unique_ptr<CDateEntry> entry = LoadObject<CDateEntry>(b.Get());
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->GetData() == d);
    ExpectState(*entry, s);

    EXPECT_EQ(ByteDifference(StoreObject(*entry), b.Get()), "");
}

TEST(DateEntryArchive, OlderSchemasLeaveAbsentFieldsAtTheirDefaults) {
    struct Row {
        const char* name;
        uint16_t schema;
        int32_t storedOrdinal;
        int32_t expectedOrdinal;
    };
    const Row rows[] = {
        {"schema1_stored4_means_last", 1, 4, 5}, {"schema1_stored3_stays_fourth", 1, 3, 3},
        {"schema2_stored4_means_last", 2, 4, 5}, {"schema3_keeps4_as_fifth", 3, 4, 4},
        {"schema4_keeps4_as_fifth", 4, 4, 4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DateData stored = DistinctData();
        stored.RepeatWeekdayCount = row.storedOrdinal;
        const ReminderState s = SampleState();
        const RecordBytes bytes = EventRecord(row.schema, stored, s, kStoredNotes);

        const std::unique_ptr<CDateEntry> entry = LoadObject<CDateEntry>(bytes.Get());
        ASSERT_NE(entry, nullptr);
        const DateData defaults;
        DateData expected = stored;
        expected.RepeatWeekdayCount = row.expectedOrdinal;
        if (row.schema < 4) {
            EXPECT_TRUE(IsGuidString(entry->GetGUID())) << entry->GetGUID();
            EXPECT_NE(entry->GetGUID(), stored.GUID);
            expected.GUID = entry->GetGUID();
            expected.StorageType = defaults.StorageType;
        }
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
        ExpectState(*entry, s);
    }
}

TEST(DateEntryArchive, RoundTripKeepsTheStateButNotTheSuspension) {
    // Three dropped occurrences and one snoozed one, saved while the event was suspended.
    std::unique_ptr<CDateEntry> original = LoadObject<CDateEntry>(SampleRecord(4).Get());
    ASSERT_NE(original, nullptr);
    original->SetSuspended(true);
    ReminderState suspendedState = SampleState();
    suspendedState.suspended = 1;
    const std::vector<uint8_t> saved = StoreObject(*original);
    EXPECT_EQ(
        ByteDifference(saved, EventRecord(4, DistinctData(), suspendedState, kStoredNotes).Get()),
        "")
        << "the suspension is written as it is";

    const std::unique_ptr<CDateEntry> loaded = LoadObject<CDateEntry>(saved);
    ASSERT_NE(loaded, nullptr);
    EXPECT_FALSE(loaded->IsSuspended());
    EXPECT_TRUE(loaded->GetData() == original->GetData());
    ExpectState(*loaded, SampleState());
    EXPECT_EQ(loaded->GetDroppedCount(), 3);
    EXPECT_EQ(ByteDifference(StoreObject(*loaded), SampleRecord(4).Get()), "");
}

TEST(DateEntryArchive, StoredListsReplaceTheWholeState) {
    std::unique_ptr<CDateEntry> entry = LoadObject<CDateEntry>(SampleRecord(4).Get());
    ASSERT_NE(entry, nullptr);

    entry->SetSuspended(true);

    // Read straight into the existing object, outside any object record: the current layout.
    ReminderState other;
    other.dropped = {CDateTime(2008, 1, 1, 10, 0, 0)};
    other.suspended = 1;
    const RecordBytes record = EventRecord(4, DistinctData(), other, kStoredNotes);
    const size_t classRecordSize = 2 + 2 + 2 + 10;
    const std::vector<uint8_t> fields(record.Get().begin() + classRecordSize, record.Get().end());
    CMemorySource source(fields);
    CArchive ar(source);
    entry->Serialize(ar);
    EXPECT_EQ(ar.GetRemaining(), 0u);
    other.suspended = 0; // stored as 1, and yet not suspended after reading
    ExpectState(*entry, other);
}

TEST(DateEntryArchive, HugeListCountInAShortRecordThrowsBeforeAllocating) {
    // Each of the five lists in turn claims 0xFFFFFFFF entries of 8 bytes, with 16 bytes left.
    // Reserving first would ask for more than 100 GB and fail with something other than the
    // archive's error (or abort under the address sanitizer).
    for (int hugeList = 0; hugeList < 5; ++hugeList) {
        SCOPED_TRACE("list " + std::to_string(hugeList));
        RecordBytes b = EventRecord(4, DistinctData(), ReminderState{}, kStoredNotes);
        std::vector<uint8_t> bytes = b.Get();
        bytes.resize(bytes.size() - 5 * 2); // drop the five empty counts
        RecordBytes lists;
        for (int list = 0; list < hugeList; ++list) {
            lists.Count(0);
        }
        const size_t countOffset = bytes.size() + lists.Size();
        lists.Count(0xFFFFFFFF);
        for (int i = 0; i < 4; ++i) {
            lists.Long(0);
        }
        bytes.insert(bytes.end(), lists.Get().begin(), lists.Get().end());

        try {
            LoadObject<CDateEntry>(bytes);
            ADD_FAILURE() << "read without an error";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.GetCause(), CArchiveException::Cause::endOfFile) << e.what();
            EXPECT_GE(e.GetOffset(), countOffset) << e.what();
        }
    }
}

TEST(DateEntryArchive, SnoozeListsOfDifferentLengthsAreADamagedRecord) {
    ReminderState s = SampleState();
    s.snoozeTimes.push_back(CDateTime(2007, 3, 19, 9, 55, 0));
    std::string what;
    EXPECT_EQ(ReadFailure(EventRecord(4, DistinctData(), s, kStoredNotes).Get(), &what),
              CArchiveException::Cause::badFormat);
    EXPECT_NE(what.find("snooze"), std::string::npos) << what;
    EXPECT_NE(what.find(DistinctData().GUID), std::string::npos) << "names the event: " << what;
}

// ---- copying

TEST(DateEntryCopy, CopiesTheDataAndTheWholeState) {
    std::unique_ptr<CDateEntry> source = LoadObject<CDateEntry>(SampleRecord(4).Get());
    ASSERT_NE(source, nullptr);
    // A count-limited daily event, scanned so that it holds an occurrence number.
    DateData data = DistinctData();
    data.StartDate = CDateTime(2007, 3, 5, 10, 0, 0);
    data.EndDate = data.StartDate;
    data.ShowStartTime = 1;
    data.ShowEnd = 1;
    data.Repeat = 1;
    data.RepeatRate = 1;
    data.RepeatUnit = 2;
    data.RepeatEnd = 1;
    data.RepeatEndCount = 100;
    data.CondWeekdays = 0x7F;
    data.CondMonth = 0xFFF;
    source->AssignData(data);
    CDateTime start;
    CDateTime end;
    ASSERT_TRUE(source->FindFirstOccurrence(CDateTime(2007, 4, 1),
                                            CDateTime(2007, 4, 1, 23, 59, 59), start, end));
    ASSERT_GT(source->GetOccurrenceNumber(), 1);
    source->SaveOccurrenceNumber();
    source->SetSuspended(true);
    ReminderState expected = SampleState();
    expected.suspended = 1;

    CDateEntry copied(*source);
    EXPECT_TRUE(copied.GetData() == data);
    ExpectState(copied, expected);
    EXPECT_EQ(copied.GetOccurrenceNumber(), source->GetOccurrenceNumber());
    // The saved number belongs to a scan running on the source; the copy has none.
    copied.RestoreOccurrenceNumber();
    EXPECT_EQ(copied.GetOccurrenceNumber(), 0);

    // Assignment replaces everything the receiver had, lists included.
    CDateEntry assigned(kNow);
    ReminderState other;
    other.dropped = {CDateTime(2001, 1, 1)};
    other.due = {CDateTime(2001, 1, 2), CDateTime(2001, 1, 3)};
    std::unique_ptr<CDateEntry> receiver =
        LoadObject<CDateEntry>(EventRecord(4, DateData(), other, "").Get());
    ASSERT_NE(receiver, nullptr);
    *receiver = *source;
    EXPECT_TRUE(receiver->GetData() == data);
    ExpectState(*receiver, expected);
    EXPECT_EQ(receiver->GetOccurrenceNumber(), source->GetOccurrenceNumber());

    // And the other way round: an event without state empties the receiver's lists.
    *receiver = assigned;
    EXPECT_TRUE(receiver->GetData() == assigned.GetData());
    ExpectState(*receiver, ReminderState{});

    // Assigning an event to itself changes nothing.
    CDateEntry& alias = *source;
    *source = alias;
    EXPECT_TRUE(source->GetData() == data);
    ExpectState(*source, expected);
}

} // namespace

namespace test {
std::vector<uint8_t> SampleEventRecord(uint16_t schema) {
    return SampleRecord(schema).Get();
}
} // namespace test
} // namespace dv
