#include "format/StringIds.h"
#include "format/StringTable.h"
#include "settings/CIniStore.h"
#include "settings/CSettings.h"
#include "settings/CWindowSettings.h"
#include "settings/SettingsStoreChoice.h"
#include "support/Files.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <tuple>
#include <variant>

namespace dv {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TemporaryFolder;
using test::WriteFile;

// Keeps strings and integers apart, as the registry does: a read of the other kind finds nothing.
class CTypedMemoryStore final : public IProfileStore {
public:
    std::optional<std::string> ReadRawString(std::string_view s,
                                             std::string_view k) const override {
        const auto found = m_values.find(Name(s, k));
        if (found == m_values.end() || !std::holds_alternative<std::string>(found->second)) {
            return std::nullopt;
        }
        return std::get<std::string>(found->second);
    }
    void WriteRawString(std::string_view s, std::string_view k, std::string_view v) override {
        m_values[Name(s, k)] = std::string(v);
    }
    int32_t ReadRawInt(std::string_view s, std::string_view k, int32_t dflt) const override {
        const auto found = m_values.find(Name(s, k));
        if (found == m_values.end() || !std::holds_alternative<int32_t>(found->second)) {
            return dflt;
        }
        return std::get<int32_t>(found->second);
    }
    void WriteRawInt(std::string_view s, std::string_view k, int32_t value) override {
        m_values[Name(s, k)] = value;
    }
    void RemoveKey(std::string_view s, std::string_view k) override { m_values.erase(Name(s, k)); }
    void Flush() override { ++flushes; }

    int flushes = 0;
    std::map<std::string, std::variant<std::string, int32_t>> m_values;

private:
    static std::string Name(std::string_view section, std::string_view key) {
        return std::string(section) + "/" + std::string(key);
    }
};

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// Gives the member of `key` a value that differs from every default and that exercises the
// value's stored form (escapes, quoting, separators); a text names its key.
void ChangeMember(const SettingKey<CSettings>& key, CSettings& settings, int variant) {
    const std::string tag = std::string(key.Name) + std::to_string(variant);
    std::visit(Overloaded{
                   [&](bool CSettings::*member) { settings.*member = !(settings.*member); },
                   [&](int32_t CSettings::*member) { settings.*member = -1000 - variant; },
                   [&](uint32_t CSettings::*member) { settings.*member = 0x00ABCDEFU + variant; },
                   [&](std::string CSettings::*member) {
                       settings.*member = " \"" + tag + "\"\r\n\twith {0x0B} and \xC3\xA4 ";
                   },
                   [&](LogFont CSettings::*member) {
                       settings.*member = *LogFont::FromString(
                           std::to_string(-20 - variant) + ",0,0,0,700,1,0,0,0,0,0,0,0,Courier");
                   },
                   [&](CDateTime CSettings::*member) {
                       settings.*member = CDateTime(2031, 12, 31, 23, 59, 58 - variant);
                   },
                   [&](FlagList CSettings::*member) {
                       settings.*member = {false, true, variant == 0};
                   },
                   [&](NameList CSettings::*member) {
                       settings.*member = {tag, "", "C d"};
                   },
                   [&](NumberList CSettings::*member) {
                       settings.*member = {-1, 0, 99999 + variant};
                   },
               },
               key.Field);
}

// A settings file in a folder of its own.
class SettingsTest : public ::testing::Test {
protected:
    /// Runs `save` on a store of the file; the store writes the file when it goes.
    void Write(const std::function<void(CIniStore&)>& save) const {
        CIniStore store(path);
        save(store);
    }
    CSettings SaveAndLoad(const CSettings& settings) const {
        fs::remove(path);
        Write([&](CIniStore& store) { settings.Save(store); });
        CSettings loaded;
        loaded.WeekStart = -99; // Load must not depend on what the object held before
        loaded.Load(CIniStore(path));
        return loaded;
    }

