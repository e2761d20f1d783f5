#include "EntryRecords.h"
#include "RecordBytes.h"
#include "core/CArchive.h"
#include "core/CDateEntry.h"
#include "core/CTodoEntry.h"
#include "core/Clock.h"
#include "core/Guid.h"
#include "core/TodoData.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace dv {
namespace {

using test::ByteDifference;
using test::LoadObject;
using test::RecordBytes;
using test::StoreObject;

const CDateTime kNow(2007, 3, 5, 14, 30, 45);

const char* StateName(TodoState state) {
    switch (state) {
    case TodoState::Done:
        return "done";
    case TodoState::Overdue:
        return "overdue";
    case TodoState::Urgent:
        return "urgent";
    case TodoState::Undone:
        return "undone";
    }
    return "?";
}

// Every integer field holds a value of its own, so that fields read in the wrong order show.
TodoData DistinctData() {
    TodoData d;
    d.GUID = "{89ABCDEF-0123-4567-89AB-CDEF01234567}";
    d.StorageType = 2;
    d.Group = "Home";
    d.Description = "Pay the rent";
    d.Notes = "Standing order\r\nfrom March on \xE2\x82\xAC 500"; // the euro sign is 0x80 stored
    d.Deadline = CDateTime(2007, 3, 10, 15, 45, 0);
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

constexpr const char* kStoredNotes = "Standing order\r\nfrom March on \x80 500";
const CDateTime kStoredCurrentTime(2007, 3, 9, 12, 0, 0);

RecordBytes TodoRecord(uint16_t schema, const TodoData& d, int32_t done,
                       const CDateTime& currentTime) {
    RecordBytes b;
    b.ClassRecord("CTodoEntry", schema);
    if (schema >= 2) {
        b.Str(d.GUID).DWord(static_cast<uint32_t>(d.StorageType));
    }
    b.Str(d.Group).Str(d.Description).Str(kStoredNotes).Date(d.Deadline);
    b.Long(d.ShowDeadline).Long(d.ShowDeadlineTime).Long(d.Forewarn).Long(d.ForewarnSpan);
    b.Long(d.ForewarnUnit).Long(d.Priority).Long(d.AssociateDocumentFile).Str(d.DocumentFile);
    b.Long(done).Date(currentTime);
    return b;
}

// ---- construction and records
// ---------------------------------------------------------------------

TEST(TodoEntryConstruction, EveryTodoGetsItsOwnGuidAndTheClockGivesTheDeadline) {
    const CScopedClock clock(std::make_shared<CFixedClock>(kNow));
    std::set<std::string> guids;
    for (int i = 0; i < 100; ++i) {
        const CTodoEntry fromClock;
        EXPECT_EQ(fromClock.GetData().Deadline, CDateTime(2007, 3, 5, 14, 30, 0));
        guids.insert(fromClock.GetGUID());
    }
    EXPECT_EQ(guids.size(), 100u);
}

TEST(TodoEntryArchive, Schema2RecordByteForByte) {
    RecordBytes b;
    b.Word(0xFFFF).Word(2).Word(10); // new class record, schema 2, name length
    for (char c : std::string("CTodoEntry")) {
        b.Byte(static_cast<uint8_t>(c));
    }
    b.Str("{89ABCDEF-0123-4567-89AB-CDEF01234567}").DWord(2); // GUID, StorageType
    b.Str("Home").Str("Pay the rent").Str(kStoredNotes);      // Group, Description, Notes
    b.Date(CDateTime(2007, 3, 10, 15, 45, 0));                // Deadline
    for (uint32_t value = 7; value <= 13; ++value) {          // ShowDeadline .. Associate
        b.DWord(value);
    }
    b.Str("C:\\Docs\\rent.pdf").DWord(1).Date(kStoredCurrentTime); // DocumentFile, Done, time
    ASSERT_EQ(ByteDifference(TodoRecord(2, DistinctData(), 1, kStoredCurrentTime).Get(), b.Get()),
              "")
        << "the test's record builder disagrees with the literal record";

    CTodoEntry todo(kNow);
    todo.SetData(DistinctData());
    todo.SetDone(true);
    todo.SetCurrentTime(kStoredCurrentTime);
    todo.SetInEditor(true); // not stored
    EXPECT_EQ(ByteDifference(StoreObject(todo), b.Get()), "");

    const std::unique_ptr<CTodoEntry> read = LoadObject<CTodoEntry>(b.Get());
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->GetData() == DistinctData());
    EXPECT_TRUE(read->IsDone());
    EXPECT_EQ(read->GetCurrentTime(), kStoredCurrentTime);
    EXPECT_FALSE(read->IsInEditor());
    EXPECT_EQ(ByteDifference(StoreObject(*read), b.Get()), "");
}

TEST(TodoEntryArchive, SchemaOneKeepsTheConstructedGuidAndStaysLocal) {
    const std::vector<uint8_t>& bytes = TodoRecord(1, DistinctData(), 0, kStoredCurrentTime).Get();
    const std::unique_ptr<CTodoEntry> first = LoadObject<CTodoEntry>(bytes);
    const std::unique_ptr<CTodoEntry> second = LoadObject<CTodoEntry>(bytes);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(IsGuidString(first->GetGUID())) << first->GetGUID();
    EXPECT_TRUE(IsGuidString(second->GetGUID())) << second->GetGUID();
    EXPECT_NE(first->GetGUID(), second->GetGUID()) << "each read makes a new identity";

    TodoData expected = DistinctData();
    expected.GUID = first->GetGUID();
    expected.StorageType = 0;
    EXPECT_TRUE(first->GetData() == expected);
    EXPECT_FALSE(first->IsDone());
    EXPECT_EQ(first->GetCurrentTime(), kStoredCurrentTime);

    const std::unique_ptr<CTodoEntry> current =
        LoadObject<CTodoEntry>(TodoRecord(2, DistinctData(), 0, kStoredCurrentTime).Get());
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->GetGUID(), DistinctData().GUID) << "schema 2 keeps its GUID";
    EXPECT_EQ(current->GetStorageType(), 2);
}

