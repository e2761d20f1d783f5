// `dayvault-cli export html` as a user runs it: the demo file, the shipped templates, settings
// files and holiday modules in a temporary folder; every page checked by two HTML parsers.

#include "cli/CliTestSupport.h"
#include "export/HtmlCheck.h"

#include <cstddef>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

size_t Count(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

class CliExportHtml : public dv::test::CliDemoTest {
protected:
    // `export html demo.dat --kind KIND --date DATE --out OUT` and the extra arguments.
    Result Export(const std::string& kind, const std::string& date, const fs::path& out,
                  std::vector<std::string> extra = {}) const {
        std::vector<std::string> args = {"export",
                                         "html",
                                         Path("demo.dat").string(),
                                         "--kind",
                                         kind,
                                         "--date",
                                         date,
                                         "--out",
                                         out.string(),
                                         "--now",
                                         "2026-12-10 07:00:00"};
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }
};

TEST_F(CliExportHtml, EveryKindWithTheShippedTemplatesIsWellFormed) {
    struct Row {
        const char* kind;
        std::vector<std::string> extra;
        std::vector<std::string> texts; // must appear in the page
    };
    const Row rows[] = {
        {"todo", {"--days", "60"}, {"Finish the quarterly report", "Clean up the inbox", "<th>"}},
        {"week", {}, {"Team meeting", "Dec 07"}},
        {"fortnight", {}, {"Team meeting", "Dec 20"}},
        {"month", {}, {"Monday", "Sunday", "Dec 01", "Jan 01"}},
        {"list", {"--days", "31"}, {"Anna's birthday"}},
    };
    for (const Row& row : rows) {
        const fs::path out = Path(std::string(row.kind) + ".html");
        const Result r = Export(row.kind, "2026-12-10", out, row.extra);
        ASSERT_EQ(r.code, 0) << row.kind << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << "nothing but the file";
        const std::string page = ReadFile(out);
        EXPECT_EQ(page.find("$TABLE$"), std::string::npos) << row.kind;
        EXPECT_NE(page.find("<!DOCTYPE html>\r\n"), std::string::npos) << "CR LF line ends";
        EXPECT_EQ(Count(page, "\n"), Count(page, "\r\n")) << row.kind;
        for (const std::string& text : row.texts) {
            EXPECT_NE(page.find(text), std::string::npos) << row.kind << ": " << text;
        }
        EXPECT_EQ(dv::test::HtmlProblems(out), "") << row.kind;
    }
}

TEST_F(CliExportHtml, OwnTemplateSettingsAndHolidays) {
    const fs::path program = ProgramFolderWithTestland();
    WriteFile(Path("settings.ini"), "[HolidaySettings]\r\nModuleOrder=Testland\r\n"
                                    "ActiveModules=Testland\r\nDeactivated_Testland=LABOUR\r\n"
                                    "[Settings]\r\nHolidayShowLanguage=1\r\nHtmlEmptyDates=1\r\n"
                                    "HtmlListViewHeader=%Y-%m-%d\r\nHtmlHolidayColor=255\r\n");
    WriteFile(Path("mine.html"), "<html><body>\r\n$TABLE$<hr>$TABLE$\r\n</body></html>");
    const fs::path out = Path("page.html");
    const Result r = Export("list", "2027-04-30", out,
                            {"--days", "3", "--template", Path("mine.html").string(), "--settings",
                             Path("settings.ini").string(), "--program-folder", program.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string page = ReadFile(out);
    EXPECT_EQ(page.rfind("<html><body>\r\n<table", 0), 0u) << page;
    EXPECT_EQ(Count(page, "<b>2027-05-01</b>"), 2u) << "the table twice";
    EXPECT_EQ(Count(page, " <tr align= \"left\" valign=\"top\">"), 6u) << "3 days, empty ones too";
    EXPECT_EQ(Count(page, "bgcolor=\"#FF0000\""), 2u) << "1 May in the holiday colour";
    EXPECT_NE(page.find("nowrap>Maifeiertag (DEU)</td>"), std::string::npos) << page;
    EXPECT_EQ(page.find("Tag der Arbeit"), std::string::npos) << "switched off";
    EXPECT_EQ(dv::test::HtmlProblems(out), "");
}

TEST_F(CliExportHtml, FailuresLeaveTheOutputAlone) {
    WriteFile(Path("old.html"), "old page");
    Result r = Export("week", "2026-12-10", Path("old.html"),
                      {"--template", Path("missing.html").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(Path("missing.html").string()), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(Path("old.html")), "old page");

    const fs::path nowhere = Path("no-folder") / "page.html";
    r = Export("week", "2026-12-10", nowhere);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(nowhere.string()), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("no-folder")));

    r = Run({"export", "html", Path("missing.dat").string(), "--kind", "week", "--date",
             "2026-12-10", "--out", Path("x.html").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("missing.dat"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("x.html")));
}

TEST_F(CliExportHtml, UsageErrors) {
    const std::string file = Path("demo.dat").string();
    const std::string out = Path("u.html").string();
    const std::vector<std::vector<std::string>> rows = {
        {"export"},
        {"export", "pdf", file, "--kind", "week", "--date", "2026-12-10", "--out", out},
        {"export", "html", file, "--kind", "year", "--date", "2026-12-10", "--out", out},
        {"export", "html", file, "--kind", "week", "--out", out},
        {"export", "html", file, "--kind", "week", "--date", "2026-13-10", "--out", out},
        {"export", "html", file, "--kind", "week", "--date", "2026-12-10"},
        {"export", "html", file, "--date", "2026-12-10", "--out", out},
        {"export", "html", file, "--kind", "week", "--date", "2026-12-10", "--out", out, "--days",
         "3"},
        {"export", "html", file, "--kind", "list", "--date", "2026-12-10", "--out", out, "--days",
         "0"},
        {"export", "html", file, "--kind", "list", "--start", "2026-12-10", "--out", out},
        {"export", "html", "--kind", "list", "--date", "2026-12-10", "--out", out},
    };
    for (const auto& args : rows) {
        ExpectUsageError(args);
        EXPECT_FALSE(fs::exists(out)) << ::testing::PrintToString(args);
    }
    EXPECT_EQ(Run({"export", "--help"}).code, 0);
}

} // namespace
