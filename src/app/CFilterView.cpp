#include "app/CFilterView.h"

#include "app/UiText.h"
#include "app/WidgetLifetime.h"
#include "core/CTodoEntry.h"
#include "document/CDayvaultDoc.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "settings/CSettings.h"
#include "settings/CWindowSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace dv {

namespace {

// Events looked at between two turns of the event loop: a few milliseconds of work, so that
// typing stays fluent while a search runs.
constexpr int kSearchSlice = 2000;

QDate ToQDate(const CDateTime& date) {
    return QDate(date.GetYear(), date.GetMonth(), date.GetDay());
}

CDateTime FromQDate(const QDate& date) {
    return CDateTime(date.year(), date.month(), date.day());
}

} // namespace

CFilterView::CFilterView(const FilterViewHost& host, QWidget* parent)
    : QWidget(parent), m_host(host) {
    m_searchTimer.setSingleShot(true);
    m_searchTimer.setInterval(0);
    connect(&m_searchTimer, &QTimer::timeout, this, &CFilterView::RunSearchSlice);
    Build();
    m_host.doc->AddObserver(*this);
    Load();
}

CFilterView::~CFilterView() {
    m_host.doc->RemoveObserver(*this);
    DisconnectChildren(*this);
}

// ---- Building --------------------------------------------------------------------------------

void CFilterView::Build() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_switch = new QCheckBox(Text(kIdsFilterSwitch), this);
    m_switch->setObjectName(QStringLiteral("FilterSwitch"));
    connect(m_switch, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_loading) {
            m_host.doc->SetFilterSwitch(on);
        }
    });
    layout->addWidget(m_switch);
    layout->addWidget(BuildCategoryGroup(), 1);
    layout->addWidget(BuildContentGroup());
    layout->addWidget(BuildStateGroup());
    layout->addWidget(BuildSearchGroup(), 2);
}

QGroupBox* CFilterView::BuildCategoryGroup() {
    m_categoryBox = new QGroupBox(Text(kIdsFilterCategories), this);
    m_categoryBox->setObjectName(QStringLiteral("CategoryFilter"));
    m_categoryBox->setCheckable(true);
    auto* layout = new QVBoxLayout(m_categoryBox);
    m_names = new QListWidget(m_categoryBox);
    m_names->setObjectName(QStringLiteral("FilterNames"));
    m_names->setAccessibleName(Text(kIdsFilterNames));
    layout->addWidget(m_names);
    auto* buttons = new QHBoxLayout;
    m_all = new QPushButton(Text(kIdsFilterAll), m_categoryBox);
    m_none = new QPushButton(Text(kIdsFilterNone), m_categoryBox);
    buttons->addWidget(m_all);
    buttons->addWidget(m_none);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(m_categoryBox, &QGroupBox::toggled, this, &CFilterView::Apply);
    connect(m_names, &QListWidget::itemChanged, this, &CFilterView::Apply);
    connect(m_all, &QPushButton::clicked, this, [this] { CheckAllNames(true); });
    connect(m_none, &QPushButton::clicked, this, [this] { CheckAllNames(false); });
    return m_categoryBox;
}

QGroupBox* CFilterView::BuildContentGroup() {
    m_contentBox = new QGroupBox(Text(kIdsFilterContent), this);
    m_contentBox->setObjectName(QStringLiteral("ContentFilter"));
    m_contentBox->setCheckable(true);
    auto* layout = new QVBoxLayout(m_contentBox);
    m_text = new QLineEdit(m_contentBox);
    m_text->setObjectName(QStringLiteral("FilterText"));
    m_text->setAccessibleName(Text(kIdsFilterContent));
    layout->addWidget(m_text);
    auto* scope = new QHBoxLayout;
    m_inDescription = new QCheckBox(Text(kIdsFilterInDescription), m_contentBox);
    m_inNotes = new QCheckBox(Text(kIdsFilterInNotes), m_contentBox);
    scope->addWidget(m_inDescription);
    scope->addWidget(m_inNotes);
    scope->addStretch();
    layout->addLayout(scope);
    auto* modes = new QHBoxLayout;
    auto* group = new QButtonGroup(m_contentBox);
    m_and = new QRadioButton(Text(kIdsFilterAnd), m_contentBox);
    m_or = new QRadioButton(Text(kIdsFilterOr), m_contentBox);
    m_exact = new QRadioButton(Text(kIdsFilterExact), m_contentBox);
    for (QRadioButton* button : {m_and, m_or, m_exact}) {
        group->addButton(button);
        modes->addWidget(button);
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on) {
                Apply();
            }
        });
    }
    modes->addStretch();
    layout->addLayout(modes);
    connect(m_contentBox, &QGroupBox::toggled, this, &CFilterView::Apply);
    connect(m_text, &QLineEdit::textChanged, this, &CFilterView::Apply);
    connect(m_inDescription, &QCheckBox::toggled, this, &CFilterView::Apply);
    connect(m_inNotes, &QCheckBox::toggled, this, &CFilterView::Apply);
    return m_contentBox;
}

