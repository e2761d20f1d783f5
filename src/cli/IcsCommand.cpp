#include "cli/IcsCommand.h"

#include "cli/RecordJson.h"
#include "core/ByteStream.h"
#include "core/CArchiveException.h"
#include "core/CFileException.h"
#include "document/EventFile.h"
#include "ical/IcalCalendar.h"
#include "ical/IcalMapping.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

namespace dv::cli {

namespace {

namespace fs = std::filesystem;

// Calendars are read whole; a bigger file is hostile or a mistake, not a calendar.
constexpr std::uintmax_t kMaxCalendarBytes = 1ULL << 30;

std::string ReadCalendarText(const fs::path& path) {
    std::error_code error;
    if (fs::is_directory(path, error)) {
        throw OperationError(path.string() + ": cannot read: is a folder");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw OperationError(path.string() + ": cannot open for reading: " + std::strerror(errno));
    }
    const auto size = fs::file_size(path, error);
    if (!error && size > kMaxCalendarBytes) {
        throw OperationError(path.string() + ": too big for a calendar");
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        throw OperationError(path.string() + ": cannot read");
    }
    return text.str();
}

DocumentContents LoadOrEmpty(const fs::path& path, bool mustExist) {
    std::error_code error;
    if (!mustExist && !fs::exists(path, error)) {
        return {};
    }
    try {
        return ReadEventFile(path);
    } catch (const CFileException& e) {
        throw OperationError(e.what());
    } catch (const CArchiveException& e) {
        throw OperationError(path.string() + ": not a valid event file: " + e.what());
    }
}

ical::UidStore LoadUids(const fs::path& path) {
    try {
        return ical::UidStore::Load(path);
    } catch (const CFileException& e) {
        throw OperationError(e.what());
    }
}

Json LossJson(const char* key, const std::string& id, const std::string& summary,
              const std::string& reason) {
    return Json{{key, id}, {"summary", summary}, {"reason", reason}};
}

void RunImport(const CliArgs& args, std::ostream& out) {
    args.RequirePositional(3, "import FILE IN.ics");
    const fs::path file = args.Positional()[1];
    const fs::path in = args.Positional()[2];
    const std::string text = ReadCalendarText(in);
    std::error_code error;
    const bool existed = fs::exists(file, error);
    DocumentContents contents = LoadOrEmpty(file, false);
    ical::UidStore uids = LoadUids(file);
    ical::ImportReport report;
    try {
        report = ical::ImportCalendar(text, contents, uids, CDateTime::Now());
    } catch (const ical::IcalError& e) {
        throw OperationError(in.string() + ": " + e.what());
    }
    if (report.Changed() || !existed) {
        try {
            ical::SaveWithUids(file, contents, uids);
        } catch (const CFileException& e) {
            throw OperationError(e.what());
        }
    }
    using Kind = ical::EntryOutcome::Kind;
    Json json{{"added", report.Count(Kind::added)},
              {"updated", report.Count(Kind::updated)},
              {"unchanged", report.Count(Kind::unchanged)},
              {"approximated", Json::array()},
              {"skipped", Json::array()}};
    for (const auto& entry : report.entries) {
        const char* list = entry.kind == Kind::skipped ? "skipped" : "approximated";
        for (const auto& reason : entry.reasons) {
            json[list].push_back(LossJson("uid", entry.uid, entry.summary, reason));
        }
    }
    out << json.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
}

void RunExport(const CliArgs& args, std::ostream& out) {
    args.RequirePositional(2, "export FILE");
    const fs::path file = args.Positional()[1];
    const fs::path target = args.Required("--out");
    const DocumentContents contents = LoadOrEmpty(file, true);
    const ical::UidStore uids = LoadUids(file);
    ical::ExportReport report;
    const std::string text =
        ical::ExportCalendar(contents, uids, ical::UtcOf(CDateTime::Now()), report);
    try {
        CAtomicFileSink sink(target);
        sink.Write(
            std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
        sink.Commit();
    } catch (const CFileException& e) {
        throw OperationError(e.what());
    }
    Json json{{"exported", report.exported}, {"approximated", Json::array()}};
    for (const auto& loss : report.approximated) {
        json["approximated"].push_back(LossJson("guid", loss.guid, loss.summary, loss.reason));
    }
    out << json.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
}

} // namespace

void RunIcs(const CliArgs& args, std::ostream& out) {
    const auto& positional = args.Positional();
    if (positional.empty()) {
        throw UsageError("ics: 'import' or 'export' expected");
    }
    if (positional[0] == "import") {
        if (args.Has("--out")) {
            throw UsageError("--out applies to 'ics export' only");
        }
        RunImport(args, out);
    } else if (positional[0] == "export") {
        RunExport(args, out);
    } else {
        throw UsageError("ics: unknown action '" + positional[0] + "'");
    }
}

} // namespace dv::cli
