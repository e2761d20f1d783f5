// The CSV export chain through dayvault-cli on real files in a temporary folder: the demo file
// exported with the default and with custom settings, read back by Python's csv module, and the
// failures that must leave no partial file behind.

#include "cli/CliTestSupport.h"

#include <cstddef>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

class CliExportCsv : public dv::test::CliTest {
protected:
    // The file read back by Python's csv module (strict quoting).
    Rows Parse(const fs::path& file, const std::string& delimiter) const {
        const Result r =
            RunCommand("python3 " + Quote(DAYVAULT_CSV_READER), {file.string(), delimiter});
        EXPECT_EQ(r.code, 0) << r.err;
        Rows rows;
        std::vector<std::string> row;
        std::string field;
        for (char c : r.out) {
            if (c == '\x1f' || c == '\x1e') {
                row.push_back(field);
                field.clear();
                if (c == '\x1e') {
                    rows.push_back(row);
                    row.clear();
                }
            } else {
                field += c;
            }
        }
        return rows;
    }
};

TEST_F(CliExportCsv, DefaultCalendarAndTodoExportsOfTheDemoFile) {
    const fs::path demo = Demo();
    const std::string before = ReadFile(demo);
    const fs::path out = Path("week.csv");
    Result r = Run({"export", "csv", demo.string(), "--kind", "calendar", "--start", "2026-12-07",
                    "--days", "7", "--out", out.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.out.empty()) << "nothing but the file";

    const std::string bytes = ReadFile(out);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "a line end without CR at " << i;
        }
    }
    const Rows rows = Parse(out, "comma");
    ASSERT_EQ(rows.size(), 10u) << bytes;
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Date", "Time", "Description", "Notes"}));
    EXPECT_EQ(rows[1],
              (std::vector<std::string>{"12/07/2026", "09:00 AM - 09:15 AM", "Stand-up", ""}));
    EXPECT_EQ(rows[2],
              (std::vector<std::string>{"12/07/2026", "09:30 AM - 10:30 AM", "Team meeting",
                                        "Room 4.12, agenda in the shared folder"}))
        << "the comma stays inside the quoted notes";
    EXPECT_EQ(rows[5][2], "Dentist") << "the entry order of a day: start time first";
    EXPECT_EQ(rows[9], (std::vector<std::string>{"12/12/2026", "05:00 PM - 08:00 PM",
                                                 "Christmas market with Tom", ""}));
    EXPECT_EQ(ReadFile(demo), before) << "the event file is not touched";

    r = Run({"export", "csv", demo.string(), "--kind", "todo", "--start", "2026-12-07", "--days",
             "7", "--out", Path("todos.csv").string(), "--now", "2026-12-10 07:00:00"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Rows todos = Parse(Path("todos.csv"), "comma");
    ASSERT_EQ(todos.size(), 2u);
    EXPECT_EQ(todos[0], (std::vector<std::string>{"Date", "Time", "State", "Priority",
                                                  "Description", "Notes"}));
    EXPECT_EQ(todos[1],
              (std::vector<std::string>{"", "", "To Do:", "8", "Clean up the inbox", ""}));
}

TEST_F(CliExportCsv, SettingsFileWithCustomFieldsDelimiterAndHolidays) {
    const fs::path demo = Demo();
    const fs::path folder = ProgramFolderWithTestland();
    WriteFile(Path("settings.ini"),
              "[HolidaySettings]\r\nModuleOrder=Testland\r\nActiveModules=Testland\r\n"
              "[Settings]\r\nHolidayShowLanguage=1\r\n"
              "CsvCalendarFields=1110011\r\n"
              "CsvCalendarFieldorder=5,2,0,1,9\r\n"
              "CsvCalendarFieldnames=Tag,KW,Feiertag,Zeit,Kategorie,Was,Notiz\r\n"
              "CsvCalendarFieldDelimiter=1\r\n"
              "CsvCalendarRemoveDelimiter=1\r\n"
              "CsvCalendarDate=%d.%m.%Y\r\n"
              "CsvCalendarDescription=$DESCRIPTION$; $CATEGORY$\r\n");
    const fs::path out = Path("may.csv");
    Result r = Run({"export", "csv", demo.string(), "--kind", "calendar", "--start", "2026-05-01",
                    "--days", "1", "--out", out.string(), "--settings",
                    Path("settings.ini").string(), "--program-folder", folder.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string bytes = ReadFile(out);
    EXPECT_EQ(bytes.substr(0, bytes.find('\r')), "Was;Feiertag;Tag;KW") << bytes;
    const Rows rows = Parse(out, "semicolon");
    ASSERT_EQ(rows.size(), 3u) << bytes;
    const std::string holiday = "Maifeiertag (DEU) / Tag der Arbeit (DEU)";
    EXPECT_EQ(rows[1][1], holiday);
    EXPECT_EQ(rows[2][1], holiday);
    EXPECT_EQ(rows[1][2], "01.05.2026");
    EXPECT_EQ(rows[1][3], "18") << "the ISO week of Friday 1 May 2026";
    EXPECT_EQ(rows[1][0].find(';'), std::string::npos) << "the delimiter is removed";
    EXPECT_EQ(rows[1][0].rfind("Pay the rent ", 0), 0u) << rows[1][0];
    EXPECT_EQ(rows[2][0].rfind("Stand-up ", 0), 0u) << rows[2][0];

    // Without --settings the defaults apply: no holiday column, comma-separated.
    r = Run({"export", "csv", demo.string(), "--kind", "calendar", "--start", "2026-05-01",
             "--days", "1", "--out", out.string(), "--program-folder", folder.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Parse(out, "comma")[0],
              (std::vector<std::string>{"Date", "Time", "Description", "Notes"}));
}

TEST_F(CliExportCsv, TodoExportOrderAndTheHideRules) {
    const fs::path demo = Demo();
    const std::vector<std::string> args = {"export",
                                           "csv",
                                           demo.string(),
                                           "--kind",
                                           "todo",
                                           "--start",
                                           "2026-01-01",
                                           "--days",
                                           "730",
                                           "--out",
                                           Path("t.csv").string(),
                                           "--now",
                                           "2026-12-10 07:00:00"};
    Result r = Run(args);
    ASSERT_EQ(r.code, 0) << r.err;
    Rows rows = Parse(Path("t.csv"), "comma");
    std::vector<std::string> descriptions;
    for (size_t i = 1; i < rows.size(); ++i) {
        descriptions.push_back(rows[i][4]);
    }
    EXPECT_EQ(descriptions, (std::vector<std::string>{
                                "Book train tickets", "Finish the quarterly report",
                                "Buy Christmas presents", "Renew passport", "Clean up the inbox"}))
        << "by deadline, the one without deadline last";
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[1][2], "Done:");
    EXPECT_EQ(rows[2][1], "05:00 PM") << "the deadline time is shown";
    EXPECT_EQ(rows[3][5], "Anna: book\r\nTom: scarf") << "the lone LF of the notes is kept";

    // The hide rules hold without any filter: the done to-do is past its deadline, and the
    // undone ones are more than three days ahead.
    WriteFile(Path("hide.ini"), "[Settings]\r\nHideDoneTodo=1\r\nDaysBeforeHideTodo=0\r\n"
                                "HideUndoneTodo=1\r\nDaysBeforeShowTodo=3\r\n");
    std::vector<std::string> hidden = args;
    hidden.insert(hidden.end(), {"--settings", Path("hide.ini").string()});
    r = Run(hidden);
    ASSERT_EQ(r.code, 0) << r.err;
    rows = Parse(Path("t.csv"), "comma");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][4], "Clean up the inbox");

    // Three days before the report's deadline, to the second, it shows.
    hidden[12] = "2026-12-15 16:59:59";
    r = Run(hidden);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Parse(Path("t.csv"), "comma").size(), 2u);
    hidden[12] = "2026-12-15 17:00:00";
    r = Run(hidden);
    ASSERT_EQ(r.code, 0) << r.err;
    rows = Parse(Path("t.csv"), "comma");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1][4], "Finish the quarterly report");
}

