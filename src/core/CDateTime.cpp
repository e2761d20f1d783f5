#include "core/CDateTime.h"

#include "core/CArchive.h"
#include "core/Clock.h"
#include "core/LocaleNames.h"

#include <array>
#include <iterator>
#include <limits>
#include <memory>
#include <ostream>
#include <string>

namespace dv {

namespace {

// ---- Calendar arithmetic ------------------------------------------------------------------------
//
// The day number is the one pivot. Conversions to and from (year, month, day) work in 400-year
// eras that start on 1 March, so that the leap day is the last day of an era-year and every
// intermediate value has a small, fixed range. They are exact for every int32 day number and
// every year in between, in both directions, with no loop and no table.

constexpr int32_t kSecondsPerDay = 86400;
constexpr int64_t kDaysPerEra = 146097; // 400 Gregorian years
constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();

// 1 March of year 0 is day number -305; adding this offset counts days from that era start.
constexpr int64_t kMarchZeroOffset = 305;

constexpr std::array<int, 12> kDaysPerMonth = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
// Days before the first of each month in a common year; the last entry is the year's length.
constexpr std::array<int, 13> kDaysBeforeMonth = {0,   31,  59,  90,  120, 151, 181,
                                                  212, 243, 273, 304, 334, 365};

struct CivilDate {
    int year;  // -5879610..5879611 for int32 day numbers
    int month; // 1..12
    int day;   // 1..31
};

constexpr bool IsLeap(int64_t year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// Days of a month (1..12) in any year.
constexpr int MonthLength(int64_t year, int month) {
    return month == 2 && IsLeap(year) ? 29 : kDaysPerMonth[month - 1];
}

// Floor modulo 7 for any sign, 0..6.
constexpr int FloorMod7(int64_t value) {
    const int64_t remainder = value % 7;
    return static_cast<int>(remainder < 0 ? remainder + 7 : remainder);
}

// Day number of any (year, month 1..12, day 1..31); 64 bits because years far beyond the int32
// day range are valid input here.
constexpr int64_t DayNumberFromCivil(int64_t year, int month, int day) {
    const int64_t y = year - (month <= 2 ? 1 : 0);                // the year that started in March
    const int64_t era = (y >= 0 ? y : y - 399) / 400;             // floor(y / 400)
    const int64_t yearOfEra = y - era * 400;                      // [0, 399]
    const int64_t marchMonth = month > 2 ? month - 3 : month + 9; // [0, 11], March = 0
    const int64_t dayOfEraYear = (153 * marchMonth + 2) / 5 + day - 1; // [0, 365]
    const int64_t dayOfEra =
        yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfEraYear; // [0, 146096]
    return era * kDaysPerEra + dayOfEra - kMarchZeroOffset;
}

// (year, month, day) of any int32 day number.
constexpr CivilDate CivilFromDayNumber(int64_t dayNumber) {
    const int64_t z = dayNumber + kMarchZeroOffset; // [-2^31 + 305, 2^31 + 304]
    const int64_t era = (z >= 0 ? z : z - (kDaysPerEra - 1)) / kDaysPerEra; // [-14699, 14699]
    const int64_t dayOfEra = z - era * kDaysPerEra;                         // [0, 146096]
    // Leap days sit at the end of each 4-, 100- and 400-year block; removing them makes every
    // era-year 365 days long.
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365; // [0, 399]
    const int64_t dayOfEraYear =
        dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);              // [0, 365]
    const int64_t marchMonth = (5 * dayOfEraYear + 2) / 153;                         // [0, 11]
    const int day = static_cast<int>(dayOfEraYear - (153 * marchMonth + 2) / 5 + 1); // [1, 31]
    const int month = static_cast<int>(marchMonth < 10 ? marchMonth + 3 : marchMonth - 9);
    const int64_t year = era * 400 + yearOfEra + (month <= 2 ? 1 : 0); // [-5879610, 5879611]
    return {static_cast<int>(year), month, day};
}

static_assert(DayNumberFromCivil(1, 1, 1) == 1);
static_assert(DayNumberFromCivil(0, 12, 31) == 0);
static_assert(CivilFromDayNumber(1).year == 1 && CivilFromDayNumber(1).day == 1);
static_assert(CivilFromDayNumber(kInt32Max).year == 5879611);  // 11 July 5879611
static_assert(CivilFromDayNumber(kInt32Min).year == -5879610); // 22 June 5879611 BC

// Valid as the setters judge it: year >= 0, a real month and day, and an int32 day number.
constexpr bool IsValidDate(int year, int month, int day) {
    return year >= 0 && month >= 1 && month <= 12 && day >= 1 && day <= MonthLength(year, month) &&
           DayNumberFromCivil(year, month, day) <= kInt32Max;
}

constexpr int DayOfYearOf(int64_t year, int month, int day) {
    return kDaysBeforeMonth[month - 1] + day + (month > 2 && IsLeap(year) ? 1 : 0);
}

// 1 January 0001 was a Monday (0).
constexpr int WeekdayOf(int64_t dayNumber) {
    return FloorMod7(dayNumber + 6);
}

// ISO 8601 week of the day with that day of year (1..366) and weekday (0 = Monday) in `year`.
constexpr int IsoWeek(int64_t year, int dayOfYear, int dayOfWeek) {
    const int week = (dayOfYear - 1 - dayOfWeek + 10) / 7; // [0, 53]; the numerator is >= 4
    if (week == 0) {
        // Before the first Monday of week 1: the last week of the previous year.
        const int lastDayOfPrevious = IsLeap(year - 1) ? 366 : 365;
        return IsoWeek(year - 1, lastDayOfPrevious, FloorMod7(dayOfWeek - dayOfYear));
    }
    if (week == 53) {
        // The year has a week 53 only when 28 December (always in the last week) is in it.
        const int dec28 = kDaysBeforeMonth[11] + 28 + (IsLeap(year) ? 1 : 0);
        return FloorMod7(dayOfWeek + dec28 - dayOfYear) >= 3 ? 1 : 53;
    }
    return week;
}

// ---- Text ---------------------------------------------------------------------------------------

// Room for any int64 with its sign, as written by WriteNumber.
constexpr size_t kNumberRoom = 24;

// Writes `value` like printf's "%0<width>d" (the sign counts toward the width; a longer number
// is written in full) at `out`, which has kNumberRoom characters; returns the end.
char* WriteNumber(char* out, int64_t value, int width) {
    char digits[20]; // plain arrays: this runs for every stored date-time, in debug builds too
    int count = 0;
    uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        *out++ = '-';
        --width;
    }
    for (int pad = width - count; pad > 0; --pad) {
        *out++ = '0';
    }
    while (count > 0) {
        *out++ = digits[--count];
    }
    return out;
}

void AppendNumber(std::string& out, int64_t value, int width) {
    char text[kNumberRoom];
    out.append(text, WriteNumber(text, value, width));
}

constexpr bool IsSeparator(char c) {
    switch (c) {
    case ' ':
    case '\t':
    case ':':
    case '.':
    case ',':
    case '-':
    case '/':
    case '\\':
        return true;
    default:
        return false;
    }
}

// The characters that atoi skips before a number.
constexpr bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi's reading (space, optional sign, leading digits, else 0) of [begin, end), clamped to the
// int32 range.
int32_t ToInteger(const char* begin, const char* end) {
    const char* p = begin;
    while (p != end && IsCSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // Clamping at 2^31 keeps the accumulator small and still reaches INT32_MIN.
    constexpr int64_t kLimit = int64_t{kInt32Max} + 1;
    int64_t value = 0;
    for (; p != end && *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > kLimit) {
            value = kLimit;
        }
    }
    if (negative) {
        return static_cast<int32_t>(-value);
    }
    return static_cast<int32_t>(value > kInt32Max ? kInt32Max : value);
}

} // namespace

