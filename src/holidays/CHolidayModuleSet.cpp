#include "holidays/CHolidayModuleSet.h"

#include "core/LocaleNames.h"
#include "holidays/CHolidaySettings.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <system_error>

namespace dv {

std::filesystem::path CHolidayModuleSet::ModulePath(const std::string& name) const {
    return m_baseFolder / kFolderName / (name + kExtension);
}

bool CHolidayModuleSet::IsValidModuleName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    return name.find_first_of(std::string_view("/\\:\0", 4)) == std::string::npos;
}

void CHolidayModuleSet::LoadModule(const std::string& name) {
    if (!IsValidModuleName(name)) {
        throw std::invalid_argument("\"" + name + "\" is not a holiday module name");
    }
    auto module = std::make_unique<CHolidays>();
    module->ReadModuleFile(ModulePath(name));
    auto [slot, inserted] = m_modules.try_emplace(name);
    slot->second = std::move(module);
    if (inserted) {
        m_order.push_back(name);
    }
}

std::vector<std::string> CHolidayModuleSet::LoadModules(const std::vector<std::string>& names) {
    std::vector<std::string> errors;
    for (const std::string& name : names) {
        try {
            LoadModule(name);
        } catch (const std::exception& error) {
            errors.push_back(name + ": " + error.what());
        }
    }
    return errors;
}

void CHolidayModuleSet::UnloadAll() {
    m_order.clear();
    m_modules.clear();
}

CHolidays* CHolidayModuleSet::GetModule(const std::string& name) {
    const auto found = m_modules.find(name);
    return found == m_modules.end() ? nullptr : found->second.get();
}

std::vector<std::string> CHolidayModuleSet::Scan() const {
    std::vector<std::string> titles;
    std::error_code error;
    std::filesystem::directory_iterator it(m_baseFolder / kFolderName, error);
    if (error) {
        return titles;
    }
    for (const std::filesystem::directory_iterator end; it != end; it.increment(error)) {
        if (error) {
            break;
        }
        const std::filesystem::path& path = it->path();
        std::error_code typeError;
        if (path.extension() == kExtension && it->is_regular_file(typeError) &&
            !path.stem().empty()) {
            titles.push_back(path.stem().string());
        }
    }
    return titles;
}

std::optional<uint32_t> CHolidayModuleSet::ModuleFileLanguage(const std::string& name) const {
    if (const auto found = m_modules.find(name); found != m_modules.end()) {
        return found->second->GetLanguage();
    }
    if (!IsValidModuleName(name)) {
        return std::nullopt;
    }
    try {
        CHolidays module;
        module.ReadModuleFile(ModulePath(name));
        return module.GetLanguage();
    } catch (const std::exception&) {
        return std::nullopt; // the caller only lists modules whose file can be read
    }
}

std::vector<HolidayDayRecord> CHolidayModuleSet::HolidaysOn(const CDateTime& date) {
    std::vector<HolidayDayRecord> records;
    for (const std::string& name : m_order) {
        CHolidays& module = *m_modules.at(name);
        const int count = module.GetHolidayCount(date);
        for (int i = 0; i < count; ++i) {
            const std::optional<HolidayText> holiday = module.GetHoliday(date, i);
            records.push_back({name, holiday->name, holiday->displayText, module.GetLanguage()});
        }
    }
    return records;
}

std::string CHolidayModuleSet::ExportText(const CDateTime& date, const CHolidaySettings& settings,
                                          bool showLanguage) {
    std::string text;
    for (const HolidayDayRecord& record : HolidaysOn(date)) {
        if (!settings.IsActive(record.module, record.name)) {
            continue;
        }
        if (!text.empty()) {
            text += " / ";
        }
        text += record.displayText;
        if (showLanguage) {
            text += " (" + GetLocaleNames().LanguageAbbreviation(record.language) + ")";
        }
    }
    return text;
}

} // namespace dv
