#include "cli/Commands.h"

#include "cli/CliArgs.h"
#include "cli/IcsCommand.h"
#include "cli/RecordJson.h"
#include "core/CArchiveException.h"
#include "core/CFileException.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "document/EntryFilter.h"
#include "document/EventFile.h"
#include "document/Search.h"
#include "document/SyncWorker.h"
#include "document/TextBackup.h"
#include "export/CsvExport.h"
#include "export/DayListing.h"
#include "export/HtmlExport.h"
#include "format/CDateEntryFormatter.h"
#include "format/CTodoEntryFormatter.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "holidays/CHolidayModuleSet.h"
#include "holidays/CHolidaySettings.h"
#include "holidays/HolidaySource.h"
#include "net/CCurlFtpConnector.h"
#include "net/FtpUrl.h"
#include "settings/CIniStore.h"
#include "settings/CSettings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string_view>
#include <system_error>

namespace dv::cli {

namespace {

namespace fs = std::filesystem;

// What every subcommand gets: the output streams and the settings chosen by --settings.
struct Context {
    std::ostream& out;
    std::ostream& err; // warnings; errors go out as exceptions
    const CliArgs& args;
    CSettings settings;
    FormatSettings formats;
};

struct Subcommand {
    std::string_view name;
    std::string_view usage;   // arguments and options after the name
    std::string_view summary; // one line for the command list
    std::string_view details; // further help lines
    std::set<std::string> valueOptions;
    std::set<std::string> flags;
    std::function<void(Context&)> run;
};

void WriteJson(std::ostream& out, const Json& json) {
    // Text from files is well-formed UTF-8 already; replacing keeps a damaged byte from
    // aborting the whole output.
    out << json.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
}

// Runs a file operation and turns its exceptions into one message naming the file.
template <class F>
auto OnFile(const fs::path& path, F&& operation) -> decltype(operation()) {
    try {
        return operation();
    } catch (const CFileException& e) {
        throw OperationError(e.what());
    } catch (const CArchiveException& e) {
        throw OperationError(path.string() + ": not a valid event file: " + e.what());
    }
}

DocumentContents LoadEventFile(const fs::path& path) {
    return OnFile(path, [&] { return ReadEventFile(path); });
}

// Opens an event file into a document for the operations that run the document's own logic.
void OpenDocument(CDayvaultDoc& doc, const fs::path& path) {
    if (!OnFile(path, [&] { return doc.Open(path); })) {
        throw OperationError(doc.GetLastSaveError());
    }
}

void SaveDocument(CDayvaultDoc& doc) {
    if (!doc.SaveCommand()) {
        throw OperationError(doc.GetLastSaveError().empty()
                                 ? doc.GetPathName().string() +
                                       ": the event file could not be written"
                                 : doc.GetLastSaveError());
    }
}

// ---- info -----------------------------------------------------------------------------------

void RunInfo(Context& c) {
    c.args.RequirePositional(1, "FILE");
    const DocumentContents contents = LoadEventFile(c.args.Positional()[0]);
    Json json;
    json["templates"] = Json::array();
    for (const auto& entry : contents.templates) {
        json["templates"].push_back(EventJson(*entry));
    }
    json["events"] = Json::array();
    for (const auto& entry : contents.events) {
        json["events"].push_back(EventJson(*entry));
    }
    json["todos"] = Json::array();
    for (const auto& todo : contents.todos) {
        json["todos"].push_back(TodoJson(*todo));
    }
    json["changeList"] = contents.changeList;
    WriteJson(c.out, json);
}

// ---- occurrences ----------------------------------------------------------------------------

void RunOccurrences(Context& c) {
    c.args.RequirePositional(1, "FILE");
    const CDateTime from = CliArgs::ParseDateTime("--from", c.args.Required("--from"));
    const CDateTime to = CliArgs::ParseDateTime("--to", c.args.Required("--to"));
    const std::optional<std::string> guid = c.args.Value("--guid");
    const fs::path path = c.args.Positional()[0];
    DocumentContents contents = LoadEventFile(path);

    Json list = Json::array();
    bool found = false;
    for (const auto& event : contents.events) {
        if (guid && event->GetGUID() != *guid) {
            continue;
        }
        found = true;
        CDateTime start;
        CDateTime end;
        for (bool more = event->FindFirstOccurrence(from, to, start, end); more;
             more = event->FindNextOccurrence(from, to, start, end)) {
            list.push_back({{"guid", event->GetGUID()},
                            {"start", DateTimeText(start)},
                            {"end", DateTimeText(end)}});
        }
        if (guid) {
            break;
        }
    }
    if (guid && !found) {
        throw OperationError(path.string() + ": no event with GUID " + *guid);
    }
    WriteJson(c.out, list);
}

// Where holidays/ and templates/ are looked up: --program-folder, else the executable's folder
// when it holds either of them (the build tree, a portable copy), else the installed data folder.
fs::path ProgramFolder(const CliArgs& args) {
    if (const auto folder = args.Value("--program-folder")) {
        return *folder;
    }
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    const fs::path exeFolder = error ? fs::current_path() : exe.parent_path();
    if (fs::is_directory(exeFolder / CHolidayModuleSet::kFolderName, error) ||
        fs::is_directory(exeFolder / "templates", error)) {
        return exeFolder;
    }
    return exeFolder.parent_path() / "share" / "dayvault";
}

CHolidays ReadHolidayModule(const fs::path& path) {
    CHolidays module;
    try {
        module.ReadModuleFile(path);
    } catch (const CFileException& e) {
        throw OperationError(e.what());
    } catch (const CArchiveException& e) {
        throw OperationError(path.string() + ": not a valid holiday module: " + e.what());
    }
    return module;
}

// The active modules of the settings, loaded from the program folder. A module that cannot be
// read is left out, as the desktop program does.
void LoadActiveHolidays(Context& c, CHolidayModuleSet& modules, CHolidaySettings& holidays) {
    if (const auto path = c.args.Value("--settings")) {
        CIniStore store(*path);
        holidays.Load(store);
        modules.SetBaseFolder(ProgramFolder(c.args));
        modules.LoadModules(holidays.ActiveModules);
    }
}

// ---- agenda ---------------------------------------------------------------------------------

// Indents the lines after the first of a multi-line text to the entry's column.
std::string IndentLines(std::string_view text, std::string_view indent) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        result += text[i];
        if (text[i] == '\n') {
            result += indent;
        }
    }
    return result;
}