// ---- Construction -------------------------------------------------------------------------------

CDateTime::CDateTime(int year, int month, int day) {
    CDateTime value;
    if (value.SetDate(year, month, day)) {
        *this = value;
    }
}

CDateTime::CDateTime(int year, int month, int day, int hour, int minute, int second) {
    CDateTime value;
    if (value.Set(year, month, day, hour, minute, second)) {
        *this = value;
    }
}

CDateTime CDateTime::Now() {
    return GetClock()->Now();
}

CDateTime CDateTime::FromDayNumber(int32_t dayNumber, int32_t secondsOfDay) {
    CDateTime value;
    if (secondsOfDay >= 0 && secondsOfDay < kSecondsPerDay) {
        value.Assign(dayNumber, secondsOfDay);
        return value;
    }
    // Shift reads only the day number and the seconds and then rebuilds the cache.
    value.m_dayNumber = dayNumber;
    value.m_seconds = 0;
    value.Shift(secondsOfDay / kSecondsPerDay, secondsOfDay % kSecondsPerDay);
    return value;
}

void CDateTime::Assign(int32_t dayNumber, int32_t seconds) {
    m_dayNumber = dayNumber;
    m_seconds = seconds;
    UpdateDateFields();
    UpdateTimeFields();
}

void CDateTime::UpdateDateFields() {
    const CivilDate date = CivilFromDayNumber(m_dayNumber);
    m_year = date.year;
    m_month = static_cast<int8_t>(date.month);
    m_day = static_cast<int8_t>(date.day);
}

