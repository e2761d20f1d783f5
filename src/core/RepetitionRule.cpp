#include "core/RepetitionRule.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <tuple>
#include <utility>

namespace dv {

namespace {

// ---------------------------------------------------------------------------------------------
// Calendar arithmetic on 64-bit day numbers and month indices
//
// Candidates are computed on one seconds axis (day number * 86400 + seconds of the day) in 64
// bits, so that steps of any int32 rate from any int32 day stay exact; only the result is checked
// against the int32 day range of CDateTime. The civil conversions work for every year, negative
// ones included, because damaged files can hold any day number.
// ---------------------------------------------------------------------------------------------

constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kSecondsPerHour = 3600;
// The range of a CDateTime on the seconds axis, both ends inclusive.
constexpr int64_t kEarliest = int64_t{std::numeric_limits<int32_t>::min()} * kSecondsPerDay;
constexpr int64_t kLatest =
    int64_t{std::numeric_limits<int32_t>::max()} * kSecondsPerDay + kSecondsPerDay - 1;

// Division and remainder rounding toward minus infinity; divisor > 0.
constexpr int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0 && a < 0) ? 1 : 0);
}
constexpr int64_t FloorMod(int64_t a, int64_t b) {
    return a - FloorDiv(a, b) * b;
}

constexpr bool IsLeap(int64_t year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// Days of `month` (1..12) in `year`, 28..31.
constexpr int DaysInMonth(int64_t year, int month) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Day number (1 January 0001 = 1) of a valid civil date in any year. Years are counted from
// 1 March so that the leap day ends the year; 400-year eras of 146097 days keep every
// intermediate small: yearOfEra 0..399, dayOfYear 0..365, dayOfEra 0..146096.
constexpr int64_t DayNumberOf(int64_t year, int month, int day) {
    const int64_t y = year - (month <= 2 ? 1 : 0);
    const int64_t era = FloorDiv(y, 400);
    const int64_t yearOfEra = y - era * 400;
    const int64_t marchMonth = (month + 9) % 12; // March 0 .. February 11
    const int64_t dayOfYear = (153 * marchMonth + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    // Day 0 of era 0 is 1 March of year 0, which lies 305 days before 1 January 0001 (day 1).
    return era * 146097 + dayOfEra - 305;
}
static_assert(DayNumberOf(1, 1, 1) == 1);
static_assert(DayNumberOf(2007, 1, 1) == 732677);

struct YearMonth {
    int64_t year;
    int month; // 1..12
};

// Year and month of a day number; the inverse of DayNumberOf on the same eras.
constexpr YearMonth YearMonthOf(int64_t dayNumber) {
    const int64_t z = dayNumber + 305; // days since 1 March of year 0
    const int64_t era = FloorDiv(z, 146097);
    const int64_t dayOfEra = z - era * 146097; // 0..146096
    const int64_t yearOfEra =                  // 0..399
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t marchMonth = (5 * dayOfYear + 2) / 153; // 0..11
    const int month = static_cast<int>(marchMonth < 10 ? marchMonth + 3 : marchMonth - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month};
}
static_assert(YearMonthOf(1).year == 1 && YearMonthOf(1).month == 1);
static_assert(YearMonthOf(0).year == 0 && YearMonthOf(0).month == 12);

// Months counted as year * 12 + month - 1, so that consecutive months differ by one.
constexpr int64_t MonthIndexOf(int64_t dayNumber) {
    const YearMonth ym = YearMonthOf(dayNumber);
    return ym.year * 12 + ym.month - 1;
}
constexpr YearMonth YearMonthOfIndex(int64_t monthIndex) {
    return {FloorDiv(monthIndex, 12), static_cast<int>(FloorMod(monthIndex, 12)) + 1};
}

// 0 = Monday .. 6 = Sunday; 1 January 0001 (day 1) was a Monday.
constexpr int WeekdayOf(int64_t dayNumber) {
    return static_cast<int>(FloorMod(dayNumber + 6, 7));
}

int64_t ToAxis(const CDateTime& t) {
    return int64_t{t.GetDayNumber()} * kSecondsPerDay + t.GetSecondsOfDay();
}

// Only for values within [kEarliest, kLatest].
CDateTime FromAxis(int64_t seconds) {
    return CDateTime::FromDayNumber(static_cast<int32_t>(FloorDiv(seconds, kSecondsPerDay)),
                                    static_cast<int32_t>(FloorMod(seconds, kSecondsPerDay)));
}

// The three ways an occurrence (t1, t2) overlaps [a, b], all bounds inclusive.
constexpr bool Overlaps(int64_t t1, int64_t t2, int64_t a, int64_t b) {
    return (a <= t1 && t1 <= b) || (a <= t2 && t2 <= b) || (t1 < a && t2 > b);
}

constexpr int32_t kAllWeekdays = 0x7F;
constexpr int32_t kAllMonths = 0xFFF;

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction
// ---------------------------------------------------------------------------------------------

namespace {

// S on the seconds axis and D in seconds, >= 0.
std::pair<int64_t, int64_t> StartAndDuration(const DateData& data) {
    // An all-day event starts at midnight and ends at the last second of its end day.
    const bool allDay = data.ShowStartTime == 0;
    const int64_t startDay = data.StartDate.GetDayNumber();
    const int64_t start =
        startDay * kSecondsPerDay + (allDay ? 0 : data.StartDate.GetSecondsOfDay());
    int64_t end = data.ShowEnd != 0 ? ToAxis(data.EndDate) : start;
    if (allDay) {
        end = FloorDiv(end, kSecondsPerDay) * kSecondsPerDay + kSecondsPerDay - 1;
    }
    // The editor keeps the end after the start; a damaged record that does not is a point in
    // time, so that the occurrences overlapping a window stay one run of candidates.
    return {start, std::max<int64_t>(0, end - start)};
}

} // namespace

CDateTimeSpan RepetitionRule::DurationOf(const DateData& data) {
    return CDateTimeSpan(StartAndDuration(data).second);
}

RepetitionRule::RepetitionRule(const DateData& data) {
    const int64_t startDay = data.StartDate.GetDayNumber();
    std::tie(m_start, m_duration) = StartAndDuration(data);
    m_timeOfDay = static_cast<int32_t>(m_start - startDay * kSecondsPerDay);
    m_startMonth = MonthIndexOf(startDay);
    m_startDay = data.StartDate.GetDay();

    switch (data.Repeat) {
    case kRepeatNone:
        m_kind = Kind::Single;
        break;
    case kRepeatInterval: {
        // A rate below 1 would divide by zero or run backwards; such a rule keeps its first
        // occurrence only, like one with a unit that repeats nothing.
        if (data.RepeatRate < 1) {
            m_kind = Kind::FirstOnly;
            break;
        }
        const int64_t rate = data.RepeatRate;
        switch (data.RepeatUnit) {
        case kRepeatHours:
            m_kind = Kind::Interval;
            m_period = rate * kSecondsPerHour;
            break;
        case kRepeatDays:
            m_kind = Kind::Interval;
            m_period = rate * kSecondsPerDay;
            break;
        case kRepeatWeeks:
            m_kind = Kind::Interval;
            m_period = rate * 7 * kSecondsPerDay;
            break;
        case kRepeatMonths:
            m_kind = Kind::Months;
            m_monthStep = rate;
            break;
        case kRepeatYears:
            m_kind = Kind::Months;
            m_monthStep = rate * 12;
            break;
        default:
            m_kind = Kind::FirstOnly;
            break;
        }
        break;
    }
    case kRepeatNthWeekday:
        // Codes outside the ranges select no day of any month.
        if (data.RepeatWeekday >= 0 && data.RepeatWeekday <= 6 && data.RepeatWeekdayCount >= 0 &&
            data.RepeatWeekdayCount <= kOrdinalLast) {
            m_kind = Kind::NthWeekday;
            m_weekday = data.RepeatWeekday;
            m_ordinal = data.RepeatWeekdayCount;
        }
        break;
    default:
        break; // unknown codes repeat nothing and have no occurrence at all
    }
}

CDateTime RepetitionRule::GetFirstStart() const {
    return FromAxis(m_start);
}

CDateTimeSpan RepetitionRule::GetDuration() const {
    return CDateTimeSpan(m_duration);
}

// ---------------------------------------------------------------------------------------------
// First and Next
// ---------------------------------------------------------------------------------------------

std::optional<RepetitionRule::Candidate> RepetitionRule::First(const CDateTime& a,
                                                               const CDateTime& b) const {
    const int64_t from = ToAxis(a);
    const int64_t to = ToAxis(b);
    // Every candidate starts at S or later.
    if (to < from || to < m_start) {
        return std::nullopt;
    }
    switch (m_kind) {
    case Kind::Nothing:
        return std::nullopt;
    case Kind::Single:
        return MakeCandidate(m_start, from, to);
    case Kind::FirstOnly: {
        // Without a usable period only the window test on the first occurrence itself applies.
        const int64_t end = m_start + m_duration;
        if ((from <= m_start && m_start <= to) || (from <= end && end <= to)) {
            return MakeCandidate(m_start, from, to);
        }
        return std::nullopt;
    }
    case Kind::Interval:
    case Kind::Months:
    case Kind::NthWeekday:
        break;
    }
    // With D >= 0 an occurrence overlaps [a, b] exactly when its start lies in [a - D, b], so the
    // first overlapping candidate is the first one starting at or after a - D (and not before S).
    // Counting from the window rather than walking from S keeps distant windows as cheap as
    // near ones, and also finds an occurrence that began before the window and reaches into it.
    const std::optional<int64_t> start = FirstStartAtOrAfter(std::max(m_start, from - m_duration));
    if (!start) {
        return std::nullopt;
    }
    return MakeCandidate(*start, from, to);
}

std::optional<RepetitionRule::Candidate>
RepetitionRule::Next(const CDateTime& a, const CDateTime& b, const CDateTime& current) const {
    const std::optional<int64_t> start = StartAfter(ToAxis(current));
    if (!start) {
        return std::nullopt;
    }
    return MakeCandidate(*start, ToAxis(a), ToAxis(b));
}

bool RepetitionRule::ConditionsCanPass(int32_t condWeekdays, int32_t condMonth) const {
    // Collect the weekdays and months that candidates can fall on: exactly where the rule pins
    // them, all of them otherwise. Intersecting with the masks can then only err towards "can".
    int32_t weekdays = kAllWeekdays;
    int32_t months = kAllMonths;
    const int startWeekday = WeekdayOf(FloorDiv(m_start, kSecondsPerDay));
    const int startMonth = static_cast<int>(FloorMod(m_startMonth, 12)); // 0 = January
    switch (m_kind) {
    case Kind::Nothing:
        return false;
    case Kind::Single:
    case Kind::FirstOnly:
        weekdays = 1 << startWeekday;
        months = 1 << startMonth;
        break;
    case Kind::Interval:
        // Whole weeks keep the weekday; nothing else pins weekday or month.
        if (m_period % (7 * kSecondsPerDay) == 0) {
            weekdays = 1 << startWeekday;
        }
        break;
    case Kind::Months: {
        // Steps of m months visit the months S's month + i * gcd(m, 12), modulo 12; the day is
        // clamped within its month, so the month never shifts.
        int64_t divisor = 12;
        for (int64_t x = m_monthStep; x != 0;) {
            const int64_t rest = divisor % x;
            divisor = x;
            x = rest;
        }
        months = 0;
        for (int64_t m = 0; m < 12; m += divisor) {
            months |= 1 << ((startMonth + m) % 12);
        }
        break;
    }
    case Kind::NthWeekday:
        weekdays = 1 << m_weekday;
        break;
    }
    return (weekdays & condWeekdays) != 0 && (months & condMonth) != 0;
}

// ---------------------------------------------------------------------------------------------
// Candidate starts on the seconds axis
// ---------------------------------------------------------------------------------------------

std::optional<int64_t> RepetitionRule::FirstStartAtOrAfter(int64_t low) const {
    // low >= S here, and low lies within a few hundred million days of the int32 day range, so
    // none of the sums below can overflow 64 bits.
    switch (m_kind) {
    case Kind::Interval: {
        // The smallest k with S + k * P >= low: a division instead of a walk.
        const int64_t steps = (low - m_start + m_period - 1) / m_period;
        return m_start + steps * m_period;
    }
    case Kind::Months: {
        // Whole steps from S's month to low's month; that candidate lies in low's month or
        // earlier. When it is still before low, the next one lies in a later month and is the
        // answer. Counting to low's month, not to the first end's month, keeps an occurrence
        // that started in an earlier month and reaches into the window.
        const int64_t months = MonthIndexOf(FloorDiv(low, kSecondsPerDay)) - m_startMonth;
        const int64_t steps = months / m_monthStep;
        const std::optional<int64_t> start = MonthlyStart(m_startMonth + steps * m_monthStep);
        if (start && *start >= low) {
            return start;
        }
        return MonthlyStart(m_startMonth + (steps + 1) * m_monthStep);
    }
    case Kind::NthWeekday: {
        // The candidate of low's month may lie before low, and a month may lack a fifth such
        // weekday; any 12 consecutive months hold at least 52 of each weekday and so at least
        // four fifth ones, so 13 months always reach the answer.
        const int64_t month = MonthIndexOf(FloorDiv(low, kSecondsPerDay));
        for (int64_t i = 0; i <= 12; ++i) {
            const std::optional<int64_t> start = WeekdayStart(month + i);
            if (start && *start >= low) {
                return start;
            }
        }
        return std::nullopt;
    }
    case Kind::Nothing:
    case Kind::Single:
    case Kind::FirstOnly:
        break;
    }
    return std::nullopt;
}

std::optional<int64_t> RepetitionRule::StartAfter(int64_t current) const {
    switch (m_kind) {
    case Kind::Interval:
        // current lies in the CDateTime range, so one period more stays far inside int64.
        return current + m_period;
    case Kind::Months:
        // Each candidate is placed from S's day again, so a clamped 28 February is followed by
        // the 31st of March for a start on the 31st, not by the 28th.
        return MonthlyStart(MonthIndexOf(FloorDiv(current, kSecondsPerDay)) + m_monthStep);
    case Kind::NthWeekday: {
        // The selected weekday of the following months; a month without a fifth one is skipped
        // rather than ending the scan (12 months always hold one, see FirstStartAtOrAfter).
        const int64_t month = MonthIndexOf(FloorDiv(current, kSecondsPerDay));
        for (int64_t i = 1; i <= 12; ++i) {
            if (const std::optional<int64_t> start = WeekdayStart(month + i)) {
                return start;
            }
        }
        return std::nullopt;
    }
    case Kind::Nothing:
    case Kind::Single:
    case Kind::FirstOnly:
        break;
    }
    return std::nullopt;
}

std::optional<int64_t> RepetitionRule::MonthlyStart(int64_t monthIndex) const {
    // S's day of month, or the month's last day when it is shorter; S's time of day.
    const YearMonth ym = YearMonthOfIndex(monthIndex);
    const int day = std::min(m_startDay, DaysInMonth(ym.year, ym.month));
    return DayNumberOf(ym.year, ym.month, day) * kSecondsPerDay + m_timeOfDay;
}

std::optional<int64_t> RepetitionRule::WeekdayStart(int64_t monthIndex) const {
    const YearMonth ym = YearMonthOfIndex(monthIndex);
    const int64_t firstOfMonth = DayNumberOf(ym.year, ym.month, 1);
    const int lastDay = DaysInMonth(ym.year, ym.month);
    // Day of month (1..7) of the first such weekday, then whole weeks on.
    const int first = 1 + static_cast<int>(FloorMod(m_weekday - WeekdayOf(firstOfMonth), 7));
    int day = 0;
    if (m_ordinal == kOrdinalLast) {
        day = first + 28 <= lastDay ? first + 28 : first + 21;
    } else {
        day = first + 7 * m_ordinal;
        if (day > lastDay) {
            return std::nullopt; // only the fifth can miss: it needs day 29, 30 or 31
        }
    }
    const int64_t start = (firstOfMonth + day - 1) * kSecondsPerDay + m_timeOfDay;
    // Months before S's month yield nothing, and in S's month a day before S does not count.
    if (start < m_start) {
        return std::nullopt;
    }
    return start;
}

std::optional<RepetitionRule::Candidate> RepetitionRule::MakeCandidate(int64_t start, int64_t a,
                                                                       int64_t b) const {
    // A candidate that CDateTime cannot hold does not exist; m_duration is below 2^49, so the
    // end cannot overflow for any start that passed the first test.
    if (start < kEarliest || start > kLatest || start + m_duration > kLatest) {
        return std::nullopt;
    }
    const int64_t end = start + m_duration;
    // A window that ends before it begins holds no time, so nothing overlaps it.
    if (b < a || !Overlaps(start, end, a, b)) {
        return std::nullopt;
    }
    return Candidate{FromAxis(start), FromAxis(end)};
}

} // namespace dv