void RunAgenda(Context& c) {
    c.args.RequirePositional(1, "FILE");
    const CDateTime from = c.args.Value("--from")
                               ? CliArgs::ParseDateTime("--from", *c.args.Value("--from"))
                               : CDateTime::Now();
    const int days =
        c.args.Value("--days") ? CliArgs::ParseInt("--days", *c.args.Value("--days"), 1, 3660) : 14;
    DocumentContents contents = LoadEventFile(c.args.Positional()[0]);
    CHolidayModuleSet modules;
    CHolidaySettings holidays;
    LoadActiveHolidays(c, modules, holidays);

    const auto listing = BuildDayListing(contents.events, from.GetDate(), days, c.formats);
    for (int i = 0; i < days; ++i) {
        const CDateTime day = from.GetDate() + CDateTimeSpan(i, 0, 0, 0);
        c.out << DayCaption(day, c.settings.WeekViewFormat, c.settings.ShowWeekNumbers,
                            c.settings.WeekDisplayFormat)
              << '\n';
        for (const HolidayDayRecord& record : modules.HolidaysOn(day)) {
            if (!holidays.IsActive(record.module, record.name)) {
                continue;
            }
            c.out << "  " << record.displayText;
            if (c.settings.HolidayShowLanguage) {
                c.out << " (" << modules.GetModule(record.module)->GetLanguageAbbreviation() << ')';
            }
            c.out << '\n';
        }
        for (const DayEntry& entry : listing[static_cast<size_t>(i)]) {
            c.out << "  " << IndentLines(entry.text, "  ") << '\n';
        }
    }
}

// ---- reminders ------------------------------------------------------------------------------

void RunReminders(Context& c) {
    c.args.RequirePositional(1, "FILE");
    const CDateTime at = CliArgs::ParseDateTime("--at", c.args.Required("--at"));
    CDayvaultDoc doc;
    OpenDocument(doc, c.args.Positional()[0]);
    doc.CheckDates(at, c.settings.DeleteDoneTodo, c.settings.DaysBeforeDeleteTodo);

    Json list = Json::array();
    for (int i = 0; i < doc.GetDateEntryCount(); ++i) {
        const CDateEntry& event = *doc.GetDateEntry(i);
        if (event.GetDueOccurrences().empty() && event.GetSnoozedOccurrences().empty()) {
            continue;
        }
        list.push_back({{"guid", event.GetGUID()},
                        {"Description", event.GetData().Description},
                        {"due", DateTimeList(event.GetDueOccurrences())},
                        {"snoozed", DateTimeList(event.GetSnoozedOccurrences())}});
    }
    Json urgent = Json::array();
    for (int i = 0; i < doc.GetTodoCount(); ++i) {
        if (doc.GetTodoEntry(i)->IsUrgent()) {
            urgent.push_back(doc.GetTodoEntry(i)->GetGUID());
        }
    }
    list.push_back({{"urgentTodos", urgent}});
    if (c.args.Has("--save")) {
        SaveDocument(doc);
    }
    WriteJson(c.out, list);
}

// ---- format ---------------------------------------------------------------------------------

