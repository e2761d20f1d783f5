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

/// The "Action" page: what the reminder does, overdue execution and snoozing.
class CDateEditPage3 final : public QWidget {
    Q_OBJECT
public:
    explicit CDateEditPage3(const EditorServices& services);
    void ShowData(const DateData& data);
    void StoreData(DateData& data) const;
    void UpdateEnabling();

    QButtonGroup* action = nullptr;
    QCheckBox* ackOpen = nullptr;
    QLineEdit* document = nullptr;
    QPushButton* documentBrowse = nullptr;
    QCheckBox* ackExecute = nullptr;
    QLineEdit* command = nullptr;
    QPushButton* commandBrowse = nullptr;
    QLineEdit* parameter = nullptr;
    QPushButton* parameterBrowse = nullptr;
    QButtonGroup* overdue = nullptr;
    QComboBox* executeSpan = nullptr;
    QComboBox* executeUnit = nullptr;
    QButtonGroup* snoozeType = nullptr;
    QComboBox* snoozeSpan = nullptr;
    QComboBox* snoozeUnit = nullptr;

private:
    EditorServices m_services;
};

} // namespace dv
