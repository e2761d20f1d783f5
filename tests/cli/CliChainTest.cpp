// Whole chains through dayvault-cli on real files in a temporary folder, as a user runs them.

#include "cli/CliTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// GUIDs of the demo backup: templates 1-4, events 5-17, to-dos 18-22.
constexpr const char* kTeamMeeting = "{D4A17000-0000-4000-8000-000000000005}";
constexpr const char* kDentist = "{D4A17000-0000-4000-8000-00000000000B}";
constexpr const char* kPresents = "{D4A17000-0000-4000-8000-000000000012}";

using CliChain = dv::test::CliTest;

TEST_F(CliChain, RestoreInfoBackupAndRestoreAgainGiveTheSameFile) {
    const fs::path a = Demo("a.dat");
    const Json info = Info(a);
    ASSERT_EQ(info["templates"].size(), 4u);
    ASSERT_EQ(info["events"].size(), 13u);
    ASSERT_EQ(info["todos"].size(), 5u);
    EXPECT_TRUE(info["changeList"].empty());

    const Json& meeting = info["events"][0];
    EXPECT_EQ(meeting["GUID"], kTeamMeeting);
    EXPECT_EQ(meeting["Description"], "Team meeting");
    EXPECT_EQ(meeting["StartDate"], "2026-01-05 09:30:00");
    EXPECT_EQ(meeting["RepeatUnit"], 3);
    EXPECT_EQ(meeting["CondMonth"], 0xFFF);
    EXPECT_EQ(meeting["state"]["LastCheck"], "2026-12-10 07:00:00")
        << "restoring evaluates the reminders up to the clock";
    EXPECT_EQ(info["events"][3]["DisplayColor"], 0xDCDCFF) << "RGB(255,220,220) as 0x00BBGGRR";
    EXPECT_EQ(info["events"][6]["Notes"], "Dr. Weber, Lindenstra\xC3\x9F"
                                          "e 3")
        << "Windows-1252 text comes out as UTF-8";
    EXPECT_EQ(info["todos"][0]["Notes"], "Anna: book\nTom: scarf");
    EXPECT_EQ(info["todos"][3]["Done"], 1);

    ASSERT_EQ(Run({"backup", a.string(), Path("b.txt").string()}).code, 0);
    ASSERT_EQ(Run({"restore", Path("b.txt").string(), Path("c.dat").string(), "--now",
                   "2026-12-10 07:00:00"})
                  .code,
              0);
    EXPECT_EQ(ReadFile(Path("c.dat")), ReadFile(a)) << "the event file comes back byte for byte";
}

