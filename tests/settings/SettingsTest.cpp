#include "format/StringTable.h"
#include "settings/CIniStore.h"
#include "settings/CSettings.h"
#include "settings/SettingsTestSupport.h"
#include "support/Files.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace dv {
namespace {

namespace fs = std::filesystem;
using test::CTypedMemoryStore;
using test::ReadFile;
using test::TemporaryFolder;
using test::WriteFile;

CSettings SaveAndLoad(const CSettings& settings, const fs::path& path) {
    fs::remove(path);
    {
        CIniStore store(path);
        settings.Save(store);
    }
    CSettings loaded;
    loaded.WeekStart = -99; // Load must not depend on what the object held before
    loaded.Load(CIniStore(path));
    return loaded;
}

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// Gives the member of `key` a value that differs from every default and that exercises the
// value's stored form (escapes, quoting, separators).
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
                       LogFont font;
                       font.Height = -20 - variant;
                       font.Weight = 700;
                       font.Italic = 1;
                       font.FaceName = "Courier New";
                       settings.*member = font;
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

TEST(SettingsTest, DefaultsAreSavedInKeyOrder) {
    // The key order is part of the file format, and every default is part of the program's
    // behaviour: the saved defaults must match the fixed file line for line, each line ending in
    // CR LF.
    TemporaryFolder folder;
    const fs::path path = folder / "Dayvault.ini";
    {
        CIniStore store(path);
        CSettings().Save(store);
    }
    std::string text = ReadFile(path);
    const size_t lines = std::count(text.begin(), text.end(), '\n');
    size_t crlf = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
        ++crlf;
        text.erase(at, 1);
        --at;
    }
    EXPECT_EQ(crlf, lines);
    const fs::path fixed = fs::path(std::getenv("DAYVAULT_TEST_DATA")) / "settings" / "defaults.ini";
    EXPECT_EQ(text, ReadFile(fixed)) << "compare with " << fixed;

    CSettings loaded;
    loaded.RunMinimized = true;
    loaded.Load(CIniStore(path));
    EXPECT_EQ(loaded, CSettings()) << "defaults read back as defaults";
    CSettings fromEmpty;
    fromEmpty.Load(CIniStore(folder / "missing.ini"));
    EXPECT_EQ(fromEmpty, CSettings());
}

