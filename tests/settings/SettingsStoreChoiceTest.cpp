#include "settings/SettingsStoreChoice.h"

#include "support/Files.h"

#include <gtest/gtest.h>

namespace dv {
namespace {

namespace fs = std::filesystem;

TEST(SettingsStoreChoiceTest, WhichFileAndWhatItSays) {
    struct Row {
        const char* name;
        const char* programIni; // nullptr: no such file
        const char* userIni;
        bool useRegistry;
        bool programFileChosen;
    };
    const Row rows[] = {
        {"no file anywhere: the registry", nullptr, nullptr, true, false},
        {"program file wins over the user file", "[Settings]\nUseRegistry=1\n",
         "[Settings]\nUseRegistry=0\n", true, true},
        {"user file says 0", nullptr, "[Settings]\nUseRegistry=0\n", false, false},
    };
    for (const Row& row : rows) {
        const test::TemporaryFolder root;
        const fs::path program = root.Path() / "program";
        const fs::path user = root.Path() / "appdata" / "QX's Dayvault";
        fs::create_directories(program);
        if (row.programIni != nullptr) {
            test::WriteFile(program / "Dayvault.ini", row.programIni);
        }
        if (row.userIni != nullptr) {
            fs::create_directories(user);
            test::WriteFile(user / "Dayvault.ini", row.userIni);
        }
        const SettingsStoreChoice choice = ChooseSettingsStore(program, user);
        EXPECT_EQ(choice.UseRegistry, row.useRegistry) << row.name;
        EXPECT_EQ(choice.IniPath, (row.programFileChosen ? program : user) / "Dayvault.ini")
            << row.name;
        EXPECT_EQ(choice.Problem, "") << row.name;
        // The user folder is made when it is the one to use; reading creates no file.
        EXPECT_EQ(fs::is_directory(user), !row.programFileChosen || row.userIni) << row.name;
        EXPECT_EQ(fs::exists(choice.IniPath),
                  row.programFileChosen ? row.programIni != nullptr : row.userIni != nullptr)
            << row.name;
    }
}

TEST(SettingsStoreChoiceTest, TroubleIsReportedAndFallsBackToTheRegistry) {
    const test::TemporaryFolder root;
    const fs::path program = root.Path() / "program";
    const fs::path user = root.Path() / "appdata" / "Dayvault";
    // A folder where the INI file should be: it exists, but cannot be read.
    fs::create_directories(program / "Dayvault.ini");
    SettingsStoreChoice choice = ChooseSettingsStore(program, user);
    EXPECT_TRUE(choice.UseRegistry);
    EXPECT_EQ(choice.IniPath, program / "Dayvault.ini");
    EXPECT_NE(choice.Problem.find("Dayvault.ini"), std::string::npos) << choice.Problem;

    // A file where the user data folder should be.
    fs::remove_all(program / "Dayvault.ini");
    fs::create_directories(user.parent_path());
    test::WriteFile(user, "not a folder");
    choice = ChooseSettingsStore(program, user);
    EXPECT_TRUE(choice.UseRegistry);
    EXPECT_EQ(choice.IniPath, user / "Dayvault.ini");
    EXPECT_NE(choice.Problem.find("user data folder"), std::string::npos) << choice.Problem;
}

} // namespace
} // namespace dv
