#include "SettingsTestSupport.h"
#include "format/StringTable.h"
#include "settings/CIniStore.h"
#include "settings/CSettings.h"

#include <gtest/gtest.h>
#include <random>
#include <set>

namespace dv {
namespace {

namespace fs = std::filesystem;
using test::CTypedMemoryStore;
using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

// r + 256 g + 65536 b in decimal, written out apart from the code under test.
std::string RgbText(int red, int green, int blue) {
    return std::to_string(red + 256 * green + 65536 * blue);
}

const std::string kFontA = "-12,0,0,0,400,0,0,0,1,0,0,0,0,Arial";
const std::string kFontB = "-9,0,0,0,400,0,0,0,1,0,0,0,0,Arial";
const std::string kFontC = "-16,0,0,0,700,0,0,0,1,0,0,0,0,Arial";
const std::string kFontD = "-24,0,0,0,700,0,0,0,1,0,0,0,0,Arial";
const std::string kClipboardDate = "$THIS_STARTTOEND_AUTO$: $DESCRIPTION${0x0D}{0x0A}$NOTES_R$";

struct StoredKey {
    const char* key;
    std::string stored; // the text after "=" in the INI file
};

// Every key of section "Settings" in its order, with its default as the INI file shows it.
const std::vector<StoredKey>& DefaultFile() {
    static const std::vector<StoredKey> keys = {
        {"RunOnWindowsStart", "1"},
        {"RunMinimized", "0"},
        {"SingleInstance", "1"},
        {"CloseToTray", "1"},
        {"UseRegistry", "1"},
        {"DoubleClickTray", "1"},
        {"TrayIconTogglesSize", "0"},
        {"LoadDateFile", "1"},
        {"DefaultDateFile", ""},
        {"StartView", "1"},
        {"DefaultView", "3"},
        {"SaveWindowsPos", "1"},
        {"NetworkFunction", "0"},
        {"SharedFile", ""},
        {"FtpServer", ""},
        {"FtpPort", "21"},
        {"FtpLogin", ""},
        {"FtpPassword", ""},
        {"FtpPassiveConnection", "0"},
        {"FtpSharedFile", ""},
        {"NetworkSyncType", "0"},
        {"AutoSyncInterval", "30"},
        {"NetworkBackupDepth", "3"},
        {"NetworkWriteAccess", "3"},
        {"ShowNetworkIcon", "1"},
        {"ShowLocalIcon", "0"},
        {"NormalColor", RgbText(255, 240, 200)},
        {"TodayColor", RgbText(0, 0, 240)},
        {"SelectedColor", RgbText(128, 160, 255)},
        {"HolidayColor", RgbText(255, 200, 255)},
        {"SaturdayColor", RgbText(224, 200, 160)},
        {"SundayColor", RgbText(224, 200, 160)},
        {"DatesInYearViewColor", RgbText(0, 196, 0)},
        {"DoneEventsMarking", "3"},
        {"YearViewHolidays", "1"},
        {"YearViewSaturdays", "1"},
        {"YearViewSundays", "1"},
        {"CalendarEventFont", kFontA},
        {"CalendarCaptionDateFont", kFontA},
        {"CalendarCaptionHolidayFont", kFontB},
        {"CalendarLabelMonthViewFont", kFontA},
        {"CalendarLabelYearViewFont", kFontA},
        {"TodoEventFont", kFontA},
        {"CurrentTimeFont", kFontC},
        {"ReminderFont", kFontD},
        {"WeekStart", "1"},
        {"ShowWeekNumbers", "1"},
        {"DisableExtraDays", "1"},
        {"WeekViewLayout", "0"},
        {"FortnightViewLayout", "0"},
        {"ShowHeaderTooltips", "1"},
        {"ShowEventTooltips", "1"},
        {"NavigationMousewheel", "1"},
        {"NavigationPgUpPgDown", "1"},
        {"RestoreCurrentDate", "0"},
        {"RestoreStandardView", "0"},
        {"WarnOnAlarmDisable", "1"},
        {"WarnOnDelete", "0"},
        {"WarnOnCompleteDelete", "1"},
        {"WarnOnExit", "1"},
        {"DateCheckInterval", "30"},
        {"BackupDepth", "7"},
        {"RemindersInputFocus", "1"},
        {"RemindersAlwaysOnTop", "1"},
        {"SnoozeToFixedTime", "0"},
        {"SnoozeEndTime", "2000 01 01 08 00 00"},
        {"ReminderUsesDisplayAttributes", "1"},
        {"ShowDueTodoTab", "1"},
        {"ShowDueTodoSystray", "1"},
        {"DeleteDoneTodo", "0"},
        {"DaysBeforeDeleteTodo", "30"},
        {"HideDoneTodo", "0"},
        {"DaysBeforeHideTodo", "7"},
        {"HideUndoneTodo", "0"},
        {"DaysBeforeShowTodo", "14"},
        {"ShowTodoTooltips", "1"},
        {"HolidayDisplayBelowDate", "0"},
        {"HolidayShowLanguage", "0"},
        {"DateFormat", "%B %d, %Y"},
        {"TimeFormat", "%I:%M %p"},
        {"DateTimeFormat", "%B %d, %Y, %I:%M %p"},
        {"DateFormatList", "%m/%d/%Y"},
        {"TimeFormatList", "%I:%M %p"},
        {"DateTimeFormatList", "%m/%d/%Y, %I:%M %p"},
        {"WeekViewFormat", "%a, %b %d"},
        {"FortnightViewFormat", "%a, %b %d"},
        {"FirstMonthViewFormat", "%b %d"},
        {"MonthViewFormat", "%d"},
        {"YearViewFormat", "%A, %B %d, %Y"},
        {"WeekDisplayFormat", "(Week %W)"},
        {"HtmlCalendarTimeNormal", "$THIS_STARTTOEND_AUTOTIME$"},
        {"HtmlCalendarTimeSingleday", "\" \""},
        {"HtmlCalendarTimeMultidayFirst", "$THIS_START_AUTOTIME$"},
        {"HtmlCalendarTimeMultidayMid", "\" \""},
        {"HtmlCalendarTimeMultidayLast", "$THIS_END_AUTOTIME$"},
        {"HtmlCalendarDescNormal", "$DESCRIPTION${0x0D}{0x0A}$NOTES$"},
        {"HtmlCalendarDescSingleday", "$DESCRIPTION${0x0D}{0x0A}$NOTES$"},
        {"HtmlCalendarDescMultidayFirst", "$DESCRIPTION$ >>{0x0D}{0x0A}$NOTES$"},
        {"HtmlCalendarDescMultidayMid", ">> $DESCRIPTION$ >>"},
        {"HtmlCalendarDescMultidayLast", ">> $DESCRIPTION$"},
        {"HtmlWeekViewHeader", "%a, %b %d"},
        {"HtmlFortnightViewHeader", "%a, %b %d"},
        {"HtmlFirstMonthViewHeader", "%b %d"},
        {"HtmlMonthViewHeader", "%d"},
        {"HtmlListViewHeader", "%a, %b %d"},
        {"HtmlWeekDisplayHeader", "(Week %W)"},
        {"HtmlNormalColor", RgbText(224, 224, 224)},
        {"HtmlHolidayColor", RgbText(192, 192, 192)},
        {"HtmlSaturdayColor", RgbText(192, 192, 192)},
        {"HtmlSundayColor", RgbText(192, 192, 192)},
        {"HtmlTableHeaderColor", "0"},
        {"HtmlDoneDates", "0"},
        {"HtmlMarkedDates", "1"},
        {"HtmlEmptyDates", "0"},
        {"HtmlTemplateTodo", "templates/todoview.html"},
        {"HtmlTemplateWeek", "templates/weekview.html"},
        {"HtmlTemplateFortnight", "templates/fortnightview.html"},
        {"HtmlTemplateMonth", "templates/monthview.html"},
        {"HtmlTemplateList", "templates/listview.html"},
        {"HtmlTodoFields", "11110110"},
        {"HtmlTodoFieldnames", "Date,Time,State,Priority,Group,Description,Notes,Document"},
        {"HtmlTodoFieldorder", "0,1,2,3,4,5,6,7"},
        {"CsvCalendarRemoveDelimiter", "0"},
        {"CsvCalendarFieldnamesInFirstRow", "1"},
        {"CsvCalendarFieldDelimiter", "0"},
        {"CsvCalendarFields", "1001011"},
        {"CsvCalendarFieldnames", "Date,Weeknumber,Holiday,Time,Category,Description,Notes"},
        {"CsvCalendarFieldorder", "0,1,2,3,4,5,6"},
        {"CsvCalendarDate", "%m/%d/%Y"},
        {"CsvCalendarWeeknumber", "%W"},
        {"CsvCalendarTimeNormal", "$THIS_STARTTOEND_AUTOTIME$"},
        {"CsvCalendarTimeSingleday", "\" \""},
        {"CsvCalendarTimeMultidayFirst", "$THIS_START_AUTOTIME$"},
        {"CsvCalendarTimeMultidayMid", "\" \""},
        {"CsvCalendarTimeMultidayLast", "$THIS_END_AUTOTIME$"},
        {"CsvCalendarCategory", "\"\"$CATEGORY$\"\""},
        {"CsvCalendarDescription", "\"\"$DESCRIPTION$\"\""},
        {"CsvCalendarNotes", "\"\"$NOTES$\"\""},
        {"CsvTodoRemoveDelimiter", "0"},
        {"CsvTodoFieldnamesInFirstRow", "1"},
        {"CsvTodoFieldDelimiter", "0"},
        {"CsvTodoFields", "11110110"},
        {"CsvTodoFieldnames", "Date,Time,State,Priority,Group,Description,Notes,Document"},
        {"CsvTodoFieldorder", "0,1,2,3,4,5,6,7"},
        {"CsvTodoDate", "%m/%d/%Y"},
        {"CsvTodoTime", "%I:%M %p"},
        {"CsvTodoState", "\"\"$STATE$\"\""},
        {"CsvTodoPriority", "$PRIORITY$"},
        {"CsvTodoGroup", "\"\"$GROUP$\"\""},
        {"CsvTodoDescription", "\"\"$DESCRIPTION$\"\""},
        {"CsvTodoNotes", "\"\"$NOTES$\"\""},
        {"CsvTodoDocument", "\"\"$DOCUMENT$\"\""},
        {"TooltipTrayIcon", "%d. %B %Y"},
        {"ReminderHeadlineDate", "Event on %a, %B %d, %Y"},
        {"ReminderHeadlineDateTime", "Event on %a, %B %d, %Y, %I:%M %p"},
        {"CurrentTimeDisplay", "%A, %B %d, %Y, %#I:%M %p"},
        {"ClipboardDateNormal", kClipboardDate},
        {"ClipboardDateSingleday", kClipboardDate},
        {"ClipboardDateMultidayFirst", kClipboardDate},
        {"ClipboardDateMultidayMid", kClipboardDate},
        {"ClipboardDateMultidayLast", kClipboardDate},
        {"TooltipDateNormal", "$THIS_STARTTOEND_AUTOTIME_S$$DESCRIPTION$$R_NOTES$"},
        {"TooltipDateSingleday", "All day: $DESCRIPTION$$R_NOTES$"},
        {"TooltipDateMultidayFirst", "From $THIS_START_AUTOTIME_S$$DESCRIPTION$$R_NOTES$"},
        {"TooltipDateMultidayMid", "All day: $DESCRIPTION$$R_NOTES$"},
        {"TooltipDateMultidayLast", "Until $THIS_END_AUTOTIME_S$$DESCRIPTION$$R_NOTES$"},
        {"CalendarDateNormal", "$THIS_STARTTOEND_AUTOTIME_S$$DESCRIPTION$"},
        {"CalendarDateSingleday", "$DESCRIPTION$"},
        {"CalendarDateMultidayFirst", "$THIS_START_AUTOTIME_S$$DESCRIPTION$ >>"},
        {"CalendarDateMultidayMid", ">> $DESCRIPTION$ >>"},
        {"CalendarDateMultidayLast", ">> $THIS_END_AUTOTIME_S$$DESCRIPTION$"},
        {"ClipboardTodo", "$STATE$ Due $DEADLINE_AUTO$: $DESCRIPTION${0x0D}{0x0A}$NOTES_R$"},
        {"TooltipTodo", "$STATE$ Due $DEADLINE_AUTO$: $DESCRIPTION$$R_NOTES$"},
        {"StateValueDone", "Done:"},
        {"StateValueOverdue", "!!!Overdue!!!"},
        {"StateValueUndone", "To Do:"},
        {"StateValueUrgent", "Urgent!"},
        {"Language", "0"},
        {"Homepage", "https://dayvault.example.org/"},
    };
    return keys;
}

std::string DefaultFileText() {
    std::string text = "[Settings]\r\n";
    for (const StoredKey& key : DefaultFile()) {
        text += std::string(key.key) + "=" + key.stored + "\r\n";
    }
    return text;
}

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
    TempFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
    {
        CIniStore store(path);
        CSettings().Save(store);
    }
    EXPECT_EQ(ReadFile(path), DefaultFileText());
    ASSERT_EQ(CSettings::Keys().size(), DefaultFile().size());
    for (size_t i = 0; i < DefaultFile().size(); ++i) {
        EXPECT_EQ(CSettings::Keys()[i].Name, DefaultFile()[i].key) << "position " << i;
    }
}

TEST(SettingsTest, DefaultsReadBackAsDefaults) {
    TempFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
    WriteFile(path, DefaultFileText());
    CSettings loaded;
    loaded.RunMinimized = true;
    loaded.Load(CIniStore(path));
    EXPECT_EQ(loaded, CSettings());

    CSettings fromEmpty;
    fromEmpty.Load(CIniStore(folder.Path() / "missing.ini"));
    EXPECT_EQ(fromEmpty, CSettings());
}

TEST(SettingsTest, DefaultValuesInMemory) {
    const CSettings settings;
    EXPECT_EQ(settings.CalendarCaptionHolidayFont.Height, -9);
    EXPECT_EQ(settings.ReminderFont.Weight, 700);
    EXPECT_EQ(settings.SnoozeEndTime, CDateTime(2000, 1, 1, 8, 0, 0));
    EXPECT_EQ(settings.CsvCalendarFields, (FlagList{true, false, false, true, false, true, true}));
    EXPECT_EQ(settings.CsvTodoFieldnames, (NameList{"Date", "Time", "State", "Priority", "Group",
                                                    "Description", "Notes", "Document"}));
    EXPECT_EQ(settings.HtmlTodoFieldorder, (NumberList{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(settings.CsvCalendarTimeSingleday, " ");
    EXPECT_EQ(settings.HtmlCalendarDescNormal, "$DESCRIPTION$\r\n$NOTES$");
    EXPECT_EQ(settings.CsvCalendarCategory, "\"$CATEGORY$\"");
    EXPECT_EQ(settings.NormalColor, 0x00C8F0FFU);
    EXPECT_EQ(settings.LastDateFile, "");
    EXPECT_EQ(settings.LastView, 0);
}

TEST(SettingsTest, EveryKeyRoundTripsAChangedValue) {
    TempFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
    const CSettings defaults;
    for (const SettingKey<CSettings>& key : CSettings::Keys()) {
        CSettings changed;
        ChangeMember(key, changed, 0);
        ASSERT_NE(changed, defaults) << key.Name;
        EXPECT_EQ(SaveAndLoad(changed, path), changed) << key.Name;

        CTypedMemoryStore memory;
        changed.Save(memory);
        CSettings fromMemory;
        fromMemory.Load(memory);
        EXPECT_EQ(fromMemory, changed) << key.Name << " through a typed store";
    }
}

TEST(SettingsTest, AllKeysChangedAtOnceRoundTripThroughBothStores) {
    TempFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
    std::mt19937 random(8);
    for (int round = 0; round < 20; ++round) {
        CSettings changed;
        for (const SettingKey<CSettings>& key : CSettings::Keys()) {
            if ((random() & 1U) != 0) {
                ChangeMember(key, changed, round % 7);
            }
        }
        EXPECT_EQ(SaveAndLoad(changed, path), changed);

        CTypedMemoryStore memory;
        changed.Save(memory);
        EXPECT_EQ(memory.GetValueCount(), CSettings::Keys().size());
        EXPECT_EQ(memory.GetFlushCount(), 1) << "Save flushes once at the end";
        CSettings fromMemory;
        fromMemory.Load(memory);
        EXPECT_EQ(fromMemory, changed);
    }
}

TEST(SettingsTest, MissingKeysYieldTheirDefaults) {
    TempFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
    WriteFile(path,
              "weekstart=0\n[Settings]\n; only two keys\nDefaultView=1\n[Other]\nFtpPort=2\n");
    CSettings loaded;
    loaded.Load(CIniStore(path));
    CSettings expected;
    expected.DefaultView = 1;
    EXPECT_EQ(loaded, expected);
}

TEST(SettingsTest, EmptyAndOddStoredValues) {
    TempFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
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
    TempFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
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
    TempFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
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
    settings.DateFormat = "d";
    settings.TimeFormat = "t";
    settings.DateTimeFormat = "dt";
    settings.StateValueDone = "done";
    settings.StateValueOverdue = "overdue";
    settings.StateValueUndone = "undone";
    settings.StateValueUrgent = "urgent";
    const FormatSettings formats = settings.GetFormatSettings();
    EXPECT_EQ(formats.EventSets[kFormatSetClipboard][kVariantNormal], "set 0 variant 0");
    EXPECT_EQ(formats.EventSets[kFormatSetTooltip][kVariantFirstDay], "set 1 variant 2");
    EXPECT_EQ(formats.EventSets[kFormatSetCalendar][kVariantLastDay], "set 2 variant 4");
    EXPECT_EQ(formats.EventSets[kFormatSetHtmlTime][kVariantSingleDay], "set 3 variant 1");
    EXPECT_EQ(formats.EventSets[kFormatSetHtmlDesc][kVariantMiddleDay], "set 4 variant 3");
    EXPECT_EQ(formats.EventSets[kFormatSetCsvTime][kVariantNormal], "set 5 variant 0");
    for (int set = 0; set < 6; ++set) {
        for (int variant = 0; variant < 5; ++variant) {
            EXPECT_EQ(formats.EventSets[set][variant], *sets[set][variant]);
        }
    }
    EXPECT_EQ(formats.DateFormat, "d");
    EXPECT_EQ(formats.TimeFormat, "t");
    EXPECT_EQ(formats.DateTimeFormat, "dt");
    EXPECT_EQ(formats.StateValueDone, "done");
    EXPECT_EQ(formats.StateValueOverdue, "overdue");
    EXPECT_EQ(formats.StateValueUndone, "undone");
    EXPECT_EQ(formats.StateValueUrgent, "urgent");
}

TEST(SettingsTest, CopiesAreIndependent) {
    CSettings original;
    original.CsvTodoFieldnames = {"a", "b"};
    CSettings copy = original;
    EXPECT_EQ(copy, original);
    copy.CsvTodoFieldnames.push_back("c");
    copy.ReminderFont.FaceName = "Other";
    EXPECT_EQ(original.CsvTodoFieldnames, (NameList{"a", "b"}));
    EXPECT_EQ(original.ReminderFont.FaceName, "Arial");
    original = copy; // the dialog's OK
    EXPECT_EQ(original, copy);
}

TEST(SettingsTest, ExitStateIsKeptApartFromLoadAndSave) {
    TempFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
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
    fresh.LoadExitState(CIniStore(folder.Path() / "none.ini"));
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
    TempFolder folder;
    const fs::path path = folder.Path() / "Dayvault.ini";
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

TEST(SettingsTest, KeyTableNamesAndMembersAreUnique) {
    std::set<std::string> names;
    const auto keys = CSettings::Keys();
    for (size_t i = 0; i < keys.size(); ++i) {
        std::string folded(keys[i].Name);
        for (char& c : folded) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        EXPECT_TRUE(names.insert(folded).second) << keys[i].Name;
        for (size_t j = i + 1; j < keys.size(); ++j) {
            EXPECT_FALSE(keys[i].Field == keys[j].Field) << keys[i].Name << " " << keys[j].Name;
        }
        EXPECT_NE(keys[i].Name, "LastDateFile");
        EXPECT_NE(keys[i].Name, "LastView");
    }
}

} // namespace
} // namespace dv
