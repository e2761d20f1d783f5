#pragma once

#include "app/ExportControls.h"
#include "export/HtmlExport.h"

#include <QDialog>
#include <filesystem>
#include <memory>

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTemporaryDir;

namespace dv {

/// "HTML-Export": the to-do list or a week, fortnight, month or list of days as an HTML table put
/// into a template, written to a file or shown in the browser. The page is made by the export
/// of the core. The preview goes to the first free "dvtNNNN.html" in a folder of the dialog's
/// own inside the temporary folder, which only this user may enter (mode 0700): in the shared
/// temporary folder another user could read the entries or put a link in the preview's place.
/// The dialog deletes its previous preview before the next one and its last one, with the
/// folder, when it closes.
class CHtmlExportDlg final : public QDialog {
    Q_OBJECT
public:
    /// `initialKind` (HtmlExportKind) is chosen at first; see HtmlKindOfPage.
    CHtmlExportDlg(const ExportServices& services, int initialKind, QWidget* parent = nullptr);

    /// The kind that matches a page of the main window (0 to-do .. 3 month; the year page and
    /// anything else: the list).
    static int HtmlKindOfPage(int page);
    ~CHtmlExportDlg() override;

    /// The preview file shown last; empty when there is none.
    const std::filesystem::path& PreviewFile() const { return m_preview; }

    void done(int result) override;

    QButtonGroup* kind = nullptr; ///< ids kHtmlKindTodo .. kHtmlKindList
    QDateEdit* selected = nullptr;
    QComboBox* length = nullptr;
    QLabel* range = nullptr;
    QLineEdit* templatePath = nullptr;
    QPushButton* browse = nullptr;
    QPushButton* preview = nullptr;
    QPushButton* exportButton = nullptr;
    QPushButton* options = nullptr;
    QPushButton* cancel = nullptr;

private:
    void KindChosen();
    void UpdateRange();
    void OpenOptions();
    void Browse();
    void Preview();
    void Export();
    /// The length the export takes: the entered one for the to-do and list kinds (nullopt with a
    /// message when out of range), else the kind's own.
    std::optional<int> ReadLength();
    /// Generates the page into `target`; false after the failure was shown.
    bool Generate(const std::filesystem::path& target, int days);
    void DeletePreview();

    ExportServices m_services;
    QString m_enteredLength;
    int m_shownKind = -1;
    std::filesystem::path m_preview;
    std::unique_ptr<QTemporaryDir> m_previewFolder;
};

} // namespace dv
