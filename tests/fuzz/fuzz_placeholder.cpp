// Fuzz target for the placeholder expanders.
//
// Input: a header of kHeaderSize bytes (missing bytes read as 0) that shapes an event, its
// reminder state and a to-do, then text parts separated by NUL bytes: description, notes,
// category, then any number of format strings. Every format is expanded by both expanders, and
// the first one also serves as all five strings of a format set for FormatForDay.
//
// Checked on every input: no crash or sanitizer finding; the event's occurrence counter is the
// same after each expansion as before; a format without "$" comes back unchanged; expanding the
// same format twice gives the same text (the clock is fixed).
//
// Time bound: the event starts between 2000 and 2020; the occurrence shown, the end date of the
// repetition, "now" and the deadline lie within about three years of that start; the count limit
// is at most 2040; only rules that repeat at most monthly get the unknown end code, which repeats
// to the end of time. Counting occurrences (COUNT, count-limited searches) walks every occurrence
// up to the date it counts to, so an hourly rule counted over decades would take seconds by
// design; the harness keeps such walks to some ten thousand steps.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/CTodoEntry.h"
#include "core/Clock.h"
#include "core/RepetitionRule.h"
#include "format/CDateEntryFormatter.h"
#include "format/CTodoEntryFormatter.h"
#include "format/FormatSettings.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace dv;

constexpr std::size_t kHeaderSize = 24;
constexpr std::size_t kMaxInput = 4096;
constexpr int kRangeDays = 7300; // 20 years from 1 January 2000
constexpr int kNearDays = 1100;  // dates near the start: from 100 days before to 1000 after

const CDateTime& Epoch() {
    static const CDateTime epoch(2000, 1, 1);
    return epoch;
}

struct Header {
    std::array<uint8_t, kHeaderSize> bytes{};
    uint8_t operator[](std::size_t i) const { return bytes[i]; }
    int Word(std::size_t i) const { return bytes[i] | (bytes[i + 1] << 8); }
};

CDateTime DayAt(int dayOffset, int hour, int minute) {
    return Epoch() + CDateTimeSpan(dayOffset, hour, minute, 0);
}

// A date near the event's start, chosen by a 16-bit word.
CDateTime Near(const CDateTime& start, int word, int hour, int minute) {
    return start.GetDate() + CDateTimeSpan(word % kNearDays - 100, hour, minute, 0);
}

DateData MakeEventData(const Header& h, const std::string& description, const std::string& notes,
                       const std::string& category) {
    DateData d;
    d.Description = description;
    d.Notes = notes;
    d.Category = category;
    const uint8_t flags = h[11];
    d.ShowStartTime = flags & 1;
    d.ShowEnd = (flags >> 1) & 1;
    d.StartDate = DayAt(h.Word(7) % kRangeDays, h[9] % 24, h[10] % 60);
    d.EndDate = d.StartDate + CDateTimeSpan(0, h.Word(12) % 2000, 0, 0);
    if ((flags & 0x40) != 0) {
        d.EndDate = d.StartDate - CDateTimeSpan(0, 1, 0, 0); // damaged: end before start
    }
    d.Repeat = h[0] % 4;      // 3 is an unknown code
    d.RepeatRate = h[1] % 12; // 0 repeats nothing
    d.RepeatUnit = h[2] % 7;  // 0 and 6 are no units
    d.RepeatWeekdayCount = h[3] % 7;
    d.RepeatWeekday = h[4] % 8;
    d.RepeatEnd = h[5] % 4;
    const bool sparse = d.Repeat == kRepeatNthWeekday ||
                        (d.Repeat == kRepeatInterval && d.RepeatUnit >= kRepeatMonths);
    if (d.RepeatEnd == 3 && !sparse) {
        d.RepeatEnd = kRepeatEndAtDate;
    }
    d.RepeatEndCount = h[6] * 8;
    d.RepeatEndDate = Near(d.StartDate, h.Word(14), h[10] % 24, h[9] % 60);
    d.CondWeekdays = h[16] == 0 ? 0x7F : h[16] & 0x7F;
    d.CondMonth = h.Word(17) == 0 ? 0xFFF : h.Word(17) & 0xFFF;
    return d;
}

