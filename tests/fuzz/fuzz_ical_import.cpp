// Fuzz target for the iCalendar import.
//
// Any bytes either fail as "not a calendar" (and change nothing) or import into some records.
// The first export may normalise texts that no event file holds (broken UTF-8 does not survive
// the archive); from the second generation on, exporting what was imported and importing it
// again must give every record back unchanged, since Dayvault's own export carries each record.

#include "document/TextBackup.h"
#include "ical/IcalCalendar.h"
#include "ical/IcalMapping.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

std::string Export(const dv::DocumentContents& contents, const dv::ical::UidStore& uids) {
    dv::ical::ExportReport report;
    return dv::ical::ExportCalendar(contents, uids, dv::CDateTime(2024, 5, 10, 10, 0, 0), report);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const dv::CDateTime now(2024, 5, 10, 12, 0, 0);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    dv::DocumentContents first;
    dv::ical::UidStore uids;
    try {
        dv::ical::ImportCalendar(text, first, uids, now);
    } catch (const dv::ical::IcalError&) {
        if (!first.IsEmpty() || !uids.IsEmpty()) {
            std::abort(); // a calendar that could not be read changed the file
        }
        return 0;
    }
    dv::DocumentContents second;
    dv::ical::ImportCalendar(Export(first, uids), second, uids, now);
    const std::string exported = Export(second, uids);
    const std::string before = dv::WriteTextBackupBytes(second);
    const auto again = dv::ical::ImportCalendar(exported, second, uids, now);
    if (again.Changed()) {
        // Both states as text backups, so the field that changed can be read off.
        std::fprintf(stderr, "exported:\n%s\nbefore:\n%s\nafter:\n%s\n", exported.c_str(),
                     before.c_str(), dv::WriteTextBackupBytes(second).c_str());
        std::abort(); // the file's own export did not give its records back
    }
    return 0;
}
