#include "settings/SettingsStoreChoice.h"

#include "core/CFileException.h"
#include "settings/CIniStore.h"
#include "settings/CSettings.h"

#include <system_error>

namespace dv {

SettingsStoreChoice ChooseSettingsStore(const std::filesystem::path& programFolder,
                                        const std::filesystem::path& userDataFolder) {
    SettingsStoreChoice choice;
    std::error_code error;
    const std::filesystem::path programIni = programFolder / kSettingsIniName;
    if (std::filesystem::exists(programIni, error)) {
        choice.IniPath = programIni;
    } else {
        choice.IniPath = userDataFolder / kSettingsIniName;
        // The folder is made by the first write into it, not here: a user of the platform
        // store would otherwise find an empty folder made at every start.
        error.clear();
        if (std::filesystem::exists(userDataFolder, error) &&
            !std::filesystem::is_directory(userDataFolder, error)) {
            choice.Problem = userDataFolder.string() + ": the user data folder is not a folder";
        }
    }
    try {
        const CIniStore ini(choice.IniPath);
        choice.UseRegistry = ini.ReadBool(CSettings::kSection, "UseRegistry", true);
    } catch (const CFileException& e) {
        choice.UseRegistry = true;
        if (!choice.Problem.empty()) {
            choice.Problem += "; ";
        }
        choice.Problem += e.what();
    }
    return choice;
}

} // namespace dv
