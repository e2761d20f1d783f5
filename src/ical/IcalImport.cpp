// Calendar components to records: the import direction of the mapping.

#include "core/ByteStream.h"
#include "core/CArchive.h"
#include "core/RepetitionRule.h"
#include "core/TimeUnits.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "ical/IcalInternal.h"
#include "ical/IcalMapping.h"
#include "ical/NameGuid.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>

namespace dv::ical {

using namespace detail;

namespace {

// ---- small helpers ---------------------------------------------------------------------------

std::string PropertyValueText(icalproperty* property) {
    const char* value = icalproperty_get_value_as_string(property);
    return Text(value);
}

int64_t Seconds(const CDateTimeSpan& span) {
    return static_cast<int64_t>(span.GetTotalSeconds());
}

// Span and unit of a forewarning of `seconds` (>= 0) in the largest whole unit.
void SetForewarn(int64_t seconds, int32_t& span, int32_t& unit, std::vector<std::string>& losses) {
    if (seconds % 60 != 0) {
        AddLoss(losses, FormatString(kIdsIcalLossRounded, std::to_string(seconds)));
        seconds = (seconds + 30) / 60 * 60;
    }
    const int64_t limit = INT32_MAX;
    if (seconds % 604800 == 0 && seconds / 604800 > 0) {
        span = static_cast<int32_t>(std::min(seconds / 604800, limit));
        unit = kUnitWeeks;
    } else if (seconds % 86400 == 0 && seconds > 0) {
        span = static_cast<int32_t>(std::min(seconds / 86400, limit));
        unit = kUnitDays;
    } else if (seconds % 3600 == 0 && seconds > 0) {
        span = static_cast<int32_t>(std::min(seconds / 3600, limit));
        unit = kUnitHours;
    } else {
        span = static_cast<int32_t>(std::min(seconds / 60, limit));
        unit = kUnitMinutes;
    }
}

// The time of a date-time property with its TZID resolved against the calendar (or libical's
// zone database); an unknown TZID leaves a floating time and a loss.
icaltimetype PropertyTime(icalproperty* property, icalcomponent* component,
                          std::vector<std::string>& losses) {
    icaltimetype t = icalproperty_get_datetime_with_component(property, component);
    if (!t.is_date && t.zone == nullptr) {
        if (icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER)) {
            AddLoss(losses,
                    FormatString(kIdsIcalLossUnknownZone, Text(icalparameter_get_tzid(tzid))));
        }
    }
    return t;
}

// ---- the exact record from X-DAYVAULT-RECORD ---------------------------------------------------

template <class Entry>
std::unique_ptr<Entry> DecodeRecord(icalcomponent* component, std::vector<std::string>& losses) {
    const auto text = XValue(component, kXRecord);
    if (!text) {
        return nullptr;
    }
    const auto bytes = Base64Decode(*text);
    if (bytes) {
        try {
            CMemorySource source(std::span<const uint8_t>(
                reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()));
            CArchive ar(source);
            auto record = ar.ReadObject<Entry>();
            ar.Close();
            if (record) {
                return record;
            }
        } catch (const std::exception&) {
            // Falls through to the loss below: the standard properties still give the entry.
        }
    }
    AddLoss(losses, FormatString(kIdsIcalLossIgnored, kXRecord));
    return nullptr;
}

// Which groups of the record's fields the calendar still states as this program wrote them.
struct Freshness {
    bool timing = false;
    bool alarm = false;
    bool color = false;
};

Freshness CheckFreshness(icalcomponent* component, bool haveRecord) {
    Freshness fresh;
    if (!haveRecord) {
        return fresh;
    }
    const std::string check = XValue(component, kXCheck).value_or("");
    fresh.timing = CheckPart(check, "timing") == TimingCheck(component);
    fresh.alarm = CheckPart(check, "alarm") == AlarmCheck(component);
    fresh.color = CheckPart(check, "color") == ColorCheck(component);
    return fresh;
}

// The zone's clock and the local clock keep their distance through the coming year.
bool ShiftsAlike(const icaltimetype& start) {
    if (start.is_date || (start.zone == nullptr && !icaltime_is_utc(start))) {
        return true;
    }
    const time_t first = icaltime_as_timet_with_zone(start, start.zone);
    auto distance = [&](time_t instant) {
        const icaltimetype there =
            icaltime_from_timet_with_zone(instant, 0, const_cast<icaltimezone*>(start.zone));
        std::tm here{};
        localtime_r(&instant, &here);
        const CDateTime local(here.tm_year + 1900, here.tm_mon + 1, here.tm_mday, here.tm_hour,
                              here.tm_min, std::min(here.tm_sec, 59));
        return Seconds(WallTime(there) - local);
    };
    const int64_t base = distance(first);
    for (int week = 1; week <= 53; ++week) {
        if (distance(first + static_cast<time_t>(week) * 7 * 86400) != base) {
            return false;
        }
    }
    return true;
}

// ---- one component ---------------------------------------------------------------------------

struct EventContext {
    std::vector<std::string>& losses;
    std::vector<CDateTime> excluded; // local starts that overrides replace or cancel
    bool allowRule = true;
};

void MapEventTimes(icalcomponent* c, DateData& d, std::vector<CDateTime>& dropped,
                   EventContext& context) {
    const icaltimetype start = icalcomponent_get_dtstart(c);
    icaltimetype end = icalcomponent_get_dtend(c);
    const bool allDay = start.is_date != 0;
    CDateTime localStart = ToLocal(start);
    const CDateTime localEnd = icaltime_is_null_time(end) ? localStart : ToLocal(end);
    const CDateTimeSpan duration = localEnd > localStart ? localEnd - localStart : CDateTimeSpan();
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY)) {
        PropertyTime(p, c, context.losses);
    }

    icalproperty* rrule =
        context.allowRule ? icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY) : nullptr;
    d.Repeat = kRepeatNone;
    d.RepeatEnd = kRepeatEndNever;
    d.CondWeekdays = 0x7F;
    d.CondMonth = 0xFFF;
    if (rrule != nullptr) {
        icalrecurrencetype rule = icalproperty_get_rrule(rrule);
        // The first occurrence as libical's iterator finds it: RFC 5545 counts DTSTART as one,
        // the model counts only occurrences its rule makes.
        icaltimetype first = start;
        if (icalrecur_iterator* it = icalrecur_iterator_new(rule, start)) {
            const icaltimetype next = icalrecur_iterator_next(it);
            if (!icaltime_is_null_time(next)) {
                first = next;
                first.zone = start.zone;
            }
            icalrecur_iterator_free(it);
        }
        localStart = ToLocal(first);
        MapRule(rule, localStart, d, context.losses);
        if (rule.count > 0) {
            // RFC 5545 counts the occurrences EXDATE removes; the model counts what remains.
            int removed = 0;
            std::set<CDateTime> gone(dropped.begin(), dropped.end());
            gone.insert(context.excluded.begin(), context.excluded.end());
            if (!gone.empty()) {
                const CDateTime lastGone = *gone.rbegin();
                if (icalrecur_iterator* it = icalrecur_iterator_new(rule, start)) {
                    // Bounded: a far EXDATE of an hourly rule must not keep the import busy.
                    for (int i = 0; i < rule.count && i < 200000; ++i) {
                        icaltimetype next = icalrecur_iterator_next(it);
                        if (icaltime_is_null_time(next)) {
                            break;
                        }
                        next.zone = start.zone;
                        const CDateTime local = ToLocal(next);
                        if (local > lastGone) {
                            break;
                        }
                        removed += gone.count(local) != 0 ? 1 : 0;
                    }
                    icalrecur_iterator_free(it);
                }
            }
            d.RepeatEnd = kRepeatEndAfterCount;
            d.RepeatEndCount = std::max(1, rule.count - removed);
        } else if (!icaltime_is_null_time(rule.until)) {
            icaltimetype until = rule.until;
            d.RepeatEnd = kRepeatEndAtDate;
            if (until.is_date) {
                d.RepeatEndDate = CDateTime(until.year, until.month, until.day, 23, 59, 59);
            } else {
                if (!icaltime_is_utc(until)) {
                    until.zone = start.zone;
                }
                d.RepeatEndDate = ToLocal(until);
            }
        }
        if (!ShiftsAlike(start)) {
            icalproperty* p = icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY);
            icalparameter* tzid =
                p != nullptr ? icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER) : nullptr;
            AddLoss(context.losses,
                    FormatString(kIdsIcalLossZoneShift,
                                 tzid != nullptr ? Text(icalparameter_get_tzid(tzid)) : "UTC"));
        }
        if (icalcomponent_get_next_property(c, ICAL_RRULE_PROPERTY) != nullptr) {
            AddLoss(context.losses, FormatString(kIdsIcalLossIgnored, "RRULE"));
        }
    }
    if (icalcomponent_get_first_property(c, ICAL_EXRULE_PROPERTY) != nullptr) {
        AddLoss(context.losses, FormatString(kIdsIcalLossIgnored, "EXRULE"));
    }

    d.ShowStartTime = allDay ? 0 : 1;
    if (allDay) {
        const int64_t days = Seconds(duration) / 86400;
        d.StartDate = localStart.GetDate();
        d.ShowEnd = days > 1 ? 1 : 0;
        d.EndDate = d.StartDate +
                    CDateTimeSpan(static_cast<int64_t>(std::max<int64_t>(days - 1, 0)) * 86400);
    } else {
        d.StartDate = localStart;
        const bool hasEnd = icalcomponent_get_first_property(c, ICAL_DTEND_PROPERTY) != nullptr ||
                            icalcomponent_get_first_property(c, ICAL_DURATION_PROPERTY) != nullptr;
        d.ShowEnd = hasEnd ? 1 : 0;
        d.EndDate = localStart + duration;
    }
}

