#pragma once

#include "core/CDateTime.h"
#include "format/FormatSettings.h"
#include "settings/IProfileStore.h"
#include "settings/LogFont.h"
#include "settings/ProfileValues.h"
#include "settings/SettingsTable.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace dv {

/// Every user option of section "Settings". The members carry the names of their keys and are
/// read directly by the rest of the program. The object is a plain value: copying copies every
/// member, so a dialog can edit a copy and the caller assigns it back on OK.
///
/// Keys(), one table of key, kind, default and member, drives the defaults, Load and Save; its
/// order is the order in which the keys are read and written. Colours are 0x00BBGGRR values.
/// Values read from a store are taken as they are; the dialogs keep them in their ranges.
class CSettings {
public:
    static constexpr std::string_view kSection = "Settings";

    /// Every key at its default (text defaults in the active language).
    CSettings();

    /// Sets every key of Keys() to its default. LastDateFile and LastView are left alone.
    void ResetToDefaults();
    /// Reads every key in table order, each with its default (ResetToDefaults, then the stored
    /// values). A stored text equal to the built-in English default, as earlier versions stored
    /// every text, reads as the default of the active language and clock. LastDateFile and
    /// LastView are not read; see LoadExitState.
    void Load(const IProfileStore& store);
    /// Writes every key in table order, then flushes the store. A text that follows the language
    /// and still holds its default is removed from the store instead, so that it follows a later
    /// change of the language or the clock. Throws what the store's Flush throws (CFileException
    /// for an INI file).
    void Save(IProfileStore& store) const;

    /// LastDateFile (default empty) and LastView (default 0), which the main window reads at
    /// start-up apart from the other keys.
    void LoadExitState(const IProfileStore& store);
    /// Writes LastDateFile and LastView and flushes the store.
    void SaveExitState(IProfileStore& store) const;

    /// What the placeholder expanders read: the three initial formats, the six event format sets
    /// (clipboard, tooltip, calendar, HTML time, HTML description, CSV time) and the state texts.
    FormatSettings GetFormatSettings() const;

    /// The clock of the time formats: TwentyFourHourClock when set (0 or 1), else the desktop's
    /// preference; nullopt when neither says, and the formats are the language's as they stand.
    std::optional<bool> TwentyFourHour() const;
    /// Sets TwentyFourHourClock (-1 the desktop's, 0 12-hour, 1 24-hour) and moves every format
    /// the user never changed to the new clock; changed ones stay as they are.
    void SetTwentyFourHourClock(int32_t value);
    /// The default text of a key that follows the language: `text` (the string table's, in the
    /// active language), on the clock of TwentyFourHour when the text is a time format.
    std::string AdaptDefault(std::string text) const;
    /// The desktop's clock from the locale of the environment (LC_ALL, LC_TIME, LANG): true when
    /// its time of day reads 24-hour; nullopt for the C locale, or one that cannot be loaded.
    static std::optional<bool> DesktopTwentyFourHour();
    /// Replaces what DesktopTwentyFourHour reports, for tests (nullopt: the environment again).
    static void OverrideDesktopClock(std::optional<std::optional<bool>> clock);

    /// The table of all keys of section "Settings", in their order.
    static std::span<const SettingKey<CSettings>> Keys();

    friend bool operator==(const CSettings&, const CSettings&) = default;

    // The defaults of the members below are those of Keys(); the constructor applies them.

    // ---- Program start and window behaviour
    bool RunOnWindowsStart{};   // start with the user's session (the platform's entry is the truth)
    bool RunMinimized{};        // start in the notification area
    bool SingleInstance{};      // only one instance per user
    bool CloseToTray{};         // closing the window hides it
    bool UseRegistry{};         // keep the settings in the platform store, not in the INI file
    bool DoubleClickTray{};     // the notification icon reacts to double clicks
    bool TrayIconTogglesSize{}; // activating the icon minimises a shown window
    int32_t LoadDateFile{};     // event file at start: 0 the last used, 1 DefaultDateFile
    std::string DefaultDateFile;
    int32_t StartView{};   // page at start: 1 DefaultView, otherwise the last used
    int32_t DefaultView{}; // 0 to-do list, 1 week, 2 fortnight, 3 month, 4 year
    bool SaveWindowsPos{}; // save the window layout on exit