QGroupBox* CFilterView::BuildStateGroup() {
    m_stateBox = new QGroupBox(Text(kIdsFilterState), this);
    m_stateBox->setObjectName(QStringLiteral("StateFilter"));
    m_stateBox->setCheckable(true);
    auto* layout = new QHBoxLayout(m_stateBox);
    m_done = new QCheckBox(Text(kIdsFilterDone), m_stateBox);
    m_undone = new QCheckBox(Text(kIdsFilterUndone), m_stateBox);
    m_snoozed = new QCheckBox(Text(kIdsFilterSnoozed), m_stateBox);
    for (QCheckBox* box : {m_done, m_undone, m_snoozed}) {
        layout->addWidget(box);
        connect(box, &QCheckBox::toggled, this, &CFilterView::Apply);
    }
    layout->addStretch();
    connect(m_stateBox, &QGroupBox::toggled, this, &CFilterView::Apply);
    return m_stateBox;
}

QGroupBox* CFilterView::BuildSearchGroup() {
    m_searchBox = new QGroupBox(Text(kIdsFilterSearch), this);
    m_searchBox->setObjectName(QStringLiteral("Search"));
    m_searchBox->setCheckable(true);
    m_searchBox->setChecked(false);
    auto* layout = new QVBoxLayout(m_searchBox);

    auto* kinds = new QButtonGroup(m_searchBox);
    m_byDates = new QRadioButton(m_searchBox);
    m_byDates->setAccessibleName(Text(kIdsFilterDateRange));
    m_byDates->setToolTip(Text(kIdsFilterDateRange));
    m_relative = new QRadioButton(m_searchBox);
    m_relative->setAccessibleName(Text(kIdsFilterRelativeRange));
    m_relative->setToolTip(Text(kIdsFilterRelativeRange));
    kinds->addButton(m_byDates);
    kinds->addButton(m_relative);
    m_byDates->setChecked(true);

    const QDate today = ToQDate(m_host.doc->GetNow());
    auto* dates = new QHBoxLayout;
    m_from = new QDateEdit(today, m_searchBox);
    m_to = new QDateEdit(today.addMonths(1), m_searchBox);
    for (QDateEdit* edit : {m_from, m_to}) {
        edit->setCalendarPopup(true);
        edit->setDateRange(QDate(1900, 1, 1), QDate(2100, 12, 31));
    }
    dates->addWidget(m_byDates);
    dates->addWidget(m_from, 1);
    dates->addWidget(new QLabel(Text(kIdsFilterRangeTo), m_searchBox));
    dates->addWidget(m_to, 1);
    layout->addLayout(dates);

    auto* relative = new QHBoxLayout;
    m_count = new QSpinBox(m_searchBox);
    m_count->setRange(1, 10);
    m_unit = new QComboBox(m_searchBox);
    m_unit->addItems({Text(kIdsFilterDays), Text(kIdsFilterWeeks)});
    m_direction = new QComboBox(m_searchBox);
    m_direction->addItems({Text(kIdsFilterFrom), Text(kIdsFilterAround), Text(kIdsFilterUpTo)});
    relative->addWidget(m_relative);
    relative->addWidget(m_count);
    relative->addWidget(m_unit);
    relative->addWidget(m_direction);
    relative->addWidget(new QLabel(Text(kIdsFilterToday), m_searchBox));
    relative->addStretch();
    layout->addLayout(relative);

    m_results = new QTreeWidget(m_searchBox);
    m_results->setObjectName(QStringLiteral("SearchResults"));
    m_results->setAccessibleName(Text(kIdsFilterResults));
    m_results->setRootIsDecorated(false);
    m_results->setUniformRowHeights(true);
    m_results->setAllColumnsShowFocus(true);
    m_results->setHeaderLabels({Text(kIdsColumnDate), Text(kIdsColumnDescription)});
    QHeaderView* header = m_results->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(0, Qt::AscendingOrder);
    header->setStretchLastSection(true);
    const CWindowSettings defaults;
    m_host.layout->SearchResultColumnWidths = CWindowSettings::FitColumns(
        m_host.layout->SearchResultColumnWidths, defaults.SearchResultColumnWidths);
    header->resizeSection(0, std::max(20, m_host.layout->SearchResultColumnWidths[0]));
    header->resizeSection(1, std::max(20, m_host.layout->SearchResultColumnWidths[1]));
    connect(header, &QHeaderView::sectionResized, this, &CFilterView::StoreResultWidths);
    connect(header, &QHeaderView::sectionClicked, this, &CFilterView::ClickResultColumn);
    connect(m_results, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { ActivateResult(item->data(0, Qt::UserRole).toInt()); });
    layout->addWidget(m_results, 1);
    m_countLine = new QLabel(m_searchBox);
    m_countLine->setObjectName(QStringLiteral("SearchCount"));
    layout->addWidget(m_countLine);

    // Only the controls of the chosen range kind are in use.
    const auto enableKind = [this] {
        const bool dates = m_byDates->isChecked();
        for (QWidget* widget : std::initializer_list<QWidget*>{m_from, m_to}) {
            widget->setEnabled(dates);
        }
        for (QWidget* widget : std::initializer_list<QWidget*>{m_count, m_unit, m_direction}) {
            widget->setEnabled(!dates);
        }
    };
    connect(m_byDates, &QRadioButton::toggled, this, enableKind);
    enableKind();
    connect(m_searchBox, &QGroupBox::toggled, this, &CFilterView::ScheduleSearch);
    for (QRadioButton* button : {m_byDates, m_relative}) {
        connect(button, &QRadioButton::toggled, this, &CFilterView::ScheduleSearch);
    }
    connect(m_from, &QDateEdit::dateChanged, this, &CFilterView::ScheduleSearch);
    connect(m_to, &QDateEdit::dateChanged, this, &CFilterView::ScheduleSearch);
    connect(m_count, &QSpinBox::valueChanged, this, &CFilterView::ScheduleSearch);
    connect(m_unit, &QComboBox::currentIndexChanged, this, &CFilterView::ScheduleSearch);
    connect(m_direction, &QComboBox::currentIndexChanged, this, &CFilterView::ScheduleSearch);
    return m_searchBox;
}

