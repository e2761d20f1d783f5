#pragma once

#include "core/CDateTime.h"
#include "holidays/CHolidays.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dv {

class CHolidaySettings;

/// One holiday on a date, as the module set answers it.
struct HolidayDayRecord {
    std::string module;      ///< the module's name
    std::string name;        ///< the holiday's name (identifier)
    std::string displayText; ///< the holiday's display text
    uint32_t language = 0;   ///< the module's locale identifier

    bool operator==(const HolidayDayRecord&) const = default;
};

/// The loaded holiday modules, in load order, read from "holidays/<name>.hol" below a base
/// folder (the program folder).
class CHolidayModuleSet {
public:
    static constexpr const char* kFolderName = "holidays";
    static constexpr const char* kExtension = ".hol";

    /// The folder below which the "holidays" folder lies.
    void SetBaseFolder(std::filesystem::path folder) { m_baseFolder = std::move(folder); }
    const std::filesystem::path& GetBaseFolder() const noexcept { return m_baseFolder; }
    /// The file of module `name`: base folder / "holidays" / (name + ".hol").
    std::filesystem::path ModulePath(const std::string& name) const;

    /// True when `name` can name a module file: not empty, not "." or "..", and without path
    /// separators, NUL or ":" (so that a name from the settings never leaves the folder).
    static bool IsValidModuleName(const std::string& name);

    /// Reads module `name` and adds it at the end of the load order; a module of that name that
    /// is loaded already is replaced in its place. Throws, and adds nothing, when the name is
    /// not valid (std::invalid_argument naming it), the file cannot be read (CFileException) or
    /// ends early (CArchiveException naming the file and offset).
    void LoadModule(const std::string& name);
    /// LoadModule for each name in order; returns one message per module that failed to load
    /// ("<name>: <reason>"), the others are loaded.
    std::vector<std::string> LoadModules(const std::vector<std::string>& names);
    /// Removes every module.
    void UnloadAll();

    /// Names of the loaded modules in load order.
    const std::vector<std::string>& GetLoadOrder() const noexcept { return m_order; }
    /// The loaded module of that name, or nullptr.
    CHolidays* GetModule(const std::string& name);

    /// The titles (file names without folder and ".hol") of the regular files "holidays/*.hol"
    /// below the base folder, in the order the file system lists them. Empty when there is no
    /// such folder or it cannot be read.
    std::vector<std::string> Scan() const;

    /// The language of the loaded module `name`, or else of the module read from its file;
    /// nullopt when the name is not valid or the file cannot be read.
    std::optional<uint32_t> ModuleFileLanguage(const std::string& name) const;

    /// The holidays on the date: every loaded module in load order, and within a module in the
    /// order of its day tables. Switched-off holidays are included (callers ask the settings).
    std::vector<HolidayDayRecord> HolidaysOn(const CDateTime& date);

    /// The text of a date for the exports: the display texts of the holidays that `settings`
    /// leaves active, joined by " / "; with `showLanguage` each is followed by " (" + the
    /// abbreviated name of its module's language + ")". Empty when there are none.
    std::string ExportText(const CDateTime& date, const CHolidaySettings& settings,
                           bool showLanguage);

private:
    std::filesystem::path m_baseFolder;
    std::vector<std::string> m_order;
    std::map<std::string, std::unique_ptr<CHolidays>> m_modules;
};

} // namespace dv
