#pragma once

// Shared by the iCalendar tests: a fixed local zone, one-call import and export, and occurrence
// lists from the model and from libical's own iterator.

#include "core/CDateEntry.h"
#include "document/DocumentContents.h"
#include "ical/IcalCalendar.h"
#include "ical/IcalMapping.h"
#include "support/Occurrences.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <libical/ical.h>
#include <string>
#include <vector>

namespace dv::test {

/// Every iCalendar test runs in one local zone with summer time, so conversions are tested
/// against real clock changes.
class IcalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "Europe/Berlin", 1);
        ::tzset();
    }

    static inline const CDateTime kNow{2024, 3, 1, 12, 0, 0};

    /// A calendar of `body` lines (CR LF added) inside a VCALENDAR.
    static std::string Calendar(const std::string& body) {
        std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n";
        size_t at = 0;
        while (at < body.size()) {
            const size_t end = std::min(body.find('\n', at), body.size());
            text += body.substr(at, end - at) + "\r\n";
            at = end + 1;
        }
        return text + "END:VCALENDAR\r\n";
    }

    /// Imports `text` into `contents` (empty by default).
    static ical::ImportReport Import(const std::string& text, DocumentContents& contents) {
        ical::UidStore uids;
        return ical::ImportCalendar(text, contents, uids, kNow);
    }

    static std::string Export(const DocumentContents& contents,
                              ical::ExportReport* report = nullptr) {
        ical::ExportReport local;
        return ical::ExportCalendar(contents, {}, CDateTime(2024, 1, 1, 0, 0, 0),
                                    report ? *report : local);
    }

    /// Every reason of the report, one after another.
    static std::vector<std::string> Reasons(const ical::ImportReport& report) {
        std::vector<std::string> reasons;
        for (const auto& entry : report.entries) {
            reasons.insert(reasons.end(), entry.reasons.begin(), entry.reasons.end());
        }
        return reasons;
    }
};

/// The local starts libical's iterator gives for the first VEVENT of `calendarText` up to
/// `until`, without its EXDATEs: the reference for the model's occurrences.
inline std::vector<CDateTime> LibicalStarts(const std::string& calendarText, const CDateTime& until,
                                            size_t limit = 400) {
    const ical::ComponentPtr root = ical::ParseCalendar(calendarText);
    icalcomponent* event = icalcomponent_get_first_component(root.get(), ICAL_VEVENT_COMPONENT);
    const icaltimetype start = icalcomponent_get_dtstart(event);
    std::vector<CDateTime> excluded;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
        const icaltimetype t = icalproperty_get_exdate(p);
        excluded.push_back(t.is_date
                               ? CDateTime(t.year, t.month, t.day)
                               : CDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second));
    }
    std::vector<CDateTime> starts;
    icalproperty* rrule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
    icalrecur_iterator* it = icalrecur_iterator_new(icalproperty_get_rrule(rrule), start);
    for (icaltimetype t = icalrecur_iterator_next(it);
         !icaltime_is_null_time(t) && starts.size() < limit; t = icalrecur_iterator_next(it)) {
        const CDateTime local = t.is_date
                                    ? CDateTime(t.year, t.month, t.day)
                                    : CDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
        if (local > until) {
            break;
        }
        if (std::find(excluded.begin(), excluded.end(), local) == excluded.end()) {
            starts.push_back(local);
        }
    }
    icalrecur_iterator_free(it);
    return starts;
}

/// The model's occurrence starts of `event` from its first start up to `until`.
inline std::vector<CDateTime> ModelStarts(const CDateEntry& event, const CDateTime& until,
                                          size_t limit = 400) {
    CDateEntry copy(event);
    return OccurrenceStarts(copy, CDateTime(1900, 1, 1), until, limit);
}

} // namespace dv::test