TEST(SettingsTest, EveryKeyRoundTripsThroughBothStores) {
    // One key changed at a time finds a key that reads or writes another key's member; all keys
    // changed at once find values that leak into their neighbours.
    TemporaryFolder folder;
    const fs::path path = folder / "Dayvault.ini";
    const auto roundTrip = [&](const CSettings& changed, std::string_view what) {
        EXPECT_EQ(SaveAndLoad(changed, path), changed) << what;
        CTypedMemoryStore memory;
        changed.Save(memory);
        EXPECT_EQ(memory.GetValueCount(), CSettings::Keys().size()) << what;
        EXPECT_EQ(memory.GetFlushCount(), 1) << "Save flushes once at the end";
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
}

TEST(SettingsTest, MissingKeysYieldTheirDefaults) {
    TemporaryFolder folder;
    const fs::path path = folder / "Dayvault.ini";
    WriteFile(path,
              "weekstart=0\n[Settings]\n; only two keys\nDefaultView=1\n[Other]\nFtpPort=2\n");
    CSettings loaded;
    loaded.Load(CIniStore(path));
    CSettings expected;
    expected.DefaultView = 1;
    EXPECT_EQ(loaded, expected);
}

TEST(SettingsTest, EmptyAndOddStoredValues) {
    TemporaryFolder folder;
    const fs::path path = folder / "Dayvault.ini";
    WriteFile(path, "[Settings]\n"
                    "DateFormat=\n"
                    "WeekStart=\n"
                    "CsvCalendarFields=\n"
                    "HtmlTodoFieldorder= , \n"
                    "SnoozeEndTime=\n"
                    "CalendarEventFont=\n"
                    "TodoEventFont=-13,0,0,0,400,0,0,0,1,0,0,0,0,Tahoma\n"
                    "FtpPassword=\n"
                    "RunMinimized=5\n"
                    "SingleInstance=-1\n"
                    "CloseToTray=abc\n"
                    "DoubleClickTray=\n"
                    "NormalColor=16777215\n"
                    "HtmlTodoFields=1x0\n"
                    "Homepage=https://example.com/?a=b\n");
    CSettings loaded;
    loaded.Load(CIniStore(path));
    const CSettings defaults;
    EXPECT_EQ(loaded.DateFormat, "") << "a text stored empty stays empty";
    EXPECT_EQ(loaded.WeekStart, 1) << "an empty integer is missing";
    EXPECT_EQ(loaded.CsvCalendarFields, defaults.CsvCalendarFields);
    EXPECT_EQ(loaded.HtmlTodoFieldorder, defaults.HtmlTodoFieldorder);
    EXPECT_EQ(loaded.SnoozeEndTime, defaults.SnoozeEndTime);
    EXPECT_EQ(loaded.CalendarEventFont, defaults.CalendarEventFont);
    EXPECT_EQ(loaded.TodoEventFont.FaceName, "Tahoma");
    EXPECT_EQ(loaded.TodoEventFont.Height, -13);
    EXPECT_EQ(loaded.FtpPassword, "");
    EXPECT_TRUE(loaded.RunMinimized) << "any non-zero value is true";
    EXPECT_TRUE(loaded.SingleInstance);
    EXPECT_FALSE(loaded.CloseToTray) << "text without digits reads 0";
    EXPECT_TRUE(loaded.DoubleClickTray);
    EXPECT_EQ(loaded.NormalColor, 0x00FFFFFFU);
    EXPECT_EQ(loaded.HtmlTodoFields, (FlagList{true, true, false}));
    EXPECT_EQ(loaded.Homepage, "https://example.com/?a=b");
}

TEST(SettingsTest, TextEscapesInTheStore) {
    TemporaryFolder folder;
    const fs::path path = folder / "Dayvault.ini";
    WriteFile(path, "[Settings]\nTooltipTodo=typed{0x0A}escape\n");
    CSettings settings;
    settings.Load(CIniStore(path));
    EXPECT_EQ(settings.TooltipTodo, "typed\nescape") << "a typed escape reads as a line feed";

    settings.ClipboardTodo = "one\ntwo";
    {
        CIniStore store(path);
        settings.Save(store);
    }
    EXPECT_NE(ReadFile(path).find("\nClipboardTodo=one{0x0A}two\n"), std::string::npos)
        << "the file keeps its line feeds";
}

TEST(SettingsTest, PasswordIsStoredScrambledAndCut) {
    TemporaryFolder folder;
    const fs::path path = folder / "Dayvault.ini";
    CSettings settings;
    settings.FtpPassword = std::string(70, 'p');
    const CSettings loaded = SaveAndLoad(settings, path);
    EXPECT_EQ(loaded.FtpPassword, std::string(64, 'p'));
    EXPECT_EQ(ReadFile(path).find("pppp"), std::string::npos);
}

TEST(SettingsTest, FormatSettingsComeFromTheFormatKeys) {
    EXPECT_EQ(CSettings().GetFormatSettings(), FormatSettings::Defaults());

    CSettings settings;
    std::string* const sets[6][5] = {
        {&settings.ClipboardDateNormal, &settings.ClipboardDateSingleday,
         &settings.ClipboardDateMultidayFirst, &settings.ClipboardDateMultidayMid,
         &settings.ClipboardDateMultidayLast},
        {&settings.TooltipDateNormal, &settings.TooltipDateSingleday,
         &settings.TooltipDateMultidayFirst, &settings.TooltipDateMultidayMid,
         &settings.TooltipDateMultidayLast},
        {&settings.CalendarDateNormal, &settings.CalendarDateSingleday,
         &settings.CalendarDateMultidayFirst, &settings.CalendarDateMultidayMid,
         &settings.CalendarDateMultidayLast},
        {&settings.HtmlCalendarTimeNormal, &settings.HtmlCalendarTimeSingleday,
         &settings.HtmlCalendarTimeMultidayFirst, &settings.HtmlCalendarTimeMultidayMid,
         &settings.HtmlCalendarTimeMultidayLast},
        {&settings.HtmlCalendarDescNormal, &settings.HtmlCalendarDescSingleday,
         &settings.HtmlCalendarDescMultidayFirst, &settings.HtmlCalendarDescMultidayMid,
         &settings.HtmlCalendarDescMultidayLast},
        {&settings.CsvCalendarTimeNormal, &settings.CsvCalendarTimeSingleday,
         &settings.CsvCalendarTimeMultidayFirst, &settings.CsvCalendarTimeMultidayMid,
         &settings.CsvCalendarTimeMultidayLast},
    };
    for (int set = 0; set < 6; ++set) {
        for (int variant = 0; variant < 5; ++variant) {
            *sets[set][variant] =
                "set " + std::to_string(set) + " variant " + std::to_string(variant);
        }
    }
    std::string* const single[] = {&settings.DateFormat,        &settings.TimeFormat,
                                   &settings.DateTimeFormat,    &settings.StateValueDone,
                                   &settings.StateValueOverdue, &settings.StateValueUndone,
                                   &settings.StateValueUrgent};
    for (size_t i = 0; i < std::size(single); ++i) {
        *single[i] = "single " + std::to_string(i);
    }
    const FormatSettings formats = settings.GetFormatSettings();
    for (int set = 0; set < 6; ++set) {
        for (int variant = 0; variant < 5; ++variant) {
            EXPECT_EQ(formats.EventSets[set][variant], *sets[set][variant]);
        }
    }
    const std::string got[] = {formats.DateFormat,        formats.TimeFormat,
                               formats.DateTimeFormat,    formats.StateValueDone,
                               formats.StateValueOverdue, formats.StateValueUndone,
                               formats.StateValueUrgent};
    for (size_t i = 0; i < std::size(single); ++i) {
        EXPECT_EQ(got[i], *single[i]) << i;
    }
}

TEST(SettingsTest, ExitStateIsKeptApartFromLoadAndSave) {
    TemporaryFolder folder;
    const fs::path path = folder / "Dayvault.ini";
    WriteFile(path, "[Settings]\nLastDateFile=C:\\data\\mine.dat\nLastView=4\n");
    CSettings settings;
    settings.LastDateFile = "kept";
    settings.LastView = 2;
    settings.Load(CIniStore(path));
    EXPECT_EQ(settings.LastDateFile, "kept") << "Load does not read the exit state";
    EXPECT_EQ(settings.LastView, 2);
    settings.LoadExitState(CIniStore(path));
    EXPECT_EQ(settings.LastDateFile, "C:\\data\\mine.dat");
    EXPECT_EQ(settings.LastView, 4);

    fs::remove(path);
    {
        CIniStore store(path);
        settings.Save(store);
    }
    EXPECT_EQ(ReadFile(path).find("LastView"), std::string::npos) << "Save leaves it out";
    settings.LastDateFile = "/home/me/events\t2.dat";
    settings.LastView = 1;
    {
        CIniStore store(path);
        settings.SaveExitState(store);
    }
    CSettings reread;
    reread.LoadExitState(CIniStore(path));
    EXPECT_EQ(reread.LastDateFile, "/home/me/events\t2.dat");
    EXPECT_EQ(reread.LastView, 1);

    CSettings fresh;
    fresh.LoadExitState(CIniStore(folder / "none.ini"));
    EXPECT_EQ(fresh.LastDateFile, "");
    EXPECT_EQ(fresh.LastView, 0);
}

TEST(SettingsTest, DefaultTextsFollowTheActiveLanguage) {
    SetTranslationHook([](uint32_t id, std::string_view) -> std::optional<std::string> {
        if (id == 40070) {
            return std::string("%d.%m.%Y");
        }
        if (id == 40300) {
            return std::string("Datum,Woche");
        }
        return std::nullopt;
    });
    CSettings translated;
    TemporaryFolder folder;
    const fs::path path = folder / "Dayvault.ini";
    WriteFile(path, "[Settings]\nDateFormat=%Y-%m-%d\n");
    CSettings stored;
    stored.Load(CIniStore(path));
    SetTranslationHook({});

    EXPECT_EQ(translated.DateFormat, "%d.%m.%Y");
    EXPECT_EQ(translated.CsvCalendarFieldnames, (NameList{"Datum", "Woche"}));
    EXPECT_EQ(translated.TimeFormat, "%I:%M %p");
    EXPECT_EQ(stored.DateFormat, "%Y-%m-%d") << "a stored value wins over the default";
    EXPECT_EQ(CSettings().DateFormat, "%B %d, %Y");
}

} // namespace
} // namespace dv
