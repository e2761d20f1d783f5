// Holiday settings through the INI store, and the module set on a temporary program folder.

#include "core/CArchiveException.h"
#include "core/CFileException.h"
#include "holidays/CHolidayModuleSet.h"
#include "holidays/CHolidaySettings.h"
#include "holidays/HolidaySource.h"
#include "settings/CIniStore.h"
#include "support/Files.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace dv {
namespace {

using test::ReadFile;
using test::TemporaryFolder;
using test::WriteFile;

// ---- Settings -------------------------------------------------------------------------------

TEST(HolidaySettings, RoundTripThroughAnIniFile) {
    TemporaryFolder folder;
    const auto path = folder.Path() / "Dayvault.ini";
    CHolidaySettings saved;
    saved.ModuleOrder = {"Germany", "United Kingdom", "Empty"};
    saved.ActiveModules = {"United Kingdom", "Germany"};
    saved.SetActive("Germany", "REFORMATION", false);
    saved.SetActive("Germany", "CORPUS_CHRISTI", false);
    saved.SetActive("Germany", "REFORMATION", false); // listed once
    saved.SetActive("Elsewhere", "X", false);         // not in ModuleOrder: not stored
    {
        CIniStore store(path);
        saved.Save(store);
    }
    const std::string text = ReadFile(path);
    EXPECT_NE(text.find("[HolidaySettings]"), std::string::npos) << text;
    EXPECT_NE(text.find("ModuleOrder=Germany,United Kingdom,Empty"), std::string::npos) << text;
    EXPECT_NE(text.find("ActiveModules=United Kingdom,Germany"), std::string::npos) << text;
    EXPECT_NE(text.find("Deactivated_Germany=REFORMATION,CORPUS_CHRISTI"), std::string::npos)
        << text;
    EXPECT_EQ(text.find("Deactivated_Elsewhere"), std::string::npos) << text;

    CHolidaySettings loaded;
    loaded.SetActive("Stale", "OLD", false); // replaced by Load
    const CIniStore store(path);
    loaded.Load(store);
    CHolidaySettings expected = saved;
    expected.Deactivated.erase("Elsewhere");
    EXPECT_EQ(loaded, expected);

    EXPECT_FALSE(loaded.IsActive("Germany", "REFORMATION"));
    EXPECT_TRUE(loaded.IsActive("United Kingdom", "REFORMATION")) << "per module";
    EXPECT_TRUE(loaded.IsActive("Germany", "reformation")) << "names are exact";
    loaded.SetActive("Germany", "REFORMATION", true);
    loaded.SetActive("Germany", "CORPUS_CHRISTI", true);
    EXPECT_TRUE(loaded.Deactivated.empty()) << "an emptied list is dropped";
}

// ---- Module set -----------------------------------------------------------------------------

void WriteModule(const std::filesystem::path& base, const std::string& name,
                 const std::string& source) {
    std::filesystem::create_directories(base / "holidays");
    CompileHolidaySource(source, name).WriteModuleFile(base / "holidays" / (name + ".hol"));
}

// The scan lists module files only; bad files and names are reported and not added.
TEST(HolidayModuleSet, ScanAndBadFilesAndNames) {
    TemporaryFolder folder;
    CHolidayModuleSet set;
    set.SetBaseFolder(folder.Path());
    EXPECT_TRUE(set.Scan().empty()) << "no holidays folder";
    WriteModule(folder.Path(), "Good", "language 0x0C07\nholiday NY \"Neujahr\" = 1 January\n");
    WriteFile(folder.Path() / "holidays" / "Short.hol", std::string("\x07\x04\x00", 3));
    WriteFile(folder.Path() / "holidays" / "Good.hol.bak", "not a module");
    std::filesystem::create_directories(folder.Path() / "holidays" / "Folder.hol");
    std::vector<std::string> titles = set.Scan();
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles, (std::vector<std::string>{"Good", "Short"}));
    EXPECT_THROW(set.LoadModule("Short"), CArchiveException);
    EXPECT_THROW(set.LoadModule("Missing"), CFileException);
    for (const char* name : {"", ".", "..", "../holidays/Good", "sub/Good", "a\\b", "c:Good"}) {
        EXPECT_THROW(set.LoadModule(name), std::invalid_argument) << name;
        EXPECT_EQ(set.ModuleFileLanguage(name), std::nullopt) << name;
    }
    const std::vector<std::string> errors = set.LoadModules({"Short", "Good", "Missing"});
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].rfind("Short: ", 0), 0u) << errors[0];
    EXPECT_NE(errors[0].find("offset"), std::string::npos) << errors[0];
    EXPECT_EQ(errors[1].rfind("Missing: ", 0), 0u) << errors[1];
    EXPECT_EQ(set.GetLoadOrder(), (std::vector<std::string>{"Good"}));

    EXPECT_EQ(set.ModuleFileLanguage("Good"), 0x0C07u);
    EXPECT_EQ(set.ModuleFileLanguage("Short"), std::nullopt);
    EXPECT_EQ(set.GetModule("Good")->GetLanguageAbbreviation(), "DEA");
}

} // namespace
} // namespace dv
