// dayvault-cli ics import and export on real files.

#include "cli/CliTestSupport.h"

#include <cstdlib>

namespace dv::test {
namespace {

class CliIcs : public CliTest {
protected:
    void SetUp() override { ::setenv("TZ", "Europe/Berlin", 1); }

    static std::filesystem::path Sample(const char* name) {
        return std::filesystem::path(DAYVAULT_TEST_SOURCES) / "data" / "ical" / name;
    }
};

TEST_F(CliIcs, ImportExportAndImportAgainKeepsEverything) {
    const auto file = Path("events.dat");
    Result r = Run({"ics", "import", file.string(), Sample("google.ics").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    Json json = Json::parse(r.out);
    EXPECT_EQ(json["added"], 3);
    EXPECT_EQ(json["updated"], 0);
    EXPECT_NE(json["approximated"].dump().find("RECURRENCE-ID"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(Path("events.uids")));

    // The same calendar again changes nothing.
    r = Run({"ics", "import", file.string(), Sample("google.ics").string()});
    json = Json::parse(r.out);
    EXPECT_EQ(json["unchanged"], 3);
    EXPECT_EQ(json["added"], 0);

    // Export writes the original UIDs; importing it into a new file gives the same records.
    r = Run({"ics", "export", file.string(), "--out", Path("out.ics").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out)["exported"], 4);
    const std::string exported = ReadFile(Path("out.ics"));
    EXPECT_NE(exported.find("UID:3k9v1q2m7c0q8n4o5p6r@google.com"), std::string::npos);
    r = Run({"ics", "import", Path("copy.dat").string(), Path("out.ics").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out)["approximated"].size(), 0u);
    EXPECT_EQ(Info(file)["events"], Info(Path("copy.dat"))["events"]);

    // A changed calendar updates: the summary changed elsewhere.
    std::string changed = exported;
    changed.replace(changed.find("SUMMARY:Dentist"), 15, "SUMMARY:Doctor!");
    WriteFile(Path("changed.ics"), changed);
    r = Run({"ics", "import", file.string(), Path("changed.ics").string()});
    json = Json::parse(r.out);
    EXPECT_EQ(json["updated"], 1);
    EXPECT_EQ(json["unchanged"], 3); // the series, its moved occurrence, the holiday
}

TEST_F(CliIcs, BadCalendarsFailAndLeaveTheFileAlone) {
    const auto file = Path("events.dat");
    ASSERT_EQ(Run({"ics", "import", file.string(), Sample("apple.ics").string()}).code, 0);
    const std::string before = ReadFile(file);
    const std::string whole = ReadFile(Sample("outlook.ics"));
    WriteFile(Path("cut.ics"), whole.substr(0, whole.size() - 40));
    WriteFile(Path("text.ics"), "just some text\n");
    for (const char* bad : {"cut.ics", "text.ics", "missing.ics"}) {
        const Result r = Run({"ics", "import", file.string(), Path(bad).string()});
        EXPECT_EQ(r.code, 1) << bad;
        EXPECT_NE(r.err.find(bad), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(ReadFile(file), before) << bad;
    }
    // Export into a folder that does not exist leaves no partial file and fails.
    const Result r =
        Run({"ics", "export", file.string(), "--out", Path("no/such/out.ics").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(Run({"ics", "export", file.string()}).code, 2); // --out missing
}

} // namespace
} // namespace dv::test
