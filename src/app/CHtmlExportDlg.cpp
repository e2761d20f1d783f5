#include "app/CHtmlExportDlg.h"

#include "app/CHtmlSettingsSheet.h"
#include "app/EditorControls.h"
#include "app/IFileDialogs.h"
#include "app/UiText.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "export/ExportFilters.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/ILauncher.h"
#include "settings/CSettings.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <system_error>

namespace dv {

namespace fs = std::filesystem;

namespace {

// The days a kind's page covers when the length is not the user's.
int FixedLength(int kind) {
    switch (kind) {
    case kHtmlKindWeek:
        return 7;
    case kHtmlKindFortnight:
        return 14;
    default:
        return 42;
    }
}

bool TakesLength(int kind) {
    return kind == kHtmlKindTodo || kind == kHtmlKindList;
}

} // namespace

int CHtmlExportDlg::HtmlKindOfPage(int page) {
    // The pages to-do, week, fortnight and month have kinds of the same numbers.
    return page >= kHtmlKindTodo && page <= kHtmlKindMonth ? page : kHtmlKindList;
}

CHtmlExportDlg::CHtmlExportDlg(const ExportServices& services, int initialKind, QWidget* parent)
    : QDialog(parent), m_services(services), m_enteredLength(QStringLiteral("14")) {
    setWindowTitle(Text(kIdsHtmlExportTitle));
    const CSettings& settings = *m_services.settings;

    auto* formatBox = new QGroupBox(Text(kIdsExpFormat));
    auto* formatLayout = new QHBoxLayout(formatBox);
    kind = new QButtonGroup(this);
    const std::pair<uint32_t, int> kinds[] = {{kIdsExpTodo, kHtmlKindTodo},
                                              {kIdsExpWeek, kHtmlKindWeek},
                                              {kIdsExpFortnight, kHtmlKindFortnight},
                                              {kIdsExpMonth, kHtmlKindMonth},
                                              {kIdsExpList, kHtmlKindList}};
    for (const auto& [text, id] : kinds) {
        formatLayout->addWidget(editor::Radio(kind, text, id));
    }
    formatLayout->addStretch();

    selected = ExportDatePicker(m_services.doc->GetSelectedDate(), settings.DateFormatList);
    length = ExportLengthBox(14);
    range = new QLabel;
    range->setTextInteractionFlags(Qt::TextSelectableByMouse);
    templatePath = new QLineEdit;
    templatePath->setMinimumWidth(320);
    browse = new QPushButton(Text(kIdsExpBrowse));
    browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(browse->text()) + 24);

    const auto label = [](uint32_t id, QWidget* buddy) {
        auto* text = new QLabel(Text(id));
        text->setBuddy(buddy);
        return text;
    };
    auto* grid = new QGridLayout;
    grid->addWidget(formatBox, 0, 0, 1, 4);
    grid->addWidget(label(kIdsExpSelected, selected), 1, 0);
    grid->addWidget(selected, 1, 1);
    grid->addWidget(label(kIdsExpLength, length), 2, 0);
    grid->addWidget(length, 2, 1);
    grid->addWidget(new QLabel(Text(kIdsExpDays)), 2, 2);
    grid->addWidget(new QLabel(Text(kIdsExpRange)), 3, 0);
    grid->addWidget(range, 3, 1, 1, 3);
    grid->addWidget(label(kIdsExpTemplate, templatePath), 4, 0);
    auto* templateRow = new QHBoxLayout;
    templateRow->addWidget(templatePath, 1);
    templateRow->addWidget(browse);
    grid->addLayout(templateRow, 4, 1, 1, 3);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(5, 1);

    exportButton = new QPushButton(Text(kIdsExpExport));
    exportButton->setDefault(true);
    preview = new QPushButton(Text(kIdsExpPreview));
    cancel = new QPushButton(Text(kIdsExpCancel));
    options = new QPushButton(Text(kIdsExpOptions));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(exportButton);
    buttons->addWidget(preview);
    buttons->addWidget(cancel);
    buttons->addStretch();
    buttons->addWidget(options);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addSpacing(12);
    layout->addLayout(buttons);

    editor::Check(kind, initialKind);
    KindChosen();
    connect(kind, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on) {
            KindChosen();
        }
    });
    connect(selected, &QDateEdit::dateChanged, this, &CHtmlExportDlg::UpdateRange);
    connect(length, &QComboBox::currentTextChanged, this, &CHtmlExportDlg::UpdateRange);
    connect(browse, &QPushButton::clicked, this, &CHtmlExportDlg::Browse);
    connect(options, &QPushButton::clicked, this, &CHtmlExportDlg::OpenOptions);
    connect(preview, &QPushButton::clicked, this, &CHtmlExportDlg::Preview);
    connect(exportButton, &QPushButton::clicked, this, &CHtmlExportDlg::Export);
    connect(cancel, &QPushButton::clicked, this, &CHtmlExportDlg::reject);
}

CHtmlExportDlg::~CHtmlExportDlg() {
    DeletePreview();
}

void CHtmlExportDlg::done(int result) {
    DeletePreview();
    QDialog::done(result);
}

