#include "settings/CSettings.h"

#include "format/StringIds.h"

#include <cstdlib>
#include <ctime>
#include <exception>
#include <iomanip>
#include <locale>
#include <sstream>
#include <vector>

namespace dv {

namespace {

using S = CSettings;

constexpr FromStringTable Table(uint32_t id) {
    return FromStringTable{id};
}

// The keys of section "Settings" in the order in which they are read and written.
constexpr SettingKey<CSettings> kKeys[] = {
    BoolKey("RunOnWindowsStart", &S::RunOnWindowsStart, true),
    BoolKey("RunMinimized", &S::RunMinimized, false),
    BoolKey("SingleInstance", &S::SingleInstance, true),
    BoolKey("CloseToTray", &S::CloseToTray, true),
    BoolKey("UseRegistry", &S::UseRegistry, true),
    BoolKey("DoubleClickTray", &S::DoubleClickTray, true),
    BoolKey("TrayIconTogglesSize", &S::TrayIconTogglesSize, false),
    IntKey("LoadDateFile", &S::LoadDateFile, 1),
    TextKey("DefaultDateFile", &S::DefaultDateFile, ""),
    IntKey("StartView", &S::StartView, 1),
    IntKey("DefaultView", &S::DefaultView, 3),
    BoolKey("SaveWindowsPos", &S::SaveWindowsPos, true),
    IntKey("NetworkFunction", &S::NetworkFunction, 0),
    TextKey("SharedFile", &S::SharedFile, ""),
    TextKey("FtpServer", &S::FtpServer, ""),
    IntKey("FtpPort", &S::FtpPort, 21),
    TextKey("FtpLogin", &S::FtpLogin, ""),
    PasswordKey("FtpPassword", &S::FtpPassword),
    BoolKey("FtpPassiveConnection", &S::FtpPassiveConnection, false),
    TextKey("FtpSharedFile", &S::FtpSharedFile, ""),
    IntKey("NetworkSyncType", &S::NetworkSyncType, 0),
    IntKey("AutoSyncInterval", &S::AutoSyncInterval, 30),
    IntKey("NetworkBackupDepth", &S::NetworkBackupDepth, 3),
    IntKey("NetworkWriteAccess", &S::NetworkWriteAccess, 3),
    BoolKey("ShowNetworkIcon", &S::ShowNetworkIcon, true),
    BoolKey("ShowLocalIcon", &S::ShowLocalIcon, false),
    ColourKey("NormalColor", &S::NormalColor, Rgb(255, 240, 200)),
    ColourKey("TodayColor", &S::TodayColor, Rgb(0, 0, 240)),
    ColourKey("SelectedColor", &S::SelectedColor, Rgb(128, 160, 255)),
    ColourKey("HolidayColor", &S::HolidayColor, Rgb(255, 200, 255)),
    ColourKey("SaturdayColor", &S::SaturdayColor, Rgb(224, 200, 160)),
    ColourKey("SundayColor", &S::SundayColor, Rgb(224, 200, 160)),
    ColourKey("DatesInYearViewColor", &S::DatesInYearViewColor, Rgb(0, 196, 0)),
    IntKey("DoneEventsMarking", &S::DoneEventsMarking, 3),
    BoolKey("YearViewHolidays", &S::YearViewHolidays, true),
    BoolKey("YearViewSaturdays", &S::YearViewSaturdays, true),
    BoolKey("YearViewSundays", &S::YearViewSundays, true),
    FontKey("CalendarEventFont", &S::CalendarEventFont, DefaultFont::A),
    FontKey("CalendarCaptionDateFont", &S::CalendarCaptionDateFont, DefaultFont::A),
    FontKey("CalendarCaptionHolidayFont", &S::CalendarCaptionHolidayFont, DefaultFont::B),
    FontKey("CalendarLabelMonthViewFont", &S::CalendarLabelMonthViewFont, DefaultFont::A),
    FontKey("CalendarLabelYearViewFont", &S::CalendarLabelYearViewFont, DefaultFont::A),
    FontKey("TodoEventFont", &S::TodoEventFont, DefaultFont::A),
    FontKey("CurrentTimeFont", &S::CurrentTimeFont, DefaultFont::C),
    FontKey("ReminderFont", &S::ReminderFont, DefaultFont::D),
    IntKey("WeekStart", &S::WeekStart, 1),
    BoolKey("ShowWeekNumbers", &S::ShowWeekNumbers, true),
    BoolKey("DisableExtraDays", &S::DisableExtraDays, true),
    IntKey("WeekViewLayout", &S::WeekViewLayout, 0),
    IntKey("FortnightViewLayout", &S::FortnightViewLayout, 0),
    BoolKey("ShowHeaderTooltips", &S::ShowHeaderTooltips, true),
    BoolKey("ShowEventTooltips", &S::ShowEventTooltips, true),
    BoolKey("NavigationMousewheel", &S::NavigationMousewheel, true),
    BoolKey("NavigationPgUpPgDown", &S::NavigationPgUpPgDown, true),
    BoolKey("RestoreCurrentDate", &S::RestoreCurrentDate, false),
    BoolKey("RestoreStandardView", &S::RestoreStandardView, false),
    BoolKey("WarnOnAlarmDisable", &S::WarnOnAlarmDisable, true),
    BoolKey("WarnOnDelete", &S::WarnOnDelete, false),
    BoolKey("WarnOnCompleteDelete", &S::WarnOnCompleteDelete, true),
    BoolKey("WarnOnExit", &S::WarnOnExit, true),
    IntKey("DateCheckInterval", &S::DateCheckInterval, 30),
    IntKey("BackupDepth", &S::BackupDepth, 7),
    BoolKey("RemindersInputFocus", &S::RemindersInputFocus, true),
    BoolKey("RemindersAlwaysOnTop", &S::RemindersAlwaysOnTop, true),
    BoolKey("SnoozeToFixedTime", &S::SnoozeToFixedTime, false),
    DateTimeKey("SnoozeEndTime", &S::SnoozeEndTime, "2000 01 01 08 00 00"),
    BoolKey("ReminderUsesDisplayAttributes", &S::ReminderUsesDisplayAttributes, true),
    BoolKey("ShowDueTodoTab", &S::ShowDueTodoTab, true),
    BoolKey("ShowDueTodoSystray", &S::ShowDueTodoSystray, true),
    BoolKey("DeleteDoneTodo", &S::DeleteDoneTodo, false),
    IntKey("DaysBeforeDeleteTodo", &S::DaysBeforeDeleteTodo, 30),
    BoolKey("HideDoneTodo", &S::HideDoneTodo, false),
    IntKey("DaysBeforeHideTodo", &S::DaysBeforeHideTodo, 7),
    BoolKey("HideUndoneTodo", &S::HideUndoneTodo, false),
    IntKey("DaysBeforeShowTodo", &S::DaysBeforeShowTodo, 14),
    BoolKey("ShowTodoTooltips", &S::ShowTodoTooltips, true),
    BoolKey("HolidayDisplayBelowDate", &S::HolidayDisplayBelowDate, false),
    BoolKey("HolidayShowLanguage", &S::HolidayShowLanguage, false),

    // Date-time formats and view headers.
    TextKey("DateFormat", &S::DateFormat, Table(kIdsDateFormat)),
    TextKey("TimeFormat", &S::TimeFormat, Table(kIdsTimeFormat)),
    TextKey("DateTimeFormat", &S::DateTimeFormat, Table(kIdsDateTimeFormat)),
    TextKey("DateFormatList", &S::DateFormatList, Table(kIdsDateFormatList)),
    TextKey("TimeFormatList", &S::TimeFormatList, Table(kIdsTimeFormatList)),
    TextKey("DateTimeFormatList", &S::DateTimeFormatList, Table(kIdsDateTimeFormatList)),
    TextKey("WeekViewFormat", &S::WeekViewFormat, Table(kIdsWeekViewFormat)),
    TextKey("FortnightViewFormat", &S::FortnightViewFormat, Table(kIdsFortnightViewFormat)),
    TextKey("FirstMonthViewFormat", &S::FirstMonthViewFormat, Table(kIdsFirstMonthViewFormat)),
    TextKey("MonthViewFormat", &S::MonthViewFormat, Table(kIdsMonthViewFormat)),
    TextKey("YearViewFormat", &S::YearViewFormat, Table(kIdsYearViewFormat)),
    TextKey("WeekDisplayFormat", &S::WeekDisplayFormat, Table(kIdsWeekDisplayFormat)),

    // HTML export.
    TextKey("HtmlCalendarTimeNormal", &S::HtmlCalendarTimeNormal,
            Table(kIdsHtmlCalendarTimeNormal)),
    TextKey("HtmlCalendarTimeSingleday", &S::HtmlCalendarTimeSingleday,
            Table(kIdsHtmlCalendarTimeSingleday)),
    TextKey("HtmlCalendarTimeMultidayFirst", &S::HtmlCalendarTimeMultidayFirst,
            Table(kIdsHtmlCalendarTimeMultidayFirst)),
    TextKey("HtmlCalendarTimeMultidayMid", &S::HtmlCalendarTimeMultidayMid,
            Table(kIdsHtmlCalendarTimeMultidayMid)),
    TextKey("HtmlCalendarTimeMultidayLast", &S::HtmlCalendarTimeMultidayLast,
            Table(kIdsHtmlCalendarTimeMultidayLast)),
    TextKey("HtmlCalendarDescNormal", &S::HtmlCalendarDescNormal,
            Table(kIdsHtmlCalendarDescNormal)),
    TextKey("HtmlCalendarDescSingleday", &S::HtmlCalendarDescSingleday,
            Table(kIdsHtmlCalendarDescSingleday)),
    TextKey("HtmlCalendarDescMultidayFirst", &S::HtmlCalendarDescMultidayFirst,
            Table(kIdsHtmlCalendarDescMultidayFirst)),
    TextKey("HtmlCalendarDescMultidayMid", &S::HtmlCalendarDescMultidayMid,
            Table(kIdsHtmlCalendarDescMultidayMid)),
    TextKey("HtmlCalendarDescMultidayLast", &S::HtmlCalendarDescMultidayLast,
            Table(kIdsHtmlCalendarDescMultidayLast)),
    TextKey("HtmlWeekViewHeader", &S::HtmlWeekViewHeader, Table(kIdsHtmlWeekViewHeader)),
    TextKey("HtmlFortnightViewHeader", &S::HtmlFortnightViewHeader,
            Table(kIdsHtmlFortnightViewHeader)),
    TextKey("HtmlFirstMonthViewHeader", &S::HtmlFirstMonthViewHeader,
            Table(kIdsHtmlFirstMonthViewHeader)),
    TextKey("HtmlMonthViewHeader", &S::HtmlMonthViewHeader, Table(kIdsHtmlMonthViewHeader)),
    TextKey("HtmlListViewHeader", &S::HtmlListViewHeader, Table(kIdsHtmlListViewHeader)),
    TextKey("HtmlWeekDisplayHeader", &S::HtmlWeekDisplayHeader, Table(kIdsHtmlWeekDisplayHeader)),
    ColourKey("HtmlNormalColor", &S::HtmlNormalColor, Rgb(224, 224, 224)),
    ColourKey("HtmlHolidayColor", &S::HtmlHolidayColor, Rgb(192, 192, 192)),
    ColourKey("HtmlSaturdayColor", &S::HtmlSaturdayColor, Rgb(192, 192, 192)),
    ColourKey("HtmlSundayColor", &S::HtmlSundayColor, Rgb(192, 192, 192)),
    ColourKey("HtmlTableHeaderColor", &S::HtmlTableHeaderColor, Rgb(0, 0, 0)),
    IntKey("HtmlDoneDates", &S::HtmlDoneDates, 0),
    IntKey("HtmlMarkedDates", &S::HtmlMarkedDates, 1),
    IntKey("HtmlEmptyDates", &S::HtmlEmptyDates, 0),
    // Relative to the program folder, so that the defaults hold wherever it is installed.
    TextKey("HtmlTemplateTodo", &S::HtmlTemplateTodo, "templates/todoview.html"),
    TextKey("HtmlTemplateWeek", &S::HtmlTemplateWeek, "templates/weekview.html"),
    TextKey("HtmlTemplateFortnight", &S::HtmlTemplateFortnight, "templates/fortnightview.html"),
    TextKey("HtmlTemplateMonth", &S::HtmlTemplateMonth, "templates/monthview.html"),
    TextKey("HtmlTemplateList", &S::HtmlTemplateList, "templates/listview.html"),
    FlagListKey("HtmlTodoFields", &S::HtmlTodoFields, Table(kIdsHtmlTodoFields)),
    NameListKey("HtmlTodoFieldnames", &S::HtmlTodoFieldnames, Table(kIdsHtmlTodoFieldnames)),
    NumberListKey("HtmlTodoFieldorder", &S::HtmlTodoFieldorder, Table(kIdsHtmlTodoFieldorder)),

    // CSV export of the calendar.
    BoolKey("CsvCalendarRemoveDelimiter", &S::CsvCalendarRemoveDelimiter, false),
    BoolKey("CsvCalendarFieldnamesInFirstRow", &S::CsvCalendarFieldnamesInFirstRow, true),
    IntKey("CsvCalendarFieldDelimiter", &S::CsvCalendarFieldDelimiter, 0),
    FlagListKey("CsvCalendarFields", &S::CsvCalendarFields, Table(kIdsCsvCalendarFields)),
    NameListKey("CsvCalendarFieldnames", &S::CsvCalendarFieldnames,
                Table(kIdsCsvCalendarFieldnames)),
    NumberListKey("CsvCalendarFieldorder", &S::CsvCalendarFieldorder,
                  Table(kIdsCsvCalendarFieldorder)),
    TextKey("CsvCalendarDate", &S::CsvCalendarDate, Table(kIdsCsvCalendarDate)),
    TextKey("CsvCalendarWeeknumber", &S::CsvCalendarWeeknumber, Table(kIdsCsvCalendarWeeknumber)),
    TextKey("CsvCalendarTimeNormal", &S::CsvCalendarTimeNormal, Table(kIdsCsvCalendarTimeNormal)),
    TextKey("CsvCalendarTimeSingleday", &S::CsvCalendarTimeSingleday,
            Table(kIdsCsvCalendarTimeSingleday)),
    TextKey("CsvCalendarTimeMultidayFirst", &S::CsvCalendarTimeMultidayFirst,
            Table(kIdsCsvCalendarTimeMultidayFirst)),
    TextKey("CsvCalendarTimeMultidayMid", &S::CsvCalendarTimeMultidayMid,
            Table(kIdsCsvCalendarTimeMultidayMid)),
    TextKey("CsvCalendarTimeMultidayLast", &S::CsvCalendarTimeMultidayLast,
            Table(kIdsCsvCalendarTimeMultidayLast)),
    TextKey("CsvCalendarCategory", &S::CsvCalendarCategory, Table(kIdsCsvCalendarCategory)),
    TextKey("CsvCalendarDescription", &S::CsvCalendarDescription,
            Table(kIdsCsvCalendarDescription)),
    TextKey("CsvCalendarNotes", &S::CsvCalendarNotes, Table(kIdsCsvCalendarNotes)),

    // CSV export of the to-do list.
    BoolKey("CsvTodoRemoveDelimiter", &S::CsvTodoRemoveDelimiter, false),
    BoolKey("CsvTodoFieldnamesInFirstRow", &S::CsvTodoFieldnamesInFirstRow, true),
    IntKey("CsvTodoFieldDelimiter", &S::CsvTodoFieldDelimiter, 0),
    FlagListKey("CsvTodoFields", &S::CsvTodoFields, Table(kIdsCsvTodoFields)),
    NameListKey("CsvTodoFieldnames", &S::CsvTodoFieldnames, Table(kIdsCsvTodoFieldnames)),
    NumberListKey("CsvTodoFieldorder", &S::CsvTodoFieldorder, Table(kIdsCsvTodoFieldorder)),
    TextKey("CsvTodoDate", &S::CsvTodoDate, Table(kIdsCsvTodoDate)),
    TextKey("CsvTodoTime", &S::CsvTodoTime, Table(kIdsCsvTodoTime)),
    TextKey("CsvTodoState", &S::CsvTodoState, Table(kIdsCsvTodoState)),
    TextKey("CsvTodoPriority", &S::CsvTodoPriority, Table(kIdsCsvTodoPriority)),
    TextKey("CsvTodoGroup", &S::CsvTodoGroup, Table(kIdsCsvTodoGroup)),
    TextKey("CsvTodoDescription", &S::CsvTodoDescription, Table(kIdsCsvTodoDescription)),
    TextKey("CsvTodoNotes", &S::CsvTodoNotes, Table(kIdsCsvTodoNotes)),
    TextKey("CsvTodoDocument", &S::CsvTodoDocument, Table(kIdsCsvTodoDocument)),

    // Display formats.
    TextKey("TooltipTrayIcon", &S::TooltipTrayIcon, Table(kIdsTooltipTrayIcon)),
    TextKey("ReminderHeadlineDate", &S::ReminderHeadlineDate, Table(kIdsReminderHeadlineDate)),
    TextKey("ReminderHeadlineDateTime", &S::ReminderHeadlineDateTime,
            Table(kIdsReminderHeadlineDateTime)),
    TextKey("CurrentTimeDisplay", &S::CurrentTimeDisplay, Table(kIdsCurrentTimeDisplay)),
    TextKey("ClipboardDateNormal", &S::ClipboardDateNormal, Table(kIdsClipboardDateNormal)),
    TextKey("ClipboardDateSingleday", &S::ClipboardDateSingleday,
            Table(kIdsClipboardDateSingleday)),
    TextKey("ClipboardDateMultidayFirst", &S::ClipboardDateMultidayFirst,
            Table(kIdsClipboardDateMultidayFirst)),
    TextKey("ClipboardDateMultidayMid", &S::ClipboardDateMultidayMid,
            Table(kIdsClipboardDateMultidayMid)),
    TextKey("ClipboardDateMultidayLast", &S::ClipboardDateMultidayLast,
            Table(kIdsClipboardDateMultidayLast)),
    TextKey("TooltipDateNormal", &S::TooltipDateNormal, Table(kIdsTooltipDateNormal)),
    TextKey("TooltipDateSingleday", &S::TooltipDateSingleday, Table(kIdsTooltipDateSingleday)),
    TextKey("TooltipDateMultidayFirst", &S::TooltipDateMultidayFirst,
            Table(kIdsTooltipDateMultidayFirst)),
    TextKey("TooltipDateMultidayMid", &S::TooltipDateMultidayMid,
            Table(kIdsTooltipDateMultidayMid)),
    TextKey("TooltipDateMultidayLast", &S::TooltipDateMultidayLast,
            Table(kIdsTooltipDateMultidayLast)),
    TextKey("CalendarDateNormal", &S::CalendarDateNormal, Table(kIdsCalendarDateNormal)),
    TextKey("CalendarDateSingleday", &S::CalendarDateSingleday, Table(kIdsCalendarDateSingleday)),
    TextKey("CalendarDateMultidayFirst", &S::CalendarDateMultidayFirst,
            Table(kIdsCalendarDateMultidayFirst)),
    TextKey("CalendarDateMultidayMid", &S::CalendarDateMultidayMid,
            Table(kIdsCalendarDateMultidayMid)),
    TextKey("CalendarDateMultidayLast", &S::CalendarDateMultidayLast,
            Table(kIdsCalendarDateMultidayLast)),
    TextKey("ClipboardTodo", &S::ClipboardTodo, Table(kIdsClipboardTodo)),
    TextKey("TooltipTodo", &S::TooltipTodo, Table(kIdsTooltipTodo)),
    TextKey("StateValueDone", &S::StateValueDone, Table(kIdsStateValueDone)),
    TextKey("StateValueOverdue", &S::StateValueOverdue, Table(kIdsStateValueOverdue)),
    TextKey("StateValueUndone", &S::StateValueUndone, Table(kIdsStateValueUndone)),
    TextKey("StateValueUrgent", &S::StateValueUrgent, Table(kIdsStateValueUrgent)),

    IntKey("Language", &S::Language, 0),
    IntKey("TwentyFourHourClock", &S::TwentyFourHourClock, -1),
    // The help menu opens it. Until the project has a public address, the installed manual's
    // index page, named relative to the program folder so that it follows the installation.
    TextKey("Homepage", &S::Homepage, "doc/index.html"),
};

constexpr std::string_view kClockKey = "TwentyFourHourClock";
constexpr std::string_view kLastDateFileKey = "LastDateFile";
constexpr std::string_view kLastViewKey = "LastView";

} // namespace

CSettings::CSettings() {
    ResetToDefaults();
}

std::span<const SettingKey<CSettings>> CSettings::Keys() {
    return kKeys;
}

void CSettings::ResetToDefaults() {
    TwentyFourHourClock = -1; // first: the time formats' defaults follow it
    ApplyDefaults(Keys(), *this);
}

void CSettings::Load(const IProfileStore& store) {
    ResetToDefaults();
    // The clock first, so that the defaults of the time formats are on it.
    TwentyFourHourClock = store.ReadInt(kSection, kClockKey, -1);
    for (const SettingKey<CSettings>& key : Keys()) {
        if (key.FollowsLanguage()) {
            key.ApplyDefault(*this);
        }
    }
    ReadKeys(Keys(), store, kSection, *this);
    // Earlier versions stored every text, so an English default there was never chosen.
    for (const SettingKey<CSettings>& key : Keys()) {
        if (key.FollowsLanguage() &&
            this->*std::get<std::string CSettings::*>(key.Field) == EnglishString(key.StringId)) {
            key.ApplyDefault(*this);
        }
    }
}

namespace {

std::optional<std::optional<bool>>& DesktopClockOverride() {
    static std::optional<std::optional<bool>> clock;
    return clock;
}

} // namespace

std::optional<bool> CSettings::DesktopTwentyFourHour() {
    if (const auto& forced = DesktopClockOverride()) {
        return *forced;
    }
    static const std::optional<bool> desktop = []() -> std::optional<bool> {
        std::string name;
        for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
            const char* value = std::getenv(variable);
            if (value != nullptr && *value != '\0') {
                name = value;
                break;
            }
        }
        if (name.empty() || name == "C" || name == "POSIX" || name.starts_with("C.")) {
            return std::nullopt; // no preference: the language's formats decide
        }
        try {
            // 13:00 in the locale's own time of day: a 24-hour locale writes "13".
            std::ostringstream out;
            out.imbue(std::locale(name));
            std::tm time{};
            time.tm_hour = 13;
            time.tm_mday = 1;
            time.tm_year = 100;
            out << std::put_time(&time, "%X");
            return out.str().find("13") != std::string::npos;
        } catch (const std::exception&) {
            return std::nullopt; // a locale that is not installed
        }
    }();
    return desktop;
}