void RunFormat(Context& c) {
    c.args.RequirePositional(1, "FILE");
    const std::string guid = c.args.Required("--guid");
    const std::string format = c.args.Required("--format");
    const fs::path path = c.args.Positional()[0];
    DocumentContents contents = LoadEventFile(path);

    for (const auto& event : contents.events) {
        if (event->GetGUID() != guid) {
            continue;
        }
        const CDateTime occurrence =
            c.args.Value("--occurrence")
                ? CliArgs::ParseDateTime("--occurrence", *c.args.Value("--occurrence"))
                : event->GetFirstStart();
        const CDateTime day = c.args.Value("--day")
                                  ? CliArgs::ParseDateTime("--day", *c.args.Value("--day"))
                                  : occurrence.GetDate();
        CDateEntryFormatter formatter(*event, c.formats);
        c.out << formatter.Expand(format, occurrence, day);
        return;
    }
    for (const auto& todo : contents.todos) {
        if (todo->GetGUID() != guid) {
            continue;
        }
        if (c.args.Has("--occurrence") || c.args.Has("--day")) {
            throw UsageError("--occurrence and --day apply to events only");
        }
        // The state placeholders judge the to-do at the program's clock, as the desktop
        // program does once its first check has run.
        todo->SetCurrentTime(CDateTime::Now());
        CTodoEntryFormatter formatter(*todo, c.formats);
        c.out << formatter.Expand(format);
        return;
    }
    throw OperationError(path.string() + ": no event or to-do with GUID " + guid);
}

// ---- backup, restore, merge -----------------------------------------------------------------

void RunBackup(Context& c) {
    c.args.RequirePositional(2, "FILE OUT.txt");
    const fs::path out = c.args.Positional()[1];
    const DocumentContents contents = LoadEventFile(c.args.Positional()[0]);
    OnFile(out, [&] { WriteTextBackup(out, contents); });
}

void RunRestore(Context& c) {
    c.args.RequirePositional(2, "IN.txt OUT.dat");
    const fs::path in = c.args.Positional()[0];
    const fs::path out = c.args.Positional()[1];
    const DocumentContents contents =
        OnFile(in, [&] { return ReadTextBackup(in, CDateTime::Now()); });
    OnFile(out, [&] { WriteEventFile(out, contents); });
    // A restored file has no pending changes; a change list left beside an older file of that
    // name would otherwise be read back with it.
    std::error_code ignored;
    fs::remove(SyncSidePath(out), ignored);
}

void RunMerge(Context& c) {
    c.args.RequirePositional(2, "FILE OTHER.dat");
    const fs::path other = c.args.Positional()[1];
    CDayvaultDoc doc;
    OpenDocument(doc, c.args.Positional()[0]);
    const int added = OnFile(other, [&] { return doc.MergeFile(other); });
    if (added > 0) {
        SaveDocument(doc);
    }
    WriteJson(c.out, Json{{"added", added}});
}

// ---- sync -----------------------------------------------------------------------------------

// The owner of the document for one cycle on this thread: the merge and the upload-done
// reaction run at once instead of being queued.
class InlineSyncHost final : public ISyncHost {
public:
    InlineSyncHost(CDayvaultDoc& doc, int writeAccess, bool allowDeletions)
        : m_doc(doc), m_writeAccess(writeAccess), m_prompt(allowDeletions) {}
    void Attach(CSyncWorker& worker) { m_worker = &worker; }
    void PostMergeNow() override {
        RunMergeStep(*m_worker, &m_doc, m_busyState, m_writeAccess, &m_prompt);
    }
    void PostUploadDone() override { OnUploadDone(&m_doc); }

private:
    CDayvaultDoc& m_doc;
    int m_writeAccess;
    CQueuedPrompt m_prompt; // answers the mass deletion question as --allow-deletions says
    int m_busyState = 0;
    CSyncWorker* m_worker = nullptr;
};

// What the cycle runs against: the settings' network keys with the shared place from the command
// line, and how to name that place in messages (never with a password).
struct SyncPlace {
    SyncConfig config;
    std::string name;
};

// An FTP address as given, with whatever stands between the first ":" after the scheme and the
// last "@" hidden: the address may be malformed, so this does not rely on parsing it.
std::string HidePassword(const std::string& url) {
    const std::size_t scheme = url.find("://");
    const std::size_t start = scheme == std::string::npos ? 0 : scheme + 3;
    const std::size_t at = url.rfind('@');
    if (at == std::string::npos || at < start) {
        return url;
    }
    const std::size_t colon = url.find(':', start);
    if (colon == std::string::npos || colon > at) {
        return url;
    }
    return url.substr(0, colon + 1) + "***" + url.substr(at);
}

// Passive mode, unless the settings file given says FtpPassiveConnection=0 in so many words:
// the key's default is active mode, which most servers behind a router refuse, so a settings
// file that does not mention it keeps the command line's passive default.
bool PassiveMode(const Context& c) {
    const auto path = c.args.Value("--settings");
    if (!path) {
        return true;
    }
    try {
        const CIniStore store(*path);
        if (!store.ReadRawString(CSettings::kSection, "FtpPassiveConnection")) {
            return true;
        }
    } catch (const CFileException& e) {
        throw OperationError(e.what());
    }
    return c.settings.FtpPassiveConnection;
}

