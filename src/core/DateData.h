#pragma once

#include "core/CDateTime.h"

#include <cstdint>
#include <string>

namespace dv {

/// The user data of an event or category template: everything the event editor shows. The field
/// order is also the order of the archive and of the text backup keys. Booleans are int32 0/1 as
/// stored; codes are kept as read, however out of range.
struct DateData {
    std::string GUID;                 ///< identity, 38-character braced upper-case form
    int32_t StorageType = 0;          ///< 0 local, 1 shared
    std::string Category;             ///< selects the template
    std::string Description;          ///< one-line text
    std::string Notes;                ///< free multi-line notes
    int32_t Display = 0;              ///< 0 normal, 1 hidden, 2 coloured field, 3 coloured text
    uint32_t DisplayColor = 0xC0C0C0; ///< 0x00BBGGRR, field colour for Display 2
    uint32_t FontColor = 0x000000;    ///< 0x00BBGGRR, text colour for Display 3
    CDateTime StartDate; ///< start of the first occurrence; time counts only with ShowStartTime
    CDateTime EndDate;   ///< end of the first occurrence; counts only with ShowEnd
    int32_t ShowStartTime = 1;      ///< 0 = all-day event
    int32_t ShowEnd = 1;            ///< 0 = a point in time, or one whole day when all-day
    int32_t Repeat = 0;             ///< 0 none, 1 interval, 2 n-th weekday of the month
    int32_t RepeatRate = 0;         ///< interval count for Repeat 1 (>= 1 when used)
    int32_t RepeatUnit = 0;         ///< 1 hours, 2 days, 3 weeks, 4 months, 5 years
    int32_t RepeatWeekdayCount = 0; ///< Repeat 2: 0..4 first..fifth, 5 last
    int32_t RepeatWeekday = 0;      ///< Repeat 2: 0 Monday .. 6 Sunday
    int32_t RepeatEnd = 0;          ///< 0 never, 1 after RepeatEndCount, 2 at RepeatEndDate
    int32_t RepeatEndCount = 1;     ///< number of occurrences for RepeatEnd 1
    CDateTime RepeatEndDate;        ///< RepeatEnd 2: no occurrence starts after it
    int32_t CondWeekdays = 0x7F;    ///< bit 0 Monday .. bit 6 Sunday: weekdays allowed
    int32_t CondMonth = 0xFFF;      ///< bit 0 January .. bit 11 December: months allowed
    int32_t Forewarn = 0;           ///< the event raises a reminder
    int32_t ForewarnSpan = 0;       ///< how long before the start (count)
    int32_t ForewarnUnit = 0;       ///< TimeUnit
    int32_t ForewarnSilent = 0;     ///< due reminders count as silent ones
    int32_t SnoozeSpan = 5;         ///< default snooze length (count)
    int32_t SnoozeUnit = 1;         ///< TimeUnit
    int32_t SnoozeType = 0;         ///< 0 from the reminder, 1 that long before the occurrence
    int32_t OverdueAction =
        0;                   ///< 0 keep, 1 within ExecuteSpan after the end, 2 before next, 3 never
    int32_t ExecuteSpan = 1; ///< count for OverdueAction 1
    int32_t ExecuteUnit = 1; ///< TimeUnit
    int32_t Action = 0;      ///< 0 nothing, 1 open DocumentFile, 2 run CmdLine with Parameter
    int32_t Sound = 0;       ///< play SoundFile with the reminder
    std::string SoundFile;   ///< path of a wave file
    int32_t SoundRepeatEndless = 1; ///< endless loop; 0 = SoundRepeatCount plays
    int32_t SoundRepeatCount = 3;   ///< number of plays when not endless
    std::string DocumentFile;       ///< document to open for Action 1
    int32_t AckOpen = 0;            ///< confirm before opening the document
    std::string CmdLine;            ///< program to run for Action 2
    std::string Parameter;          ///< its command-line parameters
    int32_t AckExecute = 0;         ///< confirm before running the command

    /// All 42 fields equal: strings byte by byte, date-times by value.
    friend bool operator==(const DateData&, const DateData&) = default;
};

} // namespace dv
