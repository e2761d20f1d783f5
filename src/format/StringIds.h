#pragma once

#include <cstdint>

// Numbers of the built-in strings that code loads by name. The numbers are fixed: language packs
// and stored settings refer to them.

namespace dv {

// ---- Status-bar prompt of a command (the string shares the command's number).
constexpr uint32_t kIdsCategoriesPrompt = 32771;

// ---- Event text formats: five variants (normal, single day, first, middle, last day) per group.
constexpr uint32_t kIdsClipboardDateNormal = 40000;
constexpr uint32_t kIdsClipboardDateSingleday = 40001;
constexpr uint32_t kIdsClipboardDateMultidayFirst = 40002;
constexpr uint32_t kIdsClipboardDateMultidayMid = 40003;
constexpr uint32_t kIdsClipboardDateMultidayLast = 40004;
constexpr uint32_t kIdsTooltipDateNormal = 40005;
constexpr uint32_t kIdsTooltipDateSingleday = 40006;
constexpr uint32_t kIdsTooltipDateMultidayFirst = 40007;
constexpr uint32_t kIdsTooltipDateMultidayMid = 40008;
constexpr uint32_t kIdsTooltipDateMultidayLast = 40009;
constexpr uint32_t kIdsCalendarDateNormal = 40010;
constexpr uint32_t kIdsCalendarDateSingleday = 40011;
constexpr uint32_t kIdsCalendarDateMultidayFirst = 40012;
constexpr uint32_t kIdsCalendarDateMultidayMid = 40013;
constexpr uint32_t kIdsCalendarDateMultidayLast = 40014;

// HTML export: the left (time) and right (description) column of an event row, interleaved.
constexpr uint32_t kIdsHtmlCalendarTimeNormal = 40020;
constexpr uint32_t kIdsHtmlCalendarDescNormal = 40021;
constexpr uint32_t kIdsHtmlCalendarTimeSingleday = 40022;
constexpr uint32_t kIdsHtmlCalendarDescSingleday = 40023;
constexpr uint32_t kIdsHtmlCalendarTimeMultidayFirst = 40024;
constexpr uint32_t kIdsHtmlCalendarDescMultidayFirst = 40025;
constexpr uint32_t kIdsHtmlCalendarTimeMultidayMid = 40026;
constexpr uint32_t kIdsHtmlCalendarDescMultidayMid = 40027;
constexpr uint32_t kIdsHtmlCalendarTimeMultidayLast = 40028;
constexpr uint32_t kIdsHtmlCalendarDescMultidayLast = 40029;

// ---- To-do formats and the values of the state placeholder.
constexpr uint32_t kIdsClipboardTodo = 40050;
constexpr uint32_t kIdsTooltipTodo = 40051;
constexpr uint32_t kIdsStateValueDone = 40052;
constexpr uint32_t kIdsStateValueOverdue = 40053;
constexpr uint32_t kIdsStateValueUndone = 40054;
constexpr uint32_t kIdsStateValueUrgent = 40055;

// ---- Date-time formats: initial formats of every expansion, then the list and picker formats.
constexpr uint32_t kIdsDateFormat = 40070;
constexpr uint32_t kIdsTimeFormat = 40071;
constexpr uint32_t kIdsDateTimeFormat = 40072;
constexpr uint32_t kIdsDateFormatList = 40073;
constexpr uint32_t kIdsTimeFormatList = 40074;
constexpr uint32_t kIdsDateTimeFormatList = 40075;

// Day headers of the calendar pages and of the HTML export tables.
constexpr uint32_t kIdsWeekViewFormat = 40100;
constexpr uint32_t kIdsFortnightViewFormat = 40101;
constexpr uint32_t kIdsFirstMonthViewFormat = 40102;
constexpr uint32_t kIdsMonthViewFormat = 40103;
constexpr uint32_t kIdsYearViewFormat = 40104;
constexpr uint32_t kIdsWeekDisplayFormat = 40105;
constexpr uint32_t kIdsHtmlWeekViewHeader = 40106;
constexpr uint32_t kIdsHtmlFortnightViewHeader = 40107;
constexpr uint32_t kIdsHtmlFirstMonthViewHeader = 40108;
constexpr uint32_t kIdsHtmlMonthViewHeader = 40109;
constexpr uint32_t kIdsHtmlListViewHeader = 40110;
constexpr uint32_t kIdsHtmlWeekDisplayHeader = 40111;

// Tray tooltip, reminder headlines and the current-time display.
constexpr uint32_t kIdsTooltipTrayIcon = 40120;
constexpr uint32_t kIdsReminderHeadlineDate = 40121;
constexpr uint32_t kIdsReminderHeadlineDateTime = 40122;
constexpr uint32_t kIdsCurrentTimeDisplay = 40123;

// ---- CSV export of the calendar: field switches, names and order, then one format per field.
constexpr uint32_t kIdsCsvCalendarFields = 40299;
constexpr uint32_t kIdsCsvCalendarFieldnames = 40300;
constexpr uint32_t kIdsCsvCalendarFieldorder = 40301;
constexpr uint32_t kIdsCsvCalendarDate = 40302;
constexpr uint32_t kIdsCsvCalendarWeeknumber = 40303;
constexpr uint32_t kIdsCsvCalendarTimeNormal = 40304;
constexpr uint32_t kIdsCsvCalendarTimeSingleday = 40305;
constexpr uint32_t kIdsCsvCalendarTimeMultidayFirst = 40306;
constexpr uint32_t kIdsCsvCalendarTimeMultidayMid = 40307;
constexpr uint32_t kIdsCsvCalendarTimeMultidayLast = 40308;
constexpr uint32_t kIdsCsvCalendarCategory = 40309;
constexpr uint32_t kIdsCsvCalendarDescription = 40310;
constexpr uint32_t kIdsCsvCalendarNotes = 40311;

// CSV and HTML export of the to-do list.
constexpr uint32_t kIdsCsvTodoFields = 40320;
constexpr uint32_t kIdsCsvTodoFieldnames = 40321;
constexpr uint32_t kIdsCsvTodoFieldorder = 40322;
constexpr uint32_t kIdsHtmlTodoFields = 40330;
constexpr uint32_t kIdsHtmlTodoFieldnames = 40331;
constexpr uint32_t kIdsHtmlTodoFieldorder = 40332;
constexpr uint32_t kIdsCsvTodoDate = 40350;
constexpr uint32_t kIdsCsvTodoTime = 40351;
constexpr uint32_t kIdsCsvTodoState = 40352;
constexpr uint32_t kIdsCsvTodoPriority = 40353;
constexpr uint32_t kIdsCsvTodoGroup = 40354;
constexpr uint32_t kIdsCsvTodoDescription = 40355;
constexpr uint32_t kIdsCsvTodoNotes = 40356;
constexpr uint32_t kIdsCsvTodoDocument = 40357;

// ---- Program title, document and window texts.
constexpr uint32_t kIdsAppTitle = 57344;             // also the name of the autostart entry
constexpr uint32_t kIdsModuleColumnFile = 57350;     // holiday module list
constexpr uint32_t kIdsModuleColumnLanguage = 57351; // holiday module list
constexpr uint32_t kIdsDefaultCategory = 57400; // category of the template made when none exists
constexpr uint32_t kIdsInternalFormatsTitle = 57404;
constexpr uint32_t kIdsHtmlExportFormatsTitle = 57405;
constexpr uint32_t kIdsCsvExportFormatsTitle = 57407;
constexpr uint32_t kIdsUntitled = 57423; // title of a new document
constexpr uint32_t kIdsNavigationBarCaption = 57424;
constexpr uint32_t kIdsCurrentTimeBarCaption = 57425;
constexpr uint32_t kIdsToolbarCaption = 57426;

// File dialog filters: pairs of "label|pattern", closed by "||".
constexpr uint32_t kIdsAllFilesFilter = 57413;
constexpr uint32_t kIdsHtmlFilesFilter = 57415;
constexpr uint32_t kIdsCsvFilesFilter = 57416;

// Plural unit names of the time-left texts.
constexpr uint32_t kIdsUnitMinutes = 57440;
constexpr uint32_t kIdsUnitHours = 57441;
constexpr uint32_t kIdsUnitDays = 57442;
constexpr uint32_t kIdsUnitWeeks = 57443;

// ---- Reminder window: the size button, the selection texts.
constexpr uint32_t kIdsButtonExtend = 57463;
constexpr uint32_t kIdsButtonReduce = 57464;
constexpr uint32_t kIdsEventsSelected = 57465; // "%d of %d": selected count, item count
constexpr uint32_t kIdsMultipleEventsSelected = 57466;
constexpr uint32_t kIdsNoEventsSelected = 57467;

// ---- List column titles (reminder window list, to-do list).
constexpr uint32_t kIdsColumnDate = 57468;
constexpr uint32_t kIdsColumnTimeLeft = 57469;
constexpr uint32_t kIdsColumnDescription = 57470;
constexpr uint32_t kIdsColumnGroup = 57476;
constexpr uint32_t kIdsColumnState = 57477;
constexpr uint32_t kIdsColumnPriority = 57478;
constexpr uint32_t kIdsColumnDeadline = 57479;
constexpr uint32_t kIdsColumnAssociatedDocument = 57480;
constexpr uint32_t kIdsColumnNetwork = 57481;

// ---- Messages and questions. "%s" takes a path or command line.
constexpr uint32_t kIdsAskOpenDocument = 57487;
constexpr uint32_t kIdsAskExecuteCommand = 57488;
constexpr uint32_t kIdsCannotOpenDocument = 57489;
constexpr uint32_t kIdsCannotExecuteCommand = 57490;
constexpr uint32_t kIdsAskSnoozeBeyondLimit = 57491;
constexpr uint32_t kIdsAskExit = 57500;
constexpr uint32_t kIdsAskAlarmOff = 57501;
constexpr uint32_t kIdsAskDeleteEntry = 57503;
constexpr uint32_t kIdsNeedDescriptionOrStart = 57504;
constexpr uint32_t kIdsNeedTodoGroup = 57505;
constexpr uint32_t kIdsCannotWriteExport = 57511;
constexpr uint32_t kIdsAskDisableAfterClockJump = 57514;
constexpr uint32_t kIdsAskResetEventStates = 57515;

// ---- Texts of our own, for messages that have no number of their own elsewhere (61000 on).
constexpr uint32_t kIdsAskSaveUntitled = 61000;
constexpr uint32_t kIdsCannotReadImport = 61001;
constexpr uint32_t kIdsCannotSaveEventFile = 61002;
// Count line of the sidebar search: "%d" takes the number of rows, or the row limit.
constexpr uint32_t kIdsSearchReturned = 61010;
constexpr uint32_t kIdsSearchTerminated = 61011;
// Outcomes of a synchronisation cycle, for the status display and dayvault-cli sync.
constexpr uint32_t kIdsSyncIdle = 61020;
constexpr uint32_t kIdsSyncSuccess = 61021;
constexpr uint32_t kIdsSyncUploaded = 61022;
constexpr uint32_t kIdsSyncBusy = 61023;
constexpr uint32_t kIdsSyncTransferFailed = 61024;
constexpr uint32_t kIdsSyncMergeFailed = 61025;
constexpr uint32_t kIdsSyncUploadSkipped = 61026;
// Why a cycle failed; "%s" takes the file or server.
constexpr uint32_t kIdsSyncCannotLock = 61027;
constexpr uint32_t kIdsSyncCannotConnect = 61028;
constexpr uint32_t kIdsSyncSharedFileEmpty = 61029;
constexpr uint32_t kIdsSyncSharedFileMissing = 61030;
constexpr uint32_t kIdsSyncSharedFileMissingHelp = 61031;
constexpr uint32_t kIdsSyncAskRemoveShared = 61032;
constexpr uint32_t kIdsSyncDeletionsHeld = 61033;
constexpr uint32_t kIdsSyncSharedFileDamaged = 61034;

// ---- Reminder window and alarm texts of our own (61500 on).
constexpr uint32_t kIdsReminderTitle = 61500;
constexpr uint32_t kIdsReminderDone = 61501;
constexpr uint32_t kIdsReminderOpen = 61502;
constexpr uint32_t kIdsReminderExecute = 61503;
constexpr uint32_t kIdsReminderEdit = 61504;
constexpr uint32_t kIdsReminderDelete = 61505;
constexpr uint32_t kIdsReminderSnooze = 61506;
constexpr uint32_t kIdsReminderMinutes = 61507;
constexpr uint32_t kIdsReminderHours = 61508;
constexpr uint32_t kIdsReminderDays = 61509;
constexpr uint32_t kIdsReminderWeeks = 61510;
constexpr uint32_t kIdsReminderFromNow = 61511;
constexpr uint32_t kIdsReminderBeforeEvent = 61512;
constexpr uint32_t kIdsReminderTimeLeft = 61513;
constexpr uint32_t kIdsReminderHasBegun = 61514;  // tooltip of the state image: started
constexpr uint32_t kIdsReminderBeginsNow = 61515; // tooltip of the state image: starts now
constexpr uint32_t kIdsReminderSnoozeFor = 61516;
// Desktop notification when the reminder window opens while the main window is hidden; "%s"
// takes the number of reminders.
constexpr uint32_t kIdsReminderNotification = 61517;
// Actions of shared events that arrived through synchronisation; "%s" takes the exact path or
// command line.
constexpr uint32_t kIdsAskSharedOpen = 61520;
constexpr uint32_t kIdsAskSharedExecute = 61521;
// ---- The main window: menus, commands, pages and its messages (61600 on).
constexpr uint32_t kIdsMenuFile = 61600;
constexpr uint32_t kIdsMenuEdit = 61601;
constexpr uint32_t kIdsMenuView = 61602;
constexpr uint32_t kIdsMenuExtras = 61603;
constexpr uint32_t kIdsMenuWindow = 61604;
constexpr uint32_t kIdsMenuHelp = 61605;
constexpr uint32_t kIdsMenuEventFile = 61606;
constexpr uint32_t kIdsMenuExport = 61607;
constexpr uint32_t kIdsCmdFileNew = 61610;
constexpr uint32_t kIdsCmdFileOpen = 61611;
constexpr uint32_t kIdsCmdFileSave = 61612;
constexpr uint32_t kIdsCmdFileSaveAs = 61613;
constexpr uint32_t kIdsCmdFileClose = 61614;
constexpr uint32_t kIdsCmdRecentFiles = 61615;
constexpr uint32_t kIdsCmdBackup = 61616;
constexpr uint32_t kIdsCmdRestore = 61617;
constexpr uint32_t kIdsCmdMerge = 61618;
constexpr uint32_t kIdsCmdSyncNow = 61619;
constexpr uint32_t kIdsCmdExit = 61620;
constexpr uint32_t kIdsCmdUndo = 61621;
constexpr uint32_t kIdsCmdRedo = 61622;
constexpr uint32_t kIdsCmdCut = 61623;
constexpr uint32_t kIdsCmdCopy = 61624;
constexpr uint32_t kIdsCmdPaste = 61625;
constexpr uint32_t kIdsCmdNewEntry = 61626;
constexpr uint32_t kIdsCmdNewEvent = 61627;
constexpr uint32_t kIdsCmdNewTodo = 61628;
constexpr uint32_t kIdsCmdEditEntry = 61629;
constexpr uint32_t kIdsCmdDeleteEntry = 61630;
constexpr uint32_t kIdsCmdDeleteSequence = 61631;
constexpr uint32_t kIdsCmdMarkDone = 61632;
constexpr uint32_t kIdsCmdMarkUndone = 61633;
constexpr uint32_t kIdsCmdExecuteNow = 61634;
constexpr uint32_t kIdsCmdTodoView = 61635;
constexpr uint32_t kIdsCmdWeekView = 61636;
constexpr uint32_t kIdsCmdFortnightView = 61637;
constexpr uint32_t kIdsCmdMonthView = 61638;
constexpr uint32_t kIdsCmdYearView = 61639;
constexpr uint32_t kIdsCmdPreviousPage = 61640;
constexpr uint32_t kIdsCmdCurrentDate = 61641;
constexpr uint32_t kIdsCmdNextPage = 61642;
constexpr uint32_t kIdsCmdFilter = 61643;
constexpr uint32_t kIdsCmdShowHidden = 61644;
constexpr uint32_t kIdsCmdToolbar = 61645;
constexpr uint32_t kIdsCmdStatusBar = 61646;
constexpr uint32_t kIdsCmdCategories = 61647;
constexpr uint32_t kIdsCmdEventDatabase = 61648;
constexpr uint32_t kIdsCmdAlarm = 61649;
constexpr uint32_t kIdsCmdShowSilentAlarms = 61650;
constexpr uint32_t kIdsCmdResetEventStates = 61651;
constexpr uint32_t kIdsCmdHolidays = 61652;
constexpr uint32_t kIdsCmdInternalFormats = 61653;
constexpr uint32_t kIdsCmdCsvExport = 61654;
constexpr uint32_t kIdsCmdHtmlExport = 61655;
constexpr uint32_t kIdsCmdOptions = 61656;
constexpr uint32_t kIdsCmdSaveWindowPosNow = 61657;
constexpr uint32_t kIdsCmdSaveWindowPosOnExit = 61658;
constexpr uint32_t kIdsCmdManual = 61659;
constexpr uint32_t kIdsCmdHomepage = 61660;
constexpr uint32_t kIdsCmdAbout = 61661;
constexpr uint32_t kIdsCmdTrayRestore = 61662;
constexpr uint32_t kIdsCmdTrayAlarm = 61663;
constexpr uint32_t kIdsPageTodo = 61664;
constexpr uint32_t kIdsPageWeek = 61665;
constexpr uint32_t kIdsPageFortnight = 61666;
constexpr uint32_t kIdsPageMonth = 61667;
constexpr uint32_t kIdsPageYear = 61668;
constexpr uint32_t kIdsCannotOpenEventFile = 61670;
constexpr uint32_t kIdsAboutText = 61671;
constexpr uint32_t kIdsEventFilesFilter = 61672;
constexpr uint32_t kIdsTextFilesFilter = 61673;
constexpr uint32_t kIdsPreviousTip = 61674;
constexpr uint32_t kIdsNextTip = 61675;
constexpr uint32_t kIdsCannotWriteAutostart = 61676;
constexpr uint32_t kIdsCannotStoreSettings = 61677;
constexpr uint32_t kIdsCannotRestoreBackup = 61678;
constexpr uint32_t kIdsCannotMergeFile = 61679;
constexpr uint32_t kIdsEntriesMerged = 61680;
constexpr uint32_t kIdsLastSync = 61681;
constexpr uint32_t kIdsMonthChoice = 61682;
constexpr uint32_t kIdsYearChoice = 61683;
constexpr uint32_t kIdsCannotWriteBackup = 61684;
constexpr uint32_t kIdsAskDeleteWholeEvent = 61685;
// Calendar pages
constexpr uint32_t kIdsNextReminder = 61700;
constexpr uint32_t kIdsYearPanelName = 61701;

// Search and filter sidebar
constexpr uint32_t kIdsFilterCategories = 61800;
constexpr uint32_t kIdsFilterGroups = 61801;
constexpr uint32_t kIdsFilterAll = 61802;
constexpr uint32_t kIdsFilterNone = 61803;
constexpr uint32_t kIdsFilterContent = 61804;
constexpr uint32_t kIdsFilterInDescription = 61805;
constexpr uint32_t kIdsFilterInNotes = 61806;
constexpr uint32_t kIdsFilterAnd = 61807;
constexpr uint32_t kIdsFilterOr = 61808;
constexpr uint32_t kIdsFilterExact = 61809;
constexpr uint32_t kIdsFilterState = 61810;
constexpr uint32_t kIdsFilterDone = 61811;
constexpr uint32_t kIdsFilterUndone = 61812;
constexpr uint32_t kIdsFilterSnoozed = 61813;
constexpr uint32_t kIdsFilterSearch = 61814;
constexpr uint32_t kIdsFilterRangeTo = 61815;
constexpr uint32_t kIdsFilterDays = 61816;
constexpr uint32_t kIdsFilterWeeks = 61817;
constexpr uint32_t kIdsFilterFrom = 61818;
constexpr uint32_t kIdsFilterAround = 61819;
constexpr uint32_t kIdsFilterUpTo = 61820;
constexpr uint32_t kIdsFilterToday = 61821;
constexpr uint32_t kIdsFilterSwitch = 61822;
constexpr uint32_t kIdsCmdFilterSwitch = 61823;
constexpr uint32_t kIdsFilterDateRange = 61824;
constexpr uint32_t kIdsFilterRelativeRange = 61825;
constexpr uint32_t kIdsFilterNames = 61826;
constexpr uint32_t kIdsFilterResults = 61827;
// Event database window
constexpr uint32_t kIdsDatabaseTitle = 61840;
constexpr uint32_t kIdsColumnCategory = 61841;
constexpr uint32_t kIdsColumnNextOccurrence = 61842;
constexpr uint32_t kIdsColumnRepeat = 61843;
constexpr uint32_t kIdsColumnAlarm = 61844;
constexpr uint32_t kIdsColumnHidden = 61845;
constexpr uint32_t kIdsYes = 61846;
constexpr uint32_t kIdsUnitMinute = 61847;
constexpr uint32_t kIdsUnitHour = 61848;
constexpr uint32_t kIdsUnitDay = 61849;
constexpr uint32_t kIdsUnitWeek = 61850;
constexpr uint32_t kIdsUnitMonth = 61851;
constexpr uint32_t kIdsUnitYear = 61852;
constexpr uint32_t kIdsUnitMinutesPlural = 61853;
constexpr uint32_t kIdsUnitHoursPlural = 61854;
constexpr uint32_t kIdsUnitDaysPlural = 61855;
constexpr uint32_t kIdsUnitWeeksPlural = 61856;
constexpr uint32_t kIdsUnitMonthsPlural = 61857;
constexpr uint32_t kIdsUnitYearsPlural = 61858;
constexpr uint32_t kIdsRepeatEveryWeekday = 61859;
constexpr uint32_t kIdsOrdinal1 = 61860;
constexpr uint32_t kIdsOrdinal2 = 61861;
constexpr uint32_t kIdsOrdinal3 = 61862;
constexpr uint32_t kIdsOrdinal4 = 61863;
constexpr uint32_t kIdsOrdinal5 = 61864;
constexpr uint32_t kIdsOrdinalLast = 61865;
constexpr uint32_t kIdsRange1Week = 61866;
constexpr uint32_t kIdsRange2Weeks = 61867;
constexpr uint32_t kIdsRange1Month = 61868;
constexpr uint32_t kIdsRange3Months = 61869;
constexpr uint32_t kIdsRange6Months = 61870;
constexpr uint32_t kIdsRange1Year = 61871;
constexpr uint32_t kIdsOccurrencesWithin = 61872;
constexpr uint32_t kIdsDroppedOccurrences = 61873;
constexpr uint32_t kIdsDatabaseNew = 61874;
constexpr uint32_t kIdsDatabaseEdit = 61875;
constexpr uint32_t kIdsDatabaseDelete = 61876;
constexpr uint32_t kIdsDatabaseDeleteOccurrence = 61877;
constexpr uint32_t kIdsDatabaseRestore = 61878;
constexpr uint32_t kIdsDatabaseEvents = 61879;
// Event and to-do editors, edit commands (61900 on). Lists are "|"-separated entries.
constexpr uint32_t kIdsEdTitleCategory = 61900;
constexpr uint32_t kIdsEdTitleNew = 61901;
constexpr uint32_t kIdsEdTitleEdit = 61902;
constexpr uint32_t kIdsEdPageDescription = 61903;
constexpr uint32_t kIdsEdPageRepetition = 61904;
constexpr uint32_t kIdsEdPageAction = 61905;
constexpr uint32_t kIdsEdNewCategoryTitle = 61906;
constexpr uint32_t kIdsEdNewCategoryPrompt = 61907;
constexpr uint32_t kIdsEdNewCategoryName = 61908;
constexpr uint32_t kIdsEdRenameCategoryTitle = 61909;
constexpr uint32_t kIdsEdRenameCategoryPrompt = 61910;
constexpr uint32_t kIdsEdCategoryExists = 61911;
constexpr uint32_t kIdsEdNoDeleteDefaultCategory = 61912;
constexpr uint32_t kIdsEdNeverOccurs = 61913;
constexpr uint32_t kIdsEdEndBeforeFirst = 61914;
constexpr uint32_t kIdsEdCategory = 61915;
constexpr uint32_t kIdsEdDescription = 61916;
constexpr uint32_t kIdsEdNotes = 61917;
constexpr uint32_t kIdsEdShareEvent = 61918;
constexpr uint32_t kIdsEdDisplayNormal = 61919;
constexpr uint32_t kIdsEdDisplayHidden = 61920;
constexpr uint32_t kIdsEdDisplayField = 61921;
constexpr uint32_t kIdsEdDisplayText = 61922;
constexpr uint32_t kIdsEdStartsOn = 61923;
constexpr uint32_t kIdsEdAt = 61924;
constexpr uint32_t kIdsEdEndsOn = 61925;
constexpr uint32_t kIdsEdReminder = 61926;
constexpr uint32_t kIdsEdSilent = 61927;
constexpr uint32_t kIdsEdSound = 61928;
constexpr uint32_t kIdsEdBrowse = 61929;
constexpr uint32_t kIdsEdEndless = 61930;
constexpr uint32_t kIdsEdRepeatSound = 61931;
constexpr uint32_t kIdsEdTimes = 61932;
constexpr uint32_t kIdsEdUnits = 61933;
constexpr uint32_t kIdsEdNewCategoryTip = 61934;
constexpr uint32_t kIdsEdDeleteCategoryTip = 61935;
constexpr uint32_t kIdsEdRenameCategoryTip = 61936;
constexpr uint32_t kIdsEdPlayTip = 61937;
constexpr uint32_t kIdsEdFieldColorTip = 61938;
constexpr uint32_t kIdsEdTextColorTip = 61939;
constexpr uint32_t kIdsEdSoundFilter = 61940;
constexpr uint32_t kIdsEdNoRepeat = 61941;
constexpr uint32_t kIdsEdInterval = 61942;
constexpr uint32_t kIdsEdRepeatEvery = 61943;
constexpr uint32_t kIdsEdRepeatUnits = 61944;
constexpr uint32_t kIdsEdOrdinals = 61945;
constexpr uint32_t kIdsEdNeverEnd = 61946;
constexpr uint32_t kIdsEdAfter = 61947;
constexpr uint32_t kIdsEdOccurrences = 61948;
constexpr uint32_t kIdsEdAfterDate = 61949;
constexpr uint32_t kIdsEdSet = 61950;
constexpr uint32_t kIdsEdClear = 61951;
constexpr uint32_t kIdsEdConditions = 61952;
constexpr uint32_t kIdsEdRepetitionEnd = 61953;
constexpr uint32_t kIdsEdActionNone = 61954;
constexpr uint32_t kIdsEdActionDocument = 61955;
constexpr uint32_t kIdsEdActionCommand = 61956;
constexpr uint32_t kIdsEdAckOpen = 61957;
constexpr uint32_t kIdsEdAckExecute = 61958;
constexpr uint32_t kIdsEdParameter = 61959;
constexpr uint32_t kIdsEdExecutableFilter = 61960;
constexpr uint32_t kIdsEdOverdue = 61961;
constexpr uint32_t kIdsEdNormalExecution = 61962;
constexpr uint32_t kIdsEdExecuteWithin = 61963;
constexpr uint32_t kIdsEdBeforeNext = 61964;
constexpr uint32_t kIdsEdDoNotExecute = 61965;
constexpr uint32_t kIdsEdSnooze = 61966;
constexpr uint32_t kIdsEdFromReminder = 61967;
constexpr uint32_t kIdsEdBeforeEvent = 61968;
constexpr uint32_t kIdsEdDisplay = 61969;
constexpr uint32_t kIdsTdTitle = 61970;
constexpr uint32_t kIdsTdGroup = 61971;
constexpr uint32_t kIdsTdDescription = 61972;
constexpr uint32_t kIdsTdShare = 61973;
constexpr uint32_t kIdsTdDeadline = 61974;
constexpr uint32_t kIdsTdForewarn = 61975;
constexpr uint32_t kIdsTdPriority = 61976;
constexpr uint32_t kIdsTdAssociate = 61977;

// The Options dialog.
constexpr uint32_t kIdsOptTitle = 62000;
constexpr uint32_t kIdsOptPageGeneral = 62001;
constexpr uint32_t kIdsOptPageDisplay = 62002;
constexpr uint32_t kIdsOptPageColours = 62003;
constexpr uint32_t kIdsOptPageReminders = 62004;
constexpr uint32_t kIdsOptPageTodos = 62005;
constexpr uint32_t kIdsOptPageSharing = 62006;
constexpr uint32_t kIdsOptPageBackups = 62007;
constexpr uint32_t kIdsOptPageLanguage = 62008;
constexpr uint32_t kIdsOptRangeMessage = 62009;
constexpr uint32_t kIdsOptBrowse = 62010;
constexpr uint32_t kIdsOptGroupStart = 62011;
constexpr uint32_t kIdsOptRunOnStart = 62012;
constexpr uint32_t kIdsOptRunMinimized = 62013;
constexpr uint32_t kIdsOptSingleInstance = 62014;
constexpr uint32_t kIdsOptUseRegistry = 62015;
constexpr uint32_t kIdsOptGroupEventFile = 62016;
constexpr uint32_t kIdsOptLoadLast = 62017;
constexpr uint32_t kIdsOptLoadDefault = 62018;
constexpr uint32_t kIdsOptGroupStartPage = 62019;
constexpr uint32_t kIdsOptStartDefault = 62020;
constexpr uint32_t kIdsOptStartLast = 62021;
constexpr uint32_t kIdsOptPageNames = 62022;
constexpr uint32_t kIdsOptGroupWindow = 62023;
constexpr uint32_t kIdsOptCloseToTray = 62024;
constexpr uint32_t kIdsOptDoubleClickTray = 62025;
constexpr uint32_t kIdsOptTrayToggles = 62026;
constexpr uint32_t kIdsOptSaveWindowPos = 62027;
constexpr uint32_t kIdsOptRestoreDate = 62028;
constexpr uint32_t kIdsOptRestoreView = 62029;
constexpr uint32_t kIdsOptGroupWarnings = 62030;
constexpr uint32_t kIdsOptWarnExit = 62031;
constexpr uint32_t kIdsOptWarnAlarm = 62032;
constexpr uint32_t kIdsOptWarnDelete = 62033;
constexpr uint32_t kIdsOptWarnCompleteDelete = 62034;
constexpr uint32_t kIdsOptHomepage = 62035;
constexpr uint32_t kIdsOptGroupPages = 62036;
constexpr uint32_t kIdsOptWeekStart = 62037;
constexpr uint32_t kIdsOptWeekStartList = 62038;
constexpr uint32_t kIdsOptWeekLayout = 62039;
constexpr uint32_t kIdsOptFortnightLayout = 62040;
constexpr uint32_t kIdsOptLayoutList = 62041;
constexpr uint32_t kIdsOptShowWeekNumbers = 62042;
constexpr uint32_t kIdsOptDisableExtraDays = 62043;
constexpr uint32_t kIdsOptGroupHelp = 62044;
constexpr uint32_t kIdsOptHeaderTooltips = 62045;
constexpr uint32_t kIdsOptEventTooltips = 62046;
constexpr uint32_t kIdsOptMousewheel = 62047;
constexpr uint32_t kIdsOptPgUpPgDown = 62048;
constexpr uint32_t kIdsOptGroupDone = 62049;
constexpr uint32_t kIdsOptDoneStruck = 62050;
constexpr uint32_t kIdsOptDoneGrey = 62051;
constexpr uint32_t kIdsOptDoneInverse = 62052;
constexpr uint32_t kIdsOptGroupMarks = 62053;
constexpr uint32_t kIdsOptYearHolidays = 62054;
constexpr uint32_t kIdsOptYearSaturdays = 62055;
constexpr uint32_t kIdsOptYearSundays = 62056;
constexpr uint32_t kIdsOptNetworkIcon = 62057;
constexpr uint32_t kIdsOptLocalIcon = 62058;
constexpr uint32_t kIdsOptGroupColours = 62059;
constexpr uint32_t kIdsOptGroupFonts = 62060;
constexpr uint32_t kIdsOptNormalColor = 62061;
constexpr uint32_t kIdsOptTodayColor = 62062;
constexpr uint32_t kIdsOptSelectedColor = 62063;
constexpr uint32_t kIdsOptHolidayColor = 62064;
constexpr uint32_t kIdsOptSaturdayColor = 62065;
constexpr uint32_t kIdsOptSundayColor = 62066;
constexpr uint32_t kIdsOptYearDatesColor = 62067;
constexpr uint32_t kIdsOptEventFont = 62068;
constexpr uint32_t kIdsOptCaptionDateFont = 62069;
constexpr uint32_t kIdsOptCaptionHolidayFont = 62070;
constexpr uint32_t kIdsOptMonthLabelFont = 62071;
constexpr uint32_t kIdsOptYearLabelFont = 62072;
constexpr uint32_t kIdsOptTodoFont = 62073;
constexpr uint32_t kIdsOptCurrentTimeFont = 62074;
constexpr uint32_t kIdsOptReminderFont = 62075;
constexpr uint32_t kIdsOptFontText = 62076;
constexpr uint32_t kIdsOptFontBold = 62077;
constexpr uint32_t kIdsOptFontItalic = 62078;
constexpr uint32_t kIdsOptGroupAlarm = 62079;
constexpr uint32_t kIdsOptDateCheckInterval = 62080;
constexpr uint32_t kIdsOptGroupReminder = 62081;
constexpr uint32_t kIdsOptInputFocus = 62082;
constexpr uint32_t kIdsOptAlwaysOnTop = 62083;
constexpr uint32_t kIdsOptDisplayAttributes = 62084;
constexpr uint32_t kIdsOptSnoozeFixed = 62085;
constexpr uint32_t kIdsOptGroupTodoDays = 62086;
constexpr uint32_t kIdsOptDeleteDone = 62087;
constexpr uint32_t kIdsOptHideDone = 62088;
constexpr uint32_t kIdsOptHideUndone = 62089;
constexpr uint32_t kIdsOptGroupTodoShow = 62090;
constexpr uint32_t kIdsOptDueTodoTab = 62091;
constexpr uint32_t kIdsOptDueTodoSystray = 62092;
constexpr uint32_t kIdsOptTodoTooltips = 62093;
constexpr uint32_t kIdsOptGroupShare = 62094;
constexpr uint32_t kIdsOptNetworkOff = 62095;
constexpr uint32_t kIdsOptNetworkPath = 62096;
constexpr uint32_t kIdsOptNetworkFtp = 62097;
constexpr uint32_t kIdsOptSharedFile = 62098;
constexpr uint32_t kIdsOptFtpServer = 62099;
constexpr uint32_t kIdsOptFtpPort = 62100;
constexpr uint32_t kIdsOptFtpLogin = 62101;
constexpr uint32_t kIdsOptFtpPassword = 62102;
constexpr uint32_t kIdsOptPasswordStored = 62103;
constexpr uint32_t kIdsOptRemovePassword = 62104;
constexpr uint32_t kIdsOptFtpFile = 62105;
constexpr uint32_t kIdsOptFtpPassive = 62106;
constexpr uint32_t kIdsOptGroupSync = 62107;
constexpr uint32_t kIdsOptSyncAuto = 62108;
constexpr uint32_t kIdsOptSyncManual = 62109;
constexpr uint32_t kIdsOptWriteChanges = 62110;
constexpr uint32_t kIdsOptWriteDeletions = 62111;
constexpr uint32_t kIdsOptGroupBackups = 62112;
constexpr uint32_t kIdsOptBackupDepth = 62113;
constexpr uint32_t kIdsOptNetworkBackupDepth = 62114;
constexpr uint32_t kIdsOptBackupNote = 62115;
constexpr uint32_t kIdsOptLanguageLabel = 62116;
constexpr uint32_t kIdsOptLanguageNote = 62117;

} // namespace dv