// The FTP password from the environment variable or the file the command line names: a
// command line is visible to every user of the computer, the environment and a private file
// are not.
std::optional<std::string> PasswordFromOption(const Context& c) {
    const auto variable = c.args.Value("--password-env");
    const auto file = c.args.Value("--password-file");
    if (variable && file) {
        throw UsageError("give either --password-env VAR or --password-file PATH");
    }
    if (variable) {
        const char* value = std::getenv(variable->c_str());
        if (value == nullptr) {
            throw UsageError("--password-env: the environment variable '" + *variable +
                             "' is not set");
        }
        return std::string(value);
    }
    if (!file) {
        return std::nullopt;
    }
    std::ifstream in(*file, std::ios::binary);
    if (!in.is_open()) {
        throw OperationError(*file + ": cannot open the password file: " +
                             std::generic_category().message(errno));
    }
    // The first line is the password; a line end (LF or CR LF) is no part of it.
    std::string password;
    std::getline(in, password);
    if (in.bad()) {
        throw OperationError(*file + ": cannot read the password file");
    }
    if (!password.empty() && password.back() == '\r') {
        password.pop_back();
    }
    std::error_code statusError;
    const auto permissions = fs::status(*file, statusError).permissions();
    if (!statusError && (permissions & (fs::perms::group_read | fs::perms::others_read)) !=
                            fs::perms::none) {
        c.err << "dayvault-cli: warning: the password file " << *file
              << " can be read by other users; make it private (chmod 600)\n";
    }
    return password;
}

SyncPlace SyncTarget(const Context& c) {
    SyncPlace place;
    SyncConfig& config = place.config;
    config.NetworkSyncType = 1;
    config.NetworkBackupDepth = c.settings.NetworkBackupDepth;
    config.CreateShare = c.args.Has("--create");
    const auto shared = c.args.Value("--shared");
    const auto ftp = c.args.Value("--ftp");
    if (shared.has_value() == ftp.has_value()) {
        throw UsageError("give either --shared PATH or --ftp URL");
    }
    if (shared) {
        config.NetworkFunction = 1;
        config.SharedFile = *shared;
        place.name = *shared;
        return place;
    }
    place.name = HidePassword(*ftp);
    std::string error;
    std::optional<FtpUrl> url = ParseFtpUrl(*ftp, error);
    if (!url) {
        throw UsageError("--ftp: '" + place.name + "': " + error);
    }
    if (std::optional<std::string> password = PasswordFromOption(c)) {
        if (place.name != *ftp) {
            throw UsageError("--ftp: give the password either in the address or with "
                             "--password-env/--password-file, not both");
        }
        url->endpoint.password = std::move(*password);
    } else if (place.name != *ftp) {
        c.err << "dayvault-cli: warning: the password in the --ftp address can be read by every "
                 "user of this computer while the command runs; use --password-env VAR or "
                 "--password-file PATH\n";
    }
    config.NetworkFunction = 2;
    config.FtpServer = std::move(url->endpoint);
    config.FtpServer.passive = PassiveMode(c);
    config.FtpSharedFile = std::move(url->path);
    return place;
}

void RunSync(Context& c) {
    c.args.RequirePositional(1, "FILE");
    const fs::path file = c.args.Positional()[0];
    const SyncPlace place = SyncTarget(c);
    CDayvaultDoc doc;
    OpenDocument(doc, file);
    InlineSyncHost host(doc, c.settings.NetworkWriteAccess, c.args.Has("--allow-deletions"));
    CCurlFtpConnector connector;
    CSyncWorker worker(host, &connector);
    host.Attach(worker);
    worker.SetConfig(place.config);
    const SyncOutcome outcome = worker.RunCycleNow();
    c.out << SyncOutcomeText(outcome) << '\n';
    switch (outcome) {
    case SyncOutcome::busy:
    case SyncOutcome::transferFailed:
    case SyncOutcome::mergeFailed:
    case SyncOutcome::sharedFileMissing: {
        // FILE stays as it was: its change list still holds everything for the next cycle.
        const std::string reason = worker.GetLastError();
        throw OperationError(place.name + ": " + SyncOutcomeText(outcome) +
                             (reason.empty() ? "" : " (" + reason + ")"));
    }
    default:
        break;
    }
    if (doc.IsModified()) {
        SaveDocument(doc);
    }
    // The rest of the merge is saved; the entries that a mass deletion would take stay.
    if (doc.GetHeldDeletionCount() > 0) {
        throw OperationError(
            file.string() + ": " +
            FormatString(kIdsSyncDeletionsHeld, std::to_string(doc.GetHeldDeletionCount())) +
            "; run again with --allow-deletions to remove them here too");
    }
}

// ---- holidays -------------------------------------------------------------------------------

void RunHolidaysCompile(Context& c) {
    c.args.RequirePositional(3, "compile SRC OUT.hol");
    const fs::path source = c.args.Positional()[1];
    const fs::path out = c.args.Positional()[2];
    CHolidays module;
    try {
        module = CompileHolidaySourceFile(source);
    } catch (const HolidaySourceError& e) {
        throw OperationError(e.what());
    } catch (const CFileException& e) {
        throw OperationError(e.what());
    }
    OnFile(out, [&] { module.WriteModuleFile(out); });
}

