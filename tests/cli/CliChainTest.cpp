// dayvault-cli on real files in a temporary folder, as a user runs it: one smoke test per
// subcommand on the demo file, then one table of failures (exit code 1) and one of usage errors
// (exit code 2). What each subcommand computes is tested in its module; here the chain counts.

#include "cli/CliArgs.h"
#include "cli/CliTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using dv::cli::CliArgs;
using dv::cli::UsageError;

// GUIDs of the demo backup: templates 1-4, events 5-17, to-dos 18-22.
constexpr const char* kTeamMeeting = "{D4A17000-0000-4000-8000-000000000005}";
constexpr const char* kStandUp = "{D4A17000-0000-4000-8000-000000000006}";
constexpr const char* kGym = "{D4A17000-0000-4000-8000-000000000007}";
constexpr const char* kDentist = "{D4A17000-0000-4000-8000-00000000000B}";
constexpr const char* kMarket = "{D4A17000-0000-4000-8000-00000000000C}";
constexpr const char* kPresents = "{D4A17000-0000-4000-8000-000000000012}";

size_t Count(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

// Empty when the page is well-formed HTML to two independent real parsers: libxml2's HTML parser
// (xmllint) has nothing to say, and Python's html.parser (strict_html.py) sees every element
// closed in the right order, nothing stray, and valid UTF-8; otherwise what they reported.
std::string HtmlProblems(const fs::path& page) {
    const std::string report = page.string() + ".report";
    const std::string script = std::string(DAYVAULT_TEST_SOURCES) + "/cli/strict_html.py";
    std::string problems;
    for (const std::string& command : {"xmllint --html --noout '" + page.string() + "'",
                                       "python3 '" + script + "' '" + page.string() + "'"}) {
        if (std::system((command + " >'" + report + "' 2>&1").c_str()) != 0) {
            problems += "failed: " + command + "\n";
        }
        problems += dv::test::ReadFile(report);
    }
    fs::remove(report);
    return problems;
}

// The demo backup restored into "demo.dat" with the clock at 2026-12-10 07:00:00.
class CliChain : public dv::test::CliTest {
protected:
    void SetUp() override {
        const Result r =
            Run({"restore", DAYVAULT_DEMO_BACKUP, File().string(), "--now", "2026-12-10 07:00:00"});
        ASSERT_EQ(r.code, 0) << r.err;
    }
    fs::path File() const { return Path("demo.dat"); }

    // The GUIDs of the rows of a search over the week of 7 to 13 December 2026.
    Strings SearchWeek(Strings options) const {
        Strings args = {"search", File().string(), "--from", "2026-12-07", "--to", "2026-12-13"};
        args.insert(args.end(), options.begin(), options.end());
        const Result r = Run(args);
        EXPECT_EQ(r.code, 0) << r.err;
        Strings guids;
        const Json result = Json::parse(r.out);
        for (const Json& row : result["rows"]) {
            guids.push_back(row["guid"]);
        }
        return guids;
    }
};

TEST_F(CliChain, RestoreInfoBackupAndRestoreAgainGiveTheSameFile) {
    const Json info = Info(File());
    ASSERT_EQ(info["templates"].size(), 4u);
    ASSERT_EQ(info["events"].size(), 13u);
    ASSERT_EQ(info["todos"].size(), 5u);
    EXPECT_TRUE(info["changeList"].empty());

    const Json& meeting = info["events"][0];
    EXPECT_EQ(meeting["GUID"], kTeamMeeting);
    EXPECT_EQ(meeting["StartDate"], "2026-01-05 09:30:00");
    EXPECT_EQ(meeting["state"]["LastCheck"], "2026-12-10 07:00:00")
        << "restoring evaluates the reminders up to the clock";
    EXPECT_EQ(info["events"][3]["DisplayColor"], 0xDCDCFF) << "RGB(255,220,220) as 0x00BBGGRR";
    EXPECT_EQ(info["events"][6]["Notes"], "Dr. Weber, Lindenstra\xC3\x9F"
                                          "e 3")
        << "Windows-1252 text comes out as UTF-8";

    ASSERT_EQ(Run({"backup", File().string(), Path("b.txt").string()}).code, 0);
    ASSERT_EQ(Run({"restore", Path("b.txt").string(), Path("c.dat").string(), "--now",
                   "2026-12-10 07:00:00"})
                  .code,
              0);
    EXPECT_EQ(ReadFile(Path("c.dat")), ReadFile(File()))
        << "the event file comes back byte for byte";
}

TEST_F(CliChain, OccurrencesOfOneEventOrAllInFileOrder) {
    Result r = Run({"occurrences", File().string(), "--from", "2026-12-07", "--to",
                    "2026-12-13 23:59:59", "--guid", kTeamMeeting});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out), Json::parse(R"([{"guid": "{D4A17000-0000-4000-8000-000000000005}",
                              "start": "2026-12-07 09:30:00", "end": "2026-12-07 10:30:00"}])"));

    r = Run(
        {"occurrences", File().string(), "--from", "2026-12-07", "--to", "2026-12-13 23:59:59"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Json all = Json::parse(r.out);
    int standUps = 0;
    for (const Json& occurrence : all) {
        standUps += occurrence["guid"] == kStandUp;
    }
    EXPECT_EQ(standUps, 5) << "the daily stand-up is limited to Monday to Friday";
    EXPECT_EQ(all[0]["guid"], kTeamMeeting) << "events come in file order";
}

TEST_F(CliChain, AgendaWithDefaultsAndWithTheSettingsFormatsAndHolidays) {
    Result r = Run({"agenda", File().string(), "--from", "2026-12-14", "--days", "2"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Mon, Dec 14 (Week 51)\n"
                     "  Anna's birthday\n"
                     "  09:00 AM - 09:15 AM Stand-up\n"
                     "  09:30 AM - 10:30 AM Team meeting\n"
                     "Tue, Dec 15\n"
                     "  09:00 AM - 09:15 AM Stand-up\n");

    // Fourteen days unless told otherwise.
    r = Run({"agenda", File().string(), "--from", "2026-12-14"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\nSun, Dec 27\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Dec 28"), std::string::npos) << r.out;

    // The clock decides where the default agenda starts.
    r = Run({"agenda", File().string(), "--days", "1", "--now", "2026-12-12 10:00:00"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Sat, Dec 12\n  05:00 PM - 08:00 PM Christmas market with Tom\n");

    // The active holiday of the day follows its caption; the switched-off one and the missing
    // module are left out.
    WriteFile(Path("settings.ini"),
              "[HolidaySettings]\r\nModuleOrder=Testland,Gone\r\nActiveModules=Testland,Gone\r\n"
              "Deactivated_Testland=LABOUR\r\n[Settings]\r\nHolidayShowLanguage=1\r\n"
              "WeekViewFormat=%d.%m.%Y\r\nTimeFormat=%H:%M\r\nShowWeekNumbers=0\r\n");
    r = Run({"agenda", File().string(), "--from", "2026-05-01", "--days", "1", "--settings",
             Path("settings.ini").string(), "--program-folder",
             ProgramFolderWithTestland().string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "01.05.2026\n  Maifeiertag (DEU)\n  Pay the rent\n  09:00 - 09:15 Stand-up\n");
    // Without the language setting, both holidays of the day without brackets.
    WriteFile(Path("plain.ini"), "[HolidaySettings]\r\nActiveModules=Testland\r\n");
    r = Run({"agenda", File().string(), "--from", "2026-05-01", "--days", "1", "--settings",
             Path("plain.ini").string(), "--program-folder", ProgramFolderWithTestland().string()});
    EXPECT_NE(r.out.find("\n  Maifeiertag\n  Tag der Arbeit\n"), std::string::npos) << r.err;
}

TEST_F(CliChain, FormatExpandsForEventsAndTodos) {
    Result r = Run({"format", File().string(), "--guid", kDentist, "--format",
                    "$DESCRIPTION$ at $THIS_START_TIME$"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Dentist at 08:30 AM");

    r = Run({"format", File().string(), "--guid", kTeamMeeting, "--format",
             "$THIS_DATE$, occurrence $THIS_COUNT$, $COUNT$", "--occurrence",
             "2026-12-07 09:30:00"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "December 07, 2026, occurrence 49, $COUNT$");

    r = Run({"format", File().string(), "--guid", kPresents, "--format", "$STATE$ $DESCRIPTION$",
             "--now", "2026-12-18 00:00:00"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Urgent! Buy Christmas presents");
}

TEST_F(CliChain, MergeAddsOnlyWhatIsMissing) {
    fs::copy_file(File(), Path("copy.dat"));
    const Result same = Run({"merge", File().string(), Path("copy.dat").string()});
    EXPECT_EQ(Json::parse(same.out)["added"], 0) << same.err;
    WriteFile(Path("one.txt"), "[DateEntry 0]\r\nGUID={D4A17000-0000-4000-8000-0000000000FF}\r\n"
                               "Description=Concert\r\nStartDate=2026 12 19 20 00 00\r\n"
                               "EndDate=2026 12 19 22 00 00\r\n");
    ASSERT_EQ(Run({"restore", Path("one.txt").string(), Path("one.dat").string()}).code, 0);
    const Result r = Run({"merge", File().string(), Path("one.dat").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out)["added"], 1);
    const Json info = Info(File());
    ASSERT_EQ(info["events"].size(), 14u);
    EXPECT_EQ(info["events"][13]["Description"], "Concert");
}

TEST_F(CliChain, HolidaysCompileDecompileAndListAYear) {
    const fs::path source = dv::test::TestlandSource();
    ASSERT_EQ(Run({"holidays", "compile", source.string(), Path("a.hol").string()}).code, 0);
    const Result decompiled = Run({"holidays", "decompile", Path("a.hol").string()});
    ASSERT_EQ(decompiled.code, 0) << decompiled.err;
    EXPECT_NE(
        decompiled.out.find("holiday ASSUMPTION \"Mariä Himmelfahrt\" = 15 August; from 2000"),
        std::string::npos)
        << decompiled.out;
    WriteFile(Path("b.txt"), decompiled.out);
    ASSERT_EQ(Run({"holidays", "compile", Path("b.txt").string(), Path("b.hol").string()}).code, 0);
    EXPECT_EQ(ReadFile(Path("b.hol")), ReadFile(Path("a.hol")));

    const Json expected = Json::parse(R"([
        {"date": "2023-01-02", "name": "NEW_YEAR", "text": "Neujahr"},
        {"date": "2023-04-10", "name": "EASTER_MONDAY", "text": "Ostermontag"},
        {"date": "2023-05-01", "name": "MAY_DAY", "text": "Maifeiertag"},
        {"date": "2023-05-01", "name": "LABOUR", "text": "Tag der Arbeit"},
        {"date": "2023-08-15", "name": "ASSUMPTION", "text": "Mariä Himmelfahrt"},
        {"date": "2023-10-01", "name": "THANKS", "text": "Erntedank"},
        {"date": "2023-12-03", "name": "FIRST_ADVENT", "text": "Erster Advent"}
    ])");
    Result r = Run({"holidays", "--file", Path("a.hol").string(), "--year", "2023"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out), expected);
    r = Run({"holidays", "--module", "Testland", "--year", "2023", "--program-folder",
             ProgramFolderWithTestland().string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out), expected);
}

TEST_F(CliChain, HtmlExportOfEveryKindIsWellFormed) {
    struct Row {
        const char* kind;
        Strings extra;
        const char* text; // must appear in the page
    };
    const Row rows[] = {
        {"todo", {"--days", "60"}, "Finish the quarterly report"},
        {"week", {}, "Team meeting"},
        {"fortnight", {}, "Dec 20"},
        {"month", {}, "Jan 01"},
        {"list", {"--days", "31"}, "Anna's birthday"},
    };
    for (const Row& row : rows) {
        const fs::path out = Path(std::string(row.kind) + ".html");
        Strings args = {"export", "html",       File().string(), "--kind",    row.kind,
                        "--date", "2026-12-10", "--out",         out.string()};
        args.insert(args.end(), row.extra.begin(), row.extra.end());
        const Result r = Run(args);
        ASSERT_EQ(r.code, 0) << row.kind << ": " << r.err;
        const std::string page = ReadFile(out);
        EXPECT_EQ(page.find("$TABLE$"), std::string::npos) << row.kind;
        EXPECT_EQ(Count(page, "\n"), Count(page, "\r\n")) << row.kind;
        EXPECT_NE(page.find(row.text), std::string::npos) << row.kind << ": " << row.text;
        EXPECT_EQ(HtmlProblems(out), "") << row.kind;
    }
}

TEST_F(CliChain, SearchFiltersByTextCategoryAndState) {
    EXPECT_EQ(SearchWeek({}), (Strings{kStandUp, kTeamMeeting, kDentist, kGym, kMarket}))
        << "one row per event, by date";
    EXPECT_EQ(SearchWeek({"--text", "christmas gym", "--mode", "or"}), (Strings{kGym, kMarket}));
    EXPECT_EQ(SearchWeek({"--text", "market with", "--mode", "exact"}), (Strings{kMarket}));
    EXPECT_EQ(SearchWeek({"--text", "room agenda", "--scope", "notes"}), (Strings{kTeamMeeting}));
    EXPECT_EQ(SearchWeek({"--text", "room agenda", "--scope", "description"}), Strings{});
    EXPECT_EQ(SearchWeek({"--categories", "work,BIRTHDAY"}), (Strings{kStandUp, kTeamMeeting}));

    // After the reminder run at noon on the 10th, earlier occurrences are done.
    const Result r = Run({"reminders", File().string(), "--at", "2026-12-10 12:00:00", "--save"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(SearchWeek({"--state", "done"}), (Strings{kStandUp, kTeamMeeting}));
    EXPECT_EQ(SearchWeek({"--state", "snoozed"}), Strings{});
    EXPECT_EQ(SearchWeek({"--state", "undone", "--categories", "private"}),
              (Strings{kDentist, kGym, kMarket}));
}

// Every way a run can fail: a failed operation exits with 1 and names what failed, a usage error
// exits with 2 and says why; neither writes to stdout or leaves a partial file behind.
TEST_F(CliChain, ExitCodesOfFailuresAndUsageErrors) {
    const std::string demo = File().string();
    const std::string before = ReadFile(File());
    WriteFile(Path("bad.dat"), "not an event file at all");
    WriteFile(Path("old.out"), "old content");
    const std::string source = dv::test::TestlandSource().string();
    ASSERT_EQ(Run({"holidays", "compile", source, Path("t.hol").string()}).code, 0);
    WriteFile(Path("cut.hol"), ReadFile(Path("t.hol")).substr(0, 100));
    WriteFile(Path("bad.txt"), "language 0x407\nholiday A \"a\" = 31 Juni\n");
    fs::create_directories(Path("taken.csv") / "inside");
    const std::string program = ProgramFolderWithTestland().string();
    const std::string bad = Path("bad.dat").string();
    const std::string nowhere = (Path("nowhere") / "out").string();
    const std::string old = Path("old.out").string();
    const std::string day = "2026-12-07";
    const Strings csv = {"export",  "csv", demo,     "--kind", "calendar",
                         "--start", day,   "--days", "7"};
    const Strings html = {"export", "html", demo, "--kind", "week", "--date", day, "--out", old};
    const auto with = [](Strings args, const Strings& more) {
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    struct Row {
        Strings args;
        std::string named; // in the message on stderr; empty: a usage error
    };
    const std::vector<Row> rows = {
        {{"merge", demo, bad}, "bad.dat"},
        {{"agenda", demo, "--settings", Path("none.ini").string()}, "none.ini"},
        {{"occurrences", demo, "--from", day, "--to", day, "--guid", "{0}"}, "no event with GUID"},
        {{"holidays", "decompile", Path("cut.hol").string()}, "not a valid holiday module"},
        {{"holidays", "--module", "Nowhere", "--year", "2023", "--program-folder", program},
         "Nowhere.hol"},
        {{"holidays", "compile", Path("bad.txt").string(), old},
         "bad.txt:2: expected a month name"},
        {{"holidays", "compile", Path("missing.txt").string(), old}, "missing.txt"},
        {with(csv, {"--out", Path("taken.csv").string()}), "taken.csv"},
        {{"export", "csv", bad, "--kind", "todo", "--start", day, "--days", "7", "--out", old},
         "bad.dat"},
        {with(html, {"--template", Path("missing.html").string()}), "missing.html"},
        {{"export", "html", demo, "--kind", "week", "--date", day, "--out", nowhere}, nowhere},
        {{}, ""},
        {{"frobnicate"}, ""},
        {{"occurrences", demo, "--from", "2026-02-30", "--to", "2026-12-31"}, ""},
        {{"agenda", demo, "--days", "3661"}, ""},
        {{"agenda", demo, "--now", "yesterday"}, ""},
        {{"agenda", demo, "--now", "2026-12-06T10:00:00"}, ""},
        {{"agenda", demo, "--now", "0000-01-01"}, ""},
        {{"holidays", "--module", "A", "--file", source, "--year", "2023"}, ""},
        {{"holidays", "--module", "../x", "--year", "2023"}, ""},
        {{"holidays", "decompile"}, ""},
        {{"holidays", "decompile", source, "--year", "2023"}, ""},
        {{"holidays", "list"}, ""},
        {{"export"}, ""},
        {{"export", "xml", demo, "--out", old}, ""},
        {{"export", "csv", demo, "--kind", "week", "--start", day, "--days", "7", "--out", old},
         ""},
        {with(csv, {"--out", old, "--template", old}), ""},
        {{"export", "csv", demo, "--kind", "todo", "--date", day, "--days", "7", "--out", old}, ""},
        {{"export", "html", demo, "--kind", "year", "--date", day, "--out", old}, ""},
        {{"export", "html", demo, "--kind", "list", "--start", day, "--out", old}, ""},
        {with(html, {"--days", "3"}), ""},
        {{"search", demo, "--from", day}, ""},
        {{"search", demo, "--from", day, "--to", day, "--text", "x", "--mode", "some"}, ""},
        {{"search", demo, "--from", day, "--to", day, "--mode", "or"}, ""},
        {{"search", demo, "--from", day, "--to", day, "--text", "x", "--scope", "title"}, ""},
        {{"search", demo, "--from", day, "--to", day, "--state", "due"}, ""},

    };
    for (const Row& row : rows) {
        const std::string shown = ::testing::PrintToString(row.args);
        const Result r = Run(row.args);
        EXPECT_EQ(r.code, row.named.empty() ? 2 : 1) << shown << "\n" << r.err;
        EXPECT_FALSE(r.err.empty()) << shown;
        EXPECT_NE(r.err.find(row.named), std::string::npos) << shown << "\n" << r.err;
        EXPECT_TRUE(r.out.empty()) << shown;
    }
    EXPECT_EQ(ReadFile(File()), before) << "a failed merge leaves the file as it was";
    EXPECT_EQ(ReadFile(Path("old.out")), "old content") << "no output file is replaced";
    EXPECT_TRUE(fs::is_directory(Path("taken.csv") / "inside"));
    EXPECT_EQ(FileNames(), (Strings{"bad.dat", "bad.txt", "cut.hol", "demo.dat", "old.out",
                                    "program", "stderr", "stdout", "t.hol", "taken.csv"}))
        << "no partial or temporary files are left behind";
    for (const char* command : {"agenda", "export", "holidays"}) {
        const Result help = Run({command, "--help"});
        EXPECT_EQ(help.code, 0);
        EXPECT_NE(help.out.find(std::string("Usage: dayvault-cli ") + command), std::string::npos)
            << help.out;
    }
}

// The parser itself, for what the table above cannot show: values, flags and number limits.
TEST(CliArgs, OptionsAnywhereAndOnlyKnownOnes) {
    const CliArgs args({"file.dat", "--from=2026-01-01", "--now", "2026-01-02", "--save", "x"},
                       {"--from"}, {"--save"});
    EXPECT_EQ(args.Positional(), (std::vector<std::string>{"file.dat", "x"}));
    EXPECT_EQ(args.Value("--from"), "2026-01-01");
    EXPECT_EQ(args.Value("--now"), "2026-01-02");
    EXPECT_TRUE(args.Has("--save"));
    EXPECT_FALSE(args.Has("--to"));
    EXPECT_THROW(args.RequirePositional(1, "FILE"), UsageError);

    EXPECT_THROW(CliArgs({"--to", "x"}, {"--from"}, {}), UsageError);
    EXPECT_THROW(CliArgs({"--from"}, {"--from"}, {}), UsageError) << "value missing";
    EXPECT_THROW(CliArgs({"--from", "a", "--from", "b"}, {"--from"}, {}), UsageError);
    EXPECT_THROW(CliArgs({"--save=1"}, {}, {"--save"}), UsageError) << "a flag takes no value";
    EXPECT_EQ(CliArgs::ParseInt("--days", "3660", 1, 3660), 3660);
    EXPECT_THROW(CliArgs::ParseInt("--days", "3661", 1, 3660), UsageError);
    EXPECT_THROW(CliArgs::ParseInt("--days", "0", 1, 3660), UsageError);
    EXPECT_THROW(CliArgs::ParseInt("--days", "14x", 1, 3660), UsageError);
    EXPECT_THROW(CliArgs::ParseInt("--days", "99999999999", 1, 3660), UsageError);
}

} // namespace