void MapExdates(icalcomponent* c, bool allDay, const CDateTime& startTime,
                std::vector<CDateTime>& dropped, std::vector<std::string>& losses) {
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_EXDATE_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(c, ICAL_EXDATE_PROPERTY)) {
        const icaltimetype t = PropertyTime(p, c, losses);
        CDateTime local = ToLocal(t);
        if (t.is_date && !allDay) {
            local.SetTime(startTime);
        } else if (allDay) {
            local = local.GetDate();
        }
        dropped.push_back(local);
    }
}

// One VALARM, relative to `anchor` (the event's start or the to-do's due time).
void MapAlarm(icalcomponent* c, const CDateTime& anchor, int64_t endOffset, bool todo,
              int32_t& forewarn, int32_t& span, int32_t& unit, std::vector<std::string>& losses) {
    std::vector<icalcomponent*> alarms;
    for (icalcomponent* a = icalcomponent_get_first_component(c, ICAL_VALARM_COMPONENT);
         a != nullptr; a = icalcomponent_get_next_component(c, ICAL_VALARM_COMPONENT)) {
        if (icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY) != nullptr) {
            alarms.push_back(a);
        }
    }
    forewarn = 0;
    if (alarms.empty()) {
        return;
    }
    if (alarms.size() > 1) {
        AddLoss(losses, FormatString(kIdsIcalLossAlarms, std::to_string(alarms.size())));
    }
    icalproperty* trigger = icalcomponent_get_first_property(alarms[0], ICAL_TRIGGER_PROPERTY);
    const icaltriggertype value = icalproperty_get_trigger(trigger);
    int64_t before = 0;
    if (!icaltime_is_null_time(value.time)) {
        before = Seconds(anchor - ToLocal(value.time));
    } else {
        const int64_t offset = icaldurationtype_as_int(value.duration);
        icalparameter* related = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
        const bool fromEnd =
            related != nullptr && icalparameter_get_related(related) == ICAL_RELATED_END;
        // A to-do's alarm relates to its due time whether it says END or has no DTSTART.
        before = -offset - (fromEnd && !todo ? endOffset : 0);
    }
    if (before < 0) {
        AddLoss(losses, LoadString(kIdsIcalLossAlarmAfter));
        before = 0;
    }
    forewarn = 1;
    SetForewarn(before, span, unit, losses);
}

