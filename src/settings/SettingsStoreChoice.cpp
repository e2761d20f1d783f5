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
        error.clear();
        if (!std::filesystem::is_directory(userDataFolder, error)) {
            error.clear();
            std::filesystem::create_directories(userDataFolder, error);
            if (error) {
                choice.Problem = userDataFolder.string() +
                                 ": cannot create the user data folder: " + error.message();
            }
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
