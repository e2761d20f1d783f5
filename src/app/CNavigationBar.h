#pragma once

#include <QToolBar>

class QComboBox;
class QToolButton;

namespace dv {

/// The navigation bar: previous page, the month and year choices, next page. It only shows the
/// selected date and reports the user's choices; the main window moves the date.
class CNavigationBar final : public QToolBar {
    Q_OBJECT
public:
    static constexpr int kFirstYear = 1900;
    static constexpr int kLastYear = 2100;

    explicit CNavigationBar(QWidget* parent = nullptr);

    /// Shows `month` (1..12) and `year` (1900..2100) without reporting a choice.
    void SetDate(int month, int year);
    /// Enables or disables the previous and next buttons (off on the to-do page).
    void SetPagingEnabled(bool enabled);

    QComboBox* MonthBox() const { return m_month; }
    QComboBox* YearBox() const { return m_year; }

signals:
    /// The user chose a month (1..12) or a year in the lists.
    void MonthChosen(int month);
    void YearChosen(int year);
    void PreviousClicked();
    void NextClicked();

private:
    QToolButton* m_previous = nullptr;
    QToolButton* m_next = nullptr;
    QComboBox* m_month = nullptr;
    QComboBox* m_year = nullptr;
};

} // namespace dv
