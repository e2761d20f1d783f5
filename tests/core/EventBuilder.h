#pragma once

// Builds events tersely for tests:
//   EventBuilder().Start(2007, 1, 31, 10, 0).Every(1, kRepeatMonths).EndAfter(3).Build()

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/DateData.h"
#include "core/RepetitionRule.h"

#include <cstdint>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace dv::test {

class EventBuilder {
public:
    /// A timed, non-repeating event on 1 January 2007 at 10:00 without an end, no conditions.
    EventBuilder() {
        m_data.StartDate = CDateTime(2007, 1, 1, 10, 0, 0);
        m_data.EndDate = m_data.StartDate;
        m_data.RepeatEndDate = m_data.StartDate;
        m_data.ShowStartTime = 1;
        m_data.ShowEnd = 0;
    }

    /// Start date and time; the end moves along when it was not set apart from the start.
    EventBuilder& Start(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
        return StartAt(CDateTime(y, m, d, h, mi, s));
    }
    EventBuilder& StartAt(const CDateTime& start) {
        m_data.StartDate = start;
        if (m_data.ShowEnd == 0) {
            m_data.EndDate = start;
        }
        return *this;
    }
    EventBuilder& End(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
        return EndAt(CDateTime(y, m, d, h, mi, s));
    }
    EventBuilder& EndAt(const CDateTime& end) {
        m_data.EndDate = end;
        m_data.ShowEnd = 1;
        return *this;
    }
    /// No end (ShowEnd 0): a point in time, or one whole day when all-day.
    EventBuilder& NoEnd() {
        m_data.ShowEnd = 0;
        return *this;
    }
    EventBuilder& AllDay() {
        m_data.ShowStartTime = 0;
        return *this;
    }
    /// Repeat 1 every `rate` `unit`s (kRepeatHours .. kRepeatYears, or any code).
    EventBuilder& Every(int32_t rate, int32_t unit) {
        m_data.Repeat = kRepeatInterval;
        m_data.RepeatRate = rate;
        m_data.RepeatUnit = unit;
        return *this;
    }
    /// Repeat 2: `ordinal` 0..4 first..fifth, 5 last; `weekday` 0 Monday .. 6 Sunday.
    EventBuilder& NthWeekday(int32_t ordinal, int32_t weekday) {
        m_data.Repeat = kRepeatNthWeekday;
        m_data.RepeatWeekdayCount = ordinal;
        m_data.RepeatWeekday = weekday;
        return *this;
    }
    EventBuilder& RepeatCode(int32_t repeat) {
        m_data.Repeat = repeat;
        return *this;
    }
    EventBuilder& EndAfter(int32_t count) {
        m_data.RepeatEnd = kRepeatEndAfterCount;
        m_data.RepeatEndCount = count;
        return *this;
    }
    EventBuilder& Until(const CDateTime& until) {
        m_data.RepeatEnd = kRepeatEndAtDate;
        m_data.RepeatEndDate = until;
        return *this;
    }
    EventBuilder& Weekdays(int32_t mask) {
        m_data.CondWeekdays = mask;
        return *this;
    }
    EventBuilder& Months(int32_t mask) {
        m_data.CondMonth = mask;
        return *this;
    }
    EventBuilder& Description(std::string text) {
        m_data.Description = std::move(text);
        return *this;
    }
    EventBuilder& Drop(const CDateTime& start) {
        m_dropped.push_back(start);
        return *this;
    }

    const DateData& Data() const { return m_data; }
    DateData& MutableData() { return m_data; }

    /// The event with this data (no state changed by SetData) and the dropped occurrences.
    CDateEntry Build() const {
        CDateEntry entry(m_data.StartDate);
        entry.AssignData(m_data);
        for (const CDateTime& start : m_dropped) {
            entry.DropOccurrence(start);
        }
        return entry;
    }

private:
    DateData m_data;
    std::vector<CDateTime> m_dropped;
};

/// The fields that decide occurrences, one line, for failure messages.
inline std::string DescribeRepetition(const DateData& d) {
    std::ostringstream out;
    out << "StartDate=" << d.StartDate.FormatFixed() << " EndDate=" << d.EndDate.FormatFixed()
        << " ShowStartTime=" << d.ShowStartTime << " ShowEnd=" << d.ShowEnd
        << " Repeat=" << d.Repeat << " RepeatRate=" << d.RepeatRate
        << " RepeatUnit=" << d.RepeatUnit << " RepeatWeekdayCount=" << d.RepeatWeekdayCount
        << " RepeatWeekday=" << d.RepeatWeekday << " RepeatEnd=" << d.RepeatEnd
        << " RepeatEndCount=" << d.RepeatEndCount
        << " RepeatEndDate=" << d.RepeatEndDate.FormatFixed() << std::hex << " CondWeekdays=0x"
        << d.CondWeekdays << " CondMonth=0x" << d.CondMonth << std::dec;
    return out.str();
}

} // namespace dv::test
