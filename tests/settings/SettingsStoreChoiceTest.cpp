#include "settings/SettingsStoreChoice.h"

#include "support/Files.h"

#include <gtest/gtest.h>

namespace dv {
namespace {

namespace fs = std::filesystem;
using test::TemporaryFolder;
using test::WriteFile;

class SettingsStoreChoiceTest : public ::testing::Test {
protected:
    fs::path ProgramFolder() const { return m_root.Path() / "program"; }
    fs::path UserFolder() const { return m_root.Path() / "appdata" / "QX's Dayvault"; }

    void SetUp() override { fs::create_directories(ProgramFolder()); }

private:
    TemporaryFolder m_root;
};

TEST_F(SettingsStoreChoiceTest, NoIniAnywhereUsesTheRegistryAndCreatesTheUserFolder) {
    const SettingsStoreChoice choice = ChooseSettingsStore(ProgramFolder(), UserFolder());
    EXPECT_TRUE(choice.UseRegistry);
    EXPECT_EQ(choice.IniPath, UserFolder() / "Dayvault.ini");
    EXPECT_TRUE(fs::is_directory(UserFolder()));
    EXPECT_FALSE(fs::exists(choice.IniPath)) << "reading creates no file";
    EXPECT_EQ(choice.Problem, "");
}

TEST_F(SettingsStoreChoiceTest, ProgramFolderIniThatTurnsTheRegistryOffKeepsEverything) {
    WriteFile(ProgramFolder() / "Dayvault.ini", "[Settings]\r\nUseRegistry=0\r\n");
    const SettingsStoreChoice choice = ChooseSettingsStore(ProgramFolder(), UserFolder());
    EXPECT_FALSE(choice.UseRegistry);
    EXPECT_EQ(choice.IniPath, ProgramFolder() / "Dayvault.ini");
    EXPECT_FALSE(fs::exists(UserFolder())) << "the user folder is not needed";
}

TEST_F(SettingsStoreChoiceTest, WhichFileAndWhatItSays) {
    struct Row {
        const char* name;
        const char* programIni; // nullptr: no such file
        const char* userIni;
        bool useRegistry;
        bool programFileChosen;
    };
    const Row rows[] = {
        {"program file without the key", "[Settings]\nWeekStart=0\n", nullptr, true, true},
        {"program file says 1", "[Settings]\nUseRegistry=1\n", "[Settings]\nUseRegistry=0\n", true,
         true},
        {"program file wins over the user file", "[Settings]\nUseRegistry=0\n",
         "[Settings]\nUseRegistry=1\n", false, true},
        {"user file says 0", nullptr, "[Settings]\nUseRegistry=0\n", false, false},
        {"any non-zero value means the registry", nullptr, "[Settings]\nUseRegistry=5\n", true,
         false},
        {"key in another section does not count", nullptr, "[Other]\nUseRegistry=0\n", true, false},
        {"empty program file", "", nullptr, true, true},
    };
    for (const Row& row : rows) {
        fs::remove_all(ProgramFolder());
        fs::remove_all(UserFolder());
        fs::create_directories(ProgramFolder());
        if (row.programIni != nullptr) {
            WriteFile(ProgramFolder() / "Dayvault.ini", row.programIni);
        }
        if (row.userIni != nullptr) {
            fs::create_directories(UserFolder());
            WriteFile(UserFolder() / "Dayvault.ini", row.userIni);
        }
        const SettingsStoreChoice choice = ChooseSettingsStore(ProgramFolder(), UserFolder());
        EXPECT_EQ(choice.UseRegistry, row.useRegistry) << row.name;
        EXPECT_EQ(choice.IniPath,
                  (row.programFileChosen ? ProgramFolder() : UserFolder()) / "Dayvault.ini")
            << row.name;
        EXPECT_EQ(choice.Problem, "") << row.name;
    }
}

TEST_F(SettingsStoreChoiceTest, TroubleIsReportedAndFallsBackToTheRegistry) {
    // A folder where the INI file should be: it exists, but cannot be read.
    fs::create_directories(ProgramFolder() / "Dayvault.ini");
    SettingsStoreChoice choice = ChooseSettingsStore(ProgramFolder(), UserFolder());
    EXPECT_TRUE(choice.UseRegistry);
    EXPECT_EQ(choice.IniPath, ProgramFolder() / "Dayvault.ini");
    EXPECT_NE(choice.Problem.find("Dayvault.ini"), std::string::npos) << choice.Problem;

    // A file where the user data folder should be.
    fs::remove_all(ProgramFolder() / "Dayvault.ini");
    fs::create_directories(UserFolder().parent_path());
    WriteFile(UserFolder(), "not a folder");
    choice = ChooseSettingsStore(ProgramFolder(), UserFolder());
    EXPECT_TRUE(choice.UseRegistry);
    EXPECT_EQ(choice.IniPath, UserFolder() / "Dayvault.ini");
    EXPECT_NE(choice.Problem.find("user data folder"), std::string::npos) << choice.Problem;
}

} // namespace
} // namespace dv
