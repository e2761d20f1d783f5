// The search chain through dayvault-cli: the demo event file restored into a temporary folder,
// searched with each kind of filter, before and after a reminder run changed occurrence states.

#include "cli/CliTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// GUIDs of the demo backup.
constexpr const char* kTeamMeeting = "{D4A17000-0000-4000-8000-000000000005}";
constexpr const char* kStandUp = "{D4A17000-0000-4000-8000-000000000006}";
constexpr const char* kGym = "{D4A17000-0000-4000-8000-000000000007}";
constexpr const char* kDentist = "{D4A17000-0000-4000-8000-00000000000B}";
constexpr const char* kMarket = "{D4A17000-0000-4000-8000-00000000000C}";

class CliSearch : public dv::test::CliDemoTest {
protected:
    fs::path File() const { return Path("demo.dat"); }

    // Searches the week of 7 to 13 December 2026 with the extra options.
    Json SearchWeek(std::vector<std::string> options) const {
        std::vector<std::string> args = {"search",     File().string(), "--from",
                                         "2026-12-07", "--to",          "2026-12-13"};
        args.insert(args.end(), options.begin(), options.end());
        const Result r = Run(args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.err, "");
        return Json::parse(r.out);
    }

    static std::vector<std::string> Guids(const Json& result) {
        std::vector<std::string> guids;
        for (const Json& row : result["rows"]) {
            guids.push_back(row["guid"]);
        }
        return guids;
    }
};

TEST_F(CliSearch, UnfilteredWeekGivesOneRowPerEventByDate) {
    const Json result = SearchWeek({});
    EXPECT_EQ(Guids(result),
              (std::vector<std::string>{kStandUp, kTeamMeeting, kDentist, kGym, kMarket}));
    EXPECT_EQ(result["message"], "Search returned 5 results");
    EXPECT_EQ(result["rows"][0]["date"], "2026-12-07 09:00:00") << "the first of the daily ones";
    EXPECT_EQ(result["rows"][2]["text"], "Dentist");
    EXPECT_EQ(result["rows"][2]["date"], "2026-12-10 08:30:00");
}

TEST_F(CliSearch, ContentFilterModesAndScopes) {
    struct Row {
        const char* name;
        std::vector<std::string> options;
        std::vector<std::string> guids;
    };
    const Row rows[] = {
        {"one word, any letter case", {"--text", "DENTIST"}, {kDentist}},
        {"and needs both words", {"--text", "christmas tom"}, {kMarket}},
        {"and with a missing word", {"--text", "christmas gym"}, {}},
        {"or takes either", {"--text", "christmas gym", "--mode", "or"}, {kGym, kMarket}},
        {"exact phrase", {"--text", "market with", "--mode", "exact"}, {kMarket}},
        {"exact phrase in another order", {"--text", "with market", "--mode", "exact"}, {}},
        {"words of the notes", {"--text", "room agenda", "--scope", "notes"}, {kTeamMeeting}},
        {"notes not searched", {"--text", "room agenda", "--scope", "description"}, {}},
        {"empty text lets nothing pass", {"--text", ""}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Guids(SearchWeek(row.options)), row.guids);
    }
}

TEST_F(CliSearch, CategoriesAndStates) {
    EXPECT_EQ(Guids(SearchWeek({"--categories", "work,BIRTHDAY"})),
              (std::vector<std::string>{kStandUp, kTeamMeeting}));
    EXPECT_EQ(Guids(SearchWeek({"--categories", "Sport"})), std::vector<std::string>{});

    // After the reminder run at noon on the 10th, earlier occurrences are done and the morning's
    // stand-up and dentist are due.
    const Result r = Run({"reminders", File().string(), "--at", "2026-12-10 12:00:00", "--save"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Json done = SearchWeek({"--state", "done"});
    EXPECT_EQ(Guids(done), (std::vector<std::string>{kStandUp, kTeamMeeting}));
    EXPECT_EQ(done["rows"][0]["date"], "2026-12-07 09:00:00");
    const Json undone = SearchWeek({"--state", "undone"});
    EXPECT_EQ(Guids(undone), (std::vector<std::string>{kDentist, kStandUp, kGym, kMarket}));
    EXPECT_EQ(undone["rows"][1]["date"], "2026-12-10 09:00:00")
        << "the stand-up's first occurrence that is not done";
    EXPECT_EQ(SearchWeek({"--state", "snoozed"})["message"], "Search returned 0 results");
    EXPECT_EQ(Guids(SearchWeek({"--state", "done,undone", "--categories", "private"})),
              (std::vector<std::string>{kDentist, kGym, kMarket}));
}

TEST_F(CliSearch, ErrorsNameTheProblem) {
    const std::string file = File().string();
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int code;
        const char* message;
    };
    const Row rows[] = {
        {"missing --to", {"search", file, "--from", "2026-12-07"}, 2, "--to"},
        {"bad date", {"search", file, "--from", "2026-02-30", "--to", "2026-03-01"}, 2, "--from"},
        {"bad mode",
         {"search", file, "--from", "2026-12-07", "--to", "2026-12-13", "--text", "x", "--mode",
          "some"},
         2,
         "--mode"},
        {"mode without text",
         {"search", file, "--from", "2026-12-07", "--to", "2026-12-13", "--mode", "or"},
         2,
         "--text"},
        {"bad scope",
         {"search", file, "--from", "2026-12-07", "--to", "2026-12-13", "--text", "x", "--scope",
          "title"},
         2,
         "title"},
        {"bad state",
         {"search", file, "--from", "2026-12-07", "--to", "2026-12-13", "--state", "due"},
         2,
         "due"},
        {"missing file",
         {"search", file + ".none", "--from", "2026-12-07", "--to", "2026-12-13"},
         1,
         "demo.dat.none"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Result r = Run(row.args);
        EXPECT_EQ(r.code, row.code);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
    }
}

} // namespace