void CDateTime::UpdateTimeFields() {
    m_hour = static_cast<int8_t>(m_seconds / 3600);
    m_minute = static_cast<int8_t>((m_seconds % 3600) / 60);
    m_second = static_cast<int8_t>(m_seconds % 60);
}

// ---- Setters ------------------------------------------------------------------------------------

bool CDateTime::SetDate(int year, int month, int day) {
    if (!IsValidDate(year, month, day)) {
        return false;
    }
    m_dayNumber = static_cast<int32_t>(DayNumberFromCivil(year, month, day));
    m_year = year;
    m_month = static_cast<int8_t>(month);
    m_day = static_cast<int8_t>(day);
    return true;
}

bool CDateTime::SetTime(int hour, int minute, int second) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        return false;
    }
    m_seconds = hour * 3600 + minute * 60 + second;
    m_hour = static_cast<int8_t>(hour);
    m_minute = static_cast<int8_t>(minute);
    m_second = static_cast<int8_t>(second);
    return true;
}

bool CDateTime::Set(int year, int month, int day, int hour, int minute, int second) {
    return SetDate(year, month, day) && SetTime(hour, minute, second);
}

void CDateTime::SetDate(const CDateTime& other) {
    m_dayNumber = other.m_dayNumber;
    m_year = other.m_year;
    m_month = other.m_month;
    m_day = other.m_day;
}

void CDateTime::SetTime(const CDateTime& other) {
    m_seconds = other.m_seconds;
    m_hour = other.m_hour;
    m_minute = other.m_minute;
    m_second = other.m_second;
}

// ---- Accessors and calendar functions -----------------------------------------------------------

CDateTime CDateTime::GetDate() const {
    CDateTime value = *this;
    value.SetTime(CDateTime());
    return value;
}

CDateTime CDateTime::GetTime() const {
    CDateTime value;
    value.SetTime(*this);
    return value;
}

int CDateTime::GetDayOfYear() const {
    return DayOfYearOf(m_year, m_month, m_day);
}

int CDateTime::GetDayOfWeek() const {
    return WeekdayOf(m_dayNumber);
}

int CDateTime::GetWeekNumber() const {
    return IsoWeek(m_year, GetDayOfYear(), GetDayOfWeek());
}

int CDateTime::GetDaysInMonth() const {
    return MonthLength(m_year, m_month);
}

