// Records to calendar components: the export direction of the mapping.

#include "core/ByteStream.h"
#include "core/CArchive.h"
#include "core/RepetitionRule.h"
#include "core/TimeUnits.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "ical/IcalInternal.h"
#include "ical/IcalMapping.h"

#include <algorithm>
#include <cstdlib>

namespace dv::ical {

using namespace detail;

namespace {

constexpr const char* kWeekdayNames[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};

void WrittenAs(std::vector<std::string>& losses, const std::string& what, uint32_t shape) {
    AddLoss(losses, FormatString(kIdsIcalLossWrittenAs, {what, LoadString(shape)}));
}

std::string WeekdayList(int32_t mask) {
    std::string list;
    for (int day = 0; day < 7; ++day) {
        if ((mask & (1 << day)) != 0) {
            list += list.empty() ? "" : ",";
            list += kWeekdayNames[day];
        }
    }
    return list;
}

std::string MonthList(int32_t mask) {
    std::string list;
    for (int month = 0; month < 12; ++month) {
        if ((mask & (1 << month)) != 0) {
            list += list.empty() ? "" : ",";
            list += std::to_string(month + 1);
        }
    }
    return list;
}

// BYMONTHDAY for a monthly repetition from `day`: the model moves a day the month lacks to its
// last day, which BYMONTHDAY=28,...,day;BYSETPOS=-1 says exactly.
std::string MonthDayPart(int day) {
    if (day <= 28) {
        return "BYMONTHDAY=" + std::to_string(day);
    }
    if (day == 31) {
        return "BYMONTHDAY=-1";
    }
    std::string days = "BYMONTHDAY=28";
    for (int d = 29; d <= day; ++d) {
        days += ',';
        days += std::to_string(d);
    }
    return days + ";BYSETPOS=-1";
}

std::string RepetitionName(const DateData& d) {
    return "Repeat=" + std::to_string(d.Repeat) + " RepeatRate=" + std::to_string(d.RepeatRate) +
           " RepeatUnit=" + std::to_string(d.RepeatUnit);
}

// The RRULE text without its end, or empty for none. `first` is the first occurrence.
std::string RuleText(const DateData& d, const CDateTime& first, std::vector<std::string>& losses) {
    const CDateTime start = d.StartDate;
    const bool allWeekdays = (d.CondWeekdays & 0x7F) == 0x7F;
    const bool allMonths = (d.CondMonth & 0xFFF) == 0xFFF;
    const std::string byDay = allWeekdays ? "" : ";BYDAY=" + WeekdayList(d.CondWeekdays);
    const std::string byMonth = allMonths ? "" : ";BYMONTH=" + MonthList(d.CondMonth);
    const bool allDay = d.ShowStartTime == 0;
    if (d.Repeat == kRepeatNthWeekday) {
        if (d.RepeatWeekday < 0 || d.RepeatWeekday > 6 || d.RepeatWeekdayCount < 0 ||
            d.RepeatWeekdayCount > kOrdinalLast) {
            WrittenAs(losses, RepetitionName(d), kIdsIcalShapeSingle);
            return {};
        }
        if ((d.CondWeekdays & (1 << d.RepeatWeekday)) == 0) {
            WrittenAs(losses, "CondWeekdays", kIdsIcalShapeNthWeekday);
        }
        const int ordinal = d.RepeatWeekdayCount == kOrdinalLast ? -1 : d.RepeatWeekdayCount + 1;
        return "FREQ=MONTHLY;BYDAY=" + std::to_string(ordinal) + kWeekdayNames[d.RepeatWeekday] +
               byMonth;
    }
    if (d.Repeat != kRepeatInterval) {
        if (d.Repeat != kRepeatNone) {
            WrittenAs(losses, RepetitionName(d), kIdsIcalShapeSingle);
        }
        return {};
    }
    if (d.RepeatRate < 1 || d.RepeatRate > 32767 || d.RepeatUnit < kRepeatHours ||
        d.RepeatUnit > kRepeatYears || (allDay && d.RepeatUnit == kRepeatHours)) {
        WrittenAs(losses, RepetitionName(d), kIdsIcalShapeSingle);
        return {};
    }
    const std::string interval =
        d.RepeatRate > 1 ? ";INTERVAL=" + std::to_string(d.RepeatRate) : "";
    switch (d.RepeatUnit) {
    case kRepeatHours:
        return "FREQ=HOURLY" + interval + byDay + byMonth;
    case kRepeatDays:
        return "FREQ=DAILY" + interval + byDay + byMonth;
    case kRepeatWeeks:
        if ((d.CondWeekdays & (1 << first.GetDayOfWeek())) == 0) {
            WrittenAs(losses, "CondWeekdays", kIdsIcalShapeDaily);
        }
        return "FREQ=WEEKLY" + interval + byMonth;
    case kRepeatMonths: {
        const int day = start.GetDay();
        if (day > 28 && !allWeekdays) {
            WrittenAs(losses, "CondWeekdays", kIdsIcalShapeEveryMonth);
        }
        const std::string days = day > 28 || !allWeekdays ? ";" + MonthDayPart(day) : std::string();
        return "FREQ=MONTHLY" + interval + days + (day > 28 ? "" : byDay) + byMonth;
    }
    default: { // years
        if ((d.CondMonth & (1 << (start.GetMonth() - 1))) == 0) {
            WrittenAs(losses, "CondMonth", kIdsIcalShapeYearly);
        }
        if (start.GetMonth() == 2 && start.GetDay() == 29) {
            return "FREQ=YEARLY" + interval + ";BYMONTH=2;BYMONTHDAY=28,29;BYSETPOS=-1";
        }
        if (!allWeekdays) {
            return "FREQ=YEARLY" + interval + ";BYMONTH=" + std::to_string(start.GetMonth()) +
                   ";BYMONTHDAY=" + std::to_string(start.GetDay()) + byDay;
        }
        return "FREQ=YEARLY" + interval;
    }
    }
}

std::string Archived(const CObject& record) {
    CMemorySink sink;
    CArchive ar(sink);
    ar.WriteObject(&record);
    ar.Close();
    const auto& bytes = sink.GetData();
    return Base64Encode(std::string(bytes.begin(), bytes.end()));
}

void AddTexts(icalcomponent* c, std::string_view uid, const CDateTime& stamp,
              const std::string& summary, const std::string& notes, const std::string& category) {
    icalcomponent_add_property(c, icalproperty_new_uid(std::string(uid).c_str()));
    icaltimetype utc = Floating(stamp, false);
    utc.zone = icaltimezone_get_utc_timezone();
    icalcomponent_add_property(c, icalproperty_new_dtstamp(utc));
    icalcomponent_add_property(c, icalproperty_new_summary(Writable(summary).c_str()));
    if (!notes.empty()) {
        icalcomponent_add_property(c, icalproperty_new_description(Writable(notes).c_str()));
    }
    if (!category.empty()) {
        icalcomponent_add_property(c, icalproperty_new_categories(Writable(category).c_str()));
    }
}

void AddAlarm(icalcomponent* c, int64_t seconds, bool fromEnd, const std::string& summary) {
    icalcomponent* alarm = icalcomponent_new_valarm();
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icaltriggertype trigger{};
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_from_string(DurationText(-seconds).c_str());
    icalproperty* p = icalproperty_new_trigger(trigger);
    if (fromEnd) {
        icalproperty_add_parameter(p, icalparameter_new_related(ICAL_RELATED_END));
    }
    icalcomponent_add_property(alarm, p);
    icalcomponent_add_property(alarm, icalproperty_new_description(Writable(summary).c_str()));
    icalcomponent_add_component(c, alarm);
}

void AddRecord(icalcomponent* c, const CObject& record) {
    AddX(c, kXCheck, CheckValue(c));
    AddX(c, kXRecord, Archived(record));
}

} // namespace

WrittenComponent EventToComponent(const CDateEntry& event, std::string_view uid,
                                  const CDateTime& stamp) {
    WrittenComponent written;
    const DateData& d = event.GetData();
    written.component.reset(icalcomponent_new_vevent());
    icalcomponent* c = written.component.get();
    AddTexts(c, uid, stamp, d.Description, d.Notes, d.Category);

    // DTSTART is the first occurrence the rule makes: RFC 5545 counts DTSTART as one.
    const RepetitionRule rule(d);
    const bool allDay = d.ShowStartTime == 0;
    const CDateTime farEnd(9999, 12, 31, 23, 59, 59);
    CDateTime first = rule.GetFirstStart();
    CDateTime scratch;
    CDateEntry probe(event);
    probe.ClearReminderState();
    if (!probe.FindFirstOccurrence(first, farEnd, first, scratch)) {
        first = rule.GetFirstStart();
    }
    icalcomponent_add_property(c, icalproperty_new_dtstart(Floating(first, allDay)));
    if (allDay) {
        const int32_t days =
            d.ShowEnd ? std::max(1, d.EndDate.GetDayNumber() - d.StartDate.GetDayNumber() + 1) : 1;
        icalcomponent_add_property(c, icalproperty_new_dtend(Floating(
                                          first + CDateTimeSpan(int64_t{days} * 86400), true)));
    } else if (d.ShowEnd) {
        icalcomponent_add_property(
            c, icalproperty_new_dtend(Floating(first + rule.GetDuration(), false)));
    }

    std::string ruleText = RuleText(d, first, written.losses);
    if (!ruleText.empty()) {
        if (d.RepeatEnd == kRepeatEndAfterCount) {
            // The model counts the occurrences that remain; RFC 5545 also counts the EXDATEs.
            int64_t count = std::max(1, d.RepeatEndCount);
            const auto& dropped = event.GetDroppedOccurrences();
            if (!dropped.empty()) {
                CDateEntry scan(event);
                CDateTime start;
                CDateTime end;
                CDateTime last = first;
                bool found = scan.FindFirstOccurrence(first, farEnd, start, end);
                for (int64_t i = 1; found && i <= count && i <= 1000000; ++i) {
                    last = start;
                    if (i < count) {
                        found = scan.FindNextOccurrence(first, farEnd, start, end);
                    }
                }
                count += std::count_if(dropped.begin(), dropped.end(),
                                       [&](const CDateTime& x) { return x >= first && x < last; });
            }
            ruleText += ";COUNT=" + std::to_string(count);
        } else if (d.RepeatEnd == kRepeatEndAtDate) {
            icaltimetype until = Floating(d.RepeatEndDate, allDay);
            char* text = icaltime_as_ical_string_r(until);
            ruleText += ";UNTIL=" + std::string(text);
            std::free(text);
        }
        const icalrecurrencetype recurrence = icalrecurrencetype_from_string(ruleText.c_str());
        icalcomponent_add_property(c, icalproperty_new_rrule(recurrence));
        for (const CDateTime& dropped : event.GetDroppedOccurrences()) {
            icalcomponent_add_property(c, icalproperty_new_exdate(Floating(dropped, allDay)));
        }
    }

    if (d.Display == 2) {
        icalcomponent_add_property(c, icalproperty_new_color(ColorText(d.DisplayColor).c_str()));
    }
    if (d.Forewarn) {
        const int64_t seconds =
            static_cast<int64_t>(MakeSpan(d.ForewarnSpan, d.ForewarnUnit).GetTotalSeconds());
        if (seconds >= 0 && d.ForewarnUnit >= kUnitMinutes && d.ForewarnUnit <= kUnitWeeks) {
            AddAlarm(c, seconds, false, d.Description);
        } else {
            WrittenAs(written.losses, "Forewarn", kIdsIcalShapeNoAlarm);
        }
    }
    AddRecord(c, event);
    return written;
}

WrittenComponent TodoToComponent(const CTodoEntry& todo, std::string_view uid,
                                 const CDateTime& stamp) {
    WrittenComponent written;
    const TodoData& d = todo.GetData();
    written.component.reset(icalcomponent_new_vtodo());
    icalcomponent* c = written.component.get();
    AddTexts(c, uid, stamp, d.Description, d.Notes, d.Group);
    if (d.ShowDeadline) {
        const bool dateOnly = d.ShowDeadlineTime == 0;
        icalcomponent_add_property(c, icalproperty_new_due(Floating(
                                          dateOnly ? d.Deadline.GetDate() : d.Deadline, dateOnly)));
    }
    if (d.Priority >= 1 && d.Priority <= 9) {
        icalcomponent_add_property(c, icalproperty_new_priority(d.Priority));
    } else if (d.Priority != 10) {
        WrittenAs(written.losses, "Priority=" + std::to_string(d.Priority), kIdsIcalShapeSingle);
    }
    if (todo.IsDone()) {
        icalcomponent_add_property(c, icalproperty_new_status(ICAL_STATUS_COMPLETED));
        icalcomponent_add_property(c, icalproperty_new_percentcomplete(100));
    } else {
        icalcomponent_add_property(c, icalproperty_new_status(ICAL_STATUS_NEEDSACTION));
    }
    if (d.Forewarn && d.ShowDeadline) {
        const int64_t seconds = static_cast<int64_t>(todo.GetForewarnSpan().GetTotalSeconds());
        if (seconds >= 0 && d.ForewarnUnit >= kUnitMinutes && d.ForewarnUnit <= kUnitWeeks) {
            AddAlarm(c, seconds, true, d.Description);
        } else {
            WrittenAs(written.losses, "Forewarn", kIdsIcalShapeNoAlarm);
        }
    }
    AddRecord(c, todo);
    return written;
}

} // namespace dv::ical
