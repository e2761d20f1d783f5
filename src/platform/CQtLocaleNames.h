#pragma once

#include "core/LocaleNames.h"

#include <QLocale>

namespace dv {

/// Day and month names and the AM/PM designators of a Qt locale (the user's by default), for
/// the date formatting of the core. Language names keep the core's English table.
class CQtLocaleNames final : public ILocaleNames {
public:
    explicit CQtLocaleNames(QLocale locale = QLocale::system()) : m_locale(std::move(locale)) {}

    std::string DayName(int weekday, bool abbreviated) const override;
    std::string MonthName(int month, bool abbreviated) const override;
    std::string AmDesignator() const override;
    std::string PmDesignator() const override;

private:
    QLocale m_locale;
};

} // namespace dv