TEST_F(CliExportCsv, FailuresExitOneAndLeaveNoPartialFile) {
    const fs::path demo = Demo();
    const std::vector<std::string> base = {"export",     "csv",      demo.string(),
                                           "--kind",     "calendar", "--start",
                                           "2026-12-07", "--days",   "7"};
    auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = base;
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    };

    // The output folder does not exist.
    const fs::path missing = Path("nowhere") / "out.csv";
    Result r = Run(with({"--out", missing.string()}));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(missing.string()), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("nowhere")));

    // A folder stands where the file should go: it stays as it is.
    fs::create_directories(Path("taken.csv") / "inside");
    r = Run(with({"--out", Path("taken.csv").string()}));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("taken.csv"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_directory(Path("taken.csv") / "inside"));

    // An unreadable event file leaves an existing output file as it was.
    WriteFile(Path("old.csv"), "old content\r\n");
    WriteFile(Path("broken.dat"), "not an event file");
    r = Run({"export", "csv", Path("broken.dat").string(), "--kind", "todo", "--start",
             "2026-12-07", "--days", "7", "--out", Path("old.csv").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("broken.dat"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(Path("old.csv")), "old content\r\n");

    size_t leftovers = 0;
    for (const auto& entry : fs::directory_iterator(Path("."))) {
        const std::string name = entry.path().filename().string();
        leftovers += name != "demo.dat" && name != "taken.csv" && name != "old.csv" &&
                     name != "broken.dat" && name != "stdout" && name != "stderr";
    }
    EXPECT_EQ(leftovers, 0u) << "no temporary files are left behind";
}

TEST_F(CliExportCsv, UsageErrorsExitTwoAndWriteNothing) {
    const fs::path demo = Demo();
    const std::string file = demo.string();
    const std::string out = Path("out.csv").string();
    const std::vector<std::vector<std::string>> rows = {
        {"export"},
        {"export", "xml", file, "--out", out},
        {"export", "csv"},
        {"export", "csv", file, "--start", "2026-12-07", "--days", "7", "--out", out},
        {"export", "csv", file, "--kind", "week", "--start", "2026-12-07", "--days", "7", "--out",
         out},
        {"export", "csv", file, "--kind", "todo", "--days", "7", "--out", out},
        {"export", "csv", file, "--kind", "todo", "--start", "2026-02-30", "--days", "7", "--out",
         out},
        {"export", "csv", file, "--kind", "todo", "--start", "2026-12-07", "--out", out},
        {"export", "csv", file, "--kind", "todo", "--start", "2026-12-07", "--days", "0", "--out",
         out},
        {"export", "csv", file, "--kind", "todo", "--start", "2026-12-07", "--days", "x", "--out",
         out},
        {"export", "csv", file, "--kind", "todo", "--start", "2026-12-07", "--days", "7"},
        {"export", "csv", file, "--kind", "todo", "--date", "2026-12-07", "--days", "7", "--out",
         out},
        {"export", "csv", file, "--kind", "todo", "--start", "2026-12-07", "--days", "7", "--out",
         out, "--template", out},
        {"export", "csv", file, "--kind", "todo", "--start", "2026-12-07", "--days", "7", "--out",
         out, "--colour", "red"},
    };
    for (const auto& args : rows) {
        ExpectUsageError(args);
        EXPECT_FALSE(fs::exists(out)) << ::testing::PrintToString(args);
    }
    const Result help = Run({"export", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("csv FILE --kind calendar|todo"), std::string::npos) << help.out;
}

} // namespace
