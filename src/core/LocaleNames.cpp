#include "core/LocaleNames.h"

#include <array>
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