    // ---- Sharing
    int32_t NetworkFunction{}; // 0 off, 1 shared file on a network path, 2 shared file on FTP
    std::string SharedFile;
    std::string FtpServer;
    int32_t FtpPort{}; // 1..65535
    std::string FtpLogin;
    std::string FtpPassword; // stored scrambled
    bool FtpPassiveConnection{};
    std::string FtpSharedFile;
    int32_t NetworkSyncType{};    // 0 automatic, 1 manual
    int32_t AutoSyncInterval{};   // seconds, 10..3600
    int32_t NetworkBackupDepth{}; // 0..30
    int32_t NetworkWriteAccess{}; // bit 1 add and change, bit 2 delete
    bool ShowNetworkIcon{};
    bool ShowLocalIcon{};

    // ---- Calendar colours and display
    uint32_t NormalColor{};
    uint32_t TodayColor{};
    uint32_t SelectedColor{};
    uint32_t HolidayColor{};
    uint32_t SaturdayColor{};
    uint32_t SundayColor{};
    uint32_t DatesInYearViewColor{};
    int32_t DoneEventsMarking{};
    bool YearViewHolidays{};
    bool YearViewSaturdays{};
    bool YearViewSundays{};
    LogFont CalendarEventFont;
    LogFont CalendarCaptionDateFont;
    LogFont CalendarCaptionHolidayFont;
    LogFont CalendarLabelMonthViewFont;
    LogFont CalendarLabelYearViewFont;
    LogFont TodoEventFont;
    LogFont CurrentTimeFont;
    LogFont ReminderFont;
    int32_t WeekStart{}; // 1 Monday, 0 Sunday
    bool ShowWeekNumbers{};
    bool DisableExtraDays{};
    int32_t WeekViewLayout{};
    int32_t FortnightViewLayout{};
    bool ShowHeaderTooltips{};
    bool ShowEventTooltips{};
    bool NavigationMousewheel{};
    bool NavigationPgUpPgDown{};
    bool RestoreCurrentDate{};
    bool RestoreStandardView{};

    // ---- Warnings, alarms and reminders
    bool WarnOnAlarmDisable{};
    bool WarnOnDelete{};
    bool WarnOnCompleteDelete{};
    bool WarnOnExit{};
    int32_t DateCheckInterval{}; // seconds between alarm checks, 1..3600
    int32_t BackupDepth{};       // local backup copies kept, 0..30
    bool RemindersInputFocus{};
    bool RemindersAlwaysOnTop{};
    bool SnoozeToFixedTime{};
    CDateTime SnoozeEndTime; // only the time of day is used
    bool ReminderUsesDisplayAttributes{};

    // ---- To-dos and holidays
    bool ShowDueTodoTab{};
    bool ShowDueTodoSystray{};
    bool DeleteDoneTodo{};
    int32_t DaysBeforeDeleteTodo{}; // 0..1000
    bool HideDoneTodo{};
    int32_t DaysBeforeHideTodo{}; // 0..1000
    bool HideUndoneTodo{};
    int32_t DaysBeforeShowTodo{}; // 0..1000
    bool ShowTodoTooltips{};
    bool HolidayDisplayBelowDate{};
    bool HolidayShowLanguage{};

    // ---- Date-time formats and view headers
    std::string DateFormat;
    std::string TimeFormat;
    std::string DateTimeFormat;
    std::string DateFormatList;
    std::string TimeFormatList;
    std::string DateTimeFormatList;
    std::string WeekViewFormat;
    std::string FortnightViewFormat;
    std::string FirstMonthViewFormat;
    std::string MonthViewFormat;
    std::string YearViewFormat;
    std::string WeekDisplayFormat;