void MapColor(icalcomponent* c, DateData& d) {
    icalproperty* color = icalcomponent_get_first_property(c, ICAL_COLOR_PROPERTY);
    const auto value =
        color != nullptr ? ParseColor(Text(icalproperty_get_color(color))) : std::nullopt;
    if (value) {
        d.Display = 2;
        d.DisplayColor = *value;
    } else if (d.Display == 2) {
        d.Display = 0;
    }
}

// libical drops blanks and tabs at both ends of a value.
std::string Trimmed(const std::string& text) {
    const size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// A text property's value; this program's own value when the record holds it with the blanks
// at its ends that libical dropped.
std::string TextValue(const char* parsed, const std::string* recorded) {
    const std::string value = Text(parsed);
    return recorded != nullptr && Trimmed(Writable(*recorded)) == value ? *recorded : value;
}

// The first CATEGORIES value. libical writes a value's commas as they are and splits at them
// when reading, so a value of this program's own that holds a comma is recognised by its record.
std::string FirstCategory(icalcomponent* c, const std::string* recorded) {
    std::string first;
    std::string all;
    int count = 0;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_CATEGORIES_PROPERTY);
         p != nullptr; p = icalcomponent_get_next_property(c, ICAL_CATEGORIES_PROPERTY)) {
        const std::string value = Text(icalproperty_get_categories(p));
        all += (count++ > 0 ? "," : "") + value;
        if (count == 1) {
            first = value;
        }
    }
    // libical trims every value of the line; compared without blanks and tabs.
    const auto squeezed = [](std::string text) {
        std::erase_if(text, [](char c) { return c == ' ' || c == '\t'; });
        return text;
    };
    return recorded != nullptr && squeezed(all) == squeezed(Writable(*recorded)) ? *recorded
                                                                                  : first;
}

