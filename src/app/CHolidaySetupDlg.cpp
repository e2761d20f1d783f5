#include "app/CHolidaySetupDlg.h"

#include "app/CDayvaultApp.h"
#include "app/CMainFrame.h"
#include "app/UiText.h"
#include "core/CDateTime.h"
#include "core/LocaleNames.h"
#include "core/Prompt.h"
#include "format/StringIds.h"
#include "holidays/CHolidayModuleSet.h"
#include "settings/CSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <set>
#include <stdexcept>

namespace dv {

namespace {

constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2100;
constexpr int kFileColumnWidth = 100;

QString ModuleName(const QTreeWidgetItem* item) {
    return item->data(0, Qt::UserRole).toString();
}

QString LanguageText(uint32_t language) {
    const std::string name = GetLocaleNames().LanguageName(language);
    if (!name.empty()) {
        return QString::fromStdString(name);
    }
    return QStringLiteral("0x%1").arg(language, 4, 16, QLatin1Char('0'));
}

bool Contains(const NameList& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

} // namespace

CHolidaySetupDlg::CHolidaySetupDlg(const CHolidaySettings& settings, const CSettings& display,
                                   const CHolidayModuleSet& moduleSet, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_dateFormat(display.DateFormat) {
    setWindowTitle(Text(kIdsHolTitle));
    BuildLayout();
    ColourNotes();
    belowDate->setChecked(display.HolidayDisplayBelowDate);
    showLanguage->setChecked(display.HolidayShowLanguage);
    FillModules(moduleSet);
    if (modules->topLevelItemCount() > 0) {
        modules->setCurrentItem(modules->topLevelItem(0));
    }
    OnModuleSelected();
}

void CHolidaySetupDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        ColourNotes(); // a light or dark theme was chosen meanwhile
    }
}

// The unreadable modules in a warning colour that stays readable on light and dark windows.
void CHolidaySetupDlg::ColourNotes() {
    QPalette warning = problems->palette();
    warning.setColor(QPalette::WindowText, palette().color(QPalette::Window).lightness() < 128
                                               ? QColor(255, 150, 120)
                                               : QColor(170, 20, 20));
    problems->setPalette(warning);
}

void CHolidaySetupDlg::BuildLayout() {
    auto* layout = new QVBoxLayout(this);
    auto* lists = new QHBoxLayout;
    layout->addLayout(lists, 3);

    auto* moduleBox = new QGroupBox(Text(kIdsHolModules), this);
    auto* moduleLayout = new QVBoxLayout(moduleBox);
    modules = new QTreeWidget(moduleBox);
    modules->setRootIsDecorated(false);
    modules->setSelectionMode(QAbstractItemView::SingleSelection);
    modules->setSelectionBehavior(QAbstractItemView::SelectRows);
    modules->setHeaderLabels({Text(kIdsModuleColumnFile), Text(kIdsModuleColumnLanguage)});
    modules->header()->setStretchLastSection(true);
    modules->setColumnWidth(0, kFileColumnWidth);
    moduleLayout->addWidget(modules);
    auto* moveRow = new QHBoxLayout;
    up = new QPushButton(Text(kIdsHolUp), moduleBox);
    down = new QPushButton(Text(kIdsHolDown), moduleBox);
    moveRow->addWidget(up);
    moveRow->addWidget(down);
    moveRow->addStretch(1);
    moduleLayout->addLayout(moveRow);
    lists->addWidget(moduleBox, 1);

    auto* holidayBox = new QGroupBox(Text(kIdsHolHolidays), this);
    auto* holidayLayout = new QVBoxLayout(holidayBox);
    holidays = new QTreeWidget(holidayBox);
    holidays->setRootIsDecorated(false);
    holidays->setHeaderLabels({Text(kIdsHolColumnHoliday), Text(kIdsHolColumnName)});
    holidays->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    holidays->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    holidays->header()->setStretchLastSection(false);
    holidayLayout->addWidget(holidays);
    auto* switchRow = new QHBoxLayout;
    all = new QPushButton(Text(kIdsHolAll), holidayBox);
    none = new QPushButton(Text(kIdsHolNone), holidayBox);
    switchRow->addWidget(all);
    switchRow->addWidget(none);
    switchRow->addStretch(1);
    holidayLayout->addLayout(switchRow);
    lists->addWidget(holidayBox, 1);

    auto* previewBox = new QGroupBox(Text(kIdsHolPreview), this);
    auto* previewLayout = new QVBoxLayout(previewBox);
    auto* yearRow = new QHBoxLayout;
    auto* yearLabel = new QLabel(Text(kIdsHolYear), previewBox);
    year = new QComboBox(previewBox);
    for (int y = kFirstYear; y <= kLastYear; ++y) {
        year->addItem(QString::number(y), y);
    }
    year->setCurrentIndex(std::clamp(CDateTime::Now().GetYear(), kFirstYear, kLastYear) -
                          kFirstYear);
    yearLabel->setBuddy(year);
    yearRow->addWidget(yearLabel);
    yearRow->addWidget(year);
    yearRow->addStretch(1);
    previewLayout->addLayout(yearRow);
    preview = new QPlainTextEdit(previewBox);
    preview->setReadOnly(true);
    preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    preview->setMinimumHeight(6 * preview->fontMetrics().lineSpacing());
    previewLayout->addWidget(preview);
    layout->addWidget(previewBox, 2);

    auto* displayBox = new QGroupBox(Text(kIdsHolDisplay), this);
    auto* displayLayout = new QVBoxLayout(displayBox);
    belowDate = new QCheckBox(Text(kIdsHolBelowDate), displayBox);
    showLanguage = new QCheckBox(Text(kIdsHolShowLanguage), displayBox);
    displayLayout->addWidget(belowDate);
    displayLayout->addWidget(showLanguage);
    layout->addWidget(displayBox);

    problems = new QLabel(this);
    problems->setTextFormat(Qt::PlainText);
    problems->setWordWrap(true);
    problems->setTextInteractionFlags(Qt::TextSelectableByMouse);
    problems->hide();
    layout->addWidget(problems);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CHolidaySetupDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(modules, &QTreeWidget::currentItemChanged, this, &CHolidaySetupDlg::OnModuleSelected);
    connect(holidays, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int) { OnHolidayChanged(item); });
    connect(up, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(down, &QPushButton::clicked, this, [this] { Move(+1); });
    connect(all, &QPushButton::clicked, this, [this] { SetAllHolidays(true); });
    connect(none, &QPushButton::clicked, this, [this] { SetAllHolidays(false); });
    connect(year, &QComboBox::currentIndexChanged, this, &CHolidaySetupDlg::RefreshPreview);
    resize(860, 680);
}

// ModuleOrder's readable modules first, then the rest of the folder in scan order. Each file is
// read here once, so the lists and the preview show what OK will load.
void CHolidaySetupDlg::FillModules(const CHolidayModuleSet& moduleSet) {
    std::vector<std::string> names = m_settings.ModuleOrder;
    for (const std::string& name : moduleSet.Scan()) {
        if (!Contains(names, name)) {
            names.push_back(name);
        }
    }
    QStringList unreadable;
    std::set<std::string> seen;
    for (const std::string& name : names) {
        if (!seen.insert(name).second) {
            continue; // a name listed twice in the settings is listed once
        }
        CHolidays module;
        try {
            if (!CHolidayModuleSet::IsValidModuleName(name)) {
                throw std::invalid_argument("\"" + name + "\" is not a holiday module name");
            }
            module.ReadModuleFile(moduleSet.ModulePath(name));
        } catch (const std::exception& error) {
            unreadable << QString::fromStdString(FormatString(kIdsHolUnreadable, error.what()));
            continue;
        }
        auto* item = new QTreeWidgetItem(modules);
        item->setText(0, QString::fromStdString(name));
        item->setData(0, Qt::UserRole, QString::fromStdString(name));
        item->setText(1, LanguageText(module.GetLanguage()));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0,
                            Contains(m_settings.ActiveModules, name) ? Qt::Checked : Qt::Unchecked);
        m_files.emplace(name, std::move(module));
    }
    // At least the customary width, wider when a name would be cut.
    modules->resizeColumnToContents(0);
    modules->setColumnWidth(0, std::max(kFileColumnWidth, modules->columnWidth(0)));
    problems->setText(unreadable.join(QLatin1Char('\n')));
    problems->setVisible(!unreadable.isEmpty());
}

