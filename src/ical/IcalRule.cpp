// RRULE to the model's repetition fields: the import of the repetition rule.

#include "core/RepetitionRule.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "ical/IcalInternal.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace dv::ical::detail {

namespace {

// The values of one BY* list of a rule, up to its end marker.
std::vector<int> Values(const short* array, int size) {
    std::vector<int> values;
    for (int i = 0; i < size && array[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
        values.push_back(array[i]);
    }
    return values;
}

// libical numbers weekdays 1 Sunday .. 7 Saturday; the model 0 Monday .. 6 Sunday.
int ModelWeekday(int icalWeekday) {
    return (icalWeekday + 5) % 7;
}

// "BYSETPOS=-1" out of a rule's text: how the reasons name a rule part.
std::string RulePart(const std::string& ruleText, std::string_view name) {
    size_t at = 0;
    while (at < ruleText.size()) {
        const size_t end = std::min(ruleText.find(';', at), ruleText.size());
        const std::string_view part(ruleText.data() + at, end - at);
        if (part.substr(0, name.size()) == name && part.size() > name.size() &&
            part[name.size()] == '=') {
            return std::string(part);
        }
        at = end + 1;
    }
    return std::string(name);
}

// Months k*step from `month` (1..12) as a month mask, for steps that divide the year; nullopt
// for the others, which no month mask can state.
std::optional<int32_t> StepMask(int step, int month) {
    if (step < 1 || 12 % step != 0) {
        return std::nullopt;
    }
    int32_t mask = 0;
    for (int m = (month - 1) % step; m < 12; m += step) {
        mask |= 1 << m;
    }
    return mask;
}

class RuleMapper {
public:
    RuleMapper(const icalrecurrencetype& rule, const CDateTime& first, DateData& data,
               std::vector<std::string>& losses)
        : m_rule(rule), m_first(first), m_data(data), m_losses(losses) {
        char* text = icalrecurrencetype_as_string_r(const_cast<icalrecurrencetype*>(&rule));
        m_text = Text(text);
        std::free(text);
        m_days = Values(rule.by_day, ICAL_BY_DAY_SIZE);
        m_months = Values(rule.by_month, ICAL_BY_MONTH_SIZE);
        m_monthDays = Values(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
        m_setPos = Values(rule.by_set_pos, ICAL_BY_SETPOS_SIZE);
        m_interval = std::max<int>(1, rule.interval);
        for (const int day : m_days) {
            const int position = icalrecurrencetype_day_position(static_cast<short>(day));
            const int weekday = ModelWeekday(
                static_cast<int>(icalrecurrencetype_day_day_of_week(static_cast<short>(day))));
            if (position == 0) {
                m_plainMask |= 1 << weekday;
            } else {
                m_ordinals = true;
            }
        }
        for (const int month : m_months) {
            if (month >= 1 && month <= 12) {
                m_monthMask |= 1 << (month - 1);
            }
        }
    }

    void Map() {
        m_data.Repeat = kRepeatInterval;
        m_data.CondWeekdays = 0x7F;
        m_data.CondMonth = 0xFFF;
        IgnoreTimeParts();
        switch (m_rule.freq) {
        case ICAL_HOURLY_RECURRENCE:
        case ICAL_DAILY_RECURRENCE:
            MapFilterOnly(m_rule.freq == ICAL_HOURLY_RECURRENCE ? kRepeatHours : kRepeatDays);
            break;
        case ICAL_WEEKLY_RECURRENCE:
            MapWeekly();
            break;
        case ICAL_MONTHLY_RECURRENCE:
            MapMonthly();
            break;
        case ICAL_YEARLY_RECURRENCE:
            MapYearly();
            break;
        default:
            m_data.Repeat = kRepeatNone;
            AddLoss(m_losses,
                    FormatString(kIdsIcalLossImportedAs,
                                 {RulePart(m_text, "FREQ"), LoadString(kIdsIcalShapeSingle)}));
            break;
        }
    }

private:
    void Every(int32_t rate, int32_t unit) {
        m_data.Repeat = kRepeatInterval;
        m_data.RepeatRate = rate;
        m_data.RepeatUnit = unit;
    }

    void Lost(std::string_view part, std::string shape) {
        AddLoss(m_losses, FormatString(kIdsIcalLossImportedAs, {RulePart(m_text, part), shape}));
    }
    void Ignored(std::string_view part) {
        AddLoss(m_losses, FormatString(kIdsIcalLossIgnored, RulePart(m_text, part)));
    }
    std::string MonthlyShape() const {
        return FormatString(kIdsIcalShapeMonthly, std::to_string(m_first.GetDay()));
    }

    // BYHOUR, BYMINUTE and BYSECOND only repeat the start's own time, or are lost.
    void IgnoreTimeParts() {
        const struct {
            const short* values;
            int size;
            int own;
            const char* name;
        } parts[] = {{m_rule.by_hour, ICAL_BY_HOUR_SIZE, m_first.GetHour(), "BYHOUR"},
                     {m_rule.by_minute, ICAL_BY_MINUTE_SIZE, m_first.GetMinute(), "BYMINUTE"},
                     {m_rule.by_second, ICAL_BY_SECOND_SIZE, m_first.GetSecond(), "BYSECOND"}};
        for (const auto& part : parts) {
            const auto values = Values(part.values, part.size);
            if (!values.empty() && !(values.size() == 1 && values[0] == part.own)) {
                Ignored(part.name);
            }
        }
        if (!Values(m_rule.by_year_day, ICAL_BY_YEARDAY_SIZE).empty()) {
            Ignored("BYYEARDAY");
        }
        if (!Values(m_rule.by_week_no, ICAL_BY_WEEKNO_SIZE).empty()) {
            Ignored("BYWEEKNO");
        }
    }

    void ApplyMonthFilter() {
        if (m_monthMask != 0) {
            m_data.CondMonth = m_monthMask;
        }
    }

    void MapFilterOnly(int32_t unit) {
        Every(m_interval, unit);
        if (m_plainMask != 0) {
            m_data.CondWeekdays = m_plainMask;
        }
        if (m_ordinals) {
            Ignored("BYDAY");
        }
        ApplyMonthFilter();
        if (!m_monthDays.empty()) {
            Ignored("BYMONTHDAY");
        }
        if (!m_setPos.empty()) {
            Ignored("BYSETPOS");
        }
    }

    void MapWeekly() {
        ApplyMonthFilter();
        if (!m_monthDays.empty()) {
            Ignored("BYMONTHDAY");
        }
        if (!m_setPos.empty()) {
            Ignored("BYSETPOS");
        }
        if (m_ordinals) {
            Ignored("BYDAY");
        }
        const int weekdays = std::popcount(static_cast<unsigned>(m_plainMask));
        if (weekdays <= 1) {
            // One weekday: the first occurrence is on it, and every interval weeks after.
            Every(m_interval, kRepeatWeeks);
        } else {
            Every(1, kRepeatDays);
            m_data.CondWeekdays = m_plainMask;
            if (m_interval > 1) {
                Lost("INTERVAL", LoadString(kIdsIcalShapeWeekdays));
            }
        }
    }

    // A single ordinal weekday: BYDAY=2MO, or BYDAY=MO with BYSETPOS=2.
    std::optional<std::pair<int, int>> OrdinalWeekday() const {
        if (m_days.size() != 1 || !m_monthDays.empty()) {
            return std::nullopt;
        }
        const short day = static_cast<short>(m_days[0]);
        int position = icalrecurrencetype_day_position(day);
        if (position == 0) {
            if (m_setPos.size() != 1) {
                return std::nullopt;
            }
            position = m_setPos[0];
        } else if (!m_setPos.empty()) {
            return std::nullopt;
        }
        const int weekday = ModelWeekday(static_cast<int>(icalrecurrencetype_day_day_of_week(day)));
        if (position >= 1 && position <= 5) {
            return std::pair(position - 1, weekday);
        }
        if (position == -1) {
            return std::pair(static_cast<int>(kOrdinalLast), weekday);
        }
        return std::nullopt;
    }

    void NthWeekday(std::pair<int, int> ordinal) {
        m_data.Repeat = kRepeatNthWeekday;
        m_data.RepeatWeekdayCount = ordinal.first;
        m_data.RepeatWeekday = ordinal.second;
    }

    void MonthsFromFirst(int32_t rate) {
        Every(rate, kRepeatMonths);
        if (m_first.GetDay() > 28) {
            AddLoss(m_losses, FormatString(kIdsIcalLossMonthEnd, std::to_string(m_first.GetDay())));
        }
    }

    void MapMonthly() {
        const auto step = StepMask(m_interval, m_first.GetMonth());
        const int32_t months = m_monthMask != 0 ? m_monthMask : 0xFFF;
        if (m_days.empty() && m_monthDays.empty()) {
            if (!m_setPos.empty()) {
                Ignored("BYSETPOS");
            }
            MonthsFromFirst(m_interval);
            m_data.CondMonth = months;
            return;
        }
        if (m_days.empty()) {
            MapMonthDays();
            m_data.CondMonth = months;
            return;
        }
        if (const auto ordinal = OrdinalWeekday()) {
            NthWeekday(*ordinal);
            m_data.CondMonth = months & step.value_or(0xFFF);
            if (!step) {
                Lost("INTERVAL", LoadString(kIdsIcalShapeNthWeekday));
            }
            return;
        }
        if (!m_ordinals && m_setPos.empty() && m_monthDays.empty()) {
            // Every such weekday of the month: daily on those weekdays.
            Every(1, kRepeatDays);
            m_data.CondWeekdays = m_plainMask;
            m_data.CondMonth = months & step.value_or(0xFFF);
            if (!step) {
                Lost("INTERVAL", LoadString(kIdsIcalShapeWeekdays));
            }
            return;
        }
        if (!m_ordinals && m_setPos.empty() && m_monthDays.size() == 1 && m_monthDays[0] >= 1 &&
            m_monthDays[0] <= 28) {
            // A day of the month, kept only on some weekdays.
            Every(m_interval, kRepeatMonths);
            m_data.CondWeekdays = m_plainMask;
            m_data.CondMonth = months;
            return;
        }
        Every(m_interval, kRepeatMonths);
        m_data.CondMonth = months;
        Lost(m_setPos.empty() ? "BYDAY" : "BYSETPOS", MonthlyShape());
    }

    void MapMonthDays() {
        const int day = m_first.GetDay();
        Every(m_interval, kRepeatMonths);
        // BYMONTHDAY=28,29,30;BYSETPOS=-1: the 30th, or the month's last day where it is shorter.
        if (m_setPos == std::vector<int>{-1} && m_monthDays.size() >= 2 && m_monthDays[0] == 28) {
            bool consecutive = true;
            for (size_t i = 1; i < m_monthDays.size(); ++i) {
                consecutive = consecutive && m_monthDays[i] == 28 + static_cast<int>(i);
            }
            const int last = m_monthDays.back();
            if (consecutive && last <= 31 && day == last) {
                return;
            }
            Lost("BYSETPOS", MonthlyShape());
            return;
        }
        if (!m_setPos.empty() || m_monthDays.size() != 1) {
            Lost(m_setPos.empty() ? "BYMONTHDAY" : "BYSETPOS", MonthlyShape());
            return;
        }
        const int wanted = m_monthDays[0];
        if (wanted == -1) {
            // The month's last day is the model's monthly repetition from a 31st.
            if (day != 31) {
                Lost("BYMONTHDAY", MonthlyShape());
            }
            return;
        }
        if (wanted < 0) {
            Lost("BYMONTHDAY", MonthlyShape());
            return;
        }
        if (day > 28) {
            AddLoss(m_losses, FormatString(kIdsIcalLossMonthEnd, std::to_string(day)));
        }
    }

    void MapYearly() {
        const bool leapDay = m_first.GetMonth() == 2 && m_first.GetDay() == 29;
        const auto yearlyFromFirst = [&] {
            Every(m_interval, kRepeatYears);
            if (leapDay) {
                AddLoss(m_losses, LoadString(kIdsIcalLossLeapDay));
            }
        };
        const int32_t ownMonth = 1 << (m_first.GetMonth() - 1);
        if (m_days.empty() && m_setPos.empty() && m_monthDays.size() <= 1) {
            if (m_monthMask == 0 || m_monthMask == ownMonth) {
                yearlyFromFirst();
                return;
            }
            if (m_monthDays.empty()) {
                // Several months on the start's day: monthly in those months.
                MonthsFromFirst(1);
                m_data.CondMonth = m_monthMask;
                if (m_interval > 1) {
                    Ignored("INTERVAL");
                }
                return;
            }
        }
        if (m_monthMask != 0) {
            if (const auto ordinal = OrdinalWeekday()) {
                NthWeekday(*ordinal);
                m_data.CondMonth = m_monthMask;
                if (m_interval > 1) {
                    Ignored("INTERVAL");
                }
                return;
            }
        }
        yearlyFromFirst();
        Lost(!m_setPos.empty() ? "BYSETPOS"
             : !m_days.empty() ? "BYDAY"
                               : "BYMONTHDAY",
             LoadString(kIdsIcalShapeYearly));
    }

    const icalrecurrencetype& m_rule;
    CDateTime m_first; // the first occurrence, local time
    DateData& m_data;
    std::vector<std::string>& m_losses;
    std::string m_text;
    std::vector<int> m_days, m_months, m_monthDays, m_setPos;
    int m_interval = 1;
    int32_t m_plainMask = 0; // weekdays without ordinal, model bits
    int32_t m_monthMask = 0; // BYMONTH, model bits
    bool m_ordinals = false; // some BYDAY value has an ordinal
};

} // namespace

void MapRule(const icalrecurrencetype& rule, const CDateTime& first, DateData& data,
             std::vector<std::string>& losses) {
    RuleMapper(rule, first, data, losses).Map();
}

} // namespace dv::ical::detail
