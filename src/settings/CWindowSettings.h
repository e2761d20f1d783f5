#pragma once

#include "settings/IProfileStore.h"
#include "settings/ProfileValues.h"
#include "settings/SettingsTable.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace dv {

/// The window layout of section "WindowSettings": the main window's normal position, the
/// reminder window's position and the column layout of the list views, which the views keep
/// here while they run. Like CSettings it is a plain value driven by one table of keys.
class CWindowSettings {
public:
    static constexpr std::string_view kSection = "WindowSettings";

    /// The desktop that the default constructor assumes until Load is given the real one.
    static constexpr int32_t kFallbackDesktopWidth = 1024;
    static constexpr int32_t kFallbackDesktopHeight = 768;

    /// The main window's default normal position.
    struct Geometry {
        int32_t X = 0;
        int32_t Y = 0;
        int32_t Width = 0;
        int32_t Height = 0;
        friend bool operator==(const Geometry&, const Geometry&) = default;
    };

    /// Every key at its default, the geometry for the fallback desktop.
    CWindowSettings();
    /// Every key at its default, the geometry for a desktop client area of that size.
    CWindowSettings(int32_t desktopWidth, int32_t desktopHeight);

    /// The default main window position on a desktop client area of width w and height h:
    /// width = min(w, 1024), x = (w - width) / 2, height = h - 40 when h < 768 else 728,
    /// y = (h - height) / 2 - 20, every division rounding towards zero. The result is not
    /// clamped; callers pass a real desktop size.
    static Geometry DefaultGeometry(int32_t desktopWidth, int32_t desktopHeight);

    /// Whether a window placement counts as maximised: shown maximised (show command 3), or
    /// minimised (show command 2) with the flag that it restores to maximised.
    static bool IsMaximizedPlacement(int32_t showCommand, bool restoresToMaximized);

    /// Sets every key to its default, the geometry for that desktop.
    void ResetToDefaults(int32_t desktopWidth, int32_t desktopHeight);
    /// Reads every key in table order, each with its default for that desktop. A flag list or
    /// number list stored empty reads as its default.
    void Load(const IProfileStore& store, int32_t desktopWidth, int32_t desktopHeight);
    /// Writes every key in table order, then flushes the store (throws what Flush throws).
    void Save(IProfileStore& store) const;

    /// `stored` fitted to `defaults.size()` columns: entries beyond are dropped, missing ones
    /// are taken from `defaults`.
    static NumberList FitColumns(const NumberList& stored, const NumberList& defaults);
    static FlagList FitColumns(const FlagList& stored, const FlagList& defaults);

    /// The table of all keys of section "WindowSettings", in their order. The four main window
    /// keys have the default 0 there; the desktop decides theirs.
    static std::span<const SettingKey<CWindowSettings>> Keys();

    friend bool operator==(const CWindowSettings&, const CWindowSettings&) = default;

    // The defaults are those of Keys() and DefaultGeometry; the constructors apply them.
    bool MainWindowMaximized{};
    int32_t MainWindowX{};
    int32_t MainWindowY{};
    int32_t MainWindowWidth{};
    int32_t MainWindowHeight{};
    bool ReminderSizeValid{}; // the two reminder window values are valid
    int32_t ReminderWindowX{};
    int32_t ReminderWindowY{};
    FlagList TodoListColumns;            // which of the eight to-do list columns are shown
    NumberList TodoListColumnWidths;     // pixels, eight columns
    bool EventListVisible{};             // the event list pane is shown
    NumberList EventListColumnWidths;    // pixels, three columns
    bool SidebarVisible{};               // the search and filter sidebar is shown
    int32_t SidebarWidth{};              // pixels
    NumberList SearchResultColumnWidths; // pixels, two columns
};

} // namespace dv
