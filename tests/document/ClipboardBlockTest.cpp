#include "document/ClipboardBlock.h"

#include "core/CArchiveException.h"
#include "core/RepetitionRule.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "support/ArchiveBytes.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace dv {
namespace {

using test::RecordBytes;
using test::StoreObject;

const CDateTime kNow(2024, 5, 10, 12, 0, 0);

std::unique_ptr<CDateEntry> MakeEvent(const DateData& data) {
    auto event = std::make_unique<CDateEntry>(CDateTime(2024, 1, 1));
    DateData withGuid = data;
    withGuid.GUID = event->GetGUID();
    event->AssignData(withGuid);
    return event;
}

DateData Timed(const CDateTime& start, const CDateTime& end) {
    DateData data;
    data.Description = "Standup";
    data.StartDate = start;
    data.EndDate = end;
    data.RepeatEndDate = start;
    return data;
}

std::vector<uint8_t> Concatenate(std::vector<uint8_t> first, const std::vector<uint8_t>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

template <class Read>
std::optional<CArchiveException::Cause> Failure(Read&& read) {
    try {
        read();
    } catch (const CArchiveException& error) {
        return error.GetCause();
    }
    return std::nullopt;
}

TEST(ClipboardBlockTest, BlockBytesAndBadBlocks) {
    auto event = MakeEvent(Timed(CDateTime(2024, 3, 4, 9, 0, 0), CDateTime(2024, 3, 4, 9, 15, 0)));
    event->DropOccurrence(CDateTime(2024, 3, 5, 9, 0, 0));
    const CDateTime occurrence(2024, 3, 6, 9, 0, 0);
    // The object as the archive writes it alone (class record first), then the date by value.
    const std::vector<uint8_t> eventBlock = WriteEventClipboardBlock(*event, occurrence);
    EXPECT_EQ(eventBlock, Concatenate(StoreObject(*event), RecordBytes().Date(occurrence).Get()));
    const EventClipboardBlock read = ReadEventClipboardBlock(eventBlock);
    EXPECT_EQ(StoreObject(*read.event), StoreObject(*event));
    EXPECT_EQ(read.occurrence, occurrence);

    CTodoEntry todo(kNow);
    todo.SetDone(true);
    const std::vector<uint8_t> todoBlock = WriteTodoClipboardBlock(todo);
    EXPECT_EQ(todoBlock, StoreObject(todo));
    EXPECT_EQ(StoreObject(*ReadTodoClipboardBlock(todoBlock)), todoBlock);
    // Pasted, it is a new to-do with the same data.
    const auto pasted = MakePastedTodo(*ReadTodoClipboardBlock(todoBlock));
    TodoData expected = todo.GetData();
    expected.GUID = pasted->GetGUID();
    EXPECT_NE(expected.GUID, todo.GetGUID());
    EXPECT_EQ(pasted->GetData(), expected);
    EXPECT_TRUE(pasted->IsDone());

    // Bytes after the block are ignored.
    EXPECT_NO_THROW(ReadTodoClipboardBlock(Concatenate(todoBlock, {1, 2, 3})));
    EXPECT_EQ(ReadEventClipboardBlock(Concatenate(eventBlock, {9})).occurrence, occurrence);

    // Blocks of the other kind, null objects and every truncation are archive errors.
    using Cause = CArchiveException::Cause;
    EXPECT_EQ(Failure([&] { ReadEventClipboardBlock(todoBlock); }), Cause::badClass);
    EXPECT_EQ(Failure([&] { ReadTodoClipboardBlock(eventBlock); }), Cause::badClass);
    const std::vector<uint8_t> nullTag = RecordBytes().Word(0).Get();
    EXPECT_EQ(Failure([&] { ReadEventClipboardBlock(nullTag); }), Cause::badClass);
    EXPECT_EQ(Failure([&] { ReadTodoClipboardBlock(nullTag); }), Cause::badClass);
    for (size_t size = 0; size < eventBlock.size(); ++size) {
        const std::vector<uint8_t> prefix(eventBlock.begin(), eventBlock.begin() + size);
        ASSERT_EQ(Failure([&] { ReadEventClipboardBlock(prefix); }), Cause::endOfFile) << size;
        if (size < todoBlock.size()) {
            const std::vector<uint8_t> todoPrefix(todoBlock.begin(), todoBlock.begin() + size);
            ASSERT_EQ(Failure([&] { ReadTodoClipboardBlock(todoPrefix); }), Cause::endOfFile);
        }
    }
}

TEST(ClipboardBlockTest, PastedEventsMoveToTheSelectedDate) {
    const CDateTime selected(2024, 7, 15);
    struct Row {
        const char* name;
        DateData data;
        CDateTime occurrence, start, end;
    };
    std::vector<Row> rows;
    rows.push_back({"a timed event keeps its times and its length across midnight",
                    Timed(CDateTime(2024, 3, 4, 22, 0, 0), CDateTime(2024, 3, 5, 2, 30, 0)),
                    CDateTime(2024, 3, 4, 22, 0, 0), CDateTime(2024, 7, 15, 22, 0, 0),
                    CDateTime(2024, 7, 16, 2, 30, 0)});
    {
        DateData hourly = Timed(CDateTime(2024, 3, 4, 8, 0, 0), CDateTime(2024, 3, 4, 8, 45, 0));
        hourly.Repeat = kRepeatInterval;
        hourly.RepeatRate = 2;
        hourly.RepeatUnit = kRepeatHours;
        rows.push_back({"a repeating event takes the copied occurrence's time", hourly,
                        CDateTime(2024, 3, 9, 14, 0, 0), CDateTime(2024, 7, 15, 14, 0, 0),
                        CDateTime(2024, 7, 15, 14, 45, 0)});
    }
    {
        DateData allDay = Timed(CDateTime(2024, 1, 31, 10, 0, 0), CDateTime(2024, 2, 2, 9, 0, 0));
        allDay.ShowStartTime = 0;
        allDay.Repeat = kRepeatInterval;
        allDay.RepeatRate = 1;
        allDay.RepeatUnit = kRepeatMonths;
        rows.push_back({"an all-day event moves by whole days", allDay, CDateTime(2024, 4, 30),
                        CDateTime(2024, 7, 15, 10, 0, 0), CDateTime(2024, 7, 17, 9, 0, 0)});
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto copied = MakeEvent(row.data);
        copied->UpdateReminders(CDateTime(2024, 3, 10));
        copied->DropOccurrence(row.occurrence + CDateTimeSpan(86400));
        const EventClipboardBlock block =
            ReadEventClipboardBlock(WriteEventClipboardBlock(*copied, row.occurrence));
        const auto pasted = MakePastedEvent(block, selected + CDateTimeSpan(3600), kNow);
        const DateData& d = pasted->GetData();
        EXPECT_NE(d.GUID, copied->GetGUID());
        // Everything else is the copied data.
        DateData expected = row.data;
        expected.GUID = d.GUID;
        expected.StartDate = row.start;
        expected.EndDate = row.end;
        expected.Repeat = 0;
        EXPECT_EQ(d, expected);
        // A new event: nothing of the copy's reminder state, reminders counted from now.
        EXPECT_TRUE(pasted->GetDroppedOccurrences().empty());
        EXPECT_EQ(pasted->GetDueCount(), 0);
        EXPECT_EQ(pasted->GetLastCheck(), kNow);
    }
}

TEST(ClipboardBlockTest, PlainTextUsesTheClipboardFormats) {
    FormatSettings settings = FormatSettings::Defaults();
    settings.EventSets[kFormatSetClipboard] = {"normal $DESCRIPTION$", "single $DESCRIPTION$",
                                               "first $DESCRIPTION$", "middle $DESCRIPTION$",
                                               "last $DESCRIPTION$"};
    auto event = MakeEvent(Timed(CDateTime(2024, 3, 4, 9, 0, 0), CDateTime(2024, 3, 6, 9, 0, 0)));
    const CDateTime start = event->GetData().StartDate;
    EXPECT_EQ(RenderEventClipboardText(*event, start, CDateTime(2024, 3, 4), settings),
              "first Standup");
    EXPECT_EQ(RenderEventClipboardText(*event, start, CDateTime(2024, 3, 5), settings),
              "middle Standup");
    auto single = MakeEvent(Timed(CDateTime(2024, 3, 4, 9, 0, 0), CDateTime(2024, 3, 4, 9, 5, 0)));
    EXPECT_EQ(RenderEventClipboardText(*single, single->GetData().StartDate, CDateTime(2024, 3, 4),
                                       settings),
              "normal Standup");

    // A to-do without a deadline in the default format.
    CTodoEntry todo(kNow);
    TodoData data = todo.GetData();
    data.Description = "Call back";
    data.ShowDeadline = 0;
    todo.SetData(data);
    const std::string text =
        RenderTodoClipboardText(todo, LoadString(kIdsClipboardTodo), FormatSettings::Defaults());
    EXPECT_EQ(text, FormatSettings::Defaults().StateValueUndone + " Due -: Call back\r\n");
}

} // namespace
} // namespace dv