bool CDateTime::IsLeapYear(int year) {
    return IsLeap(year);
}

int CDateTime::DaysInMonth(int year, int month) {
    if (year < 0 || month < 1 || month > 12) {
        return 0;
    }
    return MonthLength(year, month);
}

int CDateTime::DayOfYear(int year, int month, int day) {
    return IsValidDate(year, month, day) ? DayOfYearOf(year, month, day) : 0;
}

int CDateTime::DayOfWeek(int year, int month, int day) {
    return IsValidDate(year, month, day) ? WeekdayOf(DayNumberFromCivil(year, month, day)) : -1;
}

int CDateTime::WeekNumber(int year, int month, int day) {
    if (!IsValidDate(year, month, day)) {
        return 0;
    }
    return IsoWeek(year, DayOfYearOf(year, month, day),
                   WeekdayOf(DayNumberFromCivil(year, month, day)));
}

int32_t CDateTime::DayNumber(int year, int month, int day) {
    return IsValidDate(year, month, day)
               ? static_cast<int32_t>(DayNumberFromCivil(year, month, day))
               : 0;
}

std::string CDateTime::GetDayName(int weekday, bool abbreviated) {
    if (weekday < 0 || weekday > 6) {
        return {};
    }
    return CurrentLocaleNames()->DayName(weekday, abbreviated);
}

std::string CDateTime::GetMonthName(int month, bool abbreviated) {
    if (month < 1 || month > 12) {
        return {};
    }
    return CurrentLocaleNames()->MonthName(month, abbreviated);
}

// ---- Comparison and arithmetic ------------------------------------------------------------------

int CDateTime::Compare(const CDateTime& a, const CDateTime& b) {
    const auto order = a <=> b;
    return order > 0 ? 1 : (order < 0 ? -1 : 0);
}

void CDateTime::Shift(int64_t days, int64_t seconds) {
    // |days| <= 2^63 / 86400 and |m_dayNumber| <= 2^31, so nothing here can overflow.
    int64_t dayNumber = m_dayNumber + days;
    int64_t secondOfDay = m_seconds + seconds; // [-86399, 172798]
    if (secondOfDay >= kSecondsPerDay) {
        ++dayNumber;
        secondOfDay -= kSecondsPerDay;
    } else if (secondOfDay < 0) {
        --dayNumber;
        secondOfDay += kSecondsPerDay;
    }
    if (dayNumber > kInt32Max) {
        Assign(kInt32Max, kSecondsPerDay - 1);
    } else if (dayNumber < kInt32Min) {
        Assign(kInt32Min, 0);
    } else {
        Assign(static_cast<int32_t>(dayNumber), static_cast<int32_t>(secondOfDay));
    }
}

CDateTime& CDateTime::operator+=(const CDateTimeSpan& span) {
    const int64_t total = span.GetTotalSeconds();
    const int64_t days = total / kSecondsPerDay; // truncated toward zero
    Shift(days, total - days * kSecondsPerDay);
    return *this;
}

CDateTime& CDateTime::operator-=(const CDateTimeSpan& span) {
    // Negating the parts instead of the span keeps the most negative span exact.
    const int64_t total = span.GetTotalSeconds();
    const int64_t days = total / kSecondsPerDay;
    Shift(-days, -(total - days * kSecondsPerDay));
    return *this;
}

CDateTimeSpan operator-(const CDateTime& a, const CDateTime& b) {
    const int64_t days = int64_t{a.m_dayNumber} - b.m_dayNumber; // |days| < 2^32
    return CDateTimeSpan(days * kSecondsPerDay + (a.m_seconds - b.m_seconds));
}

// ---- Text ---------------------------------------------------------------------------------------

