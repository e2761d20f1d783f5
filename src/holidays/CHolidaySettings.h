#pragma once

#include "settings/IProfileStore.h"
#include "settings/ProfileValues.h"

#include <map>
#include <string>
#include <string_view>

namespace dv {

/// The user's choice of holiday modules: their order in the setup list, the active ones in the
/// order they are loaded and consulted, and per module the holidays switched off. Kept in section
/// "HolidaySettings" as name lists ("," between names, so a name with "," does not survive).
class CHolidaySettings {
public:
    static constexpr std::string_view kSection = "HolidaySettings";
    /// The key of a module's switched-off holidays is this prefix and the module's name.
    static constexpr std::string_view kDeactivatedPrefix = "Deactivated_";

    /// Reads ModuleOrder, ActiveModules and, for every module of ModuleOrder, its list of
    /// switched-off holidays. Missing keys read as empty lists; what was held before is replaced.
    void Load(const IProfileStore& store);
    /// Writes ModuleOrder, ActiveModules and the switched-off list of every module of ModuleOrder
    /// (empty for a module without one), then flushes the store. Lists of modules outside
    /// ModuleOrder are not written. Throws what the store's Flush throws.
    void Save(IProfileStore& store) const;

    /// False when `holiday` (a holiday's name, not its display text) is switched off in
    /// `module`; true otherwise, also for modules that the settings do not know.
    bool IsActive(const std::string& module, const std::string& holiday) const;
    /// Switches a holiday of a module on (removes it from the module's list) or off (adds it
    /// once at the end).
    void SetActive(const std::string& module, const std::string& holiday, bool active);

    friend bool operator==(const CHolidaySettings&, const CHolidaySettings&) = default;

    NameList ModuleOrder;                        // every listed module, in the setup list's order
    NameList ActiveModules;                      // the active modules, in load and look-up order
    std::map<std::string, NameList> Deactivated; // module name -> switched-off holiday names
};

} // namespace dv
