#include "holidays/CHolidaySettings.h"

#include <algorithm>

namespace dv {

namespace {

constexpr std::string_view kModuleOrderKey = "ModuleOrder";
constexpr std::string_view kActiveModulesKey = "ActiveModules";

std::string DeactivatedKey(const std::string& module) {
    return std::string(CHolidaySettings::kDeactivatedPrefix) + module;
}

} // namespace

void CHolidaySettings::Load(const IProfileStore& store) {
    ModuleOrder = store.ReadNameList(kSection, kModuleOrderKey, {});
    ActiveModules = store.ReadNameList(kSection, kActiveModulesKey, {});
    Deactivated.clear();
    for (const std::string& module : ModuleOrder) {
        NameList names = store.ReadNameList(kSection, DeactivatedKey(module), {});
        if (!names.empty()) {
            Deactivated[module] = std::move(names);
        }
    }
}

void CHolidaySettings::Save(IProfileStore& store) const {
    store.WriteNameList(kSection, kModuleOrderKey, ModuleOrder);
    store.WriteNameList(kSection, kActiveModulesKey, ActiveModules);
    for (const std::string& module : ModuleOrder) {
        const auto found = Deactivated.find(module);
        store.WriteNameList(kSection, DeactivatedKey(module),
                            found != Deactivated.end() ? found->second : NameList{});
    }
    store.Flush();
}

bool CHolidaySettings::IsActive(const std::string& module, const std::string& holiday) const {
    const auto found = Deactivated.find(module);
    return found == Deactivated.end() ||
           std::find(found->second.begin(), found->second.end(), holiday) == found->second.end();
}

void CHolidaySettings::SetActive(const std::string& module, const std::string& holiday,
                                 bool active) {
    NameList& names = Deactivated[module];
    const auto found = std::find(names.begin(), names.end(), holiday);
    if (active) {
        names.erase(std::remove(names.begin(), names.end(), holiday), names.end());
    } else if (found == names.end()) {
        names.push_back(holiday);
    }
    if (names.empty()) {
        Deactivated.erase(module);
    }
}

} // namespace dv