void CSettings::OverrideDesktopClock(std::optional<std::optional<bool>> clock) {
    DesktopClockOverride() = clock;
}

std::optional<bool> CSettings::TwentyFourHour() const {
    if (TwentyFourHourClock == 0 || TwentyFourHourClock == 1) {
        return TwentyFourHourClock == 1;
    }
    return DesktopTwentyFourHour();
}

std::string CSettings::AdaptDefault(std::string text) const {
    const std::optional<bool> clock = TwentyFourHour();
    return clock ? FormatForClock(text, *clock) : text;
}

void CSettings::SetTwentyFourHourClock(int32_t value) {
    std::vector<const SettingKey<CSettings>*> unchanged;
    for (const SettingKey<CSettings>& key : Keys()) {
        if (key.FollowsLanguage() &&
            this->*std::get<std::string CSettings::*>(key.Field) == key.DefaultText(*this)) {
            unchanged.push_back(&key);
        }
    }
    TwentyFourHourClock = value;
    for (const SettingKey<CSettings>* key : unchanged) {
        key->ApplyDefault(*this);
    }
}

void CSettings::Save(IProfileStore& store) const {
    WriteKeys(Keys(), store, kSection, *this);
    store.Flush();
}

void CSettings::LoadExitState(const IProfileStore& store) {
    LastDateFile = store.ReadText(kSection, kLastDateFileKey, "");
    LastView = store.ReadInt(kSection, kLastViewKey, 0);
}

