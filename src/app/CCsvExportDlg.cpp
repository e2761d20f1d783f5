#include "app/CCsvExportDlg.h"

#include "app/CCsvSettingsSheet.h"
#include "app/EditorControls.h"
#include "app/IFileDialogs.h"
#include "app/UiText.h"
#include "core/CFileException.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "export/CsvExport.h"
#include "export/ExportFilters.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "settings/CSettings.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace dv {

CCsvExportDlg::CCsvExportDlg(const ExportServices& services, bool todoView, QWidget* parent)
    : QDialog(parent), m_services(services) {
    setWindowTitle(Text(kIdsCsvExportTitle));
    const CSettings& settings = *m_services.settings;

    auto* formatBox = new QGroupBox(Text(kIdsExpFormat));
    auto* formatLayout = new QHBoxLayout(formatBox);
    kind = new QButtonGroup(this);
    formatLayout->addWidget(editor::Radio(kind, kIdsExpTodo, kCsvKindTodo));
    formatLayout->addWidget(editor::Radio(kind, kIdsExpCalendar, kCsvKindCalendar));
    formatLayout->addStretch();
    editor::Check(kind, todoView ? kCsvKindTodo : kCsvKindCalendar);

    start = ExportDatePicker(m_services.doc->GetSelectedDate(), settings.DateFormatList);
    length = ExportLengthBox(14);
    range = new QLabel;
    range->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* grid = new QGridLayout;
    auto* startLabel = new QLabel(Text(kIdsExpStart));
    startLabel->setBuddy(start);
    auto* lengthLabel = new QLabel(Text(kIdsExpLength));
    lengthLabel->setBuddy(length);
    grid->addWidget(formatBox, 0, 0, 1, 3);
    grid->addWidget(startLabel, 1, 0);
    grid->addWidget(start, 1, 1);
    grid->addWidget(lengthLabel, 2, 0);
    grid->addWidget(length, 2, 1);
    grid->addWidget(new QLabel(Text(kIdsExpDays)), 2, 2);
    grid->addWidget(new QLabel(Text(kIdsExpRange)), 3, 0);
    grid->addWidget(range, 3, 1, 1, 2);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);

    exportButton = new QPushButton(Text(kIdsExpExport));
    exportButton->setDefault(true);
    cancel = new QPushButton(Text(kIdsExpCancel));
    options = new QPushButton(Text(kIdsExpOptions));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(exportButton);
    buttons->addWidget(cancel);
    buttons->addStretch();
    buttons->addWidget(options);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addSpacing(12);
    layout->addLayout(buttons);

    connect(start, &QDateEdit::dateChanged, this, &CCsvExportDlg::UpdateRange);
    connect(length, &QComboBox::currentTextChanged, this, &CCsvExportDlg::UpdateRange);
    connect(options, &QPushButton::clicked, this, &CCsvExportDlg::OpenOptions);
    connect(exportButton, &QPushButton::clicked, this, &CCsvExportDlg::Export);
    connect(cancel, &QPushButton::clicked, this, &CCsvExportDlg::reject);
    UpdateRange();
}

void CCsvExportDlg::UpdateRange() {
    const CDateTime first = PickedDay(start);
    const std::optional<int> days = ParseExportLength(length->currentText());
    // A length that is no number of days has no last day to show.
    range->setText(days ? ExportRangeText(first, first + CDateTimeSpan(*days - 1, 23, 59, 59),
                                          m_services.settings->DateFormatList)
                        : QString());
}

void CCsvExportDlg::OpenOptions() {
    CCsvSettingsSheet sheet(*m_services.settings, m_services.prompt, this);
    if (sheet.exec() != QDialog::Accepted) {
        return;
    }
    *m_services.settings = sheet.Settings();
    if (m_services.saveSettings) {
        m_services.saveSettings();
    }
}

void CCsvExportDlg::Export() {
    const std::optional<int> days = ReadExportLength(length, m_services.prompt);
    if (!days) {
        return;
    }
    const CSettings& settings = *m_services.settings;
    const FormatSettings formats = settings.GetFormatSettings();
    CsvExportSource source;
    FillEntrySource(source, m_services, formats);
    source.holidayModules = m_services.holidays;
    source.holidaySettings = m_services.holidaySettings;
    const std::string text =
        BuildCsvExport(&source, {editor::Checked(kind), PickedDay(start), *days}, settings);

    const auto path = m_services.fileDialogs->SaveFile(this, LoadString(kIdsCsvFilesFilter), "csv");
    if (!path) {
        reject();
        return;
    }
    try {
        WriteCsvExportFile(*path, text);
    } catch (const CFileException& error) {
        m_services.prompt->ShowMessage(CsvWriteErrorMessage(*path) + "\n" + error.GetReason(),
                                       PromptIcon::Stop);
        return;
    }
    accept();
}

} // namespace dv
