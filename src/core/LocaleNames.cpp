#include "core/LocaleNames.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <mutex>
#include <utility>

namespace dv {

namespace {

// ---- English names ------------------------------------------------------------------------------

constexpr std::array<const char*, 7> kDayNames = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                  "Friday", "Saturday", "Sunday"};
constexpr std::array<const char*, 7> kDayAbbreviations = {"Mon", "Tue", "Wed", "Thu",
                                                          "Fri", "Sat", "Sun"};
constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 12> kMonthAbbreviations = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// ---- Languages ------------------------------------------------------------------------------

struct LanguageEntry {
    uint32_t lcid;
    const char* abbreviation; // as Windows locale data gives it (LOCALE_SABBREVLANGNAME)
    const char* name;
};

// Sorted by identifier.
constexpr LanguageEntry kLanguages[] = {
    {0x0405, "CSY", "Czech (Czech Republic)"},
    {0x0406, "DAN", "Danish (Denmark)"},
    {0x0407, "DEU", "German (Germany)"},
    {0x0408, "ELL", "Greek (Greece)"},
    {0x0409, "ENU", "English (United States)"},
    {0x040A, "ESP", "Spanish (Spain, Traditional Sort)"},
    {0x040B, "FIN", "Finnish (Finland)"},
    {0x040C, "FRA", "French (France)"},
    {0x040E, "HUN", "Hungarian (Hungary)"},
    {0x0410, "ITA", "Italian (Italy)"},
    {0x0413, "NLD", "Dutch (Netherlands)"},
    {0x0414, "NOR", "Norwegian, Bokm\xC3\xA5l (Norway)"},
    {0x0415, "PLK", "Polish (Poland)"},
    {0x0416, "PTB", "Portuguese (Brazil)"},
    {0x0419, "RUS", "Russian (Russia)"},
    {0x041D, "SVE", "Swedish (Sweden)"},
    {0x041F, "TRK", "Turkish (Turkey)"},
    {0x0807, "DES", "German (Switzerland)"},
    {0x0809, "ENG", "English (United Kingdom)"},
    {0x080C, "FRB", "French (Belgium)"},
    {0x0810, "ITS", "Italian (Switzerland)"},
    {0x0813, "NLB", "Dutch (Belgium)"},
    {0x0814, "NON", "Norwegian, Nynorsk (Norway)"},
    {0x0816, "PTG", "Portuguese (Portugal)"},
    {0x0C07, "DEA", "German (Austria)"},
    {0x0C09, "ENA", "English (Australia)"},
    {0x0C0A, "ESN", "Spanish (Spain)"},
    {0x0C0C, "FRC", "French (Canada)"},
    {0x1007, "DEL", "German (Luxembourg)"},
    {0x1009, "ENC", "English (Canada)"},
    {0x100C, "FRS", "French (Switzerland)"},
    {0x1407, "DEC", "German (Liechtenstein)"},
    {0x1409, "ENZ", "English (New Zealand)"},
    {0x140C, "FRL", "French (Luxembourg)"},
    {0x1809, "ENI", "English (Ireland)"},
};

const LanguageEntry* FindLanguage(uint32_t lcid) {
    const auto* end = std::end(kLanguages);
    const auto* found = std::lower_bound(
        std::begin(kLanguages), end, lcid,
        [](const LanguageEntry& entry, uint32_t value) { return entry.lcid < value; });
    return found != end && found->lcid == lcid ? found : nullptr;
}

// ---- The process-wide instance ------------------------------------------------------------------

// Function-local statics, so that formatting from another translation unit's static
// initialisation already finds the English default.
struct LocaleState {
    std::mutex mutex;
    std::shared_ptr<const ILocaleNames> english = std::make_shared<CEnglishLocaleNames>();
    std::shared_ptr<const ILocaleNames> current = english;
};

LocaleState& State() {
    static LocaleState state;
    return state;
}

} // namespace

std::string CEnglishLocaleNames::DayName(int weekday, bool abbreviated) const {
    if (weekday < 0 || weekday > 6) {
        return {};
    }
    return abbreviated ? kDayAbbreviations[weekday] : kDayNames[weekday];
}

std::string CEnglishLocaleNames::MonthName(int month, bool abbreviated) const {
    if (month < 1 || month > 12) {
        return {};
    }
    return abbreviated ? kMonthAbbreviations[month - 1] : kMonthNames[month - 1];
}

std::string CEnglishLocaleNames::AmDesignator() const {
    return "AM";
}

std::string CEnglishLocaleNames::PmDesignator() const {
    return "PM";
}

std::string ILocaleNames::LanguageAbbreviation(uint32_t lcid) const {
    const LanguageEntry* entry = FindLanguage(lcid);
    return entry != nullptr ? entry->abbreviation : std::string();
}

std::string ILocaleNames::LanguageName(uint32_t lcid) const {
    const LanguageEntry* entry = FindLanguage(lcid);
    return entry != nullptr ? entry->name : std::string();
}

std::shared_ptr<const ILocaleNames> SetLocaleNames(std::shared_ptr<const ILocaleNames> names) {
    LocaleState& state = State();
    std::lock_guard lock(state.mutex);
    if (!names) {
        names = state.english;
    }
    return std::exchange(state.current, std::move(names));
}

std::shared_ptr<const ILocaleNames> CurrentLocaleNames() {
    LocaleState& state = State();
    std::lock_guard lock(state.mutex);
    return state.current;
}

const ILocaleNames& GetLocaleNames() {
    return *CurrentLocaleNames();
}

} // namespace dv