    // ---- HTML export
    std::string HtmlCalendarTimeNormal;
    std::string HtmlCalendarTimeSingleday;
    std::string HtmlCalendarTimeMultidayFirst;
    std::string HtmlCalendarTimeMultidayMid;
    std::string HtmlCalendarTimeMultidayLast;
    std::string HtmlCalendarDescNormal;
    std::string HtmlCalendarDescSingleday;
    std::string HtmlCalendarDescMultidayFirst;
    std::string HtmlCalendarDescMultidayMid;
    std::string HtmlCalendarDescMultidayLast;
    std::string HtmlWeekViewHeader;
    std::string HtmlFortnightViewHeader;
    std::string HtmlFirstMonthViewHeader;
    std::string HtmlMonthViewHeader;
    std::string HtmlListViewHeader;
    std::string HtmlWeekDisplayHeader;
    uint32_t HtmlNormalColor{};
    uint32_t HtmlHolidayColor{};
    uint32_t HtmlSaturdayColor{};
    uint32_t HtmlSundayColor{};
    uint32_t HtmlTableHeaderColor{};
    int32_t HtmlDoneDates{};   // 1: done occurrences struck through
    int32_t HtmlMarkedDates{}; // 1 in their colours, 2 bold, other plain
    int32_t HtmlEmptyDates{};  // 1: the list gives days without events a row
    // Template paths; a relative path is relative to the program folder.
    std::string HtmlTemplateTodo;
    std::string HtmlTemplateWeek;
    std::string HtmlTemplateFortnight;
    std::string HtmlTemplateMonth;
    std::string HtmlTemplateList;
    FlagList HtmlTodoFields;
    NameList HtmlTodoFieldnames;
    NumberList HtmlTodoFieldorder;

    // ---- CSV export
    bool CsvCalendarRemoveDelimiter{};
    bool CsvCalendarFieldnamesInFirstRow{};
    int32_t CsvCalendarFieldDelimiter{}; // 0 ",", 1 ";", 2 tab, other ","
    FlagList CsvCalendarFields;
    NameList CsvCalendarFieldnames;
    NumberList CsvCalendarFieldorder;
    std::string CsvCalendarDate;
    std::string CsvCalendarWeeknumber;
    std::string CsvCalendarTimeNormal;
    std::string CsvCalendarTimeSingleday;
    std::string CsvCalendarTimeMultidayFirst;
    std::string CsvCalendarTimeMultidayMid;
    std::string CsvCalendarTimeMultidayLast;
    std::string CsvCalendarCategory;
    std::string CsvCalendarDescription;
    std::string CsvCalendarNotes;
    bool CsvTodoRemoveDelimiter{};
    bool CsvTodoFieldnamesInFirstRow{};
    int32_t CsvTodoFieldDelimiter{};
    FlagList CsvTodoFields;
    NameList CsvTodoFieldnames;
    NumberList CsvTodoFieldorder;
    std::string CsvTodoDate;
    std::string CsvTodoTime;
    std::string CsvTodoState;
    std::string CsvTodoPriority;
    std::string CsvTodoGroup;
    std::string CsvTodoDescription;
    std::string CsvTodoNotes;
    std::string CsvTodoDocument;

    // ---- Display formats
    std::string TooltipTrayIcon;
    std::string ReminderHeadlineDate;
    std::string ReminderHeadlineDateTime;
    std::string CurrentTimeDisplay;
    std::string ClipboardDateNormal;
    std::string ClipboardDateSingleday;
    std::string ClipboardDateMultidayFirst;
    std::string ClipboardDateMultidayMid;
    std::string ClipboardDateMultidayLast;
    std::string TooltipDateNormal;
    std::string TooltipDateSingleday;
    std::string TooltipDateMultidayFirst;
    std::string TooltipDateMultidayMid;
    std::string TooltipDateMultidayLast;
    std::string CalendarDateNormal;
    std::string CalendarDateSingleday;
    std::string CalendarDateMultidayFirst;
    std::string CalendarDateMultidayMid;
    std::string CalendarDateMultidayLast;
    std::string ClipboardTodo;
    std::string TooltipTodo;
    std::string StateValueDone;
    std::string StateValueOverdue;
    std::string StateValueUndone;
    std::string StateValueUrgent;

    // ---- Language and help
    int32_t Language{}; // Windows language identifier in the low 16 bits; 0 the user's default
    int32_t TwentyFourHourClock{}; // -1 as the desktop's locale, 0 12-hour, 1 24-hour
    std::string Homepage;

    // ---- Exit state, not part of Keys()
    std::string LastDateFile; // the event file open at exit
    int32_t LastView = 0;     // the page shown at exit, 0..4
};

} // namespace dv