TEST_F(CliChain, OccurrencesOfOneEventOrAllInFileOrder) {
    const fs::path a = Demo("a.dat");
    Result r = Run({"occurrences", a.string(), "--from", "2026-12-07", "--to",
                    "2026-12-13 23:59:59", "--guid", kTeamMeeting});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out), Json::parse(R"([{"guid": "{D4A17000-0000-4000-8000-000000000005}",
                              "start": "2026-12-07 09:30:00", "end": "2026-12-07 10:30:00"}])"));

    r = Run({"occurrences", a.string(), "--from", "2026-12-07", "--to", "2026-12-13 23:59:59"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Json all = Json::parse(r.out);
    int standUps = 0;
    for (const Json& occurrence : all) {
        standUps += occurrence["guid"] == "{D4A17000-0000-4000-8000-000000000006}";
    }
    EXPECT_EQ(standUps, 5) << "the daily stand-up is limited to Monday to Friday";
    EXPECT_EQ(all[0]["guid"], kTeamMeeting) << "events come in file order";

    r = Run({"occurrences", a.string(), "--from", "2026-12-07", "--to", "2026-12-08", "--guid",
             "{00000000-0000-0000-0000-000000000000}"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("no event with GUID"), std::string::npos) << r.err;
}

TEST_F(CliChain, AgendaListsCaptionsAndCalendarTextsInEntryOrder) {
    const fs::path a = Demo("a.dat");
    const Result r = Run({"agenda", a.string(), "--from", "2026-12-14", "--days", "2"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Mon, Dec 14 (Week 51)\n"
                     "  Anna's birthday\n"
                     "  09:00 AM - 09:15 AM Stand-up\n"
                     "  09:30 AM - 10:30 AM Team meeting\n"
                     "Tue, Dec 15\n"
                     "  09:00 AM - 09:15 AM Stand-up\n");

    // The clock decides where the default agenda starts.
    const Result today = Run({"agenda", a.string(), "--days", "1", "--now", "2026-12-12 10:00:00"});
    ASSERT_EQ(today.code, 0) << today.err;
    EXPECT_EQ(today.out, "Sat, Dec 12\n  05:00 PM - 08:00 PM Christmas market with Tom\n");
}

TEST_F(CliChain, AgendaUsesTheFormatsOfTheSettingsFile) {
    const fs::path a = Demo("a.dat");
    WriteFile(Path("dayvault.ini"), "[Settings]\r\nWeekViewFormat=%d.%m.%Y\r\n"
                                    "TimeFormat=%H:%M\r\nShowWeekNumbers=0\r\n");
    const Result r = Run({"agenda", a.string(), "--from", "2026-12-15", "--days", "1", "--settings",
                          Path("dayvault.ini").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "15.12.2026\n  09:00 - 09:15 Stand-up\n");

    const Result missing = Run({"agenda", a.string(), "--settings", Path("none.ini").string()});
    EXPECT_EQ(missing.code, 1);
}

TEST_F(CliChain, RemindersRunTheUpdateAndSaveOnlyWhenAsked) {
    const fs::path a = Demo("a.dat");
    const std::string before = ReadFile(a);
    Result r = Run({"reminders", a.string(), "--at", "2026-12-10 07:45:00"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out), Json::parse(R"([
        {"guid": "{D4A17000-0000-4000-8000-00000000000B}", "Description": "Dentist",
         "due": ["2026-12-10 08:30:00"], "snoozed": []},
        {"urgentTodos": []}])"));
    EXPECT_EQ(ReadFile(a), before) << "without --save the file stays as it was";

    r = Run({"reminders", a.string(), "--at", "2026-12-18 08:00:00", "--save"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Json result = Json::parse(r.out);
    EXPECT_EQ(result.back()["urgentTodos"],
              Json::parse(R"(["{D4A17000-0000-4000-8000-000000000012}",
                              "{D4A17000-0000-4000-8000-000000000014}"])"));
    const Json info = Info(a);
    EXPECT_EQ(info["events"][6]["state"]["DueOccurrences"],
              Json::parse(R"(["2026-12-10 08:30:00"])"));
    EXPECT_EQ(info["events"][6]["state"]["LastCheck"], "2026-12-18 08:00:00");
    EXPECT_EQ(info["todos"][0]["CurrentTime"], "2026-12-18 08:00:00");
}

TEST_F(CliChain, FormatExpandsForEventsAndTodos) {
    const fs::path a = Demo("a.dat");
    Result r = Run({"format", a.string(), "--guid", kDentist, "--format",
                    "$DESCRIPTION$ at $THIS_START_TIME$"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Dentist at 08:30 AM");

    r = Run({"format", a.string(), "--guid", kTeamMeeting, "--format",
             "$THIS_DATE$, occurrence $THIS_COUNT$, $COUNT$", "--occurrence",
             "2026-12-07 09:30:00"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "December 07, 2026, occurrence 49, $COUNT$");

    r = Run({"format", a.string(), "--guid", kPresents, "--format", "$STATE$ $DESCRIPTION$",
             "--now", "2026-12-18 00:00:00"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Urgent! Buy Christmas presents");
}

TEST_F(CliChain, MergeAddsOnlyWhatIsMissing) {
    const fs::path a = Demo("a.dat");
    fs::copy_file(a, Path("copy.dat"));
    Result r = Run({"merge", a.string(), Path("copy.dat").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out)["added"], 0);

    WriteFile(Path("one.txt"), "[DateEntry 0]\r\nGUID={D4A17000-0000-4000-8000-0000000000FF}\r\n"
                               "Description=Concert\r\nStartDate=2026 12 19 20 00 00\r\n"
                               "EndDate=2026 12 19 22 00 00\r\n");
    ASSERT_EQ(Run({"restore", Path("one.txt").string(), Path("one.dat").string()}).code, 0);
    r = Run({"merge", a.string(), Path("one.dat").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out)["added"], 1);
    const Json info = Info(a);
    ASSERT_EQ(info["events"].size(), 14u);
    EXPECT_EQ(info["events"][13]["Description"], "Concert");
}

TEST_F(CliChain, BadFilesFailWithExitCodeOneAndChangeNothing) {
    const fs::path a = Demo("a.dat");
    const std::string before = ReadFile(a);
    WriteFile(Path("bad.dat"), "not an event file at all");

    Result r = Run({"info", Path("bad.dat").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("bad.dat"), std::string::npos) << "the message names the file: " << r.err;
    EXPECT_TRUE(r.out.empty());

    r = Run({"backup", Path("bad.dat").string(), Path("out.txt").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(fs::exists(Path("out.txt"))) << "no partial output file";

    r = Run({"merge", a.string(), Path("bad.dat").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(ReadFile(a), before) << "a failed merge leaves the file as it was";

    r = Run({"restore", Path("missing.txt").string(), Path("new.dat").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("missing.txt"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("new.dat")));

    r = Run({"reminders", Path("missing.dat").string(), "--at", "2026-12-10"});
    EXPECT_EQ(r.code, 1);
}

TEST_F(CliChain, UsageErrorsExitWithTwo) {
    const fs::path a = Demo("a.dat");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"info"},
        {"info", a.string(), "extra"},
        {"info", a.string(), "--colour"},
        {"occurrences", a.string(), "--to", "2026-12-31"},
        {"occurrences", a.string(), "--from", "2026-13-01", "--to", "2026-12-31"},
        {"occurrences", a.string(), "--from", "2026-02-30", "--to", "2026-12-31"},
        {"agenda", a.string(), "--days", "0"},
        {"agenda", a.string(), "--days", "two"},
        {"agenda", a.string(), "--now", "yesterday"},
        {"reminders", a.string()},
        {"format", a.string(), "--guid", kTeamMeeting},
    };
    for (const auto& args : cases) {
        ExpectUsageError(args);
    }
    const Result help = Run({"agenda", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("Usage: dayvault-cli agenda"), std::string::npos);
}

} // namespace
