#pragma once

#include "core/CDateTimeSpan.h"

#include <compare>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace dv {

class CArchive;

/// A calendar date and a time of day in local time, one-second resolution, no time zone.
///
/// The value is a day number (1 January 0001 = 1, proleptic Gregorian calendar) and the seconds
/// since midnight (0..86399). Year, month, day, hour, minute and second are cached beside them and
/// kept in step by every operation. The default value, 1 January 0001 00:00:00, marks a date that
/// is not set; it is earlier than every real date.
///
/// Every int32 day number is representable, including day numbers <= 0 (year 0 and before, years
/// counted astronomically: year 0 precedes year 1, year -1 precedes year 0). The setters only
/// accept years from 0 on; earlier values arise only from arithmetic or FromDayNumber.
///
/// Weekdays are numbered 0 = Monday .. 6 = Sunday; week numbers follow ISO 8601.
class CDateTime {
public:
    /// The default value: 1 January 0001, 00:00:00 (not set).
    CDateTime() = default;
    /// That date at 00:00:00. Invalid components (see SetDate) give the default value.
    CDateTime(int year, int month, int day);
    /// That date and time. If any component is invalid (see SetDate, SetTime), the whole value
    /// stays the default value.
    CDateTime(int year, int month, int day, int hour, int minute, int second);

    /// The current local date and time from the installed clock (see Clock.h), whole seconds.
    static CDateTime Now();
    /// The value with that day number and time of day. Seconds outside 0..86399 carry into
    /// neighbouring days as adding a span does; results beyond the int32 day range saturate
    /// (see operator+=).
    static CDateTime FromDayNumber(int32_t dayNumber, int32_t secondsOfDay = 0);

    /// Days counted from 1 January 0001 = 1.
    int32_t GetDayNumber() const { return m_dayNumber; }
    /// Seconds since midnight, 0..86399 inclusive.
    int32_t GetSecondsOfDay() const { return m_seconds; }

    /// Sets the date and keeps the time of day. Valid when year >= 0, 1 <= month <= 12 and
    /// 1 <= day <= DaysInMonth(year, month), and the day number fits in int32 (dates up to
    /// 11 July 5879611). Returns false and changes nothing when invalid.
    bool SetDate(int year, int month, int day);
    /// Sets the time of day and keeps the date. Valid when 0 <= hour <= 23, 0 <= minute <= 59 and
    /// 0 <= second <= 59. Returns false and changes nothing when invalid.
    bool SetTime(int hour, int minute, int second);
    /// SetDate, and only when that succeeded, SetTime. True when both succeeded; a valid date with
    /// an invalid time therefore changes the date, keeps the old time and returns false.
    bool Set(int year, int month, int day, int hour, int minute, int second);
    /// Takes the date of `other` and keeps this value's time of day.
    void SetDate(const CDateTime& other);
    /// Takes the time of day of `other` and keeps this value's date.
    void SetTime(const CDateTime& other);

    int GetYear() const { return m_year; }
    /// 1..12 inclusive.
    int GetMonth() const { return m_month; }
    /// 1..31 inclusive.
    int GetDay() const { return m_day; }
    /// 0..23 inclusive.
    int GetHour() const { return m_hour; }
    /// 0..59 inclusive.
    int GetMinute() const { return m_minute; }
    /// 0..59 inclusive.
    int GetSecond() const { return m_second; }
    /// The same date at 00:00:00.
    CDateTime GetDate() const;
    /// The same time of day on 1 January 0001.
    CDateTime GetTime() const;
    /// 1..366 inclusive.
    int GetDayOfYear() const;
    /// 0 = Monday .. 6 = Sunday.
    int GetDayOfWeek() const;
    /// ISO 8601 week number, 1..53 inclusive.
    int GetWeekNumber() const;
    /// Number of days of this value's month, 28..31.
    int GetDaysInMonth() const;
    /// True unless this is the default value (1 January 0001, 00:00:00).
    bool IsSet() const { return m_dayNumber != 1 || m_seconds != 0; }

    /// Gregorian rule: divisible by 4, and centuries only when divisible by 400. Any year.
    static bool IsLeapYear(int year);
    /// Days of that month, 28..31; 0 when the month is outside 1..12 or the year is negative.
    static int DaysInMonth(int year, int month);
    /// Day of the year, 1..366; 0 for an invalid date (as SetDate judges it).
    static int DayOfYear(int year, int month, int day);
    /// Weekday, 0 = Monday .. 6 = Sunday; -1 for an invalid date (as SetDate judges it).
    static int DayOfWeek(int year, int month, int day);
    /// ISO 8601 week number, 1..53; 0 for an invalid date (as SetDate judges it).
    static int WeekNumber(int year, int month, int day);
    /// Day number of that date (1 January 0001 = 1); 0 for an invalid date (as SetDate judges it).
    /// Year 0 is valid and its days have day numbers -365..0, so 0 is also 31 December of year 0;
    /// callers that accept year 0 check the date with DaysInMonth first.
    static int32_t DayNumber(int year, int month, int day);

