#include "format/StringTable.h"

#include "format/FormatSettings.h"
#include "format/StringIds.h"

#include <atomic>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace dv {
namespace {

struct KeyRow {
    const char* key;   // settings key whose default the string is
    uint32_t number;   // the string number, written out
    uint32_t constant; // the named constant code uses
    std::string_view text;
};

// Every default of the format settings, by settings key.
const KeyRow kFormatDefaults[] = {
    {"ClipboardDateNormal", 40000, kIdsClipboardDateNormal,
     "$THIS_STARTTOEND_AUTO$: $DESCRIPTION$\r\n$NOTES_R$"},
    {"ClipboardDateSingleday", 40001, kIdsClipboardDateSingleday,
     "$THIS_STARTTOEND_AUTO$: $DESCRIPTION$\r\n$NOTES_R$"},
    {"ClipboardDateMultidayFirst", 40002, kIdsClipboardDateMultidayFirst,
     "$THIS_STARTTOEND_AUTO$: $DESCRIPTION$\r\n$NOTES_R$"},
    {"ClipboardDateMultidayMid", 40003, kIdsClipboardDateMultidayMid,
     "$THIS_STARTTOEND_AUTO$: $DESCRIPTION$\r\n$NOTES_R$"},
    {"ClipboardDateMultidayLast", 40004, kIdsClipboardDateMultidayLast,
     "$THIS_STARTTOEND_AUTO$: $DESCRIPTION$\r\n$NOTES_R$"},
    {"TooltipDateNormal", 40005, kIdsTooltipDateNormal,
     "$THIS_STARTTOEND_AUTOTIME_S$$DESCRIPTION$$R_NOTES$"},
    {"TooltipDateSingleday", 40006, kIdsTooltipDateSingleday, "All day: $DESCRIPTION$$R_NOTES$"},
    {"TooltipDateMultidayFirst", 40007, kIdsTooltipDateMultidayFirst,
     "From $THIS_START_AUTOTIME_S$$DESCRIPTION$$R_NOTES$"},
    {"TooltipDateMultidayMid", 40008, kIdsTooltipDateMultidayMid,
     "All day: $DESCRIPTION$$R_NOTES$"},
    {"TooltipDateMultidayLast", 40009, kIdsTooltipDateMultidayLast,
     "Until $THIS_END_AUTOTIME_S$$DESCRIPTION$$R_NOTES$"},
    {"CalendarDateNormal", 40010, kIdsCalendarDateNormal,
     "$THIS_STARTTOEND_AUTOTIME_S$$DESCRIPTION$"},
    {"CalendarDateSingleday", 40011, kIdsCalendarDateSingleday, "$DESCRIPTION$"},
    {"CalendarDateMultidayFirst", 40012, kIdsCalendarDateMultidayFirst,
     "$THIS_START_AUTOTIME_S$$DESCRIPTION$ >>"},
    {"CalendarDateMultidayMid", 40013, kIdsCalendarDateMultidayMid, ">> $DESCRIPTION$ >>"},
    {"CalendarDateMultidayLast", 40014, kIdsCalendarDateMultidayLast,
     ">> $THIS_END_AUTOTIME_S$$DESCRIPTION$"},
    {"ClipboardTodo", 40050, kIdsClipboardTodo,
     "$STATE$ Due $DEADLINE_AUTO$: $DESCRIPTION$\r\n$NOTES_R$"},
    {"TooltipTodo", 40051, kIdsTooltipTodo, "$STATE$ Due $DEADLINE_AUTO$: $DESCRIPTION$$R_NOTES$"},
    {"StateValueDone", 40052, kIdsStateValueDone, "Done:"},
    {"StateValueOverdue", 40053, kIdsStateValueOverdue, "!!!Overdue!!!"},
    {"StateValueUndone", 40054, kIdsStateValueUndone, "To Do:"},
    {"StateValueUrgent", 40055, kIdsStateValueUrgent, "Urgent!"},
    {"DateFormat", 40070, kIdsDateFormat, "%B %d, %Y"},
    {"TimeFormat", 40071, kIdsTimeFormat, "%I:%M %p"},
    {"DateTimeFormat", 40072, kIdsDateTimeFormat, "%B %d, %Y, %I:%M %p"},
    {"DateFormatList", 40073, kIdsDateFormatList, "%m/%d/%Y"},
    {"TimeFormatList", 40074, kIdsTimeFormatList, "%I:%M %p"},
    {"DateTimeFormatList", 40075, kIdsDateTimeFormatList, "%m/%d/%Y, %I:%M %p"},
    {"WeekViewFormat", 40100, kIdsWeekViewFormat, "%a, %b %d"},
    {"FortnightViewFormat", 40101, kIdsFortnightViewFormat, "%a, %b %d"},
    {"FirstMonthViewFormat", 40102, kIdsFirstMonthViewFormat, "%b %d"},
    {"MonthViewFormat", 40103, kIdsMonthViewFormat, "%d"},
    {"YearViewFormat", 40104, kIdsYearViewFormat, "%A, %B %d, %Y"},
    {"WeekDisplayFormat", 40105, kIdsWeekDisplayFormat, "(Week %W)"},
    {"TooltipTrayIcon", 40120, kIdsTooltipTrayIcon, "%d. %B %Y"},
    {"ReminderHeadlineDate", 40121, kIdsReminderHeadlineDate, "Event on %a, %B %d, %Y"},
    {"ReminderHeadlineDateTime", 40122, kIdsReminderHeadlineDateTime,
     "Event on %a, %B %d, %Y, %I:%M %p"},
    {"CurrentTimeDisplay", 40123, kIdsCurrentTimeDisplay, "%A, %B %d, %Y, %#I:%M %p"},
};

// The defaults of the CSV and HTML export settings.
const KeyRow kExportDefaults[] = {
    {"HtmlCalendarTimeNormal", 40020, kIdsHtmlCalendarTimeNormal, "$THIS_STARTTOEND_AUTOTIME$"},
    {"HtmlCalendarDescNormal", 40021, kIdsHtmlCalendarDescNormal, "$DESCRIPTION$\r\n$NOTES$"},
    {"HtmlCalendarTimeSingleday", 40022, kIdsHtmlCalendarTimeSingleday, " "},
    {"HtmlCalendarDescSingleday", 40023, kIdsHtmlCalendarDescSingleday, "$DESCRIPTION$\r\n$NOTES$"},
    {"HtmlCalendarTimeMultidayFirst", 40024, kIdsHtmlCalendarTimeMultidayFirst,
     "$THIS_START_AUTOTIME$"},
    {"HtmlCalendarDescMultidayFirst", 40025, kIdsHtmlCalendarDescMultidayFirst,
     "$DESCRIPTION$ >>\r\n$NOTES$"},
    {"HtmlCalendarTimeMultidayMid", 40026, kIdsHtmlCalendarTimeMultidayMid, " "},
    {"HtmlCalendarDescMultidayMid", 40027, kIdsHtmlCalendarDescMultidayMid, ">> $DESCRIPTION$ >>"},
    {"HtmlCalendarTimeMultidayLast", 40028, kIdsHtmlCalendarTimeMultidayLast,
     "$THIS_END_AUTOTIME$"},
    {"HtmlCalendarDescMultidayLast", 40029, kIdsHtmlCalendarDescMultidayLast, ">> $DESCRIPTION$"},
    {"HtmlWeekViewHeader", 40106, kIdsHtmlWeekViewHeader, "%a, %b %d"},
    {"HtmlFortnightViewHeader", 40107, kIdsHtmlFortnightViewHeader, "%a, %b %d"},
    {"HtmlFirstMonthViewHeader", 40108, kIdsHtmlFirstMonthViewHeader, "%b %d"},
    {"HtmlMonthViewHeader", 40109, kIdsHtmlMonthViewHeader, "%d"},
    {"HtmlListViewHeader", 40110, kIdsHtmlListViewHeader, "%a, %b %d"},
    {"HtmlWeekDisplayHeader", 40111, kIdsHtmlWeekDisplayHeader, "(Week %W)"},
    {"CsvCalendarFields", 40299, kIdsCsvCalendarFields, "1001011"},
    {"CsvCalendarFieldnames", 40300, kIdsCsvCalendarFieldnames,
     "Date,Weeknumber,Holiday,Time,Category,Description,Notes"},
    {"CsvCalendarFieldorder", 40301, kIdsCsvCalendarFieldorder, "0,1,2,3,4,5,6"},
    {"CsvCalendarDate", 40302, kIdsCsvCalendarDate, "%m/%d/%Y"},
    {"CsvCalendarWeeknumber", 40303, kIdsCsvCalendarWeeknumber, "%W"},
    {"CsvCalendarTimeNormal", 40304, kIdsCsvCalendarTimeNormal, "$THIS_STARTTOEND_AUTOTIME$"},
    {"CsvCalendarTimeSingleday", 40305, kIdsCsvCalendarTimeSingleday, " "},
    {"CsvCalendarTimeMultidayFirst", 40306, kIdsCsvCalendarTimeMultidayFirst,
     "$THIS_START_AUTOTIME$"},
    {"CsvCalendarTimeMultidayMid", 40307, kIdsCsvCalendarTimeMultidayMid, " "},
    {"CsvCalendarTimeMultidayLast", 40308, kIdsCsvCalendarTimeMultidayLast, "$THIS_END_AUTOTIME$"},
    {"CsvCalendarCategory", 40309, kIdsCsvCalendarCategory, "\"$CATEGORY$\""},
    {"CsvCalendarDescription", 40310, kIdsCsvCalendarDescription, "\"$DESCRIPTION$\""},
    {"CsvCalendarNotes", 40311, kIdsCsvCalendarNotes, "\"$NOTES$\""},
    {"CsvTodoFields", 40320, kIdsCsvTodoFields, "11110110"},
    {"CsvTodoFieldnames", 40321, kIdsCsvTodoFieldnames,
     "Date,Time,State,Priority,Group,Description,Notes,Document"},
    {"CsvTodoFieldorder", 40322, kIdsCsvTodoFieldorder, "0,1,2,3,4,5,6,7"},
    {"HtmlTodoFields", 40330, kIdsHtmlTodoFields, "11110110"},
    {"HtmlTodoFieldnames", 40331, kIdsHtmlTodoFieldnames,
     "Date,Time,State,Priority,Group,Description,Notes,Document"},
    {"HtmlTodoFieldorder", 40332, kIdsHtmlTodoFieldorder, "0,1,2,3,4,5,6,7"},
    {"CsvTodoDate", 40350, kIdsCsvTodoDate, "%m/%d/%Y"},
    {"CsvTodoTime", 40351, kIdsCsvTodoTime, "%I:%M %p"},
    {"CsvTodoState", 40352, kIdsCsvTodoState, "\"$STATE$\""},
    {"CsvTodoPriority", 40353, kIdsCsvTodoPriority, "$PRIORITY$"},
    {"CsvTodoGroup", 40354, kIdsCsvTodoGroup, "\"$GROUP$\""},
    {"CsvTodoDescription", 40355, kIdsCsvTodoDescription, "\"$DESCRIPTION$\""},
    {"CsvTodoNotes", 40356, kIdsCsvTodoNotes, "\"$NOTES$\""},
    {"CsvTodoDocument", 40357, kIdsCsvTodoDocument, "\"$DOCUMENT$\""},
};

// Titles, captions, column titles, unit names and messages; "\n" is a real line feed.
const KeyRow kInterfaceTexts[] = {
    {"categories command prompt", 32771, kIdsCategoriesPrompt, "Create and edit categories"},
    {"program title", 57344, kIdsAppTitle, "Dayvault"},
    {"module list: file", 57350, kIdsModuleColumnFile, "File"},
    {"module list: language", 57351, kIdsModuleColumnLanguage, "Language"},
    {"default category", 57400, kIdsDefaultCategory, "Event"},
    {"format dialog", 57404, kIdsInternalFormatsTitle, "Internal Formats"},
    {"HTML settings", 57405, kIdsHtmlExportFormatsTitle, "Formats for HTML-Export"},
    {"CSV settings", 57407, kIdsCsvExportFormatsTitle, "Formats for CSV-Export"},
    {"all files filter", 57413, kIdsAllFilesFilter, "All Files (*.*)|*.*||"},
    {"HTML filter", 57415, kIdsHtmlFilesFilter,
     "HTML-Files (*.html, *.htm)|*.html;*.htm|All Files (*.*)|*.*||"},
    {"CSV filter", 57416, kIdsCsvFilesFilter, "CSV-Files (*.csv)|*.csv|All Files (*.*)|*.*||"},
    {"new document title", 57423, kIdsUntitled, "Untitled"},
    {"navigation bar", 57424, kIdsNavigationBarCaption, "Navigation"},
    {"current-time bar", 57425, kIdsCurrentTimeBarCaption, "Current time"},
    {"toolbar", 57426, kIdsToolbarCaption, "Toolbar"},
    {"minutes", 57440, kIdsUnitMinutes, "Minutes"},
    {"hours", 57441, kIdsUnitHours, "Hours"},
    {"days", 57442, kIdsUnitDays, "Days"},
    {"weeks", 57443, kIdsUnitWeeks, "Weeks"},
    {"extend button", 57463, kIdsButtonExtend, "Extend"},
    {"reduce button", 57464, kIdsButtonReduce, "Reduce"},
    {"selection label", 57465, kIdsEventsSelected, "%d of %d events selected"},
    {"several selected", 57466, kIdsMultipleEventsSelected, "Multiple events selected"},
    {"none selected", 57467, kIdsNoEventsSelected, "No events selected"},
    {"column date", 57468, kIdsColumnDate, "Date"},
    {"column time left", 57469, kIdsColumnTimeLeft, "Time left"},
    {"column description", 57470, kIdsColumnDescription, "Description"},
    {"column group", 57476, kIdsColumnGroup, "Group"},
    {"column state", 57477, kIdsColumnState, "State"},
    {"column priority", 57478, kIdsColumnPriority, "Priority"},
    {"column deadline", 57479, kIdsColumnDeadline, "Deadline"},
    {"column document", 57480, kIdsColumnAssociatedDocument, "Associated Document"},
    {"column network", 57481, kIdsColumnNetwork, "Network"},
    {"ask open", 57487, kIdsAskOpenDocument, "Do you want to open the document\n%s\nnow?"},
    {"ask execute", 57488, kIdsAskExecuteCommand, "Do you want to execute the command\n%s\nnow?"},
    {"cannot open", 57489, kIdsCannotOpenDocument, "Unable to open the document\n%s"},
    {"cannot execute", 57490, kIdsCannotExecuteCommand, "Unable to execute the command\n%s"},
    {"snooze beyond limit", 57491, kIdsAskSnoozeBeyondLimit,
     "This will move the next reminder for this event beyond the limit\nyou set in the event "
     "options. "
     "The event will be dropped then.\nAre you sure you want to do this?"},
    {"ask exit", 57500, kIdsAskExit,
     "If you exit the application you will not\nbe reminded of upcoming events!\n\nQuit anyway?"},
    {"ask alarm off", 57501, kIdsAskAlarmOff,
     "You are about to switch off the alarm feature!\nYou will not be reminded of upcoming events "
     "then.\n\nDo you really want to switch off the alarm?"},
    {"ask delete", 57503, kIdsAskDeleteEntry, "Do you want to delete this entry?"},
    {"need description", 57504, kIdsNeedDescriptionOrStart,
     "Please enter a description or a start time for this event!"},
    {"need group", 57505, kIdsNeedTodoGroup,
     "Please enter a new / select an existing group for this todo!"},
    {"cannot write export", 57511, kIdsCannotWriteExport, "Can't write to export-file\n%s"},
    {"clock jump", 57514, kIdsAskDisableAfterClockJump,
     "You have adjusted the system clock by a large amount of time!\nThis might cause trouble with "
     "the reminder function.\nWould you like to temporarily disable the calendar?"},
    {"ask reset states", 57515, kIdsAskResetEventStates,
     "You are about to reset all events to their default state.\nYou should do this only if you "
     "have "
     "problems after changing the system clock.\nDo you really want to reset all event states?"},
    {"ask save untitled", 61000, kIdsAskSaveUntitled, "Do you want to save current event file?"},
    {"cannot read import", 61001, kIdsCannotReadImport, "Unable to read from import-file\n%s"},
    {"cannot save event file", 61002, kIdsCannotSaveEventFile,
     "Unable to save the event file.\n%s"},
    {"search count", 61010, kIdsSearchReturned, "Search returned %d results"},
    {"search cut off", 61011, kIdsSearchTerminated, "More than %d results, search terminated"},
    {"sync idle", 61020, kIdsSyncIdle, "Not synchronised yet"},
    {"sync success", 61021, kIdsSyncSuccess, "Synchronised"},
    {"sync uploaded", 61022, kIdsSyncUploaded, "Synchronised, changes uploaded"},
    {"sync busy", 61023, kIdsSyncBusy, "The shared file is in use by another user"},
    {"sync transfer failed", 61024, kIdsSyncTransferFailed, "Transfer of the shared file failed"},
    {"sync merge failed", 61025, kIdsSyncMergeFailed, "Merging the shared file failed"},
    {"sync upload skipped", 61026, kIdsSyncUploadSkipped,
     "The shared file changed meanwhile; changes kept for the next cycle"},
    {"sync lock", 61027, kIdsSyncCannotLock, "Unable to create the lock file\n%s"},
    {"sync connect", 61028, kIdsSyncCannotConnect, "Unable to connect to the FTP server\n%s"},
    {"sync empty shared file", 61029, kIdsSyncSharedFileEmpty,
     "%s: the shared file is empty; it may be being uploaded"},
};

// Every built-in string with its number, whichever group it belongs to.
std::vector<KeyRow> AllRows() {
    std::vector<KeyRow> rows;
    rows.insert(rows.end(), std::begin(kFormatDefaults), std::end(kFormatDefaults));
    rows.insert(rows.end(), std::begin(kExportDefaults), std::end(kExportDefaults));
    rows.insert(rows.end(), std::begin(kInterfaceTexts), std::end(kInterfaceTexts));
    return rows;
}

// Removes any hook a test installed, also when the test fails half-way.
class StringTableTest : public ::testing::Test {
protected:
    void TearDown() override { SetTranslationHook({}); }
};

TEST_F(StringTableTest, EveryStringByNumberAndConstant) {
    for (const KeyRow& row : AllRows()) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(row.constant, row.number);
        EXPECT_TRUE(HasString(row.number));
        EXPECT_EQ(EnglishString(row.number), row.text);
        EXPECT_EQ(LoadString(row.number), row.text);
        // Line breaks are real control characters, never written-out escapes.
        EXPECT_EQ(EnglishString(row.number).find('\\'), std::string_view::npos);
    }
}

