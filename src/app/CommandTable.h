#pragma once

#include <cstdint>
#include <span>

namespace dv {

/// Command numbers of the main window. Those of the framework's own commands (file, edit,
/// exit, about) keep the framework's numbers; the rest are the program's.
namespace cmd {
// File and its Event File submenu
constexpr uint32_t kFileNew = 57600;
constexpr uint32_t kFileOpen = 57601;
constexpr uint32_t kFileClose = 57602;
constexpr uint32_t kFileSave = 57603;
constexpr uint32_t kFileSaveAs = 57604;
constexpr uint32_t kRecentFile1 = 57616; // ..57619, the four recent files
constexpr uint32_t kBackup = 32800;
constexpr uint32_t kRestore = 32801;
constexpr uint32_t kMerge = 32802;
constexpr uint32_t kSyncNow = 32803;
constexpr uint32_t kExit = 57665;
// File, its Import and Export submenus
constexpr uint32_t kIcalImport = 32880;
constexpr uint32_t kIcalExport = 32881;
// Edit
constexpr uint32_t kUndo = 57643;
constexpr uint32_t kRedo = 57644;
constexpr uint32_t kCut = 57635;
constexpr uint32_t kCopy = 57634;
constexpr uint32_t kPaste = 57637;
constexpr uint32_t kNewEntry = 32788;
constexpr uint32_t kEditEntry = 32789;
constexpr uint32_t kDeleteEntry = 32790;
constexpr uint32_t kMarkDone = 32791;
constexpr uint32_t kMarkUndone = 32792;
constexpr uint32_t kExecuteNow = 32808;
constexpr uint32_t kDeleteSequence = 32817;
constexpr uint32_t kNewEvent = 32858;
constexpr uint32_t kNewTodo = 32859;
// View
constexpr uint32_t kTodoView = 32838;
constexpr uint32_t kWeekView = 32839;
constexpr uint32_t kFortnightView = 32840;
constexpr uint32_t kMonthView = 32841;
constexpr uint32_t kYearView = 32845;
constexpr uint32_t kNextPage = 32842;
constexpr uint32_t kCurrentDate = 32843;
constexpr uint32_t kPreviousPage = 32844;
constexpr uint32_t kFilter = 32856;
constexpr uint32_t kShowHidden = 32865;
constexpr uint32_t kFilterSwitch = 32869; // all filtering on or off
// Day and week steps of the selected date (keys only, no menu item)
constexpr uint32_t kNextDay = 32847;
constexpr uint32_t kPreviousDay = 32848;
constexpr uint32_t kNextWeek = 32849;
constexpr uint32_t kPreviousWeek = 32850;
constexpr uint32_t kToolbar = 59392;
constexpr uint32_t kStatusBar = 59393;
// Extras
constexpr uint32_t kCategories = 32771;
constexpr uint32_t kEventDatabase = 32804;
constexpr uint32_t kAlarm = 32816;
constexpr uint32_t kShowSilentAlarms = 32846;
constexpr uint32_t kResetEventStates = 32868;
constexpr uint32_t kHolidays = 32863;
constexpr uint32_t kInternalFormats = 32806;
constexpr uint32_t kCsvExport = 32807;
constexpr uint32_t kHtmlExport = 32810;
constexpr uint32_t kOptions = 32809;
// Window
constexpr uint32_t kSaveWindowPosNow = 32815;
constexpr uint32_t kSaveWindowPosOnExit = 32814;
// Help
constexpr uint32_t kManual = 32830;
constexpr uint32_t kHomepage = 32829;
constexpr uint32_t kAbout = 57664;
// Tray only
constexpr uint32_t kRestoreWindow = 32805;
} // namespace cmd

/// Where a command's menu item lives.
enum class MenuPlace {
    File,
    EventFile,
    RecentFiles,
    Edit,
    View,
    Extras,
    Export,
    Window,
    Help,
    FileImport, ///< File > Import
    FileExport, ///< File > Export
};

/// Where a command's key works: in the whole window, or only while the focus is in the pages,
/// so that keys such as Del, Ins and Enter keep their meaning in text fields and lists.
enum class KeyScope { Window, Pages };

/// One command of the main menu.
struct CommandInfo {
    uint32_t id = 0;
    uint32_t textId = 0;        ///< the menu text in the string table
    const char* keys = nullptr; ///< the accelerator in portable form ("Ctrl+Shift+S"), or null
    MenuPlace place = MenuPlace::File;
    bool checkable = false; ///< shows a check mark (its state comes from the frame)
    bool separator = false; ///< a separator line comes before the item
    KeyScope scope = KeyScope::Window;
};

/// Every command of the main menu, in menu order. Whether a command is enabled and checked is
/// decided by the main window's handler for it; a command without a handler (its window comes
/// later) is shown disabled.
std::span<const CommandInfo> MainCommands();

/// The commands of the notification icon's menu, in order, with their texts.
std::span<const CommandInfo> TrayCommands();

/// The menu title of a place (the string table's text).
uint32_t MenuTitleId(MenuPlace place);

} // namespace dv