void RunHolidays(Context& c) {
    const auto& positional = c.args.Positional();
    const bool listing = positional.empty();
    if (!listing && (c.args.Has("--module") || c.args.Has("--file") || c.args.Has("--year"))) {
        throw UsageError("--module, --file and --year list a module's year; they do not go "
                         "with '" +
                         positional[0] + "'");
    }
    if (!listing && positional[0] == "compile") {
        RunHolidaysCompile(c);
        return;
    }
    if (!listing && positional[0] == "decompile") {
        c.args.RequirePositional(2, "decompile FILE.hol");
        c.out << DecompileHolidays(ReadHolidayModule(positional[1]));
        return;
    }
    if (!listing) {
        throw UsageError("unknown holidays action '" + positional[0] +
                         "' (compile, decompile, or --module/--file with --year)");
    }
    const auto name = c.args.Value("--module");
    const auto file = c.args.Value("--file");
    if (name.has_value() == file.has_value()) {
        throw UsageError("give either --module NAME or --file PATH");
    }
    const int year = CliArgs::ParseInt("--year", c.args.Required("--year"), 1, 9999);
    fs::path path;
    if (name) {
        if (!CHolidayModuleSet::IsValidModuleName(*name)) {
            throw UsageError("--module: '" + *name + "' is not a module name");
        }
        CHolidayModuleSet modules;
        modules.SetBaseFolder(ProgramFolder(c.args));
        path = modules.ModulePath(*name);
    } else {
        path = *file;
    }
    CHolidays module = ReadHolidayModule(path);
    Json list = Json::array();
    for (const HolidayOfYear& holiday : module.ListYear(year)) {
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", holiday.date.GetYear(),
                      holiday.date.GetMonth(), holiday.date.GetDay());
        list.push_back({{"date", date}, {"name", holiday.name}, {"text", holiday.displayText}});
    }
    WriteJson(c.out, list);
}

// ---- export ---------------------------------------------------------------------------------

// The template of an HTML page: --template, else the kind's setting; a relative path is taken
// from the program folder, as the desktop program does.
fs::path HtmlTemplatePath(const Context& c, int kind) {
    if (const auto path = c.args.Value("--template")) {
        return *path;
    }
    const fs::path setting = HtmlExport::TemplateSetting(c.settings, kind);
    return setting.is_absolute() ? setting : ProgramFolder(c.args) / setting;
}

// A freshly opened document's filters let everything pass, but the to-do list's hide rules hold
// all the same; the to-dos are judged at the program's clock.
TodoFilter HideRulesFilter(const Context& c) {
    const TodoHideRules hide{c.settings.HideDoneTodo, c.settings.DaysBeforeHideTodo,
                             c.settings.HideUndoneTodo, c.settings.DaysBeforeShowTodo};
    return [hide, now = CDateTime::Now(), formats = &c.formats](CTodoEntry& todo) {
        return PassesTodoFilter(FilterState(), true, hide, now, todo, *formats);
    };
}

// What both exports read: the event file (its to-dos judged at the program's clock, for the
// state column) and the active holiday modules.
struct ExportInput {
    explicit ExportInput(Context& c) : contents(LoadEventFile(c.args.Positional()[1])) {
        for (const auto& todo : contents.todos) {
            todo->SetCurrentTime(CDateTime::Now());
        }
        LoadActiveHolidays(c, modules, holidays);
    }
    DocumentContents contents;
    CHolidayModuleSet modules;
    CHolidaySettings holidays;
};

void RunExportHtml(Context& c) {
    c.args.RequirePositional(2, "html FILE");
    static const std::vector<std::string_view> kinds = {"todo", "week", "fortnight", "month",
                                                        "list"};
    const std::string kindWord = c.args.Required("--kind");
    const auto found = std::find(kinds.begin(), kinds.end(), kindWord);
    if (found == kinds.end()) {
        throw UsageError("--kind: '" + kindWord + "' is not todo, week, fortnight, month or list");
    }
    const int kind = static_cast<int>(found - kinds.begin());
    if (c.args.Has("--start")) {
        throw UsageError("--start belongs to 'export csv'; 'export html' takes --date");
    }
    const CDateTime date = CliArgs::ParseDateTime("--date", c.args.Required("--date"));
    int days = 14;
    if (const auto value = c.args.Value("--days")) {
        if (kind != kHtmlKindTodo && kind != kHtmlKindList) {
            throw UsageError("--days applies to the todo and list kinds only");
        }
        days = CliArgs::ParseInt("--days", *value, 1, 36600);
    }
    const fs::path out = c.args.Required("--out");
    const fs::path templatePath = HtmlTemplatePath(c, kind);

    ExportInput input(c);
    HtmlExportSource source;
    source.events = &input.contents.events;
    source.todos = &input.contents.todos;
    source.holidays = &input.modules;
    source.holidaySettings = &input.holidays;
    source.todoFilter = HideRulesFilter(c);
    HtmlExport exporter(c.settings, source);
    const HtmlPageResult result = exporter.GeneratePage(templatePath, out, kind, date, days);
    if (!result.ok) {
        throw OperationError(result.reason);
    }
}