TEST_F(StringTableTest, TableHoldsExactlyTheKnownStrings) {
    std::set<uint32_t> known;
    for (const KeyRow& row : AllRows()) {
        EXPECT_TRUE(known.insert(row.number).second) << "listed twice: " << row.number;
    }
    // String numbers are 16-bit; a stray entry or a lookup that answers for a neighbour shows up.
    for (uint32_t id = 0; id <= 0xFFFF; ++id) {
        const bool expected = known.count(id) != 0;
        ASSERT_EQ(HasString(id), expected) << id;
        ASSERT_EQ(EnglishString(id).empty(), !expected) << id;
    }
}

TEST_F(StringTableTest, NumbersOutsideTheTableGiveEmptyText) {
    const struct {
        const char* name;
        uint32_t id;
    } rows[] = {
        {"zero", 0},
        {"just below the first", kIdsCategoriesPrompt - 1},
        {"just above the first", kIdsCategoriesPrompt + 1},
        {"just below the formats", kIdsClipboardDateNormal - 1},
        {"after the calendar group", kIdsCalendarDateMultidayLast + 1},
        {"after the HTML event formats", kIdsHtmlCalendarDescMultidayLast + 1},
        {"after the CSV to-do formats", kIdsCsvTodoDocument + 1},
        {"between the tables", kIdsAskResetEventStates + 1},
        {"just above the last", kIdsCannotSaveEventFile + 1},
        {"beyond 16 bits", 0x10000 + kIdsDateFormat},
        {"largest number", std::numeric_limits<uint32_t>::max()},
    };
    SetTranslationHook([](uint32_t, std::string_view) { return std::optional<std::string>("x"); });
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(HasString(row.id));
        EXPECT_TRUE(EnglishString(row.id).empty());
        EXPECT_TRUE(LoadString(row.id).empty()); // the hook is not asked for a missing string
    }
}