std::string CDateTime::Format(std::string_view pattern) const {
    std::string out;
    out.reserve(pattern.size() + 16);
    // Fetched on the first name code only, and held for the whole call.
    std::shared_ptr<const ILocaleNames> names;
    const auto locale = [&names]() -> const ILocaleNames& {
        if (!names) {
            names = CurrentLocaleNames();
        }
        return *names;
    };

    size_t pos = 0;
    while (pos < pattern.size()) {
        const size_t percent = pattern.find('%', pos);
        if (percent == std::string_view::npos) {
            out.append(pattern.substr(pos));
            break;
        }
        out.append(pattern.substr(pos, percent - pos));
        size_t code = percent + 1;
        const bool unpadded = code < pattern.size() && pattern[code] == '#';
        if (unpadded) {
            ++code;
        }
        if (code >= pattern.size()) {
            out.append(pattern.substr(percent)); // a dangling "%" or "%#" stays visible
            break;
        }
        const auto number = [&](int64_t value, int width) {
            AppendNumber(out, value, unpadded ? 1 : width);
        };
        switch (pattern[code]) {
        case 'A':
            out += locale().DayName(GetDayOfWeek(), false);
            break;
        case 'a':
            out += locale().DayName(GetDayOfWeek(), true);
            break;
        case 'B':
            out += locale().MonthName(m_month, false);
            break;
        case 'b':
            out += locale().MonthName(m_month, true);
            break;
        case 'd':
            number(m_day, 2);
            break;
        case 'H':
            number(m_hour, 2);
            break;
        case 'I':
            number(m_hour % 12 == 0 ? 12 : m_hour % 12, 2);
            break;
        case 'j':
            number(GetDayOfYear(), 3);
            break;
        case 'm':
            number(m_month, 2);
            break;
        case 'M':
            number(m_minute, 2);
            break;
        case 'p':
            out += m_hour < 12 ? locale().AmDesignator() : locale().PmDesignator();
            break;
        case 'S':
            number(m_second, 2);
            break;
        case 'w':
            AppendNumber(out, GetDayOfWeek(), 1);
            break;
        case 'W':
            number(GetWeekNumber(), 2);
            break;
        case 'y':
            // Floor modulo, so that years before 0 still give two digits.
            number((m_year % 100 + 100) % 100, 2);
            break;
        case 'Y':
            number(m_year, 4);
            break;
        default:
            out.push_back(pattern[code]);
            break;
        }
        pos = code + 1;
    }
    return out;
}

std::string CDateTime::FormatFixed() const {
    // Written for every stored date-time, so it skips reading the pattern; the result is
    // exactly Format("%Y %m %d %H %M %S").
    char text[6 * kNumberRoom];
    char* p = WriteNumber(text, m_year, 4);
    const int fields[] = {m_month, m_day, m_hour, m_minute, m_second};
    for (const int field : fields) {
        *p++ = ' ';
        p = WriteNumber(p, field, 2);
    }
    return std::string(text, p);
}

bool CDateTime::Parse(std::string_view text) {
    int32_t values[6] = {}; // year, month, day, hour, minute, second
    size_t count = 0;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (count < std::size(values)) {
        while (p != end && IsSeparator(*p)) {
            ++p;
        }
        if (p == end) {
            break;
        }
        const char* const tokenBegin = p;
        while (p != end && !IsSeparator(*p)) {
            ++p;
        }
        values[count++] = ToInteger(tokenBegin, p);
    }
    if (!SetDate(values[0], values[1], values[2])) {
        return false;
    }
    SetTime(values[3], values[4], values[5]);
    return true;
}

void CDateTime::Dump(std::ostream& out) const {
    out << Format("%d.%m.%Y, %H:%M:%S");
}

// ---- Archive ------------------------------------------------------------------------------------

void CDateTime::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteLong(m_dayNumber);
        ar.WriteLong(m_seconds);
        return;
    }
    const int32_t dayNumber = ar.ReadLong();
    const int32_t seconds = ar.ReadLong();
    if (seconds < 0 || seconds >= kSecondsPerDay) {
        ar.ThrowFormatError("seconds of a date-time out of range: " + std::to_string(seconds));
    }
    Assign(dayNumber, seconds);
}

} // namespace dv
