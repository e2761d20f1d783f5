#include "app/CTodoEditDlg.h"

#include "app/EditorControls.h"
#include "core/EntryChecks.h"
#include "core/Prompt.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "settings/CSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <cstdlib>

namespace dv {

namespace {

using editor::Text;

QLabel* Label(uint32_t id, QWidget* buddy) {
    auto* label = new QLabel(Text(id));
    label->setBuddy(buddy);
    return label;
}

} // namespace

CTodoEditDlg::CTodoEditDlg(const TodoData& data, const std::vector<std::string>& groups,
                           const EditorServices& services, QWidget* parent)
    : QDialog(parent), m_data(data), m_services(services) {
    setWindowTitle(Text(kIdsTdTitle));
    auto* grid = new QGridLayout;
    int row = 0;

    group = new QComboBox;
    group->setEditable(true);
    group->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& name : groups) {
        group->addItem(QString::fromStdString(name));
    }
    grid->addWidget(Label(kIdsTdGroup, group), row, 0);
    grid->addWidget(group, row++, 1, 1, 4);

    description = new QLineEdit;
    grid->addWidget(Label(kIdsTdDescription, description), row, 0);
    grid->addWidget(description, row++, 1, 1, 4);

    notes = new QPlainTextEdit;
    notes->setTabChangesFocus(true);
    notes->setFixedHeight(notes->fontMetrics().lineSpacing() * 4 + 12);
    grid->addWidget(Label(kIdsEdNotes, notes), row, 0, Qt::AlignTop);
    grid->addWidget(notes, row++, 1, 1, 4);

    share = new QCheckBox(Text(kIdsTdShare));
    grid->addWidget(share, row++, 1, 1, 4);

    deadline = new QCheckBox(Text(kIdsTdDeadline));
    date = new QDateEdit;
    date->setCalendarPopup(true);
    date->setMinimumDate(QDate(1900, 1, 1));
    date->setMaximumDate(QDate(2100, 12, 31));
    timeOn = new QCheckBox(Text(kIdsEdAt));
    time = new QTimeEdit;
    if (services.settings != nullptr) {
        ApplyPickerFormat(date, services.settings->DateFormatList, false);
        ApplyPickerFormat(time, services.settings->TimeFormatList, true);
    }
    grid->addWidget(deadline, row, 0);
    grid->addWidget(date, row, 1);
    grid->addWidget(timeOn, row, 2);
    grid->addWidget(time, row++, 3);

    forewarn = new QCheckBox(Text(kIdsTdForewarn));
    span = new QComboBox;
    span->setEditable(true);
    span->setInsertPolicy(QComboBox::NoInsert);
    span->addItems({"1", "2", "3", "4", "5", "10", "15", "30", "45"});
    unit = new QComboBox;
    FillList(unit, kIdsEdUnits);
    auto* forewarnRow = new QHBoxLayout;
    forewarnRow->addWidget(span);
    forewarnRow->addWidget(unit);
    forewarnRow->addStretch(1);
    grid->addWidget(forewarn, row, 0);
    grid->addLayout(forewarnRow, row++, 1, 1, 3);

    auto* priorityBox = new QGroupBox(Text(kIdsTdPriority));
    auto* priorityRow = new QHBoxLayout(priorityBox);
    priority = new QButtonGroup(this);
    for (int i = 0; i < 10; ++i) {
        auto* button = new QRadioButton(QString::number(i + 1));
        priority->addButton(button, i);
        priorityRow->addWidget(button);
    }
    grid->addWidget(priorityBox, row++, 0, 1, 5);

    associate = new QCheckBox(Text(kIdsTdAssociate));
    documentFile = new QLineEdit;
    browse = new QPushButton(Text(kIdsEdBrowse));
    browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    grid->addWidget(associate, row, 0);
    grid->addWidget(documentFile, row, 1, 1, 3);
    grid->addWidget(browse, row++, 4);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CTodoEditDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTodoEditDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    // Show the data, then the enabling rules once.
    group->setCurrentText(QString::fromStdString(data.Group));
    description->setText(QString::fromStdString(data.Description));
    notes->setPlainText(QString::fromStdString(data.Notes));
    share->setChecked(data.StorageType == 1);
    deadline->setChecked(data.ShowDeadline != 0);
    ShowDateTime(date, time, data.Deadline);
    timeOn->setChecked(data.ShowDeadlineTime != 0);
    forewarn->setChecked(data.Forewarn != 0);
    span->setEditText(QString::number(data.ForewarnSpan));
    unit->setCurrentIndex(data.ForewarnUnit);
    if (QAbstractButton* button = priority->button(data.Priority - 1)) {
        button->setChecked(true);
    }
    associate->setChecked(data.AssociateDocumentFile != 0);
    documentFile->setText(QString::fromStdString(data.DocumentFile));
    UpdateEnabling();

    for (QCheckBox* box : {deadline, timeOn, forewarn, associate}) {
        connect(box, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
    }
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString path =
            editor::BrowseFrom(m_services, this, kIdsAllFilesFilter, documentFile->text());
        if (!path.isEmpty()) {
            documentFile->setText(path);
        }
    });
    description->setFocus();
}

void CTodoEditDlg::ShowAsNew() {
    setWindowTitle(Text(kIdsTdTitleNew));
    if (group->currentText().isEmpty() && group->count() > 0) {
        group->setCurrentIndex(0);
    }
}

void CTodoEditDlg::UpdateEnabling() {
    share->setEnabled(m_services.settings == nullptr || m_services.settings->NetworkFunction != 0);
    const bool withDeadline = deadline->isChecked();
    date->setEnabled(withDeadline);
    timeOn->setEnabled(withDeadline);
    forewarn->setEnabled(withDeadline);
    time->setEnabled(withDeadline && timeOn->isChecked());
    span->setEnabled(withDeadline && forewarn->isChecked());
    unit->setEnabled(withDeadline && forewarn->isChecked());
    documentFile->setEnabled(associate->isChecked());
    browse->setEnabled(associate->isChecked());
}

void CTodoEditDlg::accept() {
    const auto refuse = [this](uint32_t message, QWidget* focus) {
        if (m_services.prompt != nullptr) {
            m_services.prompt->ShowMessage(LoadString(message), PromptIcon::Exclamation);
        }
        focus->setFocus();
    };
    if (group->currentText().isEmpty()) {
        refuse(kIdsNeedTodoGroup, group);
        return;
    }
    if (description->text().isEmpty()) {
        refuse(kIdsNeedDescriptionOrStart, description);
        return;
    }
    m_data.Group = group->currentText().toStdString();
    m_data.Description = description->text().toStdString();
    m_data.Notes = notes->toPlainText().toStdString();
    m_data.StorageType = share->isChecked() ? 1 : 0;
    m_data.ShowDeadline = deadline->isChecked() ? 1 : 0;
    m_data.ShowDeadlineTime = timeOn->isChecked() ? 1 : 0;
    // A deadline without a time of day is the date alone, not the moment the to-do was made.
    m_data.Deadline = m_data.ShowDeadlineTime != 0 ? PickedDateTime(date, time)
                                                   : PickedDateTime(date, time).GetDate();
    m_data.Forewarn = forewarn->isChecked() ? 1 : 0;
    m_data.ForewarnSpan = ReadNumber(span->currentText());
    m_data.ForewarnUnit = std::max(0, unit->currentIndex());
    m_data.Priority = std::max(0, priority->checkedId()) + 1;
    m_data.AssociateDocumentFile = associate->isChecked() ? 1 : 0;
    m_data.DocumentFile = documentFile->text().toStdString();
    QDialog::accept();
}

} // namespace dv