// ---- The filter ------------------------------------------------------------------------------

void CFilterView::SetTodoMode(bool todo) {
    if (todo == m_todoMode) {
        return;
    }
    m_todoMode = todo;
    m_categoryBox->setTitle(Text(todo ? kIdsFilterGroups : kIdsFilterCategories));
    m_snoozed->setEnabled(!todo);
    m_rows.clear();
    FillResults();
    Load();
    ScheduleSearch();
}

void CFilterView::Load() {
    const CDayvaultDoc& doc = *m_host.doc;
    const FilterState& filter = m_todoMode ? doc.GetTodoFilter() : doc.GetEventFilter();
    const NameSet& names = m_todoMode ? doc.GetGroups() : doc.GetCategories();
    m_loading = true;
    m_switch->setChecked(doc.GetFilterSwitch());
    m_categoryBox->setChecked(filter.selectionOn);
    // The list is rebuilt only when the names changed: a click on a check box applies the
    // filter, and the document's answer must not delete the item that is being clicked.
    bool same = m_names->count() == static_cast<int>(names.size());
    int row = 0;
    for (auto it = names.begin(); same && it != names.end(); ++it, ++row) {
        same = m_names->item(row)->text().toStdString() == *it;
    }
    if (!same) {
        m_names->clear();
        for (const std::string& name : names) {
            auto* item = new QListWidgetItem(QString::fromStdString(name), m_names);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        }
    }
    row = 0;
    for (const std::string& name : names) {
        m_names->item(row++)->setCheckState(filter.selection.count(name) != 0 ? Qt::Checked
                                                                              : Qt::Unchecked);
    }
    m_contentBox->setChecked(filter.textSearchOn);
    if (m_text->text().toStdString() != filter.searchText) {
        m_text->setText(QString::fromStdString(filter.searchText));
    }
    m_inDescription->setChecked((filter.searchFields & kScopeDescription) != 0);
    m_inNotes->setChecked((filter.searchFields & kScopeNotes) != 0);
    (filter.matchMode == kMatchAnyWord ? m_or
     : filter.matchMode == kMatchExact ? m_exact
                                       : m_and)
        ->setChecked(true);
    m_stateBox->setChecked(filter.conditionOn);
    m_done->setChecked((filter.conditionFlags & kPassDone) != 0);
    m_undone->setChecked((filter.conditionFlags & kPassPending) != 0);
    m_snoozed->setChecked((filter.conditionFlags & kPassSnoozed) != 0);
    m_loading = false;
}