// ---- state
// ----------------------------------------------------------------------------------------

TEST(TodoEntryForewarn, SpanByUnit) {
    struct Row {
        const char* name;
        int32_t forewarn;
        int32_t span;
        int32_t unit;
        int64_t seconds;
    };
    const Row rows[] = {
        {"forewarn_off_gives_zero", 0, 3, 2, 0},
        {"minutes", 1, 45, 0, 45 * 60},
        {"weeks_are_seven_days", 1, 2, 3, 14 * 86400},
        {"unknown_unit_4_gives_zero", 1, 3, 4, 0},
        {"largest_count_of_weeks_does_not_overflow", 1, 2147483647, 3,
         int64_t{2147483647} * 7 * 86400},
        {"negative_count_is_kept", 1, -2, 1, -2 * 3600},
    };
    for (const Row& row : rows) {
        CTodoEntry todo(kNow);
        TodoData d = todo.GetData();
        d.Forewarn = row.forewarn;
        d.ForewarnSpan = row.span;
        d.ForewarnUnit = row.unit;
        todo.SetData(d);
        EXPECT_EQ(todo.GetForewarnSpan().GetTotalSeconds(), row.seconds) << row.name;
    }
}

TEST(TodoEntryState, OverdueUrgentAndStateAtAGivenTime) {
    // The deadline is stored as 10 March 2007, 15:45.
    struct Row {
        const char* name;
        std::function<void(TodoData&)> setup;
        bool done;
        CDateTime now;
        bool overdue;
        bool urgent;
        TodoState state;
    };
    const auto noForewarn = [](TodoData& d) { d.Forewarn = 0; };
    const auto withTime = [](TodoData& d) {
        d.ShowDeadlineTime = 1;
        d.Forewarn = 0;
    };
    const auto weeks = [](TodoData& d) {
        d.ForewarnSpan = 2;
        d.ForewarnUnit = 3;
    };
    const auto spanZero = [](TodoData& d) { d.ForewarnSpan = 0; };
    const auto unknownUnit = [](TodoData& d) { d.ForewarnUnit = 9; };
    const auto noDeadline = [](TodoData& d) { d.ShowDeadline = 0; };
    const auto keep = [](TodoData&) {};
    const Row rows[] = {
        // Without a time of day the deadline is the start of its day.
        {"date_only_before_midnight", noForewarn, false, CDateTime(2007, 3, 9, 23, 59, 59), false,
         false, TodoState::Undone},
        {"date_only_from_midnight_not_from_the_stored_time", noForewarn, false,
         CDateTime(2007, 3, 10, 0, 0, 0), true, true, TodoState::Overdue},
        {"with_time_before_it", withTime, false, CDateTime(2007, 3, 10, 15, 44, 59), false, false,
         TodoState::Undone},
        {"with_time_at_it", withTime, false, CDateTime(2007, 3, 10, 15, 45, 0), true, true,
         TodoState::Overdue},
        // Default forewarning: three days before the deadline's day.
        {"three_days_before_minus_one_second", keep, false, CDateTime(2007, 3, 6, 23, 59, 59),
         false, false, TodoState::Undone},
        {"three_days_before", keep, false, CDateTime(2007, 3, 7, 0, 0, 0), false, true,
         TodoState::Urgent},
        {"weeks_unit_14_days_before", weeks, false, CDateTime(2007, 2, 24, 0, 0, 0), false, true,
         TodoState::Urgent},
        {"span_zero_before", spanZero, false, CDateTime(2007, 3, 9, 23, 59, 59), false, false,
         TodoState::Undone},
        {"unknown_unit_no_forewarning", unknownUnit, false, CDateTime(2007, 3, 9, 23, 59, 59),
         false, false, TodoState::Undone},
        {"forewarn_off_ignores_the_span", noForewarn, false, CDateTime(2007, 3, 8), false, false,
         TodoState::Undone},
        {"no_deadline_long_after", noDeadline, false, CDateTime(2030, 1, 1), false, false,
         TodoState::Undone},
        {"done_beats_overdue", keep, true, CDateTime(2007, 4, 1), false, false, TodoState::Done},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CTodoEntry todo(kNow);
        TodoData d = todo.GetData();
        d.Deadline = CDateTime(2007, 3, 10, 15, 45, 0);
        row.setup(d);
        todo.SetData(d);
        todo.SetDone(row.done);
        todo.SetCurrentTime(row.now);
        EXPECT_EQ(todo.IsOverdue(), row.overdue);
        EXPECT_EQ(todo.IsUrgent(), row.urgent);
        EXPECT_STREQ(StateName(todo.GetState()), StateName(row.state));
    }
}

