#pragma once

#include "core/CDateEntry.h"
#include "core/CTodoEntry.h"

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// libical's component type, kept out of the users' includes.
typedef struct icalcomponent_impl icalcomponent;

namespace dv::ical {

/// A calendar text that cannot be read: not iCalendar, or cut short. The message says what is
/// wrong; the caller adds the file's name.
class IcalError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Frees a libical component tree.
struct ComponentFree {
    void operator()(icalcomponent* component) const;
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;

/// Parses a whole calendar text (one VCALENDAR, or several one after another) with libical.
/// Throws IcalError when the text holds no VCALENDAR or ends before its END:VCALENDAR.
ComponentPtr ParseCalendar(std::string_view text);

/// The serialised text of `component` (CR LF line ends, folded at 75 octets).
std::string ComponentText(icalcomponent* component);

// ---- component -> record -----------------------------------------------------------------------

/// Every VEVENT or every VTODO of a calendar with one UID: the master and its RECURRENCE-ID
/// overrides, in calendar order. A component without UID is an entry of its own.
struct EntryComponents {
    std::string uid; ///< as the calendar gives it; empty when the component had none
    bool isTodo = false;
    std::vector<icalcomponent*> components; ///< owned by the calendar
};

/// The entries of a parsed calendar in order of first appearance; VJOURNAL, VFREEBUSY and
/// anything else are left out.
std::vector<EntryComponents> GroupEntries(icalcomponent* calendar);

/// The GUID of an entry: its UID's GUID (GuidForUid), or for an entry without UID a name-based
/// GUID of its DTSTART and SUMMARY, so that importing the same calendar again finds it.
std::string EntryGuid(const EntryComponents& entry);

/// One event that an entry gives.
struct MappedEvent {
    DateData data;                  ///< GUID set
    std::vector<CDateTime> dropped; ///< EXDATEs, cancelled and moved occurrences, local time
    /// The whole record (data and reminder state) from X-DAYVAULT-RECORD, when the calendar's
    /// standard properties still say what this program wrote; `data` then equals its data.
    std::unique_ptr<CDateEntry> exact;
};

/// One to-do that an entry gives.
struct MappedTodo {
    TodoData data; ///< GUID set
    bool done = false;
    std::unique_ptr<CTodoEntry> exact; ///< as MappedEvent::exact
};

/// What an entry becomes: for an event entry its master first, then one single event for every
/// RECURRENCE-ID override and RDATE; for a to-do entry one to-do.
struct MappedEntry {
    std::string uid;
    std::string guid;    ///< of the master
    std::string summary; ///< of the master, for the report
    std::vector<MappedEvent> events;
    std::vector<MappedTodo> todos;
    std::vector<std::string> losses;    ///< each names what was lost and how it was imported
    std::optional<std::string> skipped; ///< why nothing usable remains
};

/// The current record of a GUID, whose fields the calendar does not give are kept on update;
/// nullptr when there is none.
using EventLookup = std::function<const CDateEntry*(const std::string& guid)>;
using TodoLookup = std::function<const CTodoEntry*(const std::string& guid)>;

/// Maps one entry to records, in the process's local time zone (zoned and UTC times are
/// converted to it). Fields the calendar does not give start from the existing record of the
/// same GUID, or from a new record's defaults at `now`.
MappedEntry MapEntry(const EntryComponents& entry, const EventLookup& events,
                     const TodoLookup& todos, const CDateTime& now);

// ---- record -> component -----------------------------------------------------------------------

/// A component written for a record, with what its standard properties cannot say exactly (its
/// X-DAYVAULT-* properties still carry every field).
struct WrittenComponent {
    ComponentPtr component;
    std::vector<std::string> losses;
};

/// A VEVENT for `event` with UID `uid`: local times written as floating times, DTSTART at the
/// first occurrence, DTEND exclusive for all-day events, the rule as RRULE with EXDATEs, one
/// VALARM for the forewarning, COLOR for a coloured field, and X-DAYVAULT-RECORD with the whole
/// record. `stamp` is DTSTAMP (UTC).
WrittenComponent EventToComponent(const CDateEntry& event, std::string_view uid,
                                  const CDateTime& stamp);

/// A VTODO for `todo` with UID `uid`: DUE, PRIORITY, STATUS and PERCENT-COMPLETE, CATEGORIES,
/// a VALARM relative to the due time, and X-DAYVAULT-RECORD.
WrittenComponent TodoToComponent(const CTodoEntry& todo, std::string_view uid,
                                 const CDateTime& stamp);

/// The UTC time of the local time `local` (for DTSTAMP).
CDateTime UtcOf(const CDateTime& local);

/// An empty VCALENDAR (VERSION 2.0 and this program's PRODID).
ComponentPtr NewCalendar();

} // namespace dv::ical
