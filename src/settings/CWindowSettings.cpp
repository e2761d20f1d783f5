#include "settings/CWindowSettings.h"

#include <algorithm>

namespace dv {

namespace {

using W = CWindowSettings;

// The keys of section "WindowSettings" in the order in which they are read and written.
constexpr SettingKey<CWindowSettings> kKeys[] = {
    BoolKey("MainWindowMaximized", &W::MainWindowMaximized, false),
    IntKey("MainWindowX", &W::MainWindowX, 0),
    IntKey("MainWindowY", &W::MainWindowY, 0),
    IntKey("MainWindowWidth", &W::MainWindowWidth, 0),
    IntKey("MainWindowHeight", &W::MainWindowHeight, 0),
    BoolKey("ReminderSizeValid", &W::ReminderSizeValid, false),
    IntKey("ReminderWindowX", &W::ReminderWindowX, 0),
    IntKey("ReminderWindowY", &W::ReminderWindowY, 0),
    FlagListKey("TodoListColumns", &W::TodoListColumns, "11111111"),
    NumberListKey("TodoListColumnWidths", &W::TodoListColumnWidths, "45,45,100,180,50,110,100,180"),
    BoolKey("EventListVisible", &W::EventListVisible, false),
    NumberListKey("EventListColumnWidths", &W::EventListColumnWidths, "100,167,110"),
    BoolKey("SidebarVisible", &W::SidebarVisible, false),
    IntKey("SidebarWidth", &W::SidebarWidth, 270),
    NumberListKey("SearchResultColumnWidths", &W::SearchResultColumnWidths, "100,100"),
};

constexpr int32_t kShowMinimized = 2;
constexpr int32_t kShowMaximized = 3;

template <class List>
List Fit(const List& stored, const List& defaults) {
    List fitted = defaults;
    std::copy_n(stored.begin(), std::min(stored.size(), defaults.size()), fitted.begin());
    return fitted;
}

} // namespace

CWindowSettings::CWindowSettings()
    : CWindowSettings(kFallbackDesktopWidth, kFallbackDesktopHeight) {}

CWindowSettings::CWindowSettings(int32_t desktopWidth, int32_t desktopHeight) {
    ResetToDefaults(desktopWidth, desktopHeight);
}

CWindowSettings::Geometry CWindowSettings::DefaultGeometry(int32_t desktopWidth,
                                                           int32_t desktopHeight) {
    Geometry geometry;
    geometry.Width = std::min(desktopWidth, 1024);
    geometry.X = (desktopWidth - geometry.Width) / 2;
    geometry.Height = desktopHeight < 768 ? desktopHeight - 40 : 728;
    geometry.Y = (desktopHeight - geometry.Height) / 2 - 20;
    return geometry;
}

bool CWindowSettings::IsMaximizedPlacement(int32_t showCommand, bool restoresToMaximized) {
    return showCommand == kShowMaximized || (showCommand == kShowMinimized && restoresToMaximized);
}

std::span<const SettingKey<CWindowSettings>> CWindowSettings::Keys() {
    return kKeys;
}

void CWindowSettings::ResetToDefaults(int32_t desktopWidth, int32_t desktopHeight) {
    ApplyDefaults(Keys(), *this);
    const Geometry geometry = DefaultGeometry(desktopWidth, desktopHeight);
    MainWindowX = geometry.X;
    MainWindowY = geometry.Y;
    MainWindowWidth = geometry.Width;
    MainWindowHeight = geometry.Height;
}

void CWindowSettings::Load(const IProfileStore& store, int32_t desktopWidth,
                           int32_t desktopHeight) {
    ResetToDefaults(desktopWidth, desktopHeight);
    ReadKeys(Keys(), store, kSection, *this);
}

void CWindowSettings::Save(IProfileStore& store) const {
    WriteKeys(Keys(), store, kSection, *this);
    store.Flush();
}

NumberList CWindowSettings::FitColumns(const NumberList& stored, const NumberList& defaults) {
    return Fit(stored, defaults);
}

FlagList CWindowSettings::FitColumns(const FlagList& stored, const FlagList& defaults) {
    return Fit(stored, defaults);
}

} // namespace dv
