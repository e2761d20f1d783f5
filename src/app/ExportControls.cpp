#include "app/ExportControls.h"

#include "app/CDayvaultApp.h"
#include "app/CMainFrame.h"
#include "app/EditorControls.h"
#include "app/UiText.h"
#include "core/Prompt.h"
#include "format/StringIds.h"
#include "format/StringTable.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <set>

namespace dv {

namespace {

constexpr int kFieldRole = Qt::UserRole;

} // namespace

ExportServices ExportServicesOf(CDayvaultApp& app, CMainFrame& frame) {
    ExportServices services;
    services.doc = &app.Document();
    services.settings = &app.Settings();
    services.saveSettings = [&app] { app.SaveSettings(); };
    services.holidays = &app.Holidays();
    services.holidaySettings = &app.HolidaySettings();
    services.prompt = &app.Prompt();
    services.fileDialogs = &app.FileDialogs();
    services.launcher = &frame.Launcher();
    services.programFolder = app.Environment().ProgramFolder;
    services.showHidden = frame.ShowHiddenEvents();
    return services;
}

QComboBox* ExportLengthBox(int initial) {
    QComboBox* box = editor::CountBox(Text(kIdsExpLengths).split(QLatin1Char('|')));
    box->setMinimumContentsLength(6);
    editor::ShowCount(box, initial);
    return box;
}

std::optional<int> ParseExportLength(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^\\s*\\d{1,9}\\s*$"));
    if (!digits.match(text).hasMatch()) {
        return std::nullopt;
    }
    const int value = text.trimmed().toInt();
    if (value < 1 || value > kExportMaxLength) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ReadExportLength(QComboBox* box, IPrompt* prompt) {
    const std::optional<int> length = ParseExportLength(box->currentText());
    if (!length) {
        if (prompt != nullptr) {
            prompt->ShowMessage(FormatString(kIdsExpLengthRange, box->currentText().toStdString()),
                                PromptIcon::Exclamation);
        }
        box->setFocus();
    }
    return length;
}

QDateEdit* ExportDatePicker(const CDateTime& initial, const std::string& format) {
    auto* picker = new QDateEdit;
    picker->setCalendarPopup(true);
    picker->setMinimumDate(QDate(1900, 1, 1));
    picker->setMaximumDate(QDate(2100, 12, 31));
    ApplyPickerFormat(picker, format, false);
    picker->setDate(QDate(initial.GetYear(), initial.GetMonth(), initial.GetDay()));
    return picker;
}

CDateTime PickedDay(const QDateEdit* picker) {
    const QDate date = picker->date();
    return CDateTime(date.year(), date.month(), date.day(), 0, 0, 0);
}

QString ExportRangeText(const CDateTime& first, const CDateTime& last, const std::string& format) {
    return QString::fromStdString(first.Format(format) + " - " + last.Format(format));
}

QWidget* PageWithDefault(QLayout* content, const std::function<void()>& restore,
                         QPushButton** button) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(content);
    layout->addStretch();
    auto* row = new QHBoxLayout;
    auto* defaults = new QPushButton(Text(kIdsExpDefault));
    QObject::connect(defaults, &QPushButton::clicked, page, restore);
    row->addStretch();
    row->addWidget(defaults);
    layout->addLayout(row);
    if (button != nullptr) {
        *button = defaults;
    }
    return page;
}

std::string ReasonWithoutPath(const std::string& reason, const std::filesystem::path& path) {
    const std::string prefix = path.string() + ": ";
    return reason.starts_with(prefix) ? reason.substr(prefix.size()) : reason;
}

QString FormatToEdit(const std::string& format) {
    QString text = QString::fromStdString(format);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::string FormatFromEdit(const QString& text) {
    QString format = text;
    format.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    format.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return format.toStdString();
}

// ---- The column list ---------------------------------------------------------------------------

CExportFieldList::CExportFieldList(const QStringList& labels, bool withNames, QWidget* parent)
    : QWidget(parent), m_count(static_cast<int>(labels.size())) {
    list = new QTreeWidget;
    list->setRootIsDecorated(false);
    list->setColumnCount(withNames ? 2 : 1);
    list->setHeaderLabels(withNames ? QStringList{Text(kIdsExpFieldColumn), Text(kIdsExpNameColumn)}
                                    : QStringList{Text(kIdsExpFieldColumn)});
    list->setHeaderHidden(!withNames);
    for (int field = 0; field < m_count; ++field) {
        auto* item = new QTreeWidgetItem(list, QStringList{labels[field]});
        item->setData(0, kFieldRole, field);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
    }
    if (withNames) {
        list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    }
    // Tall enough for every field and no taller: the list never scrolls.
    const int rows = std::max(m_count, 1);
    list->setFixedHeight(list->sizeHintForRow(0) * (rows + (withNames ? 1 : 0)) +
                         2 * list->frameWidth() + 8);

    up = new QPushButton(Text(kIdsExpMoveUp));
    down = new QPushButton(Text(kIdsExpMoveDown));
    connect(up, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(down, &QPushButton::clicked, this, [this] { Move(+1); });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(up);
    buttons->addWidget(down);
    buttons->addStretch();
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(list, 0, 0, 1, 2);
    grid->addLayout(buttons, 0, 2);
    if (withNames) {
        name = new QLineEdit;
        auto* label = new QLabel(Text(kIdsExpColumnName));
        label->setBuddy(name);
        grid->addWidget(label, 1, 0);
        grid->addWidget(name, 1, 1);
        connect(name, &QLineEdit::textEdited, this, [this](const QString& text) {
            if (QTreeWidgetItem* item = list->currentItem()) {
                item->setText(1, text);
            }
        });
    }
    grid->setColumnStretch(1, 1);
    connect(list, &QTreeWidget::currentItemChanged, this, [this] { ShowCurrentName(); });
}

void CExportFieldList::SetColumns(const FlagList& fields, const NumberList& order,
                                  const NameList& names) {
    std::vector<QTreeWidgetItem*> byField(m_count);
    while (list->topLevelItemCount() > 0) {
        QTreeWidgetItem* item = list->takeTopLevelItem(0);
        byField[item->data(0, kFieldRole).toInt()] = item;
    }
    std::set<int> placed;
    const auto place = [&](int field, bool inOrder) {
        QTreeWidgetItem* item = byField[field];
        const bool on = inOrder && field < static_cast<int>(fields.size()) && fields[field];
        item->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
        if (list->columnCount() > 1) {
            item->setText(1, field < static_cast<int>(names.size())
                                 ? QString::fromStdString(names[field])
                                 : QString());
        }
        list->addTopLevelItem(item);
        placed.insert(field);
    };
    for (int32_t field : order) {
        if (field >= 0 && field < m_count && !placed.contains(field)) {
            place(field, true);
        }
    }
    for (int field = 0; field < m_count; ++field) {
        if (!placed.contains(field)) {
            place(field, false);
        }
    }
    list->setCurrentItem(list->topLevelItem(0));
    ShowCurrentName();
}

FlagList CExportFieldList::Fields() const {
    FlagList flags(m_count, false);
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        flags[item->data(0, kFieldRole).toInt()] = item->checkState(0) == Qt::Checked;
    }
    return flags;
}

NumberList CExportFieldList::Order() const {
    NumberList order;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        order.push_back(list->topLevelItem(row)->data(0, kFieldRole).toInt());
    }
    return order;
}

NameList CExportFieldList::Names() const {
    NameList names(m_count);
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        names[item->data(0, kFieldRole).toInt()] = item->text(1).toStdString();
    }
    return names;
}

void CExportFieldList::Move(int step) {
    QTreeWidgetItem* item = list->currentItem();
    if (item == nullptr) {
        return;
    }
    const int row = list->indexOfTopLevelItem(item);
    const int target = row + step;
    if (target < 0 || target >= list->topLevelItemCount()) {
        return;
    }
    list->takeTopLevelItem(row);
    list->insertTopLevelItem(target, item);
    list->setCurrentItem(item);
}

void CExportFieldList::ShowCurrentName() {
    QTreeWidgetItem* item = list->currentItem();
    const int row = item != nullptr ? list->indexOfTopLevelItem(item) : -1;
    up->setEnabled(row > 0);
    down->setEnabled(row >= 0 && row + 1 < list->topLevelItemCount());
    if (name != nullptr) {
        name->setText(item != nullptr ? item->text(1) : QString());
        name->setEnabled(item != nullptr);
    }
}

} // namespace dv