std::string CHolidaySetupDlg::SelectedModule() const {
    const QTreeWidgetItem* item = modules->currentItem();
    return item ? ModuleName(item).toStdString() : std::string();
}

// The holidays list of the selected module: one row per holiday name that can show on a day
// (reference-only dates never do), checked unless switched off.
void CHolidaySetupDlg::OnModuleSelected() {
    m_filling = true;
    holidays->clear();
    const std::string module = SelectedModule();
    if (const auto found = m_files.find(module); found != m_files.end()) {
        std::set<std::string> listed;
        for (const HolidayDefinition& holiday : found->second.GetHolidays()) {
            if (holiday.referenceOnly != 0 || !listed.insert(holiday.name).second) {
                continue;
            }
            auto* item = new QTreeWidgetItem(holidays);
            item->setText(0, QString::fromStdString(holiday.displayText));
            item->setText(1, QString::fromStdString(holiday.name));
            item->setData(0, Qt::UserRole, QString::fromStdString(holiday.name));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(0, m_settings.IsActive(module, holiday.name) ? Qt::Checked
                                                                             : Qt::Unchecked);
        }
    }
    m_filling = false;
    UpdateButtons();
    RefreshPreview();
}

void CHolidaySetupDlg::OnHolidayChanged(QTreeWidgetItem* item) {
    if (m_filling) {
        return;
    }
    m_settings.SetActive(SelectedModule(), item->data(0, Qt::UserRole).toString().toStdString(),
                         item->checkState(0) == Qt::Checked);
    RefreshPreview();
}

void CHolidaySetupDlg::SetAllHolidays(bool on) {
    for (int i = 0; i < holidays->topLevelItemCount(); ++i) {
        holidays->topLevelItem(i)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
    }
}

