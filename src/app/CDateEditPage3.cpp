#include "app/CDateEditPage3.h"

#include "format/StringIds.h"
#include "format/StringTable.h"
#include "settings/CSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace dv {

using namespace editor;

// ---- Page "Action" ---------------------------------------------------------------------------

CDateEditPage3::CDateEditPage3(const EditorServices& services) : m_services(services) {
    auto* layout = new QVBoxLayout(this);
    const auto browseButton = [] {
        auto* button = new QPushButton(Text(kIdsEdBrowse));
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
        return button;
    };

    auto* actionBox = new QGroupBox(Text(kIdsEdPageAction));
    auto* grid = new QGridLayout(actionBox);
    action = new QButtonGroup(this);
    ackOpen = new QCheckBox(Text(kIdsEdAckOpen));
    document = new QLineEdit;
    documentBrowse = browseButton();
    ackExecute = new QCheckBox(Text(kIdsEdAckExecute));
    command = new QLineEdit;
    commandBrowse = browseButton();
    parameter = new QLineEdit;
    parameterBrowse = browseButton();
    grid->addWidget(Radio(action, kIdsEdActionNone, 0), 0, 0);
    grid->addWidget(Radio(action, kIdsEdActionDocument, 1), 1, 0);
    grid->addWidget(document, 1, 1);
    grid->addWidget(documentBrowse, 1, 2);
    grid->addWidget(ackOpen, 1, 3);
    grid->addWidget(Radio(action, kIdsEdActionCommand, 2), 2, 0);
    grid->addWidget(command, 2, 1);
    grid->addWidget(commandBrowse, 2, 2);
    grid->addWidget(ackExecute, 2, 3);
    auto* parameterLabel = new QLabel(Text(kIdsEdParameter));
    parameterLabel->setBuddy(parameter);
    grid->addWidget(parameterLabel, 3, 0, Qt::AlignRight);
    grid->addWidget(parameter, 3, 1);
    grid->addWidget(parameterBrowse, 3, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(actionBox);

    const QStringList spans{"1", "2", "3", "4", "5", "10", "15", "30", "45"};
    auto* overdueBox = new QGroupBox(Text(kIdsEdOverdue));
    auto* overdueGrid = new QGridLayout(overdueBox);
    overdue = new QButtonGroup(this);
    executeSpan = CountBox(spans);
    executeUnit = ListBox(kIdsEdUnits);
    overdueGrid->addWidget(Radio(overdue, kIdsEdNormalExecution, 0), 0, 0);
    overdueGrid->addWidget(Radio(overdue, kIdsEdExecuteWithin, 1), 1, 0);
    overdueGrid->addWidget(executeSpan, 1, 1);
    overdueGrid->addWidget(executeUnit, 1, 2);
    overdueGrid->addWidget(Radio(overdue, kIdsEdBeforeNext, 2), 2, 0);
    overdueGrid->addWidget(Radio(overdue, kIdsEdDoNotExecute, 3), 3, 0);
    overdueGrid->setColumnStretch(3, 1);
    layout->addWidget(overdueBox);

    auto* snoozeBox = new QGroupBox(Text(kIdsEdSnooze));
    auto* snoozeGrid = new QGridLayout(snoozeBox);
    snoozeType = new QButtonGroup(this);
    snoozeSpan = CountBox(spans);
    snoozeUnit = ListBox(kIdsEdUnits);
    snoozeGrid->addWidget(snoozeSpan, 0, 0);
    snoozeGrid->addWidget(snoozeUnit, 0, 1);
    snoozeGrid->addWidget(Radio(snoozeType, kIdsEdFromReminder, 0), 0, 2);
    snoozeGrid->addWidget(Radio(snoozeType, kIdsEdBeforeEvent, 1), 0, 3);
    snoozeGrid->setColumnStretch(4, 1);
    layout->addWidget(snoozeBox);
    layout->addStretch(1);

    for (QButtonGroup* group : {action, overdue}) {
        connect(group, &QButtonGroup::idToggled, this, [this] { UpdateEnabling(); });
    }
    connect(documentBrowse, &QPushButton::clicked, this, [this] {
        const QString path = BrowseFrom(m_services, this, kIdsAllFilesFilter, document->text());
        if (!path.isEmpty()) {
            document->setText(path);
        }
    });
    connect(commandBrowse, &QPushButton::clicked, this, [this] {
        const QString path = BrowseFrom(m_services, this, kIdsEdExecutableFilter, command->text());
        if (!path.isEmpty()) {
            command->setText(path);
        }
    });
    connect(parameterBrowse, &QPushButton::clicked, this, [this] {
        const int caret = parameter->cursorPosition();
        const QString path = BrowseFrom(m_services, this, kIdsAllFilesFilter, QString());
        if (!path.isEmpty()) {
            parameter->setText(parameter->text().insert(caret, path));
            parameter->setCursorPosition(caret + static_cast<int>(path.size()));
        }
    });
}

void CDateEditPage3::ShowData(const DateData& data) {
    Check(action, data.Action);
    ackOpen->setChecked(data.AckOpen != 0);
    document->setText(QString::fromStdString(data.DocumentFile));
    ackExecute->setChecked(data.AckExecute != 0);
    command->setText(QString::fromStdString(data.CmdLine));
    parameter->setText(QString::fromStdString(data.Parameter));
    Check(overdue, data.OverdueAction);
    ShowCount(executeSpan, data.ExecuteSpan);
    executeUnit->setCurrentIndex(data.ExecuteUnit);
    Check(snoozeType, data.SnoozeType);
    ShowCount(snoozeSpan, data.SnoozeSpan);
    snoozeUnit->setCurrentIndex(data.SnoozeUnit);
    UpdateEnabling();
}

void CDateEditPage3::StoreData(DateData& data) const {
    data.Action = Checked(action);
    data.AckOpen = ackOpen->isChecked() ? 1 : 0;
    data.DocumentFile = document->text().toStdString();
    data.AckExecute = ackExecute->isChecked() ? 1 : 0;
    data.CmdLine = command->text().toStdString();
    data.Parameter = parameter->text().toStdString();
    data.OverdueAction = Checked(overdue);
    data.ExecuteSpan = ReadCount(executeSpan->currentText());
    data.ExecuteUnit = std::max(0, executeUnit->currentIndex());
    data.SnoozeType = Checked(snoozeType);
    data.SnoozeSpan = ReadCount(snoozeSpan->currentText());
    data.SnoozeUnit = std::max(0, snoozeUnit->currentIndex());
}

void CDateEditPage3::UpdateEnabling() {
    const int kind = Checked(action);
    for (QWidget* widget : std::initializer_list<QWidget*>{ackOpen, document, documentBrowse}) {
        widget->setEnabled(kind == 1);
    }
    for (QWidget* widget : std::initializer_list<QWidget*>{ackExecute, command, commandBrowse,
                                                           parameter, parameterBrowse}) {
        widget->setEnabled(kind == 2);
    }
    executeSpan->setEnabled(Checked(overdue) == 1);
    executeUnit->setEnabled(Checked(overdue) == 1);
}

} // namespace dv