void RunExportCsv(Context& c) {
    c.args.RequirePositional(2, "csv FILE");
    const std::string kindWord = c.args.Required("--kind");
    int kind = kCsvKindCalendar;
    if (kindWord == "todo") {
        kind = kCsvKindTodo;
    } else if (kindWord != "calendar") {
        throw UsageError("--kind: '" + kindWord + "' is not calendar or todo");
    }
    if (c.args.Has("--date") || c.args.Has("--template")) {
        throw UsageError("--date and --template belong to 'export html'; 'export csv' takes "
                         "--start");
    }
    const CDateTime start = CliArgs::ParseDateTime("--start", c.args.Required("--start"));
    const int days = CliArgs::ParseInt("--days", c.args.Required("--days"), 1, 36600);
    const fs::path out = c.args.Required("--out");

    ExportInput input(c);
    CsvExportSource source;
    source.events = &input.contents.events;
    source.todos = &input.contents.todos;
    source.holidayModules = &input.modules;
    source.holidaySettings = &input.holidays;
    source.todoFilter = HideRulesFilter(c);
    const std::string text = BuildCsvExport(&source, {kind, start, days}, c.settings);
    OnFile(out, [&] { WriteCsvExportFile(out, text); });
}

// `export csv ...` and `export html ...`: the first word picks the writer.
void RunExport(Context& c) {
    const auto& positional = c.args.Positional();
    if (positional.empty()) {
        throw UsageError("name the format: 'export csv FILE ...' or 'export html FILE ...'");
    }
    if (positional[0] == "csv") {
        RunExportCsv(c);
        return;
    }
    if (positional[0] == "html") {
        RunExportHtml(c);
        return;
    }
    throw UsageError("unknown export format '" + positional[0] + "'");
}

// ---- search ---------------------------------------------------------------------------------

std::vector<std::string> SplitCommaList(const std::string& text) {
    std::vector<std::string> items;
    size_t begin = 0;
    while (begin <= text.size()) {
        const size_t end = std::min(text.find(',', begin), text.size());
        if (end > begin) {
            items.push_back(text.substr(begin, end - begin));
        }
        begin = end + 1;
    }
    return items;
}

// The sidebar's filter from the options; a condition is on only when its option is given.
FilterState SearchFilter(const CliArgs& args) {
    FilterState filter;
    if (const auto text = args.Value("--text")) {
        filter.textSearchOn = true;
        filter.searchText = *text;
        const std::string mode = args.Value("--mode").value_or("and");
        if (mode == "and") {
            filter.matchMode = kMatchAllWords;
        } else if (mode == "or") {
            filter.matchMode = kMatchAnyWord;
        } else if (mode == "exact") {
            filter.matchMode = kMatchExact;
        } else {
            throw UsageError("--mode: '" + mode + "' is not and, or or exact");
        }
        filter.searchFields = 0;
        for (const std::string& scope :
             SplitCommaList(args.Value("--scope").value_or("description,notes"))) {
            if (scope == "description") {
                filter.searchFields |= kScopeDescription;
            } else if (scope == "notes") {
                filter.searchFields |= kScopeNotes;
            } else {
                throw UsageError("--scope: '" + scope + "' is not description or notes");
            }
        }
    } else if (args.Value("--mode") || args.Value("--scope")) {
        throw UsageError("--mode and --scope need --text");
    }
    if (const auto categories = args.Value("--categories")) {
        filter.selectionOn = true;
        for (const std::string& category : SplitCommaList(*categories)) {
            filter.selection.insert(category);
        }
    }
    if (const auto states = args.Value("--state")) {
        filter.conditionOn = true;
        filter.conditionFlags = 0;
        for (const std::string& state : SplitCommaList(*states)) {
            if (state == "done") {
                filter.conditionFlags |= kPassDone;
            } else if (state == "undone") {
                filter.conditionFlags |= kPassPending;
            } else if (state == "snoozed") {
                filter.conditionFlags |= kPassSnoozed;
            } else {
                throw UsageError("--state: '" + state + "' is not done, undone or snoozed");
            }
        }
    }
    return filter;
}

void RunSearch(Context& c) {
    c.args.RequirePositional(1, "FILE");
    SearchRange range;
    range.kind = 1;
    range.from = CliArgs::ParseDateTime("--from", c.args.Required("--from"));
    range.to = CliArgs::ParseDateTime("--to", c.args.Required("--to"));
    const FilterState filter = SearchFilter(c.args);
    CDayvaultDoc doc;
    OpenDocument(doc, c.args.Positional()[0]);
    doc.SetEventFilter(filter);
    const SearchResult result =
        SearchEvents(doc, range, c.formats, c.settings.DateFormatList, kSortByDate);
    Json rows = Json::array();
    for (const SearchRow& row : result.rows) {
        rows.push_back(
            {{"date", DateTimeText(row.date)}, {"text", row.text}, {"guid", row.event->GetGUID()}});
    }
    WriteJson(c.out, Json{{"rows", rows}, {"message", result.message}});
}