void CHolidaySetupDlg::Move(int step) {
    QTreeWidgetItem* item = modules->currentItem();
    if (!item) {
        return;
    }
    const int from = modules->indexOfTopLevelItem(item);
    const int to = from + step;
    if (to < 0 || to >= modules->topLevelItemCount()) {
        return;
    }
    // Taking the item out would move the selection and refill the holidays list; it comes back
    // selected as it was.
    const QSignalBlocker blocker(modules);
    modules->takeTopLevelItem(from);
    modules->insertTopLevelItem(to, item);
    modules->setCurrentItem(item);
    UpdateButtons();
}

void CHolidaySetupDlg::UpdateButtons() {
    QTreeWidgetItem* item = modules->currentItem();
    const int index = item ? modules->indexOfTopLevelItem(item) : -1;
    up->setEnabled(index > 0);
    down->setEnabled(index >= 0 && index + 1 < modules->topLevelItemCount());
    all->setEnabled(holidays->topLevelItemCount() > 0);
    none->setEnabled(holidays->topLevelItemCount() > 0);
}

// The selected module's holidays of the chosen year, one line each: the date, a tab, the
// display text, and a mark for the switched-off ones.
void CHolidaySetupDlg::RefreshPreview() {
    const std::string module = SelectedModule();
    const auto found = m_files.find(module);
    if (found == m_files.end()) {
        preview->clear();
        return;
    }
    const int shownYear = year->currentData().toInt();
    const std::string dateFormat = "%a, " + m_dateFormat;
    QStringList lines;
    int dateWidth = 0;
    const QFontMetrics metrics = preview->fontMetrics();
    for (const HolidayOfYear& holiday : found->second.ListYear(shownYear)) {
        const QString date = QString::fromStdString(holiday.date.Format(dateFormat));
        dateWidth = std::max(dateWidth, metrics.horizontalAdvance(date));
        QString line = date + QLatin1Char('\t') + QString::fromStdString(holiday.displayText);
        if (!m_settings.IsActive(module, holiday.name)) {
            line += QLatin1Char(' ') + Text(kIdsHolSwitchedOff);
        }
        lines << line;
    }
    if (lines.isEmpty()) {
        lines << QString::fromStdString(FormatString(kIdsHolNoneInYear, std::to_string(shownYear)));
    }
    preview->setTabStopDistance(dateWidth + 3 * metrics.averageCharWidth());
    preview->setPlainText(lines.join(QLatin1Char('\n')));
}

bool CHolidaySetupDlg::HolidayDisplayBelowDate() const {
    return belowDate->isChecked();
}

bool CHolidaySetupDlg::HolidayShowLanguage() const {
    return showLanguage->isChecked();
}

void CHolidaySetupDlg::accept() {
    m_settings.ModuleOrder.clear();
    m_settings.ActiveModules.clear();
    for (int i = 0; i < modules->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = modules->topLevelItem(i);
        const std::string name = ModuleName(item).toStdString();
        m_settings.ModuleOrder.push_back(name);
        if (item->checkState(0) == Qt::Checked) {
            m_settings.ActiveModules.push_back(name);
        }
    }
    // The switched-off lists of modules no longer listed go with them, as the store drops them.
    std::erase_if(m_settings.Deactivated, [this](const auto& entry) {
        return !Contains(m_settings.ModuleOrder, entry.first);
    });
    QDialog::accept();
}

// ---- The command -------------------------------------------------------------------------------

void RunHolidaySetupCommand(CDayvaultApp& app, CMainFrame& frame) {
    CHolidaySetupDlg dialog(app.HolidaySettings(), app.Settings(), app.Holidays(), &frame);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    CHolidaySettings& holidaySettings = app.HolidaySettings();
    holidaySettings = dialog.GetSettings();
    try {
        holidaySettings.Save(app.Store());
    } catch (const std::exception& error) {
        app.Prompt().ShowMessage(FormatString(kIdsHolCannotStore, error.what()), PromptIcon::Stop);
    }
    CSettings& settings = app.Settings();
    const bool displayChanged =
        settings.HolidayDisplayBelowDate != dialog.HolidayDisplayBelowDate() ||
        settings.HolidayShowLanguage != dialog.HolidayShowLanguage();
    if (displayChanged) {
        settings.HolidayDisplayBelowDate = dialog.HolidayDisplayBelowDate();
        settings.HolidayShowLanguage = dialog.HolidayShowLanguage();
        app.SaveSettings();
    }
    CHolidayModuleSet& moduleSet = app.Holidays();
    moduleSet.UnloadAll();
    const std::vector<std::string> failed = moduleSet.LoadModules(holidaySettings.ActiveModules);
    if (!failed.empty()) {
        std::string list;
        for (const std::string& problem : failed) {
            list += (list.empty() ? "" : "\n") + problem;
        }
        app.Prompt().ShowMessage(FormatString(kIdsHolLoadFailed, list), PromptIcon::Exclamation);
    }
    app.Document().UpdateAllViews(UpdateHint::Merged);
    if (displayChanged) {
        app.Document().UpdateAllViews(UpdateHint::OptionsChanged);
    }
}

} // namespace dv
