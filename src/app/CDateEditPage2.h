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
class QToolButton;

namespace dv {

/// The "Repetition" page: the rule, its end and the additional conditions.
class CDateEditPage2 final : public QWidget {
    Q_OBJECT
public:
    CDateEditPage2(int mode, const EditorServices& services);
    void ShowData(const DateData& data);
    void StoreData(DateData& data) const;
    void UpdateEnabling();

    QButtonGroup* repeat = nullptr;
    QComboBox* rate = nullptr;
    QComboBox* unit = nullptr;
    QComboBox* ordinal = nullptr;
    QComboBox* weekday = nullptr;
    QButtonGroup* end = nullptr;
    QComboBox* endCount = nullptr;
    QDateEdit* endDate = nullptr;     // the whole day counts: there is no time of day to choose
    std::vector<QCheckBox*> weekdays; // Monday first
    std::vector<QCheckBox*> months;   // January first
    QPushButton* setAll = nullptr;
    QPushButton* clearAll = nullptr;

private:
    int m_mode;
};

} // namespace dv
