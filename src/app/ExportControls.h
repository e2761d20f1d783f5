#pragma once

#include "core/CDateTime.h"
#include "document/CDayvaultDoc.h"
#include "export/ExportFilters.h"
#include "settings/CSettings.h"
#include "settings/ProfileValues.h"

#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QDateEdit;
class QLayout;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace dv {

class CDayvaultApp;
class CDayvaultDoc;
class CMainFrame;
class CHolidayModuleSet;
class CHolidaySettings;
class CSettings;
class IFileDialogs;
class ILauncher;
class IPrompt;

/// What the export dialogs need from the program. Nothing is owned.
struct ExportServices {
    CDayvaultDoc* doc = nullptr;
    /// The program's settings: read by the exports, replaced by the settings sheets' OK.
    CSettings* settings = nullptr;
    /// Writes the settings to the store after a sheet's OK; shows its own failure. May be empty.
    std::function<void()> saveSettings;
    CHolidayModuleSet* holidays = nullptr;
    const CHolidaySettings* holidaySettings = nullptr;
    IPrompt* prompt = nullptr;
    IFileDialogs* fileDialogs = nullptr;
    /// Opens the HTML preview in the browser.
    ILauncher* launcher = nullptr;
    /// Relative template paths of the settings are taken from here.
    std::filesystem::path programFolder;
    /// Where previews are written; empty: the system's folder for temporary files.
    std::filesystem::path tempFolder;
    /// The main window's Show Hidden Events switch: hidden events are exported too.
    bool showHidden = false;
    /// Picks a colour starting at `current` (0x00BBGGRR); nullopt when cancelled. Empty: the
    /// desktop's colour dialog.
    std::function<std::optional<uint32_t>(uint32_t current)> chooseColor;
};

/// The services of the running program: its document, settings (saved through the program),
/// holidays, prompt, file dialogs, the frame's launcher and its Show Hidden Events switch.
ExportServices ExportServicesOf(CDayvaultApp& app, CMainFrame& frame);

/// Fills what the CSV and HTML export sources share: the document's entries, the filters of the
/// calendar pages and the to-do page, and the Show Hidden Events switch. The filters keep their
/// own copy of `formats`.
template <class Source>
void FillEntrySource(Source& source, const ExportServices& services,
                     const FormatSettings& formats) {
    const CSettings& settings = *services.settings;
    const CDayvaultDoc& doc = *services.doc;
    source.events = &doc.GetDateEntries();
    source.todos = &doc.GetTodoEntries();
    source.eventFilter = DocumentEventFilter(doc, formats);
    source.todoFilter = DocumentTodoFilter(doc,
                                           {settings.HideDoneTodo, settings.DaysBeforeHideTodo,
                                            settings.HideUndoneTodo, settings.DaysBeforeShowTodo},
                                           formats);
    source.showHidden = services.showHidden;
}

/// The longest range an export dialog takes, in days.
constexpr int kExportMaxLength = 36600;

/// The editable "Length:" box with the usual day counts, showing `initial`.
QComboBox* ExportLengthBox(int initial);
/// The length typed or chosen: a decimal number of days from 1 to kExportMaxLength. Otherwise
/// the range message is shown (when `prompt` is set), the box gets the focus and nullopt is
/// returned.
std::optional<int> ReadExportLength(QComboBox* box, IPrompt* prompt);
/// The same without a message; nullopt for anything out of range.
std::optional<int> ParseExportLength(const QString& text);

/// A date picker for the exports: 1 January 1900 to 31 December 2100, in `format` (a "%" format).
QDateEdit* ExportDatePicker(const CDateTime& initial, const std::string& format);
/// The picked day at 00:00:00.
CDateTime PickedDay(const QDateEdit* picker);
/// The "Range:" text: `first`, " - " and `last`, both in `format`.
QString ExportRangeText(const CDateTime& first, const CDateTime& last, const std::string& format);

/// A settings page: `content` above, and a "Default" button at the bottom right that runs
/// `restore` (which puts the page's default values into its controls). The button is returned
/// through `button`.
QWidget* PageWithDefault(QLayout* content, const std::function<void()>& restore,
                         QPushButton** button);

/// What a failed write says beyond the file name: `reason` without a leading "<path>: ".
std::string ReasonWithoutPath(const std::string& reason, const std::filesystem::path& path);

/// A multi-line text as an edit shows it (CR LF as one line break) and back.
QString FormatToEdit(const std::string& format);
std::string FormatFromEdit(const QString& text);

/// The columns of an export: each field with its check (written or not) in column order, moved
/// with the Up and Down buttons. With names, a second column holds each field's column name,
/// edited in the "Column name:" box below the list for the current row.
class CExportFieldList final : public QWidget {
    Q_OBJECT
public:
    /// `labels` name the fields by index; `withNames` adds the column names.
    CExportFieldList(const QStringList& labels, bool withNames, QWidget* parent = nullptr);

    /// Shows the settings: the fields of `order` first (unknown and repeated indices left out),
    /// then the fields the order lacks, unchecked as they are not written.
    void SetColumns(const FlagList& fields, const NumberList& order, const NameList& names = {});
    /// The flags by field index ("written"), the order of every field, and the names by index.
    FlagList Fields() const;
    NumberList Order() const;
    NameList Names() const;

    QTreeWidget* list = nullptr;
    QPushButton* up = nullptr;
    QPushButton* down = nullptr;
    QLineEdit* name = nullptr; ///< null without names

private:
    void Move(int step);
    void ShowCurrentName();

    int m_count = 0;
};

} // namespace dv