void CHtmlExportDlg::KindChosen() {
    const int chosen = editor::Checked(kind);
    // The box keeps what the user entered while it shows a fixed kind's days.
    if (m_shownKind == kHtmlKindList) {
        m_enteredLength = length->currentText();
    }
    m_shownKind = chosen;
    {
        const QSignalBlocker block(length);
        length->setEditText(chosen == kHtmlKindTodo || chosen == kHtmlKindList
                                ? m_enteredLength
                                : QString::number(FixedLength(chosen)));
    }
    length->setEnabled(chosen == kHtmlKindList);
    const fs::path setting = HtmlExport::TemplateSetting(*m_services.settings, chosen);
    templatePath->setText(QString::fromStdString(
        (setting.is_absolute() ? setting : m_services.programFolder / setting).string()));
    UpdateRange();
}

void CHtmlExportDlg::UpdateRange() {
    const int chosen = editor::Checked(kind);
    const std::optional<int> days =
        TakesLength(chosen) ? ParseExportLength(length->currentText()) : FixedLength(chosen);
    if (!days) {
        range->clear();
        return;
    }
    const HtmlExportRange covered =
        HtmlExport::Range(chosen, PickedDay(selected), *days, m_services.settings->WeekStart);
    range->setText(
        ExportRangeText(covered.first, covered.last, m_services.settings->DateFormatList));
}

void CHtmlExportDlg::OpenOptions() {
    CHtmlSettingsSheet sheet(*m_services.settings, m_services, this);
    if (sheet.exec() != QDialog::Accepted) {
        return;
    }
    *m_services.settings = sheet.Settings();
    if (m_services.saveSettings) {
        m_services.saveSettings();
    }
    // The kind's template may have changed.
    KindChosen();
}

void CHtmlExportDlg::Browse() {
    if (m_services.fileDialogs == nullptr) {
        return;
    }
    const auto path = m_services.fileDialogs->OpenFileFrom(this, LoadString(kIdsHtmlFilesFilter),
                                                           templatePath->text().toStdString());
    if (path) {
        templatePath->setText(QString::fromStdString(path->string()));
    }
}

std::optional<int> CHtmlExportDlg::ReadLength() {
    const int chosen = editor::Checked(kind);
    if (!TakesLength(chosen)) {
        return FixedLength(chosen);
    }
    return ReadExportLength(length, m_services.prompt);
}

bool CHtmlExportDlg::Generate(const fs::path& target, int days) {
    const CSettings& settings = *m_services.settings;
    const FormatSettings formats = settings.GetFormatSettings();
    HtmlExportSource source;
    FillEntrySource(source, m_services, formats);
    source.holidays = m_services.holidays;
    source.holidaySettings = m_services.holidaySettings;

    fs::path templateFile = templatePath->text().toStdString();
    if (!templateFile.empty() && templateFile.is_relative()) {
        templateFile = m_services.programFolder / templateFile;
    }
    HtmlExport exporter(settings, source);
    const HtmlPageResult result = exporter.GeneratePage(templateFile, target, editor::Checked(kind),
                                                        PickedDay(selected), days);
    if (!result.ok) {
        const std::string reason =
            ReasonWithoutPath(ReasonWithoutPath(result.reason, target), templateFile);
        m_services.prompt->ShowMessage(result.message + "\n" + reason, PromptIcon::Stop);
    }
    return result.ok;
}

void CHtmlExportDlg::Preview() {
    const std::optional<int> days = ReadLength();
    if (!days) {
        return;
    }
    DeletePreview();
    const fs::path temporary = m_services.tempFolder.empty()
                                   ? fs::path(QDir::tempPath().toStdString())
                                   : m_services.tempFolder;
    if (!m_previewFolder || !m_previewFolder->isValid()) {
        // Created exclusively with mode 0700 whatever the umask.
        m_previewFolder = std::make_unique<QTemporaryDir>(
            QString::fromStdString((temporary / "dayvault-preview-XXXXXX").string()));
    }
    if (!m_previewFolder->isValid()) {
        m_services.prompt->ShowMessage(FormatString(kIdsExpNoPreviewName, temporary.string()),
                                       PromptIcon::Stop);
        return;
    }
    const fs::path folder = m_previewFolder->path().toStdString();
    const fs::path path = HtmlExport::NextPreviewPath(folder);
    if (path.empty()) {
        m_services.prompt->ShowMessage(FormatString(kIdsExpNoPreviewName, folder.string()),
                                       PromptIcon::Stop);
        return;
    }
    if (!Generate(path, *days)) {
        return;
    }
    m_preview = path;
    if (m_services.launcher == nullptr || !m_services.launcher->OpenDocument(path.string())) {
        m_services.prompt->ShowMessage(FormatString(kIdsExpCannotOpenPreview, path.string()),
                                       PromptIcon::Stop);
    }
}

void CHtmlExportDlg::Export() {
    const std::optional<int> days = ReadLength();
    if (!days) {
        return;
    }
    if (const auto path =
            m_services.fileDialogs->SaveFile(this, LoadString(kIdsHtmlFilesFilter), "html")) {
        Generate(*path, *days);
    }
    // Closes whether the file was chosen and written or not.
    accept();
}

void CHtmlExportDlg::DeletePreview() {
    if (m_preview.empty()) {
        return;
    }
    std::error_code ignored;
    fs::remove(m_preview, ignored);
    m_preview.clear();
}

} // namespace dv