TEST_F(StringTableTest, FormatStringFillsTheFirstPlaceholderOfTheActiveText) {
    EXPECT_EQ(FormatString(kIdsCannotReadImport, "C:\\a%s.txt"),
              "Unable to read from import-file\nC:\\a%s.txt");
    EXPECT_EQ(FormatString(kIdsUntitled, "x"), LoadString(kIdsUntitled)) << "no placeholder";
    SetTranslationHook([](uint32_t, std::string_view) {
        return std::optional<std::string>("Datei %s nicht lesbar");
    });
    EXPECT_EQ(FormatString(kIdsCannotReadImport, "a.txt"), "Datei a.txt nicht lesbar");
}

TEST_F(StringTableTest, HookReplacesTextOrKeepsEnglish) {
    std::vector<std::pair<uint32_t, std::string>> calls;
    SetTranslationHook([&calls](uint32_t id, std::string_view english) {
        calls.emplace_back(id, std::string(english));
        if (id == kIdsStateValueDone) {
            return std::optional<std::string>("Erledigt:");
        }
        if (id == kIdsStateValueUrgent) {
            return std::optional<std::string>(""); // a translation may be empty on purpose
        }
        return std::optional<std::string>();
    });
    EXPECT_EQ(LoadString(kIdsStateValueDone), "Erledigt:");
    EXPECT_EQ(LoadString(kIdsStateValueOverdue), "!!!Overdue!!!");
    EXPECT_EQ(LoadString(kIdsStateValueUrgent), "");
    EXPECT_EQ(EnglishString(kIdsStateValueDone), "Done:"); // the English text stays reachable

    const std::vector<std::pair<uint32_t, std::string>> expected = {
        {kIdsStateValueDone, "Done:"},
        {kIdsStateValueOverdue, "!!!Overdue!!!"},
        {kIdsStateValueUrgent, "Urgent!"},
    };
    EXPECT_EQ(calls, expected);

    SetTranslationHook({});
    EXPECT_EQ(LoadString(kIdsStateValueDone), "Done:");
    EXPECT_EQ(calls.size(), expected.size());
}

