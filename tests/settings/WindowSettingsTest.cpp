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

TEST(WindowSettingsTest, DefaultGeometryFromTheDesktop) {
    struct Row {
        const char* name;
        int32_t width;
        int32_t height;
        CWindowSettings::Geometry expected; // x, y, width, height
    };
    const Row rows[] = {
        {"1280 x 1024", 1280, 1024, {128, 128, 1024, 728}},
        {"800 x 600", 800, 600, {0, 0, 800, 560}},
        {"exactly 1024 x 768", 1024, 768, {0, 0, 1024, 728}},
        {"one below 1024 x 768", 1023, 767, {0, 0, 1023, 727}},
        {"odd width rounds towards zero", 1025, 1000, {0, 116, 1024, 728}},
        {"odd height rounds towards zero", 1200, 769, {88, 0, 1024, 728}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CWindowSettings::DefaultGeometry(row.width, row.height), row.expected)
            << row.name;
    }
}

TEST(WindowSettingsTest, EmptyStoreGivesTheDefaults) {
    TemporaryFolder folder;
    CWindowSettings settings;
    settings.SidebarWidth = 1;
    settings.Load(CIniStore(folder.Path() / "none.ini"), 1280, 1024);
    EXPECT_EQ(settings.MainWindowX, 128);
    EXPECT_EQ(settings.SidebarWidth, 270);
    EXPECT_EQ(settings, CWindowSettings(1280, 1024));
}

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
    WriteFile(path, "[WindowSettings]\n"
                    "MainWindowX=-8\n"
                    "MainWindowWidth=640\n"
                    "TodoListColumns=\n"
                    "TodoListColumnWidths=\n"
                    "EventListColumnWidths=1,2\n"
                    "SearchResultColumnWidths=,\n"
                    "SidebarVisible=1\n");
    CWindowSettings settings;
    settings.Load(CIniStore(path), 800, 600);
    EXPECT_EQ(settings.MainWindowX, -8);
    EXPECT_EQ(settings.MainWindowY, 0) << "missing: the desktop's default";
    EXPECT_EQ(settings.MainWindowWidth, 640);
    EXPECT_EQ(settings.MainWindowHeight, 560);
    EXPECT_EQ(settings.TodoListColumns, FlagList(8, true));
    EXPECT_EQ(settings.TodoListColumnWidths, (NumberList{45, 45, 100, 180, 50, 110, 100, 180}));
    EXPECT_EQ(settings.EventListColumnWidths, (NumberList{1, 2}));
    EXPECT_EQ(settings.SearchResultColumnWidths, (NumberList{100, 100}));
    EXPECT_TRUE(settings.SidebarVisible);
}

TEST(WindowSettingsTest, MaximisedPlacements) {
    struct Row {
        const char* name;
        int32_t showCommand;
        bool restoresToMaximized;
        bool maximized;
    };
    const Row rows[] = {
        {"normal", 1, false, false},
        {"maximised", 3, false, true},
        {"minimised", 2, false, false},
        {"minimised from maximised", 2, true, true},
        {"normal with a stale flag", 1, true, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CWindowSettings::IsMaximizedPlacement(row.showCommand, row.restoresToMaximized),
                  row.maximized)
            << row.name;
    }
}

TEST(WindowSettingsTest, WindowSavedMinimisedFromMaximisedReopensMaximised) {
    TemporaryFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
    CWindowSettings saved(1280, 1024);
    saved.MainWindowMaximized = CWindowSettings::IsMaximizedPlacement(2, true);
    saved.MainWindowX = 10;
    saved.MainWindowY = 20;
    saved.MainWindowWidth = 900;
    saved.MainWindowHeight = 700;
    saved.ReminderSizeValid = true;
    saved.ReminderWindowX = 300;
    saved.ReminderWindowY = -5;
    saved.TodoListColumns = {true, false, true, true, false, true, true, true};
    saved.TodoListColumnWidths = {1, 2, 3, 4, 5, 6, 7, 8};
    saved.EventListVisible = true;
    saved.EventListColumnWidths = {10, 20, 30};
    saved.SidebarVisible = true;
    saved.SidebarWidth = 333;
    saved.SearchResultColumnWidths = {7, 9};
    {
        CIniStore store(path);
        saved.Save(store);
    }
    CWindowSettings reopened;
    reopened.Load(CIniStore(path), 800, 600);
    EXPECT_EQ(reopened, saved);
    EXPECT_TRUE(reopened.MainWindowMaximized);
}

TEST(WindowSettingsTest, ColumnListsFitTheColumnCount) {
    const NumberList defaults = {100, 167, 110};
    EXPECT_EQ(CWindowSettings::FitColumns(NumberList{1}, defaults), (NumberList{1, 167, 110}));
    EXPECT_EQ(CWindowSettings::FitColumns(NumberList{1, 2, 3, 4}, defaults), (NumberList{1, 2, 3}));
    EXPECT_EQ(CWindowSettings::FitColumns(NumberList{}, defaults), defaults);
    EXPECT_EQ(CWindowSettings::FitColumns(FlagList{false}, FlagList{true, true}),
              (FlagList{false, true}));
}

} // namespace
} // namespace dv
