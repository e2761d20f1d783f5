#pragma once

// The grammar that the event and the to-do expanders share: scanning a format for "$...$"
// tokens, format directives, word splitting, affixes, nested expansion of the description and
// the notes, date types, ranges and spans. The record side (field words, date selectors) comes
// from an IPlaceholderRecord.

#include "core/CDateTime.h"
#include "format/FormatSettings.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace dv {

/// What a date selector picks: a start, an end (equal to the start for a point in time) and
/// whether the pair means anything. An invalid pick holds default date-times.
struct DatePick {
    CDateTime start;
    CDateTime end;
    bool valid = false;
};

/// The record side of one top-level expansion: what the shared grammar asks an event or a to-do.
/// One object serves one top-level call and every nested expansion inside it, so it may cache
/// what it computed (occurrence searches) for the length of that call.
class IPlaceholderRecord {
public:
    virtual ~IPlaceholderRecord() = default;

    /// True for an event: the words START, END, STARTTOEND and COUNT exist and the line break
    /// is CR LF. False for a to-do: none of those words, and the line break is LF.
    virtual bool IsEvent() const = 0;
    /// Whether AUTO and AUTOTIME show a time of day (ShowStartTime or ShowDeadlineTime).
    virtual bool IsTimeOfDayShown() const = 0;
    /// The value of a record field word other than SPAN, DESCRIPTION and NOTES (CATEGORY for an
    /// event; DOCUMENT, GROUP, PRIORITY, STATE for a to-do); nullopt when `word` is none.
    virtual std::optional<std::string> FieldValue(std::string_view word) = 0;
    /// The pick of the date selector `word`; nullopt when `word` is no selector of the record.
    virtual std::optional<DatePick> PickDate(std::string_view word) = 0;
    /// Events only (asked only when IsEvent): the number of occurrences up to `upTo`.
    virtual int CountOccurrences(const CDateTime& upTo) = 0;
    virtual const std::string& GetDescription() const = 0;
    virtual const std::string& GetNotes() const = 0;
};

/// Nested expansions of the description or the notes go at most this deep; a text that would
/// be expanded deeper is inserted as typed. Only a text that reaches itself again (through a
/// form of its token that the exact-token guard does not catch) ever nests this far.
inline constexpr int kMaxNestingDepth = 8;
/// A nested expansion whose text grows beyond this many bytes is abandoned and its text inserted
/// as typed: a self-referencing text with several tokens would otherwise grow exponentially.
inline constexpr std::size_t kMaxNestedLength = 64 * 1024;

/// Expands `format` for `record`, starting from the date, time and date-time formats of
/// `settings`. Never fails: unknown tokens pass through as text. Time is linear in the length of
/// the format and the texts it nests, plus what the record's selectors cost.
std::string ExpandPlaceholders(std::string_view format, IPlaceholderRecord& record,
                               const FormatSettings& settings);

} // namespace dv