    TemporaryFolder folder;
    const fs::path path = folder / "Dayvault.ini";
};
using WindowSettingsTest = SettingsTest;

TEST_F(SettingsTest, DefaultsAreSavedInKeyOrder) {
    // The key order is part of the file format, and every default is part of the program's
    // behaviour: the saved defaults, the window's for an 800 by 600 screen, must match the fixed
    // file line for line, in CR LF lines.
    Write([](CIniStore& store) {
        CSettings().Save(store);
        CWindowSettings(800, 600).Save(store);
    });
    std::string text = ReadFile(path);
    const size_t lines = std::count(text.begin(), text.end(), '\n');
    std::erase(text, '\r');
    EXPECT_EQ(lines, ReadFile(path).size() - text.size()) << "every line ends in CR LF";
    const fs::path fixed =
        fs::path(std::getenv("DAYVAULT_TEST_DATA")) / "settings" / "defaults.ini";
    EXPECT_EQ(text, ReadFile(fixed)) << "compare with " << fixed;

    CSettings loaded;
    loaded.RunMinimized = true;
    loaded.Load(CIniStore(path));
    EXPECT_EQ(loaded, CSettings()) << "defaults read back as defaults";
}

TEST_F(SettingsTest, EveryKeyRoundTripsThroughBothStores) {
    // One key changed at a time finds a key that reads or writes another key's member; all keys
    // changed at once find values that leak into their neighbours.
    const auto roundTrip = [&](const CSettings& changed, std::string_view what) {
        EXPECT_EQ(SaveAndLoad(changed), changed) << what;
        CTypedMemoryStore memory;
        changed.Save(memory);
        // Texts that follow the language are stored only when changed.
        const auto unchanged = std::count_if(
            CSettings::Keys().begin(), CSettings::Keys().end(), [&](const auto& key) {
                return key.FollowsLanguage() &&
                       changed.*std::get<std::string CSettings::*>(key.Field) ==
                           key.DefaultText(changed);
            });
        EXPECT_EQ(memory.m_values.size() + static_cast<size_t>(unchanged),
                  CSettings::Keys().size())
            << what;
        EXPECT_EQ(memory.flushes, 1) << "Save flushes once at the end";
        CSettings fromMemory;
        fromMemory.Load(memory);
        EXPECT_EQ(fromMemory, changed) << what << " through a typed store";
    };
    CSettings all;
    for (const SettingKey<CSettings>& key : CSettings::Keys()) {
        CSettings changed;
        ChangeMember(key, changed, 0);
        ASSERT_NE(changed, CSettings()) << key.Name;
        roundTrip(changed, key.Name);
        ChangeMember(key, all, 1);
    }
    roundTrip(all, "all keys");

    // The password is stored scrambled and cut to 64 bytes.
    CSettings password;
    password.FtpPassword = std::string(70, 'p');
    EXPECT_EQ(SaveAndLoad(password).FtpPassword, std::string(64, 'p'));
    EXPECT_EQ(ReadFile(path).find("pppp"), std::string::npos);
}

TEST_F(SettingsTest, MissingEmptyAndOddStoredValues) {
    WriteFile(path, "weekstart=0\n[Other]\nFtpPort=2\n[Settings]\n"
                    "DateFormat=\nWeekStart=\nCsvCalendarFields=\nHtmlTodoFieldorder= , \n"
                    "SnoozeEndTime=\nCalendarEventFont=\n"
                    "TodoEventFont=-13,0,0,0,400,0,0,0,1,0,0,0,0,Tahoma\n"
                    "RunMinimized=5\nCloseToTray=abc\nDoubleClickTray=\nHtmlTodoFields=1x0\n");
    CSettings loaded;
    loaded.Load(CIniStore(path));
    CSettings expected;
    expected.DateFormat = ""; // a text stored empty stays empty; other empty values are missing
    expected.TodoEventFont = *LogFont::FromString("-13,0,0,0,400,0,0,0,1,0,0,0,0,Tahoma");
    expected.RunMinimized = true; // any non-zero value is true
    expected.CloseToTray = false; // text without digits reads 0
    expected.HtmlTodoFields = {true, true, false};
    EXPECT_EQ(loaded, expected);
}

TEST_F(SettingsTest, FormatsFollowTheLanguageAndTheClockUntilChanged) {
    CSettings::OverrideDesktopClock(std::optional<bool>()); // a desktop without a preference
    // An English program saves; the user changes one format, and an earlier version had stored
    // the English defaults of two more.
    CSettings english;
    english.DateFormatList = "%d/%m/%Y";
    Write([&](CIniStore& store) {
        store.WriteText("Settings", "TimeFormat", "%I:%M %p");
        store.WriteText("Settings", "DateTimeFormat", "%B %d, %Y, %I:%M %p");
        english.Save(store);
    });
    const std::string saved = ReadFile(path);
    EXPECT_EQ(saved.find("TimeFormat="), std::string::npos) << "an unchanged default is removed";
    EXPECT_NE(saved.find("DateFormatList=%d/%m/%Y"), std::string::npos);
    WriteFile(path, saved + "CurrentTimeDisplay=%A, %B %d, %Y, %#I:%M %p\n");

    // Restarted in German: what the user never changed is German, the changed one stays.
    SetTranslationHook([](uint32_t id, std::string_view) -> std::optional<std::string> {
        if (id == kIdsTimeFormat) {
            return "%H:%M";
        }
        if (id == kIdsCurrentTimeDisplay) {
            return "%A, %#d. %B %Y, %H:%M";
        }
        return std::nullopt;
    });
    CSettings german;
    german.Load(CIniStore(path));
    EXPECT_EQ(german.TimeFormat, "%H:%M");
    EXPECT_EQ(german.CurrentTimeDisplay, "%A, %#d. %B %Y, %H:%M") << "an old English default";
    EXPECT_EQ(german.DateFormatList, "%d/%m/%Y");

    // The 12-hour switch moves every unchanged time format, and only those.
    german.TimeFormatList = "%H.%M Uhr";
    german.SetTwentyFourHourClock(0);
    EXPECT_EQ(german.TimeFormat, "%I:%M %p");
    EXPECT_EQ(german.CurrentTimeDisplay, "%A, %#d. %B %Y, %I:%M %p");
    EXPECT_EQ(german.TimeFormatList, "%H.%M Uhr");
    EXPECT_EQ(SaveAndLoad(german), german);
    EXPECT_EQ(ReadFile(path).find("TimeFormat="), std::string::npos);
    SetTranslationHook({});

    // English on a 24-hour desktop; the user's own choice wins over the desktop.
    CSettings::OverrideDesktopClock(std::optional<bool>(true));
    CSettings desktop;
    EXPECT_EQ(desktop.TimeFormat, "%H:%M");
    EXPECT_EQ(desktop.ReminderHeadlineDateTime, "Event on %a, %B %d, %Y, %H:%M");
    EXPECT_EQ(desktop.CurrentTimeDisplay, "%A, %B %d, %Y, %#H:%M");
    desktop.SetTwentyFourHourClock(0);
    EXPECT_EQ(SaveAndLoad(desktop).TimeFormat, "%I:%M %p");
    CSettings::OverrideDesktopClock(std::nullopt);
}

TEST(FormatForClockTest, HoursAndMarkersOnBothClocks) {
    struct Row {
        const char* name;
        const char* twelve;
        const char* twentyFour;
    } rows[] = {
        {"time", "%I:%M %p", "%H:%M"},
        {"seconds", "%I:%M:%S %p", "%H:%M:%S"},
        {"no leading zero", "%A, %#I:%M %p", "%A, %#H:%M"},
        {"date before", "%d.%m.%Y, %I:%M %p", "%d.%m.%Y, %H:%M"},
        {"text after", "%I:%M %p Uhr", "%H:%M Uhr"},
        {"no hour", "%B %d, %Y", "%B %d, %Y"},
        {"percent literal", "100%%H %I:%M %p", "100%%H %H:%M"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FormatForClock(row.twelve, true), row.twentyFour) << row.name;
        EXPECT_EQ(FormatForClock(row.twentyFour, false), row.twelve) << row.name;
        EXPECT_EQ(FormatForClock(row.twelve, false), row.twelve) << row.name;
        EXPECT_EQ(FormatForClock(row.twentyFour, true), row.twentyFour) << row.name;
    }
    EXPECT_EQ(FormatForClock("%p %I:%M", true), "%H:%M") << "a marker before the time";
}

TEST_F(SettingsTest, ExitStateIsKeptApartFromLoadAndSave) {
    WriteFile(path, "[Settings]\nLastDateFile=C:\\data\\mine.dat\nLastView=4\n");
    CSettings settings;
    settings.LastView = 2;
    settings.Load(CIniStore(path));
    EXPECT_EQ(settings.LastView, 2) << "Load does not read the exit state";
    settings.LoadExitState(CIniStore(path));
    EXPECT_EQ(settings.LastDateFile, "C:\\data\\mine.dat");
    EXPECT_EQ(settings.LastView, 4);

    fs::remove(path);
    Write([&](CIniStore& store) { settings.Save(store); });
    EXPECT_EQ(ReadFile(path).find("LastView"), std::string::npos) << "Save leaves it out";
    settings.LastDateFile = "/home/me/events\t2.dat";
    Write([&](CIniStore& store) { settings.SaveExitState(store); });
    CSettings reread;
    reread.LoadExitState(CIniStore(path));
    EXPECT_EQ(reread.LastDateFile, "/home/me/events\t2.dat");
    EXPECT_EQ(reread.LastView, 4);
    CSettings fresh;
    fresh.LoadExitState(CIniStore(folder / "none.ini"));
    EXPECT_EQ(fresh.LastView, 0);
}

TEST_F(WindowSettingsTest, StoredValuesWinAndEmptyListsReadAsDefaults) {
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

TEST_F(WindowSettingsTest, ColumnListsFitTheColumnCount) {
    const NumberList defaults = {100, 167, 110};
    EXPECT_EQ(CWindowSettings::FitColumns(NumberList{1}, defaults), (NumberList{1, 167, 110}));
    EXPECT_EQ(CWindowSettings::FitColumns(NumberList{1, 2, 3, 4}, defaults), (NumberList{1, 2, 3}));
    EXPECT_EQ(CWindowSettings::FitColumns(FlagList{false}, FlagList{true, true}),
              (FlagList{false, true}));
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
