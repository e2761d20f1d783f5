#include "app/CNavigationBar.h"

#include "app/UiText.h"
#include "core/CDateTime.h"
#include "format/StringIds.h"
#include "format/StringTable.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>

namespace dv {

CNavigationBar::CNavigationBar(QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("NavigationBar"));
    setWindowTitle(Text(kIdsNavigationBarCaption));

    m_previous = new QToolButton(this);
    m_previous->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    m_previous->setToolTip(Text(kIdsPreviousTip));
    m_previous->setAutoRaise(true);
    m_next = new QToolButton(this);
    m_next->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    m_next->setToolTip(Text(kIdsNextTip));
    m_next->setAutoRaise(true);

    m_month = new QComboBox(this);
    m_month->setToolTip(Text(kIdsMonthChoice));
    for (int month = 1; month <= 12; ++month) {
        m_month->addItem(QString::fromStdString(CDateTime::GetMonthName(month)));
    }
    m_month->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_year = new QComboBox(this);
    m_year->setToolTip(Text(kIdsYearChoice));
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        m_year->addItem(QString::number(year));
    }
    m_year->setMaxVisibleItems(15);

    addWidget(m_previous);
    addWidget(m_month);
    addWidget(m_year);
    addWidget(m_next);

    connect(m_previous, &QToolButton::clicked, this, &CNavigationBar::PreviousClicked);
    connect(m_next, &QToolButton::clicked, this, &CNavigationBar::NextClicked);
    connect(m_month, &QComboBox::activated, this,
            [this](int index) { emit MonthChosen(index + 1); });
    connect(m_year, &QComboBox::activated, this,
            [this](int index) { emit YearChosen(kFirstYear + index); });
}

void CNavigationBar::SetDate(int month, int year) {
    const QSignalBlocker monthBlocker(m_month);
    const QSignalBlocker yearBlocker(m_year);
    if (month >= 1 && month <= 12) {
        m_month->setCurrentIndex(month - 1);
    }
    if (year >= kFirstYear && year <= kLastYear) {
        m_year->setCurrentIndex(year - kFirstYear);
    }
}

void CNavigationBar::SetPagingEnabled(bool enabled) {
    m_previous->setEnabled(enabled);
    m_next->setEnabled(enabled);
}

} // namespace dv