// ---- the command table ------------------------------------------------------------------------

const std::vector<Subcommand>& Subcommands() {
    static const std::vector<Subcommand> commands = {
        {"info", "FILE", "print the whole event file as JSON", "", {}, {}, RunInfo},
        {"occurrences",
         "FILE --from DT --to DT [--guid G]",
         "list the occurrences overlapping a window as JSON",
         "Events in file order, each event's occurrences in scan order.",
         {"--from", "--to", "--guid"},
         {},
         RunOccurrences},
        {"agenda",
         "FILE [--from DATE] [--days N]",
         "print the days' captions and calendar texts",
         "Default: today, 14 days.",
         {"--from", "--days"},
         {},
         RunAgenda},
        {"reminders",
         "FILE --at DT [--save]",
         "run the periodic reminder update at DT",
         "Prints the events with due or snoozed occurrences and the urgent to-dos as JSON;\n"
         "--save writes the file back.",
         {"--at"},
         {"--save"},
         RunReminders},
        {"format",
         "FILE --guid G --format TEXT [--occurrence DT] [--day DATE]",
         "expand a placeholder format for one event or to-do",
         "For an event, --occurrence is the occurrence start (default the first start) and --day\n"
         "the selected day (default the occurrence's date). A to-do is judged at the clock "
         "(--now).",
         {"--guid", "--format", "--occurrence", "--day"},
         {},
         RunFormat},
        {"holidays",
         "(--module NAME | --file PATH) --year Y | compile SRC OUT.hol | decompile FILE.hol",
         "list a holiday module's year, or compile and decompile module sources",
         "--year lists the module's holidays of year Y as JSON [{\"date\", \"name\", \"text\"}] "
         "in\n"
         "day order (reference-only holidays left out); --module NAME reads\n"
         "<program folder>/holidays/NAME.hol. 'compile' turns a source (docs/holidays.md) into a\n"
         "module file; 'decompile' prints the source of a module file.",
         {"--module", "--file", "--year"},
         {},
         RunHolidays},
        {"export",
         "csv FILE --kind calendar|todo --start DATE --days N --out PATH | "
         "html FILE --kind todo|week|fortnight|month|list --date DATE [--days N] --out PATH "
         "[--template PATH]",
         "export the to-dos or the calendar as CSV or as an HTML page",
         "csv: the settings' CSV fields, names, order, delimiter and formats; the calendar kind\n"
         "writes a row per occurrence per day of the N days from --start, the todo kind a row\n"
         "per to-do without deadline or with one in those days.\n"
         "html: the kind's table with the settings' HTML formats, put into the template in\n"
         "place of $TABLE$ (default: the kind's template in <program folder>/templates).\n"
         "--days (default 14) sets the length of the todo and list kinds; week, fortnight and\n"
         "month pages start on the first day of the week of --date (month: of its month's\n"
         "first day). The output is written whole or not at all, with CR LF line ends.",
         {"--kind", "--date", "--days", "--out", "--template", "--start"},
         {},
         RunExport},
        {"backup", "FILE OUT.txt", "write a text backup of an event file", "", {}, {}, RunBackup},
        {"restore",
         "IN.txt OUT.dat",
         "write a new event file from a text backup",
         "",
         {},
         {},
         RunRestore},
        {"search",
         "FILE --from DATE --to DATE [--text T] [--mode and|or|exact] "
         "[--scope description,notes] [--categories A,B] [--state done,undone,snoozed]",
         "run the sidebar's event search with a filter",
         "Prints {\"rows\": [{\"date\", \"text\", \"guid\"}], \"message\": \"...\"}: for each\n"
         "event, its first occurrence between the two days that passes the filter, at most 1000\n"
         "rows, sorted by date. A filter condition applies only when its option is given;\n"
         "--text without --mode matches every word (and) in the description and the notes.",
         {"--from", "--to", "--text", "--mode", "--scope", "--categories", "--state"},
         {},
         RunSearch},
        {"merge",
         "FILE OTHER.dat",
         "add the entries of OTHER that FILE lacks and save FILE",
         "Prints {\"added\": N}.",
         {},
         {},
         RunMerge},
        {"sync",
         "FILE (--shared PATH | --ftp ftp://user@host:port/path [--password-env VAR | "
         "--password-file PATH]) [--create] [--allow-deletions]",
         "run one synchronisation cycle of FILE against a shared event file",
         "Merges the shared entries of FILE with the shared file PATH on a network path, or with\n"
         "the shared file on an FTP server, as the program's synchronisation does, uploads FILE's\n"
         "changed shared entries when the settings' NetworkWriteAccess allows it (default 3:\n"
         "additions, changes and deletions), saves FILE when it changed and prints the outcome.\n"
         "Busy (another user holds the lock), failed transfers and failed merges leave FILE\n"
         "unchanged and exit with 1. A missing shared file is created from FILE's shared\n"
         "entries on FILE's first cycle against that place or with --create; otherwise the\n"
         "cycle ends with \"shared file missing\" (exit 1) and changes nothing. A cycle that\n"
         "would delete more than half of at least 10 shared entries deletes none of them and\n"
         "exits with 1 (its other changes are saved) unless --allow-deletions is given.\n"
         "FTP runs in passive mode unless the settings file sets FtpPassiveConnection=0; user,\n"
         "password and path may be percent-encoded. Every user of the computer can read a\n"
         "command line: give the password with --password-env VAR (taken from the environment\n"
         "variable VAR) or --password-file PATH (the file's first line) rather than in the URL,\n"
         "which draws a warning.",
         {"--shared", "--ftp", "--password-env", "--password-file"},
         {"--create", "--allow-deletions"},
         RunSync},
        {"ics",
         "import FILE IN.ics | export FILE --out OUT.ics",
         "import an iCalendar file into FILE, or export FILE as one",
         "import adds or updates the calendar's events and to-dos and prints {\"added\",\n"
         "\"updated\", \"unchanged\", \"approximated\", \"skipped\"}; export writes every event and\n"
         "to-do and prints {\"exported\", \"approximated\"}. Times follow the local zone (TZ).",
         {"--out"},
         {},
         [](Context& c) { RunIcs(c.args, c.out); }},
    };
    return commands;
}