    /// Weekday name from the installed locale names, 0 = Monday .. 6 = Sunday; empty outside.
    static std::string GetDayName(int weekday, bool abbreviated = false);
    /// Month name from the installed locale names, 1 = January .. 12; empty outside.
    static std::string GetMonthName(int month, bool abbreviated = false);

    /// Equality and order of the pair (day number, seconds).
    friend bool operator==(const CDateTime& a, const CDateTime& b) {
        return a.m_dayNumber == b.m_dayNumber && a.m_seconds == b.m_seconds;
    }
    friend std::strong_ordering operator<=>(const CDateTime& a, const CDateTime& b) {
        if (const auto order = a.m_dayNumber <=> b.m_dayNumber; order != 0) {
            return order;
        }
        return a.m_seconds <=> b.m_seconds;
    }
    /// 1 when `a` is later than `b`, -1 when earlier, 0 when equal; a sort callback.
    static int Compare(const CDateTime& a, const CDateTime& b);

    /// Moves the value by `span`. The result saturates instead of overflowing: beyond the largest
    /// day number it is (INT32_MAX, 23:59:59), before the smallest (INT32_MIN, 00:00:00).
    CDateTime& operator+=(const CDateTimeSpan& span);
    /// Moves the value back by `span`; saturates as operator+=.
    CDateTime& operator-=(const CDateTimeSpan& span);
    friend CDateTime operator+(CDateTime value, const CDateTimeSpan& span) { return value += span; }
    friend CDateTime operator-(CDateTime value, const CDateTimeSpan& span) { return value -= span; }
    /// The span from `b` to `a`; exact for every pair of values.
    friend CDateTimeSpan operator-(const CDateTime& a, const CDateTime& b);

    /// Writes `pattern` with its codes replaced: %A %a weekday name (full, abbreviated), %B %b
    /// month name, %d day, %H hour, %I hour on the 12-hour clock (0 shown as 12), %j day of year
    /// (three digits), %m month, %M minute, %p AM/PM designator, %S second, %w weekday 0 = Monday
    /// (unpadded), %W ISO week, %y year mod 100 (00..99), %Y year (four digits). Numbers are
    /// zero-padded to two digits unless noted; longer numbers are written in full. A "#" between
    /// "%" and the code drops the padding. Any other character after "%" (or "%#") is copied, so
    /// "%%" writes "%"; a "%" or "%#" that ends the pattern is copied as it is.
    std::string Format(std::string_view pattern) const;
    /// Format("%Y %m %d %H %M %S"), the text form stored in settings and side files.
    std::string FormatFixed() const;
    /// Reads up to six numbers (year, month, day, hour, minute, second; missing ones are 0)
    /// separated by any of " \t:.,-/\\" and applies Set. Each token is read like the C library's
    /// atoi (leading digits, 0 when there are none) but saturates instead of overflowing.
    /// Returns true when the text held a valid date, which is then taken (with its time when
    /// that is valid too, else the old time of day is kept); false leaves the value unchanged.
    bool Parse(std::string_view text);
    /// Writes Format("%d.%m.%Y, %H:%M:%S") to `out`, without a line end.
    void Dump(std::ostream& out) const;

    /// Stores or loads the value as two little-endian int32: day number, then seconds. Loading
    /// seconds outside 0..86399 is a format error of the archive; the value is then unchanged.
    void Serialize(CArchive& ar);

private:
    // Sets the value from an exact day number and seconds (0..86399) and refreshes the cache.
    void Assign(int32_t dayNumber, int32_t seconds);
    // Shifts by whole days and by seconds in -86399..86399, saturating at the day range.
    void Shift(int64_t days, int64_t seconds);
    void UpdateDateFields();
    void UpdateTimeFields();

    // The value, then the broken-down cache; the small fields are bytes, since every event holds
    // several date-times and its state lists hold many more.
    int32_t m_dayNumber = 1; // any int32; 1 = 1 January 0001
    int32_t m_seconds = 0;   // 0..86399
    int32_t m_year = 1;      // -5879610..5879611 for int32 day numbers
    int8_t m_day = 1;        // 1..31
    int8_t m_month = 1;      // 1..12
    int8_t m_hour = 0;       // 0..23
    int8_t m_minute = 0;     // 0..59
    int8_t m_second = 0;     // 0..59
};

} // namespace dv