MappedEvent MapEvent(icalcomponent* c, const std::string& guid,
                     const std::function<DateData()>& base, EventContext& context) {
    MappedEvent mapped;
    auto record = DecodeRecord<CDateEntry>(c, context.losses);
    const Freshness fresh = CheckFreshness(c, record != nullptr);
    DateData d = record ? record->GetData() : base();
    d.GUID = guid;
    d.Description =
        TextValue(icalcomponent_get_summary(c), record ? &record->GetData().Description : nullptr);
    d.Notes =
        TextValue(icalcomponent_get_description(c), record ? &record->GetData().Notes : nullptr);
    d.Category = FirstCategory(c, record ? &record->GetData().Category : nullptr);
    if (fresh.timing) {
        mapped.dropped = record->GetDroppedOccurrences();
    } else {
        const bool allDay = icalcomponent_get_dtstart(c).is_date != 0;
        MapExdates(c, allDay, ToLocal(icalcomponent_get_dtstart(c)), mapped.dropped,
                   context.losses);
        mapped.dropped.insert(mapped.dropped.end(), context.excluded.begin(),
                              context.excluded.end());
        MapEventTimes(c, d, mapped.dropped, context);
    }
    if (!fresh.alarm) {
        MapAlarm(c, RepetitionRule(d).GetFirstStart(), Seconds(RepetitionRule(d).GetDuration()),
                 false, d.Forewarn, d.ForewarnSpan, d.ForewarnUnit, context.losses);
    }
    if (!fresh.color) {
        MapColor(c, d);
    }
    std::sort(mapped.dropped.begin(), mapped.dropped.end());
    mapped.dropped.erase(std::unique(mapped.dropped.begin(), mapped.dropped.end()),
                         mapped.dropped.end());
    if (fresh.timing) {
        record->AssignData(d);
        mapped.exact = std::move(record);
    }
    mapped.data = std::move(d);
    return mapped;
}

