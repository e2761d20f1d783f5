#pragma once

#include "settings/CSettings.h"

#include <QDialog>
#include <array>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace dv {

class CExportFieldList;
class IPrompt;

/// "Formats for CSV-Export": the columns, their names and order, the delimiter and the column
/// formats of the calendar and the to-do export, on six pages. Edits a copy of the settings;
/// OK refuses a column name with a comma (the names are stored comma-separated).
class CCsvSettingsSheet final : public QDialog {
    Q_OBJECT
public:
    /// The controls of one kind of export (calendar or to-do).
    struct KindPages {
        CExportFieldList* columns = nullptr;
        QButtonGroup* delimiter = nullptr; ///< ids 0 ",", 1 ";", 2 tab
        QCheckBox* removeDelimiter = nullptr;
        QCheckBox* namesInFirstRow = nullptr;
        std::vector<QLineEdit*> names;   ///< by field index
        std::vector<QLineEdit*> formats; ///< in the order of the formats page
        /// The "Default" buttons of the fields, names and formats pages.
        std::array<QPushButton*, 3> defaults{};
    };

    CCsvSettingsSheet(const CSettings& settings, IPrompt* prompt, QWidget* parent = nullptr);

    /// The settings with this sheet's values, after OK.
    const CSettings& Settings() const { return m_settings; }

    void accept() override;

    QTabWidget* pages = nullptr;
    KindPages calendar;
    KindPages todo;

private:
    /// `calendarKind` picks the calendar keys, else the to-do keys.
    void BuildKind(KindPages& kind, bool calendarKind);
    bool ReadKind(KindPages& kind, bool calendarKind);

    CSettings m_settings;
    IPrompt* m_prompt = nullptr;
};

} // namespace dv
