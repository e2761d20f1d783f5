#pragma once

#include "app/ExportControls.h"
#include "settings/CSettings.h"

#include <QDialog>
#include <array>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace dv {

/// "Formats for HTML-Export": colours and markings, the texts of the event rows, the day
/// headers, the templates and the to-do columns, on five pages. Edits a copy of the settings;
/// OK refuses a column name with a comma (the names are stored comma-separated).
class CHtmlSettingsSheet final : public QDialog {
    Q_OBJECT
public:
    /// The colours in the order of the page: normal, holiday, Saturday, Sunday, table header.
    static constexpr int kColorCount = 5;
    /// Appearance, calendar formats, header formats, templates, to-do columns.
    static constexpr int kPageCount = 5;

    /// `services` gives the messages, the file and colour choosers and the program folder.
    CHtmlSettingsSheet(const CSettings& settings, const ExportServices& services,
                       QWidget* parent = nullptr);

    /// The settings with this sheet's values, after OK.
    const CSettings& Settings() const { return m_settings; }

    void accept() override;

    QTabWidget* pages = nullptr;
    std::array<QPushButton*, kColorCount> colors{};
    QCheckBox* doneDates = nullptr;
    QButtonGroup* markedDates = nullptr; ///< ids 1 colours, 2 bold, 0 plain
    QCheckBox* emptyDates = nullptr;
    std::vector<QLineEdit*> timeFormats;      ///< normal, single day, first, middle, last
    std::vector<QPlainTextEdit*> descFormats; ///< the same variants
    std::vector<QLineEdit*> headers;          ///< week, fortnight, first of month, month, list,
                                              ///< week number
    std::vector<QLineEdit*> templates;        ///< to-do, week, fortnight, month, list
    std::vector<QPushButton*> templateBrowse;
    CExportFieldList* todoColumns = nullptr;
    /// The "Default" button of each page.
    std::array<QPushButton*, kPageCount> defaults{};

private:
    QLayout* AppearancePage();
    QLayout* CalendarPage();
    QLayout* HeaderPage();
    QLayout* TemplatesPage();
    /// Puts the values of `from` into the controls of page `page`.
    void Show(int page, const CSettings& from);
    void ChooseColor(int index);
    void ShowColor(int index);

    CSettings m_settings;
    ExportServices m_services;
    std::array<uint32_t, kColorCount> m_colors{};
};

} // namespace dv
