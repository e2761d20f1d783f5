#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace dv {

/// The name of the INI file of the settings, in the program folder or the user data folder.
constexpr std::string_view kSettingsIniName = "Dayvault.ini";

/// Where the settings live, as chosen at start-up.
struct SettingsStoreChoice {
    /// The INI file: the one in the program folder when it exists, else the one in the user data
    /// folder (which need not exist yet; the first write creates it).
    std::filesystem::path IniPath;
    /// True when the platform store is to be used (UseRegistry in the INI file is not 0, or the
    /// file holds no such key). The caller then opens the platform store and writes UseRegistry
    /// = 1 there, so that both stores agree.
    bool UseRegistry = true;
    /// Empty, or what went wrong on the way (the user data folder could not be made, the INI file
    /// could not be read), naming the path. The choice is still usable: an unreadable INI file
    /// counts as empty, so the platform store is used.
    std::string Problem;
};

/// Chooses the settings store: "Dayvault.ini" in `programFolder` if it exists, otherwise
/// "Dayvault.ini" in `userDataFolder` (not created here: whoever writes there first makes it); then
/// reads UseRegistry (default 1) from section "Settings" of that file. Never throws for file
/// system trouble; see SettingsStoreChoice::Problem.
SettingsStoreChoice ChooseSettingsStore(const std::filesystem::path& programFolder,
                                        const std::filesystem::path& userDataFolder);

} // namespace dv
