#pragma once

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CTodoEntry.h"
#include "format/FormatSettings.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dv {

// The clipboard blocks of single entries: object archives without marker or count, starting
// directly with the object's class tag. The desktop layer puts them on the clipboard under the
// formats below, beside the plain-text rendering.

/// The clipboard format name of an event block.
inline constexpr char kEventClipboardFormat[] = "Dayvaulteintrag";
/// The clipboard format name of a to-do block.
inline constexpr char kTodoClipboardFormat[] = "Todoeintrag";

/// An event block as read: the event and the start of the occurrence that was selected when it
/// was copied.
struct EventClipboardBlock {
    std::unique_ptr<CDateEntry> event;
    CDateTime occurrence;
};

/// The block of a copied event: the CDateEntry object, then `occurrence` by value.
std::vector<uint8_t> WriteEventClipboardBlock(const CDateEntry& event, const CDateTime& occurrence);

/// Reads an event block. Throws CArchiveException when the bytes do not hold a CDateEntry object
/// followed by a date-time (a null object counts as a wrong class); bytes after them are ignored.
EventClipboardBlock ReadEventClipboardBlock(std::span<const uint8_t> bytes);

/// The block of a copied to-do: the CTodoEntry object.
std::vector<uint8_t> WriteTodoClipboardBlock(const CTodoEntry& todo);

/// Reads a to-do block. Throws CArchiveException when the bytes do not hold a CTodoEntry object
/// (a null object counts as a wrong class); bytes after it are ignored.
std::unique_ptr<CTodoEntry> ReadTodoClipboardBlock(std::span<const uint8_t> bytes);

/// The event that pasting `block` on `selectedDate` adds: a single event (Repeat 0) whose
/// occurrence is the copied one (a repeating event's start and end move to that occurrence, end
/// and start keeping their distance), moved by whole days so that it starts on `selectedDate`
/// (only its date counts); the start keeps its time of day and the duration stays. It has a new
/// GUID and is created as a new event is at `now`: no reminder state from the copied event, and
/// reminders count from `now`. Everything else is the copied data.
std::unique_ptr<CDateEntry> MakePastedEvent(const EventClipboardBlock& block,
                                            const CDateTime& selectedDate, const CDateTime& now);

/// The to-do that pasting `todo` adds: a copy with a new GUID.
std::unique_ptr<CTodoEntry> MakePastedTodo(const CTodoEntry& todo);

/// The plain text put on the clipboard beside an event block: the clipboard format set's string
/// for `day` expanded for the occurrence starting at `occurrence` (see
/// CDateEntryFormatter::FormatForDay). The event's occurrence counter is left as it was.
std::string RenderEventClipboardText(CDateEntry& event, const CDateTime& occurrence,
                                     const CDateTime& day, const FormatSettings& settings);

/// The plain text put on the clipboard beside a to-do block: `clipboardTodoFormat` (the
/// ClipboardTodo format setting) expanded for the to-do.
std::string RenderTodoClipboardText(CTodoEntry& todo, std::string_view clipboardTodoFormat,
                                    const FormatSettings& settings);

} // namespace dv