TEST(TodoEntryState, NewTodoIsOverdueOnceHandedTheCurrentTime) {
    CTodoEntry todo(kNow);
    EXPECT_EQ(todo.GetEffectiveDeadline(), CDateTime(2007, 3, 5)) << "today at 00:00:00";
    EXPECT_TRUE(todo.SetCurrentTime(kNow));
    EXPECT_TRUE(todo.IsOverdue());
    EXPECT_TRUE(todo.IsUrgent());
    EXPECT_EQ(todo.GetState(), TodoState::Overdue);
}

TEST(TodoEntryState, SetCurrentTimeReportsChangesOfUrgentOrOverdue) {
    // Deadline 10 March 2007 without a time, forewarned three days before.
    CTodoEntry todo(CDateTime(2007, 3, 10, 15, 45, 0));
    struct Step {
        const char* name;
        std::function<void(CTodoEntry&)> before; // a change that SetCurrentTime does not see
        CDateTime now;
        bool changed;
        TodoState state;
    };
    const auto nothing = [](CTodoEntry&) {};
    const Step steps[] = {
        {"undone_stays_undone", nothing, CDateTime(2007, 3, 1), false, TodoState::Undone},
        {"becomes_urgent", nothing, CDateTime(2007, 3, 7), true, TodoState::Urgent},
        {"stays_urgent", nothing, CDateTime(2007, 3, 9, 23, 59, 59), false, TodoState::Urgent},
        {"becomes_overdue", nothing, CDateTime(2007, 3, 10), true, TodoState::Overdue},
        {"clock_set_back_to_undone", nothing, CDateTime(2007, 3, 1), true, TodoState::Undone},
        {"done_reports_nothing", [](CTodoEntry& t) { t.SetDone(true); }, CDateTime(2007, 3, 12),
         false, TodoState::Done},
        // Undone again: the time is the same, so nothing changes for SetCurrentTime.
        {"undone_again_same_time", [](CTodoEntry& t) { t.SetDone(false); }, CDateTime(2007, 3, 12),
         false, TodoState::Overdue},
        {"back_to_urgent", nothing, CDateTime(2007, 3, 8), true, TodoState::Urgent},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.before(todo);
        EXPECT_EQ(todo.SetCurrentTime(step.now), step.changed);
        EXPECT_EQ(todo.GetCurrentTime(), step.now) << "stored also when nothing changed";
        EXPECT_STREQ(StateName(todo.GetState()), StateName(step.state));
    }
}

