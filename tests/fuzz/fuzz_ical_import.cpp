// Fuzz target for the iCalendar import.
//
// Any bytes either fail as "not a calendar" (and change nothing) or import into some records.
// Exporting what was imported and importing that again must give every record back unchanged:
// Dayvault's own export carries each record whole.

#include "ical/IcalCalendar.h"
#include "ical/IcalMapping.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const dv::CDateTime now(2024, 5, 10, 12, 0, 0);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    dv::DocumentContents contents;
    dv::ical::UidStore uids;
    try {
        dv::ical::ImportCalendar(text, contents, uids, now);
    } catch (const dv::ical::IcalError&) {
        if (!contents.IsEmpty() || !uids.IsEmpty()) {
            std::abort(); // a calendar that could not be read changed the file
        }
        return 0;
    }
    dv::ical::ExportReport report;
    const std::string exported = dv::ical::ExportCalendar(contents, uids, now, report);
    const auto again = dv::ical::ImportCalendar(exported, contents, uids, now);
    if (again.Changed()) {
        std::abort(); // the file's own export did not give its records back
    }
    return 0;
}
