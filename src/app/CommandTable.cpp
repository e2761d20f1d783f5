#include "app/CommandTable.h"

#include "format/StringIds.h"

#include <array>

namespace dv {

namespace {

using enum MenuPlace;

constexpr CommandInfo Item(uint32_t id, uint32_t text, const char* keys, MenuPlace place,
                           bool checkable = false, bool separator = false,
                           KeyScope scope = KeyScope::Window) {
    return CommandInfo{id, text, keys, place, checkable, separator, scope};
}

// Ctrl+N, Ctrl+P and Ctrl+T page through the calendar, so the file commands take other keys.
// Cut, Copy and Paste keep their usual keys; a text field with the focus takes them first.
constexpr std::array kMain{
    Item(cmd::kFileNew, kIdsCmdFileNew, "Ctrl+Shift+N", File),
    Item(cmd::kFileOpen, kIdsCmdFileOpen, "Ctrl+O", File),
    Item(cmd::kFileSave, kIdsCmdFileSave, "Ctrl+S", File),
    Item(cmd::kFileSaveAs, kIdsCmdFileSaveAs, "Ctrl+Shift+S", File),
    Item(cmd::kFileClose, kIdsCmdFileClose, "Ctrl+W", File),
    Item(cmd::kIcalImport, kIdsCmdIcalImport, nullptr, FileImport),
    Item(cmd::kIcalExport, kIdsCmdIcalExport, nullptr, FileExport),
    Item(cmd::kBackup, kIdsCmdBackup, nullptr, EventFile),
    Item(cmd::kRestore, kIdsCmdRestore, nullptr, EventFile),
    Item(cmd::kMerge, kIdsCmdMerge, nullptr, EventFile, false, true),
    Item(cmd::kSyncNow, kIdsCmdSyncNow, "F5", EventFile, false, true),
    Item(cmd::kExit, kIdsCmdExit, "Ctrl+Q", File, false, true),

    Item(cmd::kUndo, kIdsCmdUndo, "Ctrl+Z", Edit),
    Item(cmd::kRedo, kIdsCmdRedo, "Ctrl+Y", Edit),
    Item(cmd::kCut, kIdsCmdCut, "Ctrl+X", Edit, false, true),
    Item(cmd::kCopy, kIdsCmdCopy, "Ctrl+C", Edit),
    Item(cmd::kPaste, kIdsCmdPaste, "Ctrl+V", Edit),
    Item(cmd::kNewEntry, kIdsCmdNewEntry, "Ins", Edit, false, true, KeyScope::Pages),
    Item(cmd::kNewEvent, kIdsCmdNewEvent, "Ctrl+E", Edit),
    Item(cmd::kNewTodo, kIdsCmdNewTodo, "Ctrl+Shift+T", Edit),
    Item(cmd::kEditEntry, kIdsCmdEditEntry, "Return", Edit, false, true, KeyScope::Pages),
    Item(cmd::kDeleteEntry, kIdsCmdDeleteEntry, "Del", Edit, false, false, KeyScope::Pages),
    Item(cmd::kDeleteSequence, kIdsCmdDeleteSequence, "Shift+Del", Edit, false, false,
         KeyScope::Pages),
    Item(cmd::kMarkDone, kIdsCmdMarkDone, "Ctrl+D", Edit, false, true),
    Item(cmd::kMarkUndone, kIdsCmdMarkUndone, "Ctrl+U", Edit),
    Item(cmd::kExecuteNow, kIdsCmdExecuteNow, nullptr, Edit),

    Item(cmd::kTodoView, kIdsCmdTodoView, "Ctrl+1", View, true),
    Item(cmd::kWeekView, kIdsCmdWeekView, "Ctrl+2", View, true),
    Item(cmd::kFortnightView, kIdsCmdFortnightView, "Ctrl+3", View, true),
    Item(cmd::kMonthView, kIdsCmdMonthView, "Ctrl+4", View, true),
    Item(cmd::kYearView, kIdsCmdYearView, "Ctrl+5", View, true),
    Item(cmd::kPreviousPage, kIdsCmdPreviousPage, "Ctrl+P", View, false, true),
    Item(cmd::kCurrentDate, kIdsCmdCurrentDate, "Ctrl+T", View),
    Item(cmd::kNextPage, kIdsCmdNextPage, "Ctrl+N", View),
    Item(cmd::kFilter, kIdsCmdFilter, "Ctrl+F", View, true, true),
    Item(cmd::kFilterSwitch, kIdsCmdFilterSwitch, nullptr, View, true),
    Item(cmd::kShowHidden, kIdsCmdShowHidden, "Ctrl+H", View, true),
    Item(cmd::kToolbar, kIdsCmdToolbar, nullptr, View, true, true),
    Item(cmd::kStatusBar, kIdsCmdStatusBar, nullptr, View, true),

    Item(cmd::kCategories, kIdsCmdCategories, nullptr, Extras),
    Item(cmd::kEventDatabase, kIdsCmdEventDatabase, "Ctrl+B", Extras),
    Item(cmd::kAlarm, kIdsCmdAlarm, nullptr, Extras, true, true),
    Item(cmd::kShowSilentAlarms, kIdsCmdShowSilentAlarms, nullptr, Extras),
    Item(cmd::kResetEventStates, kIdsCmdResetEventStates, nullptr, Extras),
    Item(cmd::kHolidays, kIdsCmdHolidays, nullptr, Extras, false, true),
    Item(cmd::kCsvExport, kIdsCmdCsvExport, nullptr, Export),
    Item(cmd::kHtmlExport, kIdsCmdHtmlExport, nullptr, Export),
    Item(cmd::kInternalFormats, kIdsCmdInternalFormats, nullptr, Extras, false, true),
    Item(cmd::kOptions, kIdsCmdOptions, nullptr, Extras),

    Item(cmd::kSaveWindowPosNow, kIdsCmdSaveWindowPosNow, nullptr, Window),
    Item(cmd::kSaveWindowPosOnExit, kIdsCmdSaveWindowPosOnExit, nullptr, Window, true),

    Item(cmd::kManual, kIdsCmdManual, "F1", Help),
    Item(cmd::kHomepage, kIdsCmdHomepage, nullptr, Help),
    Item(cmd::kAbout, kIdsCmdAbout, nullptr, Help, false, true),
};

constexpr std::array kTray{
    Item(cmd::kRestoreWindow, kIdsCmdTrayRestore, nullptr, File),
    Item(cmd::kAlarm, kIdsCmdTrayAlarm, nullptr, File, true, true),
    Item(cmd::kShowSilentAlarms, kIdsCmdShowSilentAlarms, nullptr, File),
    Item(cmd::kNewEvent, kIdsCmdNewEvent, nullptr, File, false, true),
    Item(cmd::kNewTodo, kIdsCmdNewTodo, nullptr, File),
    Item(cmd::kExit, kIdsCmdExit, nullptr, File, false, true),
};

} // namespace

std::span<const CommandInfo> MainCommands() {
    return kMain;
}

std::span<const CommandInfo> TrayCommands() {
    return kTray;
}

uint32_t MenuTitleId(MenuPlace place) {
    switch (place) {
    case File:
        return kIdsMenuFile;
    case EventFile:
        return kIdsMenuEventFile;
    case RecentFiles:
        return kIdsCmdRecentFiles;
    case Edit:
        return kIdsMenuEdit;
    case View:
        return kIdsMenuView;
    case Extras:
        return kIdsMenuExtras;
    case Export:
    case FileExport:
        return kIdsMenuExport;
    case FileImport:
        return kIdsMenuImport;
    case Window:
        return kIdsMenuWindow;
    case Help:
        return kIdsMenuHelp;
    }
    return 0;
}

} // namespace dv