TodoData MakeTodoData(const Header& h, const CDateTime& start, const std::string& description,
                      const std::string& notes, const std::string& category) {
    TodoData t;
    t.Description = description;
    t.Notes = notes;
    t.Group = category;
    t.DocumentFile = category;
    const uint8_t flags = h[11];
    t.ShowDeadline = (flags >> 2) & 1;
    t.ShowDeadlineTime = (flags >> 3) & 1;
    t.Forewarn = (flags >> 4) & 1;
    t.Deadline = Near(start, h.Word(19), h[9] % 24, h[10] % 60);
    t.ForewarnSpan = h[23] % 100;
    t.ForewarnUnit = h[23] % 5;
    t.Priority = h[23] / 16;
    return t;
}

// Drops and acknowledges some of the first occurrences, as the bits of byte 22 say.
void ShapeReminderState(CDateEntry& entry, const Header& h) {
    std::vector<CDateTime> starts;
    CDateTime start;
    CDateTime end;
    const CDateTime a = entry.GetFirstStart();
    const CDateTime b = a + CDateTimeSpan(400, 0, 0, 0);
    for (bool found = entry.FindFirstOccurrence(a, b, start, end); found && starts.size() < 8;
         found = entry.FindNextOccurrence(a, b, start, end)) {
        starts.push_back(start);
    }
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const int action = (h[22] >> (i % 4 * 2)) & 3;
        if (action == 1) {
            entry.DropOccurrence(starts[i]);
        } else if (action == 2) {
            entry.SetDone(starts[i], true);
        }
    }
}

std::vector<std::string> SplitParts(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t cut = text.find('\0', begin);
        parts.emplace_back(
            text.substr(begin, cut == std::string_view::npos ? text.npos : cut - begin));
        if (cut == std::string_view::npos) {
            break;
        }
        begin = cut + 1;
    }
    return parts;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

const FormatSettings& BaseSettings() {
    static const FormatSettings settings = [] {
        FormatSettings s = FormatSettings::Defaults();
        s.DateFormat = "%Y-%m-%d";
        s.TimeFormat = "%H:%M:%S";
        s.DateTimeFormat = "%a %Y-%m-%d %I:%M %p";
        return s;
    }();
    return settings;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > kMaxInput) {
        return 0;
    }
    static const std::shared_ptr<CFixedClock> clock = [] {
        auto fixed = std::make_shared<CFixedClock>();
        SetClock(fixed);
        return fixed;
    }();

    Header h;
    for (std::size_t i = 0; i < kHeaderSize && i < size; ++i) {
        h.bytes[i] = data[i];
    }
    const std::string_view rest =
        size > kHeaderSize ? std::string_view(reinterpret_cast<const char*>(data) + kHeaderSize,
                                              size - kHeaderSize)
                           : std::string_view();
    std::vector<std::string> parts = SplitParts(rest);
    parts.resize(std::max<std::size_t>(parts.size(), 4));
    const std::string& description = parts[0];
    const std::string& notes = parts[1];
    const std::string& category = parts[2];

    CDateEntry event(Epoch());
    event.AssignData(MakeEventData(h, description, notes, category));
    ShapeReminderState(event, h);
    const CDateTime start = event.GetData().StartDate;
    clock->Set(Near(start, h[23] * 5, h[10] % 24, h[23] % 60));
    CTodoEntry todo(Epoch());
    todo.SetData(MakeTodoData(h, start, description, notes, category));
    todo.SetDone(((h[11] >> 5) & 1) != 0);
    todo.SetCurrentTime(CDateTime::Now());

    FormatSettings settings = BaseSettings();
    for (FormatSet& set : settings.EventSets) {
        set.fill(parts[3]);
    }
    CDateEntryFormatter eventFormatter(event, settings, h[21] % 8);
    CTodoEntryFormatter todoFormatter(todo, settings);

    const CDateTime occurrence = Near(start, h.Word(19), h[9] % 24, h[10] % 60);
    const CDateTime selectedDay =
        occurrence + CDateTimeSpan(static_cast<int>(h[21]) - 128, 0, 0, 0);
    for (std::size_t i = 3; i < parts.size(); ++i) {
        const std::string& format = parts[i];
        const int number = event.GetOccurrenceNumber();
        const std::string once = eventFormatter.Expand(format, occurrence, selectedDay);
        Check(event.GetOccurrenceNumber() == number);
        Check(eventFormatter.Expand(format, occurrence, selectedDay) == once);
        const std::string todoText = todoFormatter.Expand(format);
        Check(todoFormatter.Expand(format) == todoText);
        if (format.find('$') == std::string::npos) {
            Check(once == format && todoText == format);
        }
    }
    const int number = event.GetOccurrenceNumber();
    eventFormatter.FormatForDay(occurrence, selectedDay);
    Check(event.GetOccurrenceNumber() == number);
    return 0;
}