TEST_F(StringTableTest, HookMayLoadOtherStrings) {
    // A hook that builds its text from other strings must not deadlock on the hook's lock.
    SetTranslationHook([](uint32_t id, std::string_view) -> std::optional<std::string> {
        if (id == kIdsStateValueDone) {
            return "[" + LoadString(kIdsStateValueUndone) + "]";
        }
        return std::nullopt;
    });
    EXPECT_EQ(LoadString(kIdsStateValueDone), "[To Do:]");
}

TEST_F(StringTableTest, HookCanBeReplacedWhileOtherThreadsLoad) {
    std::atomic<bool> stop{false};
    std::atomic<int> unexpected{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                const std::string text = LoadString(kIdsStateValueDone);
                if (text != "Done:" && text != "first language" && text != "second language") {
                    ++unexpected;
                }
            }
        });
    }
    for (int i = 0; i < 3000; ++i) {
        // Each hook owns its text, so a reader still using a replaced hook would read freed memory
        // under the sanitizers.
        std::string text = (i % 3 == 0) ? "first language" : "second language";
        if (i % 3 == 2) {
            SetTranslationHook({});
        } else {
            SetTranslationHook(
                [text](uint32_t, std::string_view) { return std::optional<std::string>(text); });
        }
    }
    stop = true;
    for (std::thread& reader : readers) {
        reader.join();
    }
    EXPECT_EQ(unexpected.load(), 0);
}

