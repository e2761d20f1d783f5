#pragma once

#include "document/DocumentContents.h"
#include "ical/UidStore.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dv::ical {

/// What happened to one entry of an imported calendar (a UID with its overrides).
struct EntryOutcome {
    enum class Kind { added, updated, unchanged, skipped };
    Kind kind = Kind::added;
    std::string uid; ///< as the calendar gives it; empty when it had none
    std::string summary;
    /// For added and updated entries what the mapping lost; for a skipped one why.
    std::vector<std::string> reasons;
    std::vector<std::string> guids; ///< the records it added or updated
};

struct ImportReport {
    std::vector<EntryOutcome> entries;
    /// GUIDs of events whose action (open a document, run a command) arrived with the import:
    /// the desktop asks before their first run.
    std::vector<std::string> receivedActions;

    int Count(EntryOutcome::Kind kind) const;
    bool Changed() const;
};

/// Adds the calendar's entries to `contents` or updates those it already holds (by GUID), and
/// notes the original UIDs in `uids`. An update replaces the fields the calendar gives and keeps
/// the reminder state when the times did not change; a changed shared entry joins the change
/// list. `now` is the time of the new records and of the reminder rules. Throws IcalError (and
/// changes nothing) when `text` is not a calendar.
ImportReport ImportCalendar(std::string_view text, DocumentContents& contents, UidStore& uids,
                            const CDateTime& now);

/// One entry that iCalendar's standard properties cannot state exactly.
struct ExportLoss {
    std::string guid;
    std::string summary;
    std::string reason;
};

struct ExportReport {
    int exported = 0;
    std::vector<ExportLoss> approximated;
};

/// Writes the events and to-dos of `contents` (never the templates) for which `selected` is true
/// (every one when it is empty) as one VCALENDAR, with their original UIDs. `stampUtc` is the
/// DTSTAMP of every component.
std::string ExportCalendar(const DocumentContents& contents, const UidStore& uids,
                           const CDateTime& stampUtc, ExportReport& report,
                           const std::function<bool(const std::string& guid)>& selected = {});

} // namespace dv::ical
