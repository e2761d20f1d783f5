#include "settings/CIniStore.h"
#include "settings/CWindowSettings.h"
#include "support/Files.h"

#include <gtest/gtest.h>

namespace dv {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TemporaryFolder;
using test::WriteFile;

TEST(WindowSettingsTest, SavesEveryKeyInOrder) {
    TemporaryFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
    {
        CIniStore store(path);
        CWindowSettings(800, 600).Save(store);
    }
    EXPECT_EQ(ReadFile(path), "[WindowSettings]\r\n"
                              "MainWindowMaximized=0\r\n"
                              "MainWindowX=0\r\n"
                              "MainWindowY=0\r\n"
                              "MainWindowWidth=800\r\n"
                              "MainWindowHeight=560\r\n"
                              "ReminderSizeValid=0\r\n"
                              "ReminderWindowX=0\r\n"
                              "ReminderWindowY=0\r\n"
                              "TodoListColumns=11111111\r\n"
                              "TodoListColumnWidths=45,45,100,180,50,110,100,180\r\n"
                              "EventListVisible=0\r\n"
                              "EventListColumnWidths=100,167,110\r\n"
                              "SidebarVisible=0\r\n"
                              "SidebarWidth=270\r\n"
                              "SearchResultColumnWidths=100,100\r\n");
}

TEST(WindowSettingsTest, StoredValuesWinAndEmptyListsReadAsDefaults) {
    TemporaryFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
    WriteFile(path, "[WindowSettings]\nMainWindowX=-8\nMainWindowWidth=640\nTodoListColumns=\n"
                    "TodoListColumnWidths=\nEventListColumnWidths=1,2\n"
                    "SearchResultColumnWidths=,\nSidebarVisible=1\n");
    CWindowSettings settings;
    settings.Load(CIniStore(path), 800, 600);
    CWindowSettings expected(800, 600);
    expected.MainWindowX = -8;
    expected.MainWindowWidth = 640;
    expected.EventListColumnWidths = {1, 2};
    expected.SidebarVisible = true;
    EXPECT_EQ(settings, expected);

    // Minimised from maximised reopens maximised.
    EXPECT_TRUE(CWindowSettings::IsMaximizedPlacement(2, true));
    EXPECT_TRUE(CWindowSettings::IsMaximizedPlacement(3, false));
    EXPECT_FALSE(CWindowSettings::IsMaximizedPlacement(2, false));
    EXPECT_FALSE(CWindowSettings::IsMaximizedPlacement(1, true));
}

TEST(WindowSettingsTest, ColumnListsFitTheColumnCount) {
    const NumberList defaults = {100, 167, 110};
    EXPECT_EQ(CWindowSettings::FitColumns(NumberList{1}, defaults), (NumberList{1, 167, 110}));
    EXPECT_EQ(CWindowSettings::FitColumns(NumberList{1, 2, 3, 4}, defaults), (NumberList{1, 2, 3}));
    EXPECT_EQ(CWindowSettings::FitColumns(FlagList{false}, FlagList{true, true}),
              (FlagList{false, true}));
}

} // namespace
} // namespace dv