MappedTodo MapTodo(icalcomponent* c, const std::string& guid, const std::function<TodoData()>& base,
                   std::vector<std::string>& losses) {
    MappedTodo mapped;
    auto record = DecodeRecord<CTodoEntry>(c, losses);
    const Freshness fresh = CheckFreshness(c, record != nullptr);
    TodoData d = record ? record->GetData() : base();
    d.GUID = guid;
    d.Description =
        TextValue(icalcomponent_get_summary(c), record ? &record->GetData().Description : nullptr);
    d.Notes =
        TextValue(icalcomponent_get_description(c), record ? &record->GetData().Notes : nullptr);
    d.Group = FirstCategory(c, record ? &record->GetData().Group : nullptr);
    icalproperty* priority = icalcomponent_get_first_property(c, ICAL_PRIORITY_PROPERTY);
    const int value = priority != nullptr ? icalproperty_get_priority(priority) : 0;
    d.Priority = value >= 1 && value <= 9 ? value : 10;
    if (fresh.timing) {
        mapped.done = record->IsDone();
    } else {
        icalproperty* due = icalcomponent_get_first_property(c, ICAL_DUE_PROPERTY);
        if (due != nullptr) {
            const icaltimetype t = icalcomponent_get_due(c);
            d.ShowDeadline = 1;
            d.ShowDeadlineTime = t.is_date ? 0 : 1;
            d.Deadline = ToLocal(t);
        } else {
            d.ShowDeadline = 0;
        }
        icalproperty* percent = icalcomponent_get_first_property(c, ICAL_PERCENTCOMPLETE_PROPERTY);
        mapped.done = icalcomponent_get_status(c) == ICAL_STATUS_COMPLETED ||
                      icalcomponent_get_first_property(c, ICAL_COMPLETED_PROPERTY) != nullptr ||
                      (percent != nullptr && icalproperty_get_percentcomplete(percent) >= 100);
        if (icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY) != nullptr) {
            AddLoss(losses, FormatString(kIdsIcalLossIgnored, "RRULE"));
        }
    }
    if (!fresh.alarm) {
        const CDateTime dueTime = d.ShowDeadlineTime ? d.Deadline : d.Deadline.GetDate();
        const bool hasAlarm =
            icalcomponent_get_first_component(c, ICAL_VALARM_COMPONENT) != nullptr;
        if (hasAlarm && d.ShowDeadline == 0) {
            AddLoss(losses, FormatString(kIdsIcalLossIgnored, "VALARM"));
            d.Forewarn = 0;
        } else {
            MapAlarm(c, dueTime, 0, true, d.Forewarn, d.ForewarnSpan, d.ForewarnUnit, losses);
        }
    }
    if (fresh.timing) {
        record->SetData(d);
        mapped.exact = std::move(record);
    }
    mapped.data = std::move(d);
    return mapped;
}

std::string RecurrenceIdText(icalcomponent* c) {
    icalproperty* p = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
    return p != nullptr ? PropertyValueText(p) : std::string();
}

} // namespace

// ---- parsing and grouping
// ------------------------------------------------------------------------

