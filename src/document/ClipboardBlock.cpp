#include "document/ClipboardBlock.h"

#include "core/ByteStream.h"
#include "core/CArchive.h"
#include "core/CArchiveException.h"
#include "core/CDateTimeSpan.h"
#include "core/Guid.h"
#include "format/CDateEntryFormatter.h"
#include "format/CTodoEntryFormatter.h"

#include <string>
#include <utility>

namespace dv {

namespace {

// ---- file-local helpers -------------------------------------------------------------------------

constexpr int64_t kSecondsPerDay = 86400;

// Reads the block's object; a null reference is no entry and counts as the wrong class.
template <class T>
std::unique_ptr<T> ReadBlockObject(CArchive& ar) {
    const uint64_t offset = ar.GetPosition();
    std::unique_ptr<T> object = ar.ReadObject<T>();
    if (!object) {
        throw CArchiveException(CArchiveException::Cause::badClass, offset,
                                "null object at offset " + std::to_string(offset) + " where a " +
                                    T::RuntimeClass.GetName() + " is expected");
    }
    return object;
}

CDateTimeSpan Days(int64_t days) {
    return CDateTimeSpan(days * kSecondsPerDay);
}

} // namespace

// ---- Blocks -------------------------------------------------------------------------------------

std::vector<uint8_t> WriteEventClipboardBlock(const CDateEntry& event,
                                              const CDateTime& occurrence) {
    CMemorySink sink;
    CArchive ar(sink);
    ar.WriteObject(&event);
    CDateTime start = occurrence; // Serialize reads or writes, so it takes a copy
    start.Serialize(ar);
    ar.Close();
    return sink.TakeData();
}

EventClipboardBlock ReadEventClipboardBlock(std::span<const uint8_t> bytes) {
    CMemorySource source(bytes);
    CArchive ar(source);
    EventClipboardBlock block;
    block.event = ReadBlockObject<CDateEntry>(ar);
    block.occurrence.Serialize(ar);
    ar.Close();
    return block;
}

std::vector<uint8_t> WriteTodoClipboardBlock(const CTodoEntry& todo) {
    CMemorySink sink;
    CArchive ar(sink);
    ar.WriteObject(&todo);
    ar.Close();
    return sink.TakeData();
}

std::unique_ptr<CTodoEntry> ReadTodoClipboardBlock(std::span<const uint8_t> bytes) {
    CMemorySource source(bytes);
    CArchive ar(source);
    std::unique_ptr<CTodoEntry> todo = ReadBlockObject<CTodoEntry>(ar);
    ar.Close();
    return todo;
}

// ---- Pasting ------------------------------------------------------------------------------------

std::unique_ptr<CDateEntry> MakePastedEvent(const EventClipboardBlock& block,
                                            const CDateTime& selectedDate, const CDateTime& now) {
    DateData data = block.event->GetData();
    if (data.Repeat != 0) {
        // The copied occurrence becomes the only one. An all-day event's occurrences are named by
        // midnight, so it moves by whole days and its stored times stay.
        const CDateTimeSpan toOccurrence =
            data.ShowStartTime != 0
                ? block.occurrence - data.StartDate
                : Days(int64_t{block.occurrence.GetDayNumber()} - data.StartDate.GetDayNumber());
        data.StartDate += toOccurrence;
        data.EndDate += toOccurrence;
        data.Repeat = 0;
    }
    const CDateTimeSpan toSelected =
        Days(int64_t{selectedDate.GetDayNumber()} - data.StartDate.GetDayNumber());
    data.StartDate += toSelected;
    data.EndDate += toSelected;
    data.GUID = NewGuidString();

    // Created as a new event is, so the copy's reminder state (which names the original's
    // occurrences) stays behind, and occurrences before `now` never become due.
    auto pasted = std::make_unique<CDateEntry>(now);
    pasted->UpdateReminders(now);
    pasted->SetData(data, now);
    return pasted;
}

std::unique_ptr<CTodoEntry> MakePastedTodo(const CTodoEntry& todo) {
    auto pasted = std::make_unique<CTodoEntry>(todo);
    pasted->SetGUID(NewGuidString());
    return pasted;
}

// ---- Plain text ---------------------------------------------------------------------------------

std::string RenderEventClipboardText(CDateEntry& event, const CDateTime& occurrence,
                                     const CDateTime& day, const FormatSettings& settings) {
    CDateEntryFormatter formatter(event, settings, kFormatSetClipboard);
    return formatter.FormatForDay(occurrence, day);
}

std::string RenderTodoClipboardText(CTodoEntry& todo, std::string_view clipboardTodoFormat,
                                    const FormatSettings& settings) {
    CTodoEntryFormatter formatter(todo, settings);
    return formatter.Expand(clipboardTodoFormat);
}

} // namespace dv
