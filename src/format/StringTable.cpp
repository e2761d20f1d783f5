#include "format/StringTable.h"

#include "format/StringIds.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <mutex>
#include <utility>

namespace dv {

namespace {

// ---- The built-in English table -----------------------------------------------------------

struct StringEntry {
    uint32_t id;
    std::string_view text;
};

// Sorted by id (checked below) so that a lookup is a binary search. "\r\n" is a real CR LF.
constexpr StringEntry kStrings[] = {
    {kIdsCategoriesPrompt, "Create and edit categories"},
    // Event text formats: clipboard, tooltip and calendar cell, five variants each.
    {kIdsClipboardDateNormal, "$THIS_STARTTOEND_AUTO$: $DESCRIPTION$\r\n$NOTES_R$"},
    {kIdsClipboardDateSingleday, "$THIS_STARTTOEND_AUTO$: $DESCRIPTION$\r\n$NOTES_R$"},
    {kIdsClipboardDateMultidayFirst, "$THIS_STARTTOEND_AUTO$: $DESCRIPTION$\r\n$NOTES_R$"},
    {kIdsClipboardDateMultidayMid, "$THIS_STARTTOEND_AUTO$: $DESCRIPTION$\r\n$NOTES_R$"},
    {kIdsClipboardDateMultidayLast, "$THIS_STARTTOEND_AUTO$: $DESCRIPTION$\r\n$NOTES_R$"},
    {kIdsTooltipDateNormal, "$THIS_STARTTOEND_AUTOTIME_S$$DESCRIPTION$$R_NOTES$"},
    {kIdsTooltipDateSingleday, "All day: $DESCRIPTION$$R_NOTES$"},
    {kIdsTooltipDateMultidayFirst, "From $THIS_START_AUTOTIME_S$$DESCRIPTION$$R_NOTES$"},
    {kIdsTooltipDateMultidayMid, "All day: $DESCRIPTION$$R_NOTES$"},
    {kIdsTooltipDateMultidayLast, "Until $THIS_END_AUTOTIME_S$$DESCRIPTION$$R_NOTES$"},
    {kIdsCalendarDateNormal, "$THIS_STARTTOEND_AUTOTIME_S$$DESCRIPTION$"},
    {kIdsCalendarDateSingleday, "$DESCRIPTION$"},
    {kIdsCalendarDateMultidayFirst, "$THIS_START_AUTOTIME_S$$DESCRIPTION$ >>"},
    {kIdsCalendarDateMultidayMid, ">> $DESCRIPTION$ >>"},
    {kIdsCalendarDateMultidayLast, ">> $THIS_END_AUTOTIME_S$$DESCRIPTION$"},
    // HTML export event rows: time column and description column of each variant.
    {kIdsHtmlCalendarTimeNormal, "$THIS_STARTTOEND_AUTOTIME$"},
    {kIdsHtmlCalendarDescNormal, "$DESCRIPTION$\r\n$NOTES$"},
    {kIdsHtmlCalendarTimeSingleday, " "},
    {kIdsHtmlCalendarDescSingleday, "$DESCRIPTION$\r\n$NOTES$"},
    {kIdsHtmlCalendarTimeMultidayFirst, "$THIS_START_AUTOTIME$"},
    {kIdsHtmlCalendarDescMultidayFirst, "$DESCRIPTION$ >>\r\n$NOTES$"},
    {kIdsHtmlCalendarTimeMultidayMid, " "},
    {kIdsHtmlCalendarDescMultidayMid, ">> $DESCRIPTION$ >>"},
    {kIdsHtmlCalendarTimeMultidayLast, "$THIS_END_AUTOTIME$"},
    {kIdsHtmlCalendarDescMultidayLast, ">> $DESCRIPTION$"},
    // To-do formats and state values.
    {kIdsClipboardTodo, "$STATE$ Due $DEADLINE_AUTO$: $DESCRIPTION$\r\n$NOTES_R$"},
    {kIdsTooltipTodo, "$STATE$ Due $DEADLINE_AUTO$: $DESCRIPTION$$R_NOTES$"},
    {kIdsStateValueDone, "Done:"},
    {kIdsStateValueOverdue, "!!!Overdue!!!"},
    {kIdsStateValueUndone, "To Do:"},
    {kIdsStateValueUrgent, "Urgent!"},
    // Date-time formats.
    {kIdsDateFormat, "%B %d, %Y"},
    {kIdsTimeFormat, "%I:%M %p"},
    {kIdsDateTimeFormat, "%B %d, %Y, %I:%M %p"},
    {kIdsDateFormatList, "%m/%d/%Y"},
    {kIdsTimeFormatList, "%I:%M %p"},
    {kIdsDateTimeFormatList, "%m/%d/%Y, %I:%M %p"},
    {kIdsWeekViewFormat, "%a, %b %d"},
    {kIdsFortnightViewFormat, "%a, %b %d"},
    {kIdsFirstMonthViewFormat, "%b %d"},
    {kIdsMonthViewFormat, "%d"},
    {kIdsYearViewFormat, "%A, %B %d, %Y"},
    {kIdsWeekDisplayFormat, "(Week %W)"},
    {kIdsHtmlWeekViewHeader, "%a, %b %d"},
    {kIdsHtmlFortnightViewHeader, "%a, %b %d"},
    {kIdsHtmlFirstMonthViewHeader, "%b %d"},
    {kIdsHtmlMonthViewHeader, "%d"},
    {kIdsHtmlListViewHeader, "%a, %b %d"},
    {kIdsHtmlWeekDisplayHeader, "(Week %W)"},
    {kIdsTooltipTrayIcon, "%d. %B %Y"},
    {kIdsReminderHeadlineDate, "Event on %a, %B %d, %Y"},
    {kIdsReminderHeadlineDateTime, "Event on %a, %B %d, %Y, %I:%M %p"},
    {kIdsCurrentTimeDisplay, "%A, %B %d, %Y, %#I:%M %p"},
    // CSV export of the calendar.
    {kIdsCsvCalendarFields, "1001011"},
    {kIdsCsvCalendarFieldnames, "Date,Weeknumber,Holiday,Time,Category,Description,Notes"},
    {kIdsCsvCalendarFieldorder, "0,1,2,3,4,5,6"},
    {kIdsCsvCalendarDate, "%m/%d/%Y"},
    {kIdsCsvCalendarWeeknumber, "%W"},
    {kIdsCsvCalendarTimeNormal, "$THIS_STARTTOEND_AUTOTIME$"},
    {kIdsCsvCalendarTimeSingleday, " "},
    {kIdsCsvCalendarTimeMultidayFirst, "$THIS_START_AUTOTIME$"},
    {kIdsCsvCalendarTimeMultidayMid, " "},
    {kIdsCsvCalendarTimeMultidayLast, "$THIS_END_AUTOTIME$"},
    {kIdsCsvCalendarCategory, "\"$CATEGORY$\""},
    {kIdsCsvCalendarDescription, "\"$DESCRIPTION$\""},
    {kIdsCsvCalendarNotes, "\"$NOTES$\""},
    // CSV and HTML export of the to-do list.
    {kIdsCsvTodoFields, "11110110"},
    {kIdsCsvTodoFieldnames, "Date,Time,State,Priority,Group,Description,Notes,Document"},
    {kIdsCsvTodoFieldorder, "0,1,2,3,4,5,6,7"},
    {kIdsHtmlTodoFields, "11110110"},
    {kIdsHtmlTodoFieldnames, "Date,Time,State,Priority,Group,Description,Notes,Document"},
    {kIdsHtmlTodoFieldorder, "0,1,2,3,4,5,6,7"},
    {kIdsCsvTodoDate, "%m/%d/%Y"},
    {kIdsCsvTodoTime, "%I:%M %p"},
    {kIdsCsvTodoState, "\"$STATE$\""},
    {kIdsCsvTodoPriority, "$PRIORITY$"},
    {kIdsCsvTodoGroup, "\"$GROUP$\""},
    {kIdsCsvTodoDescription, "\"$DESCRIPTION$\""},
    {kIdsCsvTodoNotes, "\"$NOTES$\""},
    {kIdsCsvTodoDocument, "\"$DOCUMENT$\""},
    // Program title, document and window texts.
    {kIdsAppTitle, "Dayvault"},
    {kIdsModuleColumnFile, "File"},
    {kIdsModuleColumnLanguage, "Language"},
    {kIdsDefaultCategory, "Event"},
    {kIdsInternalFormatsTitle, "Internal Formats"},
    {kIdsHtmlExportFormatsTitle, "Formats for HTML-Export"},
    {kIdsCsvExportFormatsTitle, "Formats for CSV-Export"},
    {kIdsAllFilesFilter, "All Files (*.*)|*.*||"},
    {kIdsHtmlFilesFilter, "HTML-Files (*.html, *.htm)|*.html;*.htm|All Files (*.*)|*.*||"},
    {kIdsCsvFilesFilter, "CSV-Files (*.csv)|*.csv|All Files (*.*)|*.*||"},
    {kIdsUntitled, "Untitled"},
    {kIdsNavigationBarCaption, "Navigation"},
    {kIdsCurrentTimeBarCaption, "Current time"},
    {kIdsToolbarCaption, "Toolbar"},
    {kIdsUnitMinutes, "Minutes"},
    {kIdsUnitHours, "Hours"},
    {kIdsUnitDays, "Days"},
    {kIdsUnitWeeks, "Weeks"},
    // Reminder window.
    {kIdsButtonExtend, "Extend"},
    {kIdsButtonReduce, "Reduce"},
    {kIdsEventsSelected, "%d of %d events selected"},
    {kIdsMultipleEventsSelected, "Multiple events selected"},
    {kIdsNoEventsSelected, "No events selected"},
    // List column titles.
    {kIdsColumnDate, "Date"},
    {kIdsColumnTimeLeft, "Time left"},
    {kIdsColumnDescription, "Description"},
    {kIdsColumnGroup, "Group"},
    {kIdsColumnState, "State"},
    {kIdsColumnPriority, "Priority"},
    {kIdsColumnDeadline, "Deadline"},
    {kIdsColumnAssociatedDocument, "Associated Document"},
    {kIdsColumnNetwork, "Network"},
    // Messages and questions.
    {kIdsAskOpenDocument, "Do you want to open the document\n%s\nnow?"},
    {kIdsAskExecuteCommand, "Do you want to execute the command\n%s\nnow?"},
    {kIdsCannotOpenDocument, "Unable to open the document\n%s"},
    {kIdsCannotExecuteCommand, "Unable to execute the command\n%s"},
    {kIdsAskSnoozeBeyondLimit,
     "This will move the next reminder for this event beyond the limit\nyou set in the event "
     "options. The event will be dropped then.\nAre you sure you want to do this?"},
    {kIdsAskExit,
     "If you exit the application you will not\nbe reminded of upcoming events!\n\nQuit anyway?"},
    {kIdsAskAlarmOff, "You are about to switch off the alarm feature!\nYou will not be reminded of "
                      "upcoming events then.\n\nDo you really want to switch off the alarm?"},
    {kIdsAskDeleteEntry, "Do you want to delete this entry?"},
    {kIdsNeedDescriptionOrStart, "Please enter a description or a start time for this event!"},
    {kIdsNeedTodoGroup, "Please enter a new / select an existing group for this todo!"},
    {kIdsCannotWriteExport, "Can't write to export-file\n%s"},
    {kIdsAskDisableAfterClockJump,
     "You have adjusted the system clock by a large amount of time!\nThis might cause trouble "
     "with the reminder function.\nWould you like to temporarily disable the calendar?"},
    {kIdsAskResetEventStates,
     "You are about to reset all events to their default state.\nYou should do this only if you "
     "have problems after changing the system clock.\nDo you really want to reset all event "
     "states?"},
    {kIdsAskSaveUntitled, "Do you want to save current event file?"},
    {kIdsCannotReadImport, "Unable to read from import-file\n%s"},
    {kIdsCannotSaveEventFile, "Unable to save the event file.\n%s"},
    {kIdsSearchReturned, "Search returned %d results"},
    {kIdsSearchTerminated, "More than %d results, search terminated"},
    {kIdsSyncIdle, "Not synchronised yet"},
    {kIdsSyncSuccess, "Synchronised"},
    {kIdsSyncUploaded, "Synchronised, changes uploaded"},
    {kIdsSyncBusy, "The shared file is in use by another user"},
    {kIdsSyncTransferFailed, "Transfer of the shared file failed"},
    {kIdsSyncMergeFailed, "Merging the shared file failed"},
    {kIdsSyncUploadSkipped, "The shared file changed meanwhile; changes kept for the next cycle"},
    {kIdsSyncCannotLock, "Unable to create the lock file\n%s"},
    {kIdsSyncCannotConnect, "Unable to connect to the FTP server\n%s"},
    {kIdsSyncSharedFileEmpty, "%s: the shared file is empty; it may be being uploaded"},
    {kIdsSyncSharedFileMissing,
     "The shared file is missing; nothing was changed. Restore its newest backup or share again"},
    {kIdsSyncSharedFileMissingHelp,
     "%s: the shared file is missing. Restore its newest backup (the .bNN file with the latest "
     "date) under its name, or share again to create it from your shared entries."},
    {kIdsSyncAskRemoveShared,
     "%s shared entries were removed by another user. Remove them here too?"},
    {kIdsSyncDeletionsHeld,
     "%s shared entries were removed by another user; they are kept here until you agree"},
    {kIdsSyncSharedFileDamaged,
     "%s: the shared file is damaged or not an event file; nothing was changed. Restore its "
     "newest backup (the .bNN file with the latest date) under its name."},
    // Reminder window and alarm texts of our own.
    {kIdsReminderTitle, "Reminder"},
    {kIdsReminderDone, "&Done"},
    {kIdsReminderOpen, "&Open"},
    {kIdsReminderExecute, "E&xecute"},
    {kIdsReminderEdit, "&Edit"},
    {kIdsReminderDelete, "De&lete"},
    {kIdsReminderSnooze, "Snooze"},
    {kIdsReminderMinutes, "&Minutes"},
    {kIdsReminderHours, "&Hours"},
    {kIdsReminderDays, "D&ays"},
    {kIdsReminderWeeks, "&Weeks"},
    {kIdsReminderFromNow, "From &now"},
    {kIdsReminderBeforeEvent, "&Before Event"},
    {kIdsReminderTimeLeft, "Time left:"},
    {kIdsReminderHasBegun, "The event has begun"},
    {kIdsReminderBeginsNow, "The event begins now"},
    {kIdsReminderSnoozeFor, "Snooze for"},
    {kIdsReminderNotification, "Reminders waiting: %s"},
    {kIdsAskSharedOpen,
     "This shared event came from another user. It opens the document\n%s\nDo you want to "
     "allow this? You will be asked again if the document changes."},
    {kIdsAskSharedExecute,
     "This shared event came from another user. It runs the command\n%s\nDo you want to "
     "allow this? You will be asked again if the command changes."},
    {kIdsMenuFile, "&File"},
    {kIdsMenuEdit, "&Edit"},
    {kIdsMenuView, "&View"},
    {kIdsMenuExtras, "E&xtras"},
    {kIdsMenuWindow, "&Window"},
    {kIdsMenuHelp, "&Help"},
    {kIdsMenuEventFile, "E&vent File"},
    {kIdsMenuExport, "Ex&port"},
    {kIdsCmdFileNew, "&New"},
    {kIdsCmdFileOpen, "&Open..."},
    {kIdsCmdFileSave, "&Save"},
    {kIdsCmdFileSaveAs, "Save &As..."},
    {kIdsCmdFileClose, "&Close"},
    {kIdsCmdRecentFiles, "Recent &Files"},
    {kIdsCmdBackup, "&Backup..."},
    {kIdsCmdRestore, "&Restore..."},
    {kIdsCmdMerge, "&Merge..."},
    {kIdsCmdSyncNow, "S&ynchronize Now"},
    {kIdsCmdExit, "E&xit"},
    {kIdsCmdUndo, "&Undo"},
    {kIdsCmdRedo, "&Redo"},
    {kIdsCmdCut, "Cu&t"},
    {kIdsCmdCopy, "&Copy"},
    {kIdsCmdPaste, "&Paste"},
    {kIdsCmdNewEntry, "&New"},
    {kIdsCmdNewEvent, "&New Event..."},
    {kIdsCmdNewTodo, "New &ToDo..."},
    {kIdsCmdEditEntry, "&Edit"},
    {kIdsCmdDeleteEntry, "&Delete"},
    {kIdsCmdDeleteSequence, "Delete &Sequence"},
    {kIdsCmdMarkDone, "&Mark Done"},
    {kIdsCmdMarkUndone, "M&ark Undone"},
    {kIdsCmdExecuteNow, "E&xecute Now"},
    {kIdsCmdTodoView, "ToDo &List"},
    {kIdsCmdWeekView, "&Week View"},
    {kIdsCmdFortnightView, "&Fortnight View"},
    {kIdsCmdMonthView, "&Month View"},
    {kIdsCmdYearView, "&Year View"},
    {kIdsCmdPreviousPage, "&Previous Page"},
    {kIdsCmdCurrentDate, "&Current Date"},
    {kIdsCmdNextPage, "&Next Page"},
    {kIdsCmdFilter, "F&ilter"},
    {kIdsCmdShowHidden, "Show &Hidden Events"},
    {kIdsCmdToolbar, "&Toolbar"},
    {kIdsCmdStatusBar, "&Status Bar"},
    {kIdsCmdCategories, "&Categories..."},
    {kIdsCmdEventDatabase, "Event &Database..."},
    {kIdsCmdAlarm, "&Alarm"},
    {kIdsCmdShowSilentAlarms, "&Show Silent Alarms"},
    {kIdsCmdResetEventStates, "&Reset Event States"},
    {kIdsCmdHolidays, "&Holidays..."},
    {kIdsCmdInternalFormats, "&Internal Formats..."},
    {kIdsCmdCsvExport, "&CSV Export..."},
    {kIdsCmdHtmlExport, "&HTML Export..."},
    {kIdsCmdOptions, "&Options..."},
    {kIdsCmdSaveWindowPosNow, "&Save Window Position Now"},
    {kIdsCmdSaveWindowPosOnExit, "Save Window Position on E&xit"},
    {kIdsCmdManual, "&Manual"},
    {kIdsCmdHomepage, "&Go to Homepage"},
    {kIdsCmdAbout, "&About Dayvault..."},
    {kIdsCmdTrayRestore, "&Restore"},
    {kIdsCmdTrayAlarm, "&Alarm Feature"},
    {kIdsPageTodo, "ToDo List"},
    {kIdsPageWeek, "Week"},
    {kIdsPageFortnight, "Fortnight"},
    {kIdsPageMonth, "Month"},
    {kIdsPageYear, "Year"},
    {kIdsCannotOpenEventFile, "Unable to open the event file.\n%s"},
    {kIdsAboutText, "Dayvault %s\nCalendar, to-do list and reminder"},
    {kIdsEventFilesFilter, "Event Files (*.dat)|*.dat|All Files (*.*)|*.*||"},
    {kIdsTextFilesFilter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||"},
    {kIdsPreviousTip, "Previous page"},
    {kIdsNextTip, "Next page"},
    {kIdsCannotWriteAutostart, "Unable to write the start-with-the-system entry\n%s"},
    {kIdsCannotStoreSettings, "Unable to store the settings.\n%s"},
    {kIdsCannotRestoreBackup, "Unable to restore the backup.\n%s"},
    {kIdsCannotMergeFile, "Unable to merge the event file.\n%s"},
    {kIdsEntriesMerged, "%s entries were added."},
    {kIdsLastSync, "Last synchronisation: %s"},
    {kIdsMonthChoice, "Month"},
    {kIdsYearChoice, "Year"},
    {kIdsCannotWriteBackup, "Unable to write the backup.\n%s"},
    {kIdsAskDeleteWholeEvent, "This will delete the entire event!\n\nDo you really want to delete "
                              "all occurences of this event?"},
    {kIdsNextReminder, "Next Reminder"},
    {kIdsYearPanelName, "Year overview"},
    {kIdsFilterCategories, "Category Filter"},
    {kIdsFilterGroups, "Group Filter"},
    {kIdsFilterAll, "All"},
    {kIdsFilterNone, "None"},
    {kIdsFilterContent, "Content Filter"},
    {kIdsFilterInDescription, "Description"},
    {kIdsFilterInNotes, "Notes"},
    {kIdsFilterAnd, "AND"},
    {kIdsFilterOr, "OR"},
    {kIdsFilterExact, "Exact"},
    {kIdsFilterState, "State Filter"},
    {kIdsFilterDone, "Done"},
    {kIdsFilterUndone, "Undone"},
    {kIdsFilterSnoozed, "Snoozed"},
    {kIdsFilterSearch, "Search"},
    {kIdsFilterRangeTo, "to"},
    {kIdsFilterDays, "days"},
    {kIdsFilterWeeks, "weeks"},
    {kIdsFilterFrom, "from"},
    {kIdsFilterAround, "around"},
    {kIdsFilterUpTo, "to"},
    {kIdsFilterToday, "today"},
    {kIdsFilterSwitch, "Use filters"},
    {kIdsCmdFilterSwitch, "&Use Filters"},
    {kIdsFilterDateRange, "Between two dates"},
    {kIdsFilterRelativeRange, "Relative to today"},
    {kIdsFilterNames, "Categories to show"},
    {kIdsFilterResults, "Search results"},
    {kIdsDatabaseTitle, "Event Database"},
    {kIdsColumnCategory, "Category"},
    {kIdsColumnNextOccurrence, "Next Occurence"},
    {kIdsColumnRepeat, "Repeat"},
    {kIdsColumnAlarm, "Alarm"},
    {kIdsColumnHidden, "Hidden"},
    {kIdsYes, "Yes"},
    {kIdsUnitMinute, "Minute"},
    {kIdsUnitHour, "Hour"},
    {kIdsUnitDay, "Day"},
    {kIdsUnitWeek, "Week"},
    {kIdsUnitMonth, "Month"},
    {kIdsUnitYear, "Year"},
    {kIdsUnitMinutesPlural, "Minutes"},
    {kIdsUnitHoursPlural, "Hours"},
    {kIdsUnitDaysPlural, "Days"},
    {kIdsUnitWeeksPlural, "Weeks"},
    {kIdsUnitMonthsPlural, "Month"},
    {kIdsUnitYearsPlural, "Years"},
    {kIdsRepeatEveryWeekday, "Every %s %s. of the Month"},
    {kIdsOrdinal1, "1st"},
    {kIdsOrdinal2, "2nd"},
    {kIdsOrdinal3, "3rd"},
    {kIdsOrdinal4, "4th"},
    {kIdsOrdinal5, "5th"},
    {kIdsOrdinalLast, "last"},
    {kIdsRange1Week, "1 week"},
    {kIdsRange2Weeks, "2 weeks"},
    {kIdsRange1Month, "1 month"},
    {kIdsRange3Months, "3 month"},
    {kIdsRange6Months, "6 month"},
    {kIdsRange1Year, "1 year"},
    {kIdsOccurrencesWithin, "Occurences within"},
    {kIdsDroppedOccurrences, "Dropped Occurences"},
    {kIdsDatabaseNew, "&New"},
    {kIdsDatabaseEdit, "&Edit"},
    {kIdsDatabaseDelete, "&Delete"},
    {kIdsDatabaseDeleteOccurrence, "De&lete"},
    {kIdsDatabaseRestore, "&Restore"},
    {kIdsDatabaseEvents, "Events"},
    {kIdsEdTitleCategory, "Edit Category"},
    {kIdsEdTitleNew, "Enter New Event"},
    {kIdsEdTitleEdit, "Edit Event"},
    {kIdsEdPageDescription, "Description"},
    {kIdsEdPageRepetition, "Repetition"},
    {kIdsEdPageAction, "Action"},
    {kIdsEdNewCategoryTitle, "New Category"},
    {kIdsEdNewCategoryPrompt, "Enter a name for the new category:"},
    {kIdsEdNewCategoryName, "New Entry"},
    {kIdsEdRenameCategoryTitle, "Rename Category"},
    {kIdsEdRenameCategoryPrompt, "Enter a new name for the category"},
    {kIdsEdCategoryExists, "There is already a category with the name '%s'.\nPlease choose a different name."},
    {kIdsEdNoDeleteDefaultCategory, "You may not delete the default category!"},
    {kIdsEdNeverOccurs, "Due to the repeat rate and the additional conditions\nyou've selected, the event will never occur.\n\nPlease check the additional conditions and/or the repeat rate!"},
    {kIdsEdEndBeforeFirst, "The repetition end date lies before the first\npossible occurence of this event!\n\nPlease check the end date!"},
    {kIdsEdCategory, "&Category:"},
    {kIdsEdDescription, "&Description:"},
    {kIdsEdNotes, "&Notes:"},
    {kIdsEdShareEvent, "Share th&is event"},
    {kIdsEdDisplayNormal, "Norma&l"},
    {kIdsEdDisplayHidden, "&Hidden"},
    {kIdsEdDisplayField, "Colored &field"},
    {kIdsEdDisplayText, "Colored &text"},
    {kIdsEdStartsOn, "&Starts on:"},
    {kIdsEdAt, "&at"},
    {kIdsEdEndsOn, "&Ends on:"},
    {kIdsEdReminder, "&Reminder:"},
    {kIdsEdSilent, "Silent"},
    {kIdsEdSound, "S&ound:"},
    {kIdsEdBrowse, "..."},
    {kIdsEdEndless, "Endless loop"},
    {kIdsEdRepeatSound, "Repeat"},
    {kIdsEdTimes, "times"},
    {kIdsEdUnits, "minutes|hours|days|weeks"},
    {kIdsEdNewCategoryTip, "New category"},
    {kIdsEdDeleteCategoryTip, "Delete category"},
    {kIdsEdRenameCategoryTip, "Rename category"},
    {kIdsEdPlayTip, "Play the sound"},
    {kIdsEdFieldColorTip, "Field colour"},
    {kIdsEdTextColorTip, "Text colour"},
    {kIdsEdSoundFilter, "Sound Files (*.wav)|*.wav|All Files (*.*)|*.*||"},
    {kIdsEdNoRepeat, "Do &not repeat"},
    {kIdsEdInterval, "&Interval"},
    {kIdsEdRepeatEvery, "&Repeat every"},
    {kIdsEdRepeatUnits, "hours|days|weeks|month|years"},
    {kIdsEdOrdinals, "first|second|third|fourth|fifth|last"},
    {kIdsEdNeverEnd, "Ne&ver end"},
    {kIdsEdAfter, "&After"},
    {kIdsEdOccurrences, "Occurences"},
    {kIdsEdAfterDate, "After following &date"},
    {kIdsEdSet, "&Set"},
    {kIdsEdClear, "&Clear"},
    {kIdsEdConditions, "Additional conditions"},
    {kIdsEdRepetitionEnd, "End of repetition"},
    {kIdsEdActionNone, "&None"},
    {kIdsEdActionDocument, "&Document"},
    {kIdsEdActionCommand, "&Command"},
    {kIdsEdAckOpen, "&Acknowledge"},
    {kIdsEdAckExecute, "Ac&knowledge"},
    {kIdsEdParameter, "Parameter"},
    {kIdsEdExecutableFilter, "Executable Files (*.exe, *.com, *.bat)|*.exe;*.com;*.bat|All Files (*.*)|*.*||"},
    {kIdsEdOverdue, "Overdue reminders"},
    {kIdsEdNormalExecution, "Normal e&xecution"},
    {kIdsEdExecuteWithin, "Execute &within"},
    {kIdsEdBeforeNext, "Before nex&t event"},
    {kIdsEdDoNotExecute, "D&o not execute"},
    {kIdsEdSnooze, "Snooze"},
    {kIdsEdFromReminder, "From reminder"},
    {kIdsEdBeforeEvent, "Before event"},
    {kIdsEdDisplay, "Display"},
    {kIdsTdTitle, "Edit ToDo"},
    {kIdsTdGroup, "&Group:"},
    {kIdsTdDescription, "&Description"},
    {kIdsTdShare, "Share th&is Todo"},
    {kIdsTdDeadline, "Dead&line"},
    {kIdsTdForewarn, "&Forewarn"},
    {kIdsTdPriority, "Priority"},
    {kIdsTdAssociate, "A&ssociate"},
};

constexpr bool StrictlyAscending() {
    for (std::size_t i = 1; i < std::size(kStrings); ++i) {
        if (kStrings[i - 1].id >= kStrings[i].id) {
            return false;
        }
    }
    return true;
}
static_assert(StrictlyAscending(), "string table ids must ascend without duplicates");

const StringEntry* Find(uint32_t id) {
    const auto* end = std::end(kStrings);
    const auto* it = std::lower_bound(std::begin(kStrings), end, id,
                                      [](const StringEntry& e, uint32_t v) { return e.id < v; });
    return (it != end && it->id == id) ? it : nullptr;
}

// ---- The translation hook ------------------------------------------------------------------

// Shared so that a LoadString running on another thread keeps its hook alive while a new one is
// installed; the hook itself runs outside the lock, so it may call LoadString again.
std::mutex g_hookMutex;
std::shared_ptr<const TranslationHook> g_hook;

std::shared_ptr<const TranslationHook> CurrentHook() {
    std::lock_guard lock(g_hookMutex);
    return g_hook;
}

} // namespace

void SetTranslationHook(TranslationHook hook) {
    std::shared_ptr<const TranslationHook> installed;
    if (hook) {
        installed = std::make_shared<const TranslationHook>(std::move(hook));
    }
    std::lock_guard lock(g_hookMutex);
    g_hook.swap(installed);
    // The old hook dies with `installed` after the lock is released.
}

std::string_view EnglishString(uint32_t id) {
    const StringEntry* entry = Find(id);
    return entry ? entry->text : std::string_view{};
}

std::string LoadString(uint32_t id) {
    const StringEntry* entry = Find(id);
    if (!entry) {
        return {};
    }
    if (const auto hook = CurrentHook()) {
        if (std::optional<std::string> text = (*hook)(id, entry->text)) {
            return std::move(*text);
        }
    }
    return std::string(entry->text);
}

std::string FormatString(uint32_t id, std::string_view argument) {
    std::string text = LoadString(id);
    if (const size_t at = text.find("%s"); at != std::string::npos) {
        text.replace(at, 2, argument);
    }
    return text;
}

bool HasString(uint32_t id) {
    return Find(id) != nullptr;
}

std::vector<uint32_t> StringTableIds() {
    std::vector<uint32_t> ids;
    ids.reserve(std::size(kStrings));
    for (const StringEntry& entry : kStrings) {
        ids.push_back(entry.id);
    }
    return ids;
}

} // namespace dv