FilterState CFilterView::ReadControls() const {
    FilterState filter;
    filter.selectionOn = m_categoryBox->isChecked();
    for (int i = 0; i < m_names->count(); ++i) {
        if (m_names->item(i)->checkState() == Qt::Checked) {
            filter.selection.insert(m_names->item(i)->text().toStdString());
        }
    }
    filter.conditionOn = m_stateBox->isChecked();
    filter.conditionFlags = (m_done->isChecked() ? kPassDone : 0) |
                            (m_undone->isChecked() ? kPassPending : 0) |
                            (m_snoozed->isChecked() ? kPassSnoozed : 0);
    filter.textSearchOn = m_contentBox->isChecked();
    filter.matchMode =
        m_or->isChecked() ? kMatchAnyWord : (m_exact->isChecked() ? kMatchExact : kMatchAllWords);
    filter.searchFields = (m_inDescription->isChecked() ? kScopeDescription : 0) |
                          (m_inNotes->isChecked() ? kScopeNotes : 0);
    filter.searchText = m_text->text().toStdString();
    return filter;
}

void CFilterView::Apply() {
    if (m_loading) {
        return;
    }
    const FilterState filter = ReadControls();
    // The document tells the views (and this sidebar) only when the state differs.
    if (m_todoMode) {
        m_host.doc->SetTodoFilter(filter);
    } else {
        m_host.doc->SetEventFilter(filter);
    }
    ScheduleSearch();
}

void CFilterView::CheckAllNames(bool checked) {
    m_loading = true;
    for (int i = 0; i < m_names->count(); ++i) {
        m_names->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
    m_loading = false;
    Apply();
}

// ---- The search ------------------------------------------------------------------------------

SearchRange CFilterView::ReadRange() const {
    SearchRange range;
    range.kind = m_relative->isChecked() ? 2 : 1;
    range.from = FromQDate(m_from->date());
    range.to = FromQDate(m_to->date());
    range.count = m_count->value();
    range.unit = m_unit->currentIndex() + 1;
    range.direction = m_direction->currentIndex() + 1;
    return range;
}

void CFilterView::ScheduleSearch() {
    // Whatever runs was searching for what the user has just changed: it is dropped.
    m_search.reset();
    if (!m_searchBox->isChecked()) {
        m_searchTimer.stop();
        m_rows.clear();
        FillResults();
        m_countLine->clear();
        return;
    }
    m_searchTimer.start();
}

void CFilterView::RunSearchSlice() {
    const CSettings& settings = *m_host.settings;
    const FormatSettings formats = settings.GetFormatSettings();
    if (m_todoMode) {
        const TodoHideRules hide{settings.HideDoneTodo, settings.DaysBeforeHideTodo,
                                 settings.HideUndoneTodo, settings.DaysBeforeShowTodo};
        ShowResults(SearchTodos(*m_host.doc, ReadRange(), hide, formats, settings.DateFormatList,
                                m_sortKey));
        return;
    }
    if (!m_search) {
        m_search = std::make_unique<EventSearch>(*m_host.doc, ReadRange(), formats,
                                                 settings.DateFormatList);
    }
    if (m_search->Step(kSearchSlice)) {
        ShowResults(m_search->Result(m_sortKey));
        m_search.reset();
    } else {
        m_searchTimer.start();
    }
}

void CFilterView::ShowResults(SearchResult result) {
    m_rows = std::move(result.rows);
    m_countLine->setText(QString::fromStdString(result.message));
    FillResults();
}

void CFilterView::FillResults() {
    m_results->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(m_rows.size()));
    for (size_t i = 0; i < m_rows.size(); ++i) {
        auto* item = new QTreeWidgetItem(
            {QString::fromStdString(m_rows[i].dateText), QString::fromStdString(m_rows[i].text)});
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        items.append(item);
    }
    m_results->addTopLevelItems(items);
    SetSelectedTodo(m_selectedTodo);
}