ComponentPtr ParseCalendar(std::string_view text) {
    // A calendar begins with BEGIN:VCALENDAR (after an optional byte order mark and blank lines).
    size_t begin = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        begin = 3;
    }
    while (begin < text.size() && (text[begin] == '\r' || text[begin] == '\n' ||
                                   text[begin] == ' ' || text[begin] == '\t')) {
        ++begin;
    }
    auto startsWith = [](std::string_view s, std::string_view prefix) {
        if (s.size() < prefix.size()) {
            return false;
        }
        for (size_t i = 0; i < prefix.size(); ++i) {
            if (std::toupper(static_cast<unsigned char>(s[i])) != prefix[i]) {
                return false;
            }
        }
        return true;
    };
    if (!startsWith(text.substr(begin), "BEGIN:VCALENDAR")) {
        throw IcalError(LoadString(kIdsIcalErrNoCalendar));
    }
    size_t end = text.size();
    while (end > begin && (text[end - 1] == '\r' || text[end - 1] == '\n' || text[end - 1] == ' ' ||
                           text[end - 1] == '\t')) {
        --end;
    }
    const std::string_view tail = text.substr(begin, end - begin);
    if (tail.size() < 13 || !startsWith(tail.substr(tail.size() - 13), "END:VCALENDAR")) {
        throw IcalError(LoadString(kIdsIcalErrCutShort));
    }
    icalerror_set_errors_are_fatal(0);
    const std::string copy(tail);
    ComponentPtr root(icalparser_parse_string(copy.c_str()));
    if (!root) {
        throw IcalError(LoadString(kIdsIcalErrNoCalendar));
    }
    return root;
}

std::vector<EntryComponents> GroupEntries(icalcomponent* calendar) {
    std::vector<EntryComponents> entries;
    std::map<std::pair<bool, std::string>, size_t> byUid;
    std::vector<icalcomponent*> calendars;
    if (icalcomponent_isa(calendar) == ICAL_VCALENDAR_COMPONENT) {
        calendars.push_back(calendar);
    } else {
        for (icalcomponent* inner =
                 icalcomponent_get_first_component(calendar, ICAL_VCALENDAR_COMPONENT);
             inner != nullptr;
             inner = icalcomponent_get_next_component(calendar, ICAL_VCALENDAR_COMPONENT)) {
            calendars.push_back(inner);
        }
    }
    for (icalcomponent* cal : calendars) {
        for (icalcomponent* c = icalcomponent_get_first_component(cal, ICAL_ANY_COMPONENT);
             c != nullptr; c = icalcomponent_get_next_component(cal, ICAL_ANY_COMPONENT)) {
            const icalcomponent_kind kind = icalcomponent_isa(c);
            if (kind != ICAL_VEVENT_COMPONENT && kind != ICAL_VTODO_COMPONENT) {
                continue;
            }
            const bool todo = kind == ICAL_VTODO_COMPONENT;
            // A UID is kept as export can write it back (control characters would not survive).
            const std::string uid = Trimmed(Writable(Text(icalcomponent_get_uid(c))));
            if (uid.empty()) {
                entries.push_back({"", todo, {c}});
                continue;
            }
            const auto key = std::pair(todo, uid);
            const auto [it, inserted] = byUid.emplace(key, entries.size());
            if (inserted) {
                entries.push_back({key.second, todo, {}});
            }
            entries[it->second].components.push_back(c);
        }
    }
    return entries;
}

std::string EntryGuid(const EntryComponents& entry) {
    if (!entry.uid.empty()) {
        return GuidForUid(entry.uid);
    }
    icalcomponent* c = entry.components.front();
    icalproperty* start = icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY);
    return NameGuid((start != nullptr ? PropertyValueText(start) : std::string()) + "\n" +
                    Text(icalcomponent_get_summary(c)));
}

