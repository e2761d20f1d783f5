#pragma once

#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/DateData.h"

#include <cstdint>
#include <optional>

namespace dv {

/// Codes of DateData::Repeat.
enum RepeatKind : int32_t {
    kRepeatNone = 0,       ///< a single occurrence
    kRepeatInterval = 1,   ///< every RepeatRate RepeatUnits
    kRepeatNthWeekday = 2, ///< the RepeatWeekdayCount-th RepeatWeekday of every month
};

/// Codes of DateData::RepeatUnit (0, minutes, is not offered and repeats nothing).
enum RepeatUnit : int32_t {
    kRepeatHours = 1,
    kRepeatDays = 2,
    kRepeatWeeks = 3,
    kRepeatMonths = 4,
    kRepeatYears = 5,
};

/// Codes of DateData::RepeatWeekdayCount: 0..4 are the first to the fifth, 5 the last.
enum WeekdayOrdinal : int32_t {
    kOrdinalFirst = 0,
    kOrdinalFifth = 4,
    kOrdinalLast = 5,
};

/// Codes of DateData::RepeatEnd.
enum RepeatEndKind : int32_t {
    kRepeatEndNever = 0,
    kRepeatEndAfterCount = 1,
    kRepeatEndAtDate = 2,
};

/// The candidate occurrences of one event: where its repetition rule puts occurrences before the
/// month and weekday conditions, dropped occurrences and the repetition end are applied.
///
/// A small value built from the user data; it computes candidates arithmetically (a window far
/// from the first start costs the same as one near it). Every candidate is (start, start + D),
/// and candidate starts strictly increase, so the candidates overlapping a window are one run.
///
/// Data that the editor never produces still gives a defined result: an unknown Repeat code, or
/// a weekday or ordinal outside its range for the n-th weekday, gives no candidate; Repeat 1 with
/// an unknown unit or a rate below 1 gives only the first occurrence, and only to windows that
/// contain its start or its end; candidates whose start or end would leave the int32 day range
/// do not exist.
class RepetitionRule {
public:
    /// One candidate occurrence; end = start + duration.
    struct Candidate {
        CDateTime start;
        CDateTime end;
    };

    explicit RepetitionRule(const DateData& data);

    /// First start S: StartDate, at 00:00:00 for an all-day event.
    CDateTime GetFirstStart() const;
    /// Duration D: from S to EndDate (or to S without an end), the end taken at 23:59:59 for an
    /// all-day event. An end before the start (damaged data only) counts as no duration.
    CDateTimeSpan GetDuration() const;
    /// GetDuration of the rule of `data`, without building the rest of the rule.
    static CDateTimeSpan DurationOf(const DateData& data);

    /// The first candidate that overlaps [a, b], both ends inclusive: its start or its end lies
    /// in the window, or it begins before and ends after the window. A window with b before a is
    /// empty. nullopt when no candidate overlaps.
    std::optional<Candidate> First(const CDateTime& a, const CDateTime& b) const;
    /// The candidate after the one starting at `current`, when it overlaps [a, b]; nullopt when
    /// it does not (no later candidate does then either) or when the rule has no further one.
    std::optional<Candidate> Next(const CDateTime& a, const CDateTime& b,
                                  const CDateTime& current) const;

    /// False when no candidate can ever fall on a weekday allowed by `condWeekdays` (bit 0 Monday
    /// .. bit 6 Sunday) in a month allowed by `condMonth` (bit 0 January .. bit 11 December).
    /// True does not promise an allowed candidate exists; false is certain. Lets a scan reject a
    /// hopeless rule at once instead of walking candidates that can never pass.
    bool ConditionsCanPass(int32_t condWeekdays, int32_t condMonth) const;

private:
    enum class Kind {
        Nothing,   // no candidate at all
        Single,    // the first occurrence, overlapping windows find it
        FirstOnly, // the first occurrence, only windows holding its start or end find it
        Interval,  // S + k * period
        Months,    // k * monthStep months after S's month, S's day clamped to the month
        NthWeekday // the selected weekday of every month from S on
    };

    // Times below are seconds on one axis: day number * 86400 + seconds of the day.
    std::optional<int64_t> FirstStartAtOrAfter(int64_t low) const;
    std::optional<int64_t> StartAfter(int64_t current) const;
    std::optional<int64_t> MonthlyStart(int64_t monthIndex) const;
    std::optional<int64_t> WeekdayStart(int64_t monthIndex) const;
    std::optional<Candidate> MakeCandidate(int64_t start, int64_t a, int64_t b) const;

    Kind m_kind = Kind::Nothing;
    int64_t m_start = 0;      // S on the seconds axis
    int64_t m_duration = 0;   // D in seconds, >= 0
    int64_t m_period = 0;     // Interval: seconds, 3600 .. 168 * 3600 * INT32_MAX
    int64_t m_monthStep = 0;  // Months: months per step, 1 .. 12 * INT32_MAX
    int64_t m_startMonth = 0; // S's month as year * 12 + month - 1
    int32_t m_startDay = 1;   // S's day of month, 1..31
    int32_t m_timeOfDay = 0;  // S's seconds since midnight, 0..86399
    int32_t m_ordinal = 0;    // NthWeekday: 0..4 first..fifth, 5 last
    int32_t m_weekday = 0;    // NthWeekday: 0 Monday .. 6 Sunday
};

} // namespace dv
