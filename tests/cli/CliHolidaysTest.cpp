// The holiday chains through dayvault-cli on real files in a temporary folder: compiling and
// decompiling module sources, listing a module's year, and the agenda's holidays.

#include "cli/CliTestSupport.h"

#include <cstddef>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kTestland = dv::test::TestlandSource();

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

using CliHolidays = dv::test::CliTest;

TEST_F(CliHolidays, CompileDecompileAndCompileAgainGiveTheSameModule) {
    ASSERT_EQ(Run({"holidays", "compile", kTestland.string(), Path("a.hol").string()}).code, 0);
    const Result decompiled = Run({"holidays", "decompile", Path("a.hol").string()});
    ASSERT_EQ(decompiled.code, 0) << decompiled.err;
    EXPECT_NE(
        decompiled.out.find("holiday ASSUMPTION \"Mariä Himmelfahrt\" = 15 August; from 2000"),
        std::string::npos)
        << decompiled.out;
    EXPECT_NE(decompiled.out.find("reference ADVENT_EVE = ADVENT_REF - 1 day"), std::string::npos);
    WriteFile(Path("b.txt"), decompiled.out);
    ASSERT_EQ(Run({"holidays", "compile", Path("b.txt").string(), Path("b.hol").string()}).code, 0);
    EXPECT_EQ(ReadFile(Path("b.hol")), ReadFile(Path("a.hol")));
    // The text is stored in Windows-1252: "ä" is one byte.
    EXPECT_NE(ReadFile(Path("a.hol")).find("Mari\xE4 Himmelfahrt"), std::string::npos);
}