MappedEntry MapEntry(const EntryComponents& entry, const EventLookup& events,
                     const TodoLookup& todos, const CDateTime& now) {
    MappedEntry result;
    result.uid = entry.uid;
    result.guid = EntryGuid(entry);
    if (entry.components.empty()) {
        return result;
    }
    if (entry.isTodo) {
        icalcomponent* c = entry.components.front();
        result.summary = Text(icalcomponent_get_summary(c));
        const CTodoEntry* existing = todos ? todos(result.guid) : nullptr;
        // The defaults of a new record cost a GUID: made only when no record came along.
        const auto base = [&] {
            return existing ? existing->GetData() : CTodoEntry(now).GetData();
        };
        result.todos.push_back(MapTodo(c, result.guid, base, result.losses));
        return result;
    }

    icalcomponent* master = nullptr;
    std::vector<icalcomponent*> overrides;
    for (icalcomponent* c : entry.components) {
        const bool isOverride =
            icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY) != nullptr;
        if (!isOverride && master == nullptr) {
            master = c;
        } else {
            overrides.push_back(c);
        }
    }
    const auto baseFor = [&](const std::string& guid) {
        return std::function<DateData()>([&events, &now, guid] {
            const CDateEntry* existing = events ? events(guid) : nullptr;
            return existing ? existing->GetData() : CDateEntry(now).GetData();
        });
    };
    const auto hasStart = [](icalcomponent* c) {
        return icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY) != nullptr &&
               !icaltime_is_null_time(icalcomponent_get_dtstart(c));
    };
    icalcomponent* named = master != nullptr ? master : entry.components.front();
    result.summary = Text(icalcomponent_get_summary(named));

    std::vector<CDateTime> excluded;
    std::vector<std::pair<icalcomponent*, std::string>> separate;
    for (icalcomponent* c : overrides) {
        icalproperty* rid = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
        if (rid == nullptr) {
            continue; // a second master of one UID: the first one stands
        }
        const icaltimetype t = PropertyTime(rid, c, result.losses);
        excluded.push_back(t.is_date ? WallTime(t) : ToLocal(t));
        if (icalcomponent_get_status(c) != ICAL_STATUS_CANCELLED) {
            separate.emplace_back(c, RecurrenceIdText(c));
        }
    }
    if (master != nullptr) {
        if (!hasStart(master)) {
            result.skipped = LoadString(kIdsIcalSkipNoStart);
            return result;
        }
        EventContext context{result.losses, excluded, true};
        result.events.push_back(MapEvent(master, result.guid, baseFor(result.guid), context));
        const bool exact = result.events.front().exact != nullptr;
        // RDATEs: each an entry of its own with the master's fields.
        for (icalproperty* p = icalcomponent_get_first_property(master, ICAL_RDATE_PROPERTY);
             p != nullptr && !exact;
             p = icalcomponent_get_next_property(master, ICAL_RDATE_PROPERTY)) {
            const std::string text = PropertyValueText(p);
            const icaldatetimeperiodtype value = icalproperty_get_rdate(p);
            icaltimetype t = !icaltime_is_null_time(value.time) ? value.time : value.period.start;
            if (!t.is_date && t.zone == nullptr) {
                t = PropertyTime(p, master, result.losses);
                if (icaltime_is_null_time(t)) {
                    t = value.period.start;
                }
            }
            MappedEvent single;
            single.data = result.events.front().data;
            const CDateTimeSpan length = single.data.EndDate - single.data.StartDate;
            single.data.GUID = NameGuid(entry.uid + "\nRDATE " + text);
            single.data.Repeat = kRepeatNone;
            single.data.RepeatEnd = kRepeatEndNever;
            single.data.StartDate = t.is_date ? WallTime(t) : ToLocal(t);
            single.data.EndDate = single.data.StartDate + length;
            AddLoss(result.losses, FormatString(kIdsIcalLossRdate, text));
            result.events.push_back(std::move(single));
        }
    }
    for (const auto& [c, ridText] : separate) {
        if (!hasStart(c)) {
            continue;
        }
        const std::string guid = NameGuid(entry.uid + "\n" + ridText);
        EventContext context{result.losses, {}, false};
        result.events.push_back(MapEvent(c, guid, baseFor(guid), context));
        result.events.back().exact.reset();
        AddLoss(result.losses, FormatString(kIdsIcalLossOverride, ridText));
    }
    if (result.events.empty()) {
        result.skipped = LoadString(kIdsIcalSkipNoStart);
    }
    return result;
}

} // namespace dv::ical