void CFilterView::ClickResultColumn(int column) {
    const int32_t current = m_sortKey < 0 ? -m_sortKey : m_sortKey;
    m_sortKey = current == column + 1 ? -m_sortKey : column + 1;
    m_results->header()->setSortIndicator(column,
                                          m_sortKey > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    SortSearchRows(m_rows, m_sortKey);
    FillResults();
}

void CFilterView::ActivateResult(int index) {
    if (index < 0 || index >= static_cast<int>(m_rows.size())) {
        return;
    }
    const SearchRow row = m_rows[static_cast<size_t>(index)];
    if (row.event != nullptr && m_host.selectDate) {
        m_host.selectDate(row.date);
    } else if (row.todo != nullptr && m_host.showTodo) {
        m_host.showTodo(row.todo);
    }
}

void CFilterView::SetSelectedTodo(const CTodoEntry* todo) {
    m_selectedTodo = todo;
    if (todo == nullptr) {
        return;
    }
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].todo == todo) {
            m_results->setCurrentItem(m_results->topLevelItem(static_cast<int>(i)));
            return;
        }
    }
}

void CFilterView::StoreResultWidths() {
    NumberList& widths = m_host.layout->SearchResultColumnWidths;
    widths[0] = m_results->header()->sectionSize(0);
    widths[1] = m_results->header()->sectionSize(1);
}

// ---- The document's hints --------------------------------------------------------------------

void CFilterView::OnUpdate(UpdateHint hint, const HintObject& /*object*/) {
    const bool events = hint == UpdateHint::EventAdded || hint == UpdateHint::EventDeleted ||
                        hint == UpdateHint::EventChanged || hint == UpdateHint::EventsChanged ||
                        hint == UpdateHint::EventsReset;
    const bool todos = hint == UpdateHint::TodoAdded || hint == UpdateHint::TodoDeleted ||
                       hint == UpdateHint::TodoChanged || hint == UpdateHint::TodosReset;
    const bool mine = hint == UpdateHint::Merged || (m_todoMode ? todos : events);
    if (hint == UpdateHint::Merged || hint == UpdateHint::EventsReset ||
        hint == UpdateHint::TodosReset ||
        hint == (m_todoMode ? UpdateHint::GroupsChanged : UpdateHint::CategoriesChanged)) {
        Load();
    }
    if (mine) {
        // Rows may name an entry that is gone: they go at once, and the search runs again.
        if (hint == UpdateHint::EventDeleted || hint == UpdateHint::TodoDeleted ||
            hint == UpdateHint::Merged || hint == UpdateHint::EventsReset ||
            hint == UpdateHint::TodosReset) {
            m_rows.clear();
            FillResults();
        }
        if (m_searchBox->isChecked()) {
            ScheduleSearch();
        }
    }
}

void CFilterView::OnInitialUpdate() {
    OnUpdate(UpdateHint::Merged, {});
}

} // namespace dv