TEST_F(CliHolidays, YearListingFromAFileAndFromTheProgramFolder) {
    ASSERT_EQ(Run({"holidays", "compile", kTestland.string(), Path("t.hol").string()}).code, 0);
    const Json expected = Json::parse(R"([
        {"date": "2023-01-02", "name": "NEW_YEAR", "text": "Neujahr"},
        {"date": "2023-04-10", "name": "EASTER_MONDAY", "text": "Ostermontag"},
        {"date": "2023-05-01", "name": "MAY_DAY", "text": "Maifeiertag"},
        {"date": "2023-05-01", "name": "LABOUR", "text": "Tag der Arbeit"},
        {"date": "2023-08-15", "name": "ASSUMPTION", "text": "Mariä Himmelfahrt"},
        {"date": "2023-10-01", "name": "THANKS", "text": "Erntedank"},
        {"date": "2023-12-03", "name": "FIRST_ADVENT", "text": "Erster Advent"}
    ])");
    Result r = Run({"holidays", "--file", Path("t.hol").string(), "--year", "2023"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out), expected);

    const fs::path folder = ProgramFolderWithTestland();
    r = Run({"holidays", "--module", "Testland", "--year", "2023", "--program-folder",
             folder.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out), expected);

    // 1999: before the Assumption rule; 1 January 1999 is a Friday.
    r = Run({"holidays", "--file", Path("t.hol").string(), "--year", "1999"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Json year1999 = Json::parse(r.out);
    ASSERT_EQ(year1999.size(), 6u);
    EXPECT_EQ(year1999[0]["date"], "1999-01-01");
    EXPECT_EQ(year1999[4]["name"], "THANKS");
}

TEST_F(CliHolidays, BadFilesFailWithExitCodeOneAndNoOutputFile) {
    ASSERT_EQ(Run({"holidays", "compile", kTestland.string(), Path("t.hol").string()}).code, 0);
    const std::string bytes = ReadFile(Path("t.hol"));
    WriteFile(Path("cut.hol"), bytes.substr(0, bytes.size() / 2));

    Result r = Run({"holidays", "--file", Path("cut.hol").string(), "--year", "2023"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("cut.hol"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
    r = Run({"holidays", "decompile", Path("cut.hol").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("not a valid holiday module"), std::string::npos) << r.err;

    r = Run({"holidays", "--file", Path("none.hol").string(), "--year", "2023"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("none.hol"), std::string::npos) << r.err;
    r = Run({"holidays", "--module", "Nowhere", "--year", "2023", "--program-folder",
             ProgramFolderWithTestland().string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Nowhere.hol"), std::string::npos) << r.err;

    WriteFile(Path("bad.txt"), "language 0x407\nholiday A \"a\" = 31 Juni\n");
    r = Run({"holidays", "compile", Path("bad.txt").string(), Path("bad.hol").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("bad.txt:2: expected a month name"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("bad.hol")));
    r = Run({"holidays", "compile", Path("missing.txt").string(), Path("m.hol").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("missing.txt"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("m.hol")));
}

TEST_F(CliHolidays, UsageErrorsExitWithTwo) {
    const std::string file = kTestland.string();
    const std::vector<std::vector<std::string>> rows = {
        {"holidays", "--year", "2023"},                                  // neither source
        {"holidays", "--module", "A", "--file", file, "--year", "2023"}, // both
        {"holidays", "--file", file},                                    // no year
        {"holidays", "--file", file, "--year", "twenty"},
        {"holidays", "--file", file, "--year", "0"},
        {"holidays", "--module", "../x", "--year", "2023"},
        {"holidays", "list"},
        {"holidays", "compile", file},
        {"holidays", "decompile"},
        {"holidays", "decompile", file, "--year", "2023"},
        {"holidays", "--file", file, "--year", "2023", "--colour", "red"},
    };
    for (const auto& args : rows) {
        ExpectUsageError(args);
    }
    EXPECT_EQ(Run({"holidays", "--help"}).code, 0);
}

TEST_F(CliHolidays, AgendaShowsTheActiveHolidaysUnderEachCaption) {
    const fs::path folder = ProgramFolderWithTestland();
    ASSERT_EQ(Run({"restore", DAYVAULT_DEMO_BACKUP, Path("demo.dat").string()}).code, 0);
    WriteFile(Path("settings.ini"), "[HolidaySettings]\r\nModuleOrder=Testland,Gone\r\n"
                                    "ActiveModules=Testland,Gone\r\nDeactivated_Testland=LABOUR\r\n"
                                    "[Settings]\r\nHolidayShowLanguage=1\r\n");
    WriteFile(Path("plain.ini"), "[HolidaySettings]\r\nModuleOrder=Testland\r\n"
                                 "ActiveModules=Testland\r\n");
    const std::vector<std::string> agenda = {
        "agenda", Path("demo.dat").string(), "--from",       "2023-04-30", "--days",
        "3",      "--program-folder",        folder.string()};
    const Result bare = Run(agenda);
    ASSERT_EQ(bare.code, 0) << bare.err;
    auto withSettings = agenda;
    withSettings.insert(withSettings.end(), {"--settings", Path("settings.ini").string()});
    const Result shown = Run(withSettings);
    ASSERT_EQ(shown.code, 0) << shown.err;

    // The captions and entries stay; the one active holiday of 1 May follows its caption (the
    // second day's), with the language; the switched-off one and the missing module are absent.
    std::vector<std::string> lines = Lines(shown.out);
    const std::vector<std::string> bareLines = Lines(bare.out);
    std::vector<size_t> captions;
    for (size_t i = 0; i < bareLines.size(); ++i) {
        if (bareLines[i].rfind("  ", 0) != 0) {
            captions.push_back(i);
        }
    }
    ASSERT_EQ(captions.size(), 3u) << bare.out;
    ASSERT_GT(lines.size(), captions[1] + 1);
    EXPECT_EQ(lines[captions[1] + 1], "  Maifeiertag (DEU)") << shown.out;
    lines.erase(lines.begin() + static_cast<long>(captions[1]) + 1);
    EXPECT_EQ(lines, bareLines);
    EXPECT_EQ(shown.out.find("Tag der Arbeit"), std::string::npos);

    // Without the language setting both holidays of the day, in table order, without brackets.
    withSettings.back() = Path("plain.ini").string();
    const Result plain = Run(withSettings);
    ASSERT_EQ(plain.code, 0) << plain.err;
    const std::vector<std::string> plainLines = Lines(plain.out);
    ASSERT_GT(plainLines.size(), captions[1] + 2);
    EXPECT_EQ(plainLines[captions[1] + 1], "  Maifeiertag");
    EXPECT_EQ(plainLines[captions[1] + 2], "  Tag der Arbeit");
}

} // namespace