void PrintOverview(std::ostream& out) {
    out << "Usage: dayvault-cli SUBCOMMAND [ARGS] [--now DT] [--settings PATH] "
           "[--program-folder DIR]\n\nSubcommands:\n";
    for (const Subcommand& command : Subcommands()) {
        out << "  " << command.name << std::string(13 - command.name.size(), ' ') << command.summary
            << '\n';
    }
    out << "\nDate-times are YYYY-MM-DD HH:MM:SS or YYYY-MM-DD. --now sets the program's clock;\n"
           "--settings reads the settings from an INI file (default: built-in defaults).\n"
           "Run 'dayvault-cli SUBCOMMAND --help' for details; 'dayvault-cli --version' prints\n"
           "the version.\n"
           "Exit codes: 0 success, 1 the operation failed, 2 usage error.\n";
}

void PrintHelp(std::ostream& out, const Subcommand& command) {
    out << "Usage: dayvault-cli " << command.name << ' ' << command.usage
        << " [--now DT] [--settings PATH] [--program-folder DIR]\n\n"
        << command.summary << ".\n";
    if (!command.details.empty()) {
        out << command.details << '\n';
    }
}

CSettings LoadSettings(const CliArgs& args) {
    CSettings settings;
    if (const auto path = args.Value("--settings")) {
        std::error_code error;
        if (!fs::is_regular_file(*path, error)) {
            throw OperationError(*path + ": settings file not found");
        }
        try {
            CIniStore store(*path);
            settings.Load(store);
        } catch (const CFileException& e) {
            throw OperationError(e.what());
        }
    }
    return settings;
}

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintOverview(args.empty() ? err : out);
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "--version") {
        out << "dayvault-cli " << DAYVAULT_VERSION << '\n';
        return 0;
    }
    const Subcommand* command = nullptr;
    for (const Subcommand& candidate : Subcommands()) {
        if (candidate.name == args[0]) {
            command = &candidate;
        }
    }
    try {
        if (command == nullptr) {
            throw UsageError("unknown subcommand '" + args[0] + "'");
        }
        const CliArgs parsed(std::vector<std::string>(args.begin() + 1, args.end()),
                             command->valueOptions, command->flags);
        if (parsed.HelpRequested()) {
            PrintHelp(out, *command);
            return 0;
        }
        std::shared_ptr<const IClock> clock;
        if (const auto now = parsed.Value("--now")) {
            clock = std::make_shared<CFixedClock>(CliArgs::ParseDateTime("--now", *now));
        }
        const CScopedClock scopedClock(clock);
        if (const auto folder = parsed.Value("--program-folder")) {
            std::error_code error;
            if (!fs::is_directory(*folder, error)) {
                throw UsageError("--program-folder: '" + *folder + "' is not a folder");
            }
        }
        Context context{out, err, parsed, LoadSettings(parsed), {}};
        context.formats = context.settings.GetFormatSettings();
        command->run(context);
        return 0;
    } catch (const UsageError& e) {
        err << "dayvault-cli: " << e.what() << '\n'
            << "Try 'dayvault-cli " << (command ? std::string(command->name) + " " : "")
            << "--help'.\n";
        return 2;
    } catch (const OperationError& e) {
        err << "dayvault-cli: " << e.what() << '\n';
        return 1;
    } catch (const std::exception& e) {
        err << "dayvault-cli: " << e.what() << '\n';
        return 1;
    }
}

} // namespace dv::cli
