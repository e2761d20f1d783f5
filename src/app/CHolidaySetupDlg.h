#pragma once

#include "holidays/CHolidaySettings.h"
#include "holidays/CHolidays.h"

#include <QDialog>
#include <map>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace dv {

class CDayvaultApp;
class CHolidayModuleSet;
class CMainFrame;
class CSettings;

/// "Holiday Setup": which holiday modules are active and in which order they are consulted,
/// which single holidays of a module are switched off, a preview of the selected module's
/// holidays in a chosen year, and how the calendar pages show holidays.
///
/// The modules list holds first the modules of ModuleOrder whose file can be read, in that
/// order, then every other module file of the holidays folder in scan order; a module is checked
/// when it is active. A module file that cannot be read is named, with the reason, under the
/// lists and left out; the others are listed as usual.
class CHolidaySetupDlg final : public QDialog {
    Q_OBJECT
public:
    /// Edits a copy of `settings` and of the two display options of `display`; reads the module
    /// files below the folder of `modules`.
    CHolidaySetupDlg(const CHolidaySettings& settings, const CSettings& display,
                     const CHolidayModuleSet& modules, QWidget* parent = nullptr);

    /// After OK: ActiveModules the checked modules in list order, ModuleOrder every listed
    /// module in list order, the switched-off holidays of the listed modules.
    const CHolidaySettings& GetSettings() const { return m_settings; }
    bool HolidayDisplayBelowDate() const;
    bool HolidayShowLanguage() const;

    void accept() override;

    // ---- The controls, for tests and the screenshots
    QTreeWidget* modules = nullptr; // "File" and "Language", with check boxes
    QPushButton* up = nullptr;
    QPushButton* down = nullptr;
    QTreeWidget* holidays = nullptr; // the selected module's holidays, with check boxes
    QPushButton* all = nullptr;
    QPushButton* none = nullptr;
    QComboBox* year = nullptr; // 1900 to 2100
    QPlainTextEdit* preview = nullptr;
    QCheckBox* belowDate = nullptr;
    QCheckBox* showLanguage = nullptr;
    QLabel* problems = nullptr; // the module files that cannot be read

protected:
    void changeEvent(QEvent* event) override;

private:
    void BuildLayout();
    void ColourNotes();
    void FillModules(const CHolidayModuleSet& modules);
    std::string SelectedModule() const;
    void OnModuleSelected();
    void OnHolidayChanged(QTreeWidgetItem* item);
    void Move(int step);
    void SetAllHolidays(bool on);
    void RefreshPreview();
    void UpdateButtons();

    CHolidaySettings m_settings;
    std::string m_dateFormat;
    std::map<std::string, CHolidays> m_files; // the listed modules, read when the dialog opened
    bool m_filling = false;
};

/// Extras > Holidays: the dialog on the program's holiday settings. OK stores them, loads the
/// active modules again in their order and refreshes every view with hint 0 (and 15 when a
/// display option changed); modules that fail to load are named in a message. Cancel changes
/// nothing.
void RunHolidaySetupCommand(CDayvaultApp& app, CMainFrame& frame);

} // namespace dv
