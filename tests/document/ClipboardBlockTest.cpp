#include "document/ClipboardBlock.h"

#include "core/CArchiveException.h"
#include "core/EventBuilder.h"
#include "core/RepetitionRule.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "support/ArchiveBytes.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <tuple>
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

/// A time in 2024.
CDateTime At(int month, int day, int hour = 0, int minute = 0) {
    return CDateTime(2024, month, day, hour, minute, 0);
}

test::EventBuilder Timed(const CDateTime& start, const CDateTime& end) {
    return test::EventBuilder().StartAt(start).EndAt(end).Description("Standup");
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
    auto event = MakeEvent(Timed(At(3, 4, 9), At(3, 4, 9, 15)).Data());
    event->DropOccurrence(At(3, 5, 9));
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
    const std::tuple<const char*, DateData, CDateTime, CDateTime, CDateTime> rows[] = {
        {"a timed event keeps its times and its length across midnight",
         Timed(At(3, 4, 22), At(3, 5, 2, 30)).Data(), At(3, 4, 22), At(7, 15, 22),
         At(7, 16, 2, 30)},
        {"a repeating event takes the copied occurrence's time",
         Timed(At(3, 4, 8), At(3, 4, 8, 45)).Every(2, kRepeatHours).Data(), At(3, 9, 14),
         At(7, 15, 14), At(7, 15, 14, 45)},
        {"an all-day event moves by whole days",
         Timed(At(1, 31, 10), At(2, 2, 9)).AllDay().Every(1, kRepeatMonths).Data(), At(4, 30),
         At(7, 15, 10), At(7, 17, 9)},
    };
    for (const auto& [name, data, occurrence, start, end] : rows) {
        SCOPED_TRACE(name);
        auto copied = MakeEvent(data);
        copied->UpdateReminders(At(3, 10));
        copied->DropOccurrence(occurrence + CDateTimeSpan(86400));
        const EventClipboardBlock block =
            ReadEventClipboardBlock(WriteEventClipboardBlock(*copied, occurrence));
        const auto pasted = MakePastedEvent(block, selected + CDateTimeSpan(3600), kNow);
        const DateData& d = pasted->GetData();
        EXPECT_NE(d.GUID, copied->GetGUID());
        // Everything else is the copied data.
        DateData expected = data;
        expected.GUID = d.GUID;
        expected.StartDate = start;
        expected.EndDate = end;
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
    auto event = MakeEvent(Timed(At(3, 4, 9), At(3, 6, 9)).Data());
    const CDateTime start = event->GetData().StartDate;
    EXPECT_EQ(RenderEventClipboardText(*event, start, At(3, 4), settings), "first Standup");
    EXPECT_EQ(RenderEventClipboardText(*event, start, At(3, 5), settings), "middle Standup");
    auto single = MakeEvent(Timed(At(3, 4, 9), At(3, 4, 9, 5)).Data());
    EXPECT_EQ(RenderEventClipboardText(*single, single->GetData().StartDate, At(3, 4), settings),
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