void CSettings::SaveExitState(IProfileStore& store) const {
    store.WriteText(kSection, kLastDateFileKey, LastDateFile);
    store.WriteInt(kSection, kLastViewKey, LastView);
    store.Flush();
}

FormatSettings CSettings::GetFormatSettings() const {
    FormatSettings formats;
    formats.DateFormat = DateFormat;
    formats.TimeFormat = TimeFormat;
    formats.DateTimeFormat = DateTimeFormat;
    formats.EventSets[kFormatSetClipboard] = {ClipboardDateNormal, ClipboardDateSingleday,
                                              ClipboardDateMultidayFirst, ClipboardDateMultidayMid,
                                              ClipboardDateMultidayLast};
    formats.EventSets[kFormatSetTooltip] = {TooltipDateNormal, TooltipDateSingleday,
                                            TooltipDateMultidayFirst, TooltipDateMultidayMid,
                                            TooltipDateMultidayLast};
    formats.EventSets[kFormatSetCalendar] = {CalendarDateNormal, CalendarDateSingleday,
                                             CalendarDateMultidayFirst, CalendarDateMultidayMid,
                                             CalendarDateMultidayLast};
    formats.EventSets[kFormatSetHtmlTime] = {
        HtmlCalendarTimeNormal, HtmlCalendarTimeSingleday, HtmlCalendarTimeMultidayFirst,
        HtmlCalendarTimeMultidayMid, HtmlCalendarTimeMultidayLast};
    formats.EventSets[kFormatSetHtmlDesc] = {
        HtmlCalendarDescNormal, HtmlCalendarDescSingleday, HtmlCalendarDescMultidayFirst,
        HtmlCalendarDescMultidayMid, HtmlCalendarDescMultidayLast};
    formats.EventSets[kFormatSetCsvTime] = {
        CsvCalendarTimeNormal, CsvCalendarTimeSingleday, CsvCalendarTimeMultidayFirst,
        CsvCalendarTimeMultidayMid, CsvCalendarTimeMultidayLast};
    formats.StateValueDone = StateValueDone;
    formats.StateValueOverdue = StateValueOverdue;
    formats.StateValueUndone = StateValueUndone;
    formats.StateValueUrgent = StateValueUrgent;
    return formats;
}

} // namespace dv
