#pragma once

#include "app/EditorControls.h"
#include "core/DateData.h"

#include <QWidget>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;
class QToolButton;

namespace dv {

class CDateEditSheet;

/// The "Description" page: category, texts, display, start and end, reminder and sound.
class CDateEditPage1 final : public QWidget {
    Q_OBJECT
public:
    CDateEditPage1(CDateEditSheet& sheet, int mode, const EditorServices& services);
    void ShowData(const DateData& data);
    void StoreData(DateData& data) const;
    void UpdateEnabling();

    QComboBox* categoryBox = nullptr;
    QToolButton* newCategory = nullptr;
    QToolButton* deleteCategory = nullptr;
    QToolButton* renameCategory = nullptr;
    QLineEdit* description = nullptr;
    QPlainTextEdit* notes = nullptr;
    QCheckBox* share = nullptr;
    QButtonGroup* display = nullptr;
    QPushButton* fieldColor = nullptr;
    QPushButton* textColor = nullptr;
    QDateEdit* startDate = nullptr;
    QCheckBox* startTimeOn = nullptr;
    QTimeEdit* startTime = nullptr;
    QCheckBox* endOn = nullptr;
    QDateEdit* endDate = nullptr;
    QTimeEdit* endTime = nullptr;
    QCheckBox* reminder = nullptr;
    QComboBox* reminderSpan = nullptr;
    QComboBox* reminderUnit = nullptr;
    QCheckBox* silent = nullptr;
    QCheckBox* sound = nullptr;
    QLineEdit* soundFile = nullptr;
    QPushButton* soundBrowse = nullptr;
    QToolButton* play = nullptr;
    QRadioButton* endless = nullptr;
    QRadioButton* repeatSound = nullptr;
    QComboBox* soundCount = nullptr;

private:
    void StartChanged();
    void EndChanged();
    void ChooseColor(bool field);
    void ShowColors();

    CDateEditSheet& m_sheet;
    int m_mode;
    EditorServices m_services;
    int64_t m_duration = 0; // end - start in seconds, kept while the start moves
    uint32_t m_fieldColor = 0;
    uint32_t m_textColor = 0;
};

} // namespace dv
