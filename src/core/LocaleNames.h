#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace dv {

/// The names that date formatting takes from the user's locale. Every string is UTF-8.
///
/// Callers pass only indices inside the documented ranges (CDateTime checks them first);
/// implementations return an empty string for anything else.
class ILocaleNames {
public:
    virtual ~ILocaleNames() = default;

    /// Name of a weekday, 0 = Monday .. 6 = Sunday (inclusive); full or abbreviated.
    virtual std::string DayName(int weekday, bool abbreviated) const = 0;
    /// Name of a month, 1 = January .. 12 = December (inclusive); full or abbreviated.
    virtual std::string MonthName(int month, bool abbreviated) const = 0;
    /// Designator of times before noon ("AM" in English).
    virtual std::string AmDesignator() const = 0;
    /// Designator of times from noon on ("PM" in English).
    virtual std::string PmDesignator() const = 0;
    /// The three-letter abbreviated language name of a Windows locale identifier, upper-case
    /// ("DEU" for 0x0407, "ENU" for 0x0409, "ENG" for 0x0809). The default answers from a
    /// built-in table of common locales; an identifier it does not know gives an empty string.
    virtual std::string LanguageAbbreviation(uint32_t lcid) const;
    /// The full language name of a locale identifier, with the country or region in brackets
    /// ("German (Germany)"). The default answers in English from the same table; an identifier it
    /// does not know gives an empty string.
    virtual std::string LanguageName(uint32_t lcid) const;
};

/// English names: Monday/Mon .. Sunday/Sun, January/Jan .. December/Dec, "AM"/"PM"; the
/// built-in table of language names.
/// The default until a platform layer installs the user's locale.
class CEnglishLocaleNames final : public ILocaleNames {
public:
    std::string DayName(int weekday, bool abbreviated) const override;
    std::string MonthName(int month, bool abbreviated) const override;
    std::string AmDesignator() const override;
    std::string PmDesignator() const override;
};

/// Installs the process-wide locale names and returns the ones installed before.
/// nullptr restores the English names. Safe to call from any thread.
std::shared_ptr<const ILocaleNames> SetLocaleNames(std::shared_ptr<const ILocaleNames> names);

/// The installed locale names, shared so that they stay alive while the caller uses them even if
/// another thread installs others meanwhile. Never null. Safe to call from any thread.
std::shared_ptr<const ILocaleNames> CurrentLocaleNames();

/// The installed locale names (English by default). The reference stays valid until the names
/// are replaced; code that may run while another thread replaces them uses CurrentLocaleNames().
const ILocaleNames& GetLocaleNames();

} // namespace dv