// ---- Format settings defaults ----------------------------------------------------------------

TEST_F(StringTableTest, FormatDefaultsTakeEachSetFromItsStrings) {
    const FormatSettings defaults = FormatSettings::Defaults();
    EXPECT_EQ(defaults.DateFormat, "%B %d, %Y");
    EXPECT_EQ(defaults.TimeFormat, "%I:%M %p");
    EXPECT_EQ(defaults.DateTimeFormat, "%B %d, %Y, %I:%M %p");
    EXPECT_EQ(defaults.StateValueDone, "Done:");
    EXPECT_EQ(defaults.StateValueOverdue, "!!!Overdue!!!");
    EXPECT_EQ(defaults.StateValueUndone, "To Do:");
    EXPECT_EQ(defaults.StateValueUrgent, "Urgent!");

    // The string numbers of each set in variant order; the HTML sets interleave.
    const struct {
        const char* name;
        int set;
        uint32_t ids[5];
    } sets[] = {
        {"clipboard", kFormatSetClipboard, {40000, 40001, 40002, 40003, 40004}},
        {"tooltip", kFormatSetTooltip, {40005, 40006, 40007, 40008, 40009}},
        {"calendar", kFormatSetCalendar, {40010, 40011, 40012, 40013, 40014}},
        {"HTML time", kFormatSetHtmlTime, {40020, 40022, 40024, 40026, 40028}},
        {"HTML description", kFormatSetHtmlDesc, {40021, 40023, 40025, 40027, 40029}},
        {"CSV time", kFormatSetCsvTime, {40304, 40305, 40306, 40307, 40308}},
    };
    for (const auto& row : sets) {
        SCOPED_TRACE(row.name);
        for (int variant = 0; variant < 5; ++variant) {
            EXPECT_EQ(defaults.EventSets[row.set][variant], EnglishString(row.ids[variant]))
                << "variant " << variant;
        }
    }
    EXPECT_EQ(defaults.EventSets[kFormatSetCalendar][kVariantMiddleDay], ">> $DESCRIPTION$ >>");
    EXPECT_EQ(defaults.EventSets[kFormatSetHtmlDesc][kVariantFirstDay],
              "$DESCRIPTION$ >>\r\n$NOTES$");
}

TEST_F(StringTableTest, FormatDefaultsFollowTheHook) {
    SetTranslationHook([](uint32_t id, std::string_view) {
        return std::optional<std::string>("T" + std::to_string(id));
    });
    const FormatSettings defaults = FormatSettings::Defaults();
    EXPECT_EQ(defaults.DateFormat, "T40070");
    EXPECT_EQ(defaults.TimeFormat, "T40071");
    EXPECT_EQ(defaults.DateTimeFormat, "T40072");
    EXPECT_EQ(defaults.EventSets[kFormatSetTooltip][kVariantLastDay], "T40009");
    EXPECT_EQ(defaults.EventSets[kFormatSetHtmlTime][kVariantSingleDay], "T40022");
    EXPECT_EQ(defaults.StateValueUrgent, "T40055");
    EXPECT_NE(defaults, FormatSettings{});

    SetTranslationHook({});
    EXPECT_EQ(FormatSettings::Defaults().DateFormat, "%B %d, %Y");
}

} // namespace
} // namespace dv