// ---- what event and to-do records share ---------------------------------------------------------

template <class T>
struct Records;
template <>
struct Records<CDateEntry> {
    static constexpr uint16_t kOldest = 1;
    static constexpr uint16_t kCurrent = 4;
    static std::vector<uint8_t> Of(uint16_t schema) { return test::SampleEventRecord(schema); }
};
template <>
struct Records<CTodoEntry> {
    static constexpr uint16_t kOldest = 1;
    static constexpr uint16_t kCurrent = 2;
    static std::vector<uint8_t> Of(uint16_t schema) {
        return TodoRecord(schema, DistinctData(), 1, kStoredCurrentTime).Get();
    }
};

/// The cause of the archive error that reading `bytes` as an object of `as` throws, if any.
std::optional<CArchiveException::Cause> ReadCause(const std::vector<uint8_t>& bytes,
                                                  const CRuntimeClass* as) {
    CMemorySource source(bytes);
    CArchive ar(source);
    try {
        const CObjectRef read = ar.ReadObjectRef(as);
    } catch (const CArchiveException& e) {
        return e.GetCause();
    }
    return std::nullopt;
}

template <class T>
class EntryRecordTest : public ::testing::Test {};
using EntryTypes = ::testing::Types<CDateEntry, CTodoEntry>;
TYPED_TEST_SUITE(EntryRecordTest, EntryTypes);

TYPED_TEST(EntryRecordTest, TruncatedRecordsThrowAtEveryByte) {
    using R = Records<TypeParam>;
    for (uint16_t schema = R::kOldest; schema <= R::kCurrent; ++schema) {
        const std::vector<uint8_t> whole = R::Of(schema);
        for (size_t size = 0; size < whole.size(); ++size) {
            const std::vector<uint8_t> cut(whole.begin(), whole.begin() + size);
            EXPECT_EQ(ReadCause(cut, &TypeParam::RuntimeClass), CArchiveException::Cause::endOfFile)
                << "schema " << schema << " cut after " << size << " bytes";
        }
    }
}

TYPED_TEST(EntryRecordTest, RefusesUnknownSchemasAndTheOtherClass) {
    using R = Records<TypeParam>;
    for (const uint16_t schema : {uint16_t{R::kOldest - 1}, uint16_t{R::kCurrent + 1}}) {
        std::vector<uint8_t> bytes = R::Of(R::kCurrent);
        bytes[2] = static_cast<uint8_t>(schema); // the schema WORD of the class record
        EXPECT_EQ(ReadCause(bytes, &TypeParam::RuntimeClass), CArchiveException::Cause::badSchema)
            << schema;
    }
    const CRuntimeClass* other = std::is_same_v<TypeParam, CDateEntry> ? &CTodoEntry::RuntimeClass
                                                                       : &CDateEntry::RuntimeClass;
    EXPECT_EQ(ReadCause(R::Of(R::kCurrent), other), CArchiveException::Cause::badClass);
}

} // namespace
} // namespace dv
