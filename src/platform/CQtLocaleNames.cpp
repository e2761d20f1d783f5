#include "platform/CQtLocaleNames.h"

namespace dv {

std::string CQtLocaleNames::DayName(int weekday, bool abbreviated) const {
    if (weekday < 0 || weekday > 6) {
        return {};
    }
    // Qt counts 1 = Monday .. 7 = Sunday; the core 0 = Monday.
    return m_locale.dayName(weekday + 1, abbreviated ? QLocale::ShortFormat : QLocale::LongFormat)
        .toStdString();
}

std::string CQtLocaleNames::MonthName(int month, bool abbreviated) const {
    if (month < 1 || month > 12) {
        return {};
    }
    // The standalone form: the formats put the month name on its own ("March", not "of March").
    return m_locale
        .standaloneMonthName(month, abbreviated ? QLocale::ShortFormat : QLocale::LongFormat)
        .toStdString();
}

std::string CQtLocaleNames::AmDesignator() const {
    return m_locale.amText().toStdString();
}

std::string CQtLocaleNames::PmDesignator() const {
    return m_locale.pmText().toStdString();
}

} // namespace dv
