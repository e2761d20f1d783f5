#include "app/CTodoPage.h"

#include "app/CCurrentTimeBar.h"
#include "app/CalendarHost.h"
#include "app/CommandTable.h"
#include "app/Tooltips.h"
#include "app/WidgetLifetime.h"
#include "document/CDayvaultDoc.h"
#include "settings/CSettings.h"
#include "settings/CWindowSettings.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMenu>
#include <QStyleOptionViewItem>
#include <QToolTip>
#include <algorithm>

namespace dv {

namespace {

constexpr int kMinDescriptionWidth = 100;
constexpr int kTitlePadding = 12;
constexpr int32_t kDefaultSortKey = kTodoColTimeLeft + 1;

} // namespace

CTodoPage::CTodoPage(const TodoPageHost& host, QWidget* parent)
    : QTreeView(parent), m_host(host), m_proxy(m_model) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setModel(&m_proxy);

    QHeaderView* head = header();
    head->setStretchLastSection(false);
    head->setSectionsMovable(false);
    head->setSectionsClickable(true);
    head->setSortIndicatorShown(true);
    head->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(head, &QHeaderView::sectionClicked, this, &CTodoPage::ClickColumn);
    connect(head, &QHeaderView::sectionResized, this, [this] {
        if (!m_layingOut) {
            StoreWidths();
        }
    });
    connect(head, &QHeaderView::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = MakeColumnMenu(this);
        menu->exec(header()->mapToGlobal(at));
        delete menu;
    });

    m_model.SetDoneHandler([this](CTodoEntry* todo, bool done) {
        if (!m_updating) {
            m_host.doc->SetTodoDone(todo, done);
        }
    });
    m_host.doc->AddObserver(*this);

    ApplySettings();
    ApplyColumns();
    int32_t key = m_host.loadSortKey ? m_host.loadSortKey() : kDefaultSortKey;
    if (key == 0 || key > kTodoColumnCount || key < -kTodoColumnCount) {
        key = kDefaultSortKey;
    }
    m_proxy.SortBy(key);
    head->setSortIndicator(std::abs(key) - 1, key > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    Fill();
    if (m_host.layout->TodoListColumnWidths == CWindowSettings().TodoListColumnWidths) {
        FitDefaultWidths();
    }
    UpdateTabMark();
}

CTodoPage::~CTodoPage() {
    m_host.doc->RemoveObserver(*this);
    DisconnectChildren(*this);
}

// ---- Settings and columns --------------------------------------------------------------------

void CTodoPage::ApplySettings() {
    const CSettings& settings = *m_host.settings;
    CTodoListModel::Context context;
    context.doc = m_host.doc;
    context.formats = settings.GetFormatSettings();
    context.dateFormatList = settings.DateFormatList;
    context.dateTimeFormatList = settings.DateTimeFormatList;
    context.hide = {settings.HideDoneTodo, settings.DaysBeforeHideTodo, settings.HideUndoneTodo,
                    settings.DaysBeforeShowTodo};
    context.tooltips = settings.ShowTodoTooltips;
    context.tooltipFormat = settings.TooltipTodo;
    // Done to-dos are marked as done events are, so far as a line of text can be.
    context.font = ToQFont(settings.TodoEventFont);
    context.strikeDone = (settings.DoneEventsMarking & 1) != 0; // the "struck out" marking
    m_model.SetContext(std::move(context));
    setFont(ToQFont(settings.TodoEventFont));
}

bool CTodoPage::ColumnShown(int column) const {
    return !header()->isSectionHidden(column);
}

void CTodoPage::ApplyColumns() {
    const CWindowSettings defaults;
    CWindowSettings& layout = *m_host.layout;
    layout.TodoListColumns =
        CWindowSettings::FitColumns(layout.TodoListColumns, defaults.TodoListColumns);
    layout.TodoListColumnWidths =
        CWindowSettings::FitColumns(layout.TodoListColumnWidths, defaults.TodoListColumnWidths);
    m_layingOut = true;
    for (int column = 0; column < kTodoColumnCount; ++column) {
        const auto at = static_cast<size_t>(column);
        header()->setSectionHidden(column, !layout.TodoListColumns[at]);
        if (layout.TodoListColumns[at]) {
            header()->resizeSection(column, std::max(1, layout.TodoListColumnWidths[at]));
        }
    }
    m_layingOut = false;
    LayoutColumns();
}

// The default widths were chosen for a narrower dialog font than most desktops use: until the
// user sets widths, a column is widened to its title and its widest text, never narrowed. Not
// stored, so that the fit follows the font at every start.
void CTodoPage::FitDefaultWidths() {
    m_layingOut = true;
    for (int column = 0; column < kTodoColumnCount; ++column) {
        if (column != kTodoColDescription && ColumnShown(column)) {
            // The title's own width: the header's size hint reserves a sort arrow in every column.
            const int title =
                header()->fontMetrics().horizontalAdvance(CTodoListModel::ColumnTitle(column)) +
                kTitlePadding + (header()->sortIndicatorSection() == column ? kTitlePadding : 0);
            const int fit = std::max(title, sizeHintForColumn(column));
            header()->resizeSection(column, std::max(header()->sectionSize(column), fit));
        }
    }
    m_layingOut = false;
    LayoutColumns();
}

void CTodoPage::LayoutColumns() {
    if (!ColumnShown(kTodoColDescription)) {
        return;
    }
    int others = 0;
    for (int column = 0; column < kTodoColumnCount; ++column) {
        if (column != kTodoColDescription && ColumnShown(column)) {
            others += header()->sectionSize(column);
        }
    }
    m_layingOut = true;
    header()->resizeSection(kTodoColDescription,
                            std::max(kMinDescriptionWidth, viewport()->width() - others));
    m_layingOut = false;
}

void CTodoPage::StoreWidths() {
    CWindowSettings& layout = *m_host.layout;
    for (int column = 0; column < kTodoColumnCount; ++column) {
        if (ColumnShown(column)) {
            layout.TodoListColumnWidths[static_cast<size_t>(column)] =
                header()->sectionSize(column);
        }
    }
}

QMenu* CTodoPage::MakeColumnMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    for (int column = 0; column < kTodoColumnCount; ++column) {
        QAction* action = menu->addAction(CTodoListModel::ColumnTitle(column));
        action->setCheckable(true);
        action->setChecked(ColumnShown(column));
        connect(action, &QAction::triggered, this, [this, column] { ToggleColumn(column); });
    }
    return menu;
}

void CTodoPage::ToggleColumn(int column) {
    if (column < 0 || column >= kTodoColumnCount) {
        return;
    }
    CWindowSettings& layout = *m_host.layout;
    const auto at = static_cast<size_t>(column);
    m_layingOut = true;
    if (ColumnShown(column)) {
        layout.TodoListColumns[at] = false;
        header()->setSectionHidden(column, true);
    } else {
        layout.TodoListColumns[at] = true;
        header()->setSectionHidden(column, false);
        header()->resizeSection(column, std::max(1, layout.TodoListColumnWidths[at]));
    }
    m_layingOut = false;
    Fill();
}

// ---- Rows ------------------------------------------------------------------------------------

void CTodoPage::Fill() {
    ApplySettings();
    m_updating = true;
    m_model.Reload();
    m_updating = false;
    LayoutColumns();
}

CTodoEntry* CTodoPage::TodoAt(int row) const {
    const QModelIndex index = m_proxy.index(row, 0);
    return index.isValid() ? m_model.Todo(m_proxy.mapToSource(index).row()) : nullptr;
}

int CTodoPage::RowOf(const CTodoEntry* todo) const {
    const int source = m_model.RowOf(todo);
    return source < 0 ? -1 : m_proxy.mapFromSource(m_model.index(source, 0)).row();
}

int CTodoPage::RowCount() const {
    return m_proxy.rowCount();
}

CTodoEntry* CTodoPage::SelectedTodo() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : TodoAt(rows.first().row());
}

void CTodoPage::SelectTodo(const CTodoEntry* todo) {
    const int row = RowOf(todo);
    if (row >= 0) {
        setCurrentIndex(m_proxy.index(row, 0));
        scrollTo(currentIndex());
    }
}

QRect CTodoPage::CheckBoxRect(int row) const {
    if (!ColumnShown(kTodoColState)) {
        return {};
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(m_proxy.index(row, kTodoColState));
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

void CTodoPage::ClickColumn(int column) {
    const int32_t current = m_proxy.SortKey();
    const int32_t key = std::abs(current) - 1 == column ? -current : column + 1;
    m_proxy.SortBy(key);
    header()->setSortIndicator(column, key > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    if (m_host.storeSortKey) {
        m_host.storeSortKey(key);
    }
}

void CTodoPage::UpdateTabMark() {
    if (m_host.setTabMark) {
        m_host.setTabMark(m_host.doc->HasDueTodo() && m_host.settings->ShowDueTodoTab);
    }
}

// ---- The document's hints --------------------------------------------------------------------

void CTodoPage::OnUpdate(UpdateHint hint, const HintObject& object) {
    switch (hint) {
    case UpdateHint::TimeUpdated:
        m_updating = true;
        m_model.Tick(ColumnShown(kTodoColTimeLeft));
        m_updating = false;
        break;
    case UpdateHint::TodoAdded:
    case UpdateHint::TodoChanged:
        if (auto* const* todo = std::get_if<CTodoEntry*>(&object); todo && *todo) {
            m_updating = true;
            m_model.Refresh(*todo);
            m_updating = false;
        }
        break;
    case UpdateHint::TodoDeleted:
        if (const auto* identity = std::get_if<EntryIdentity>(&object)) {
            m_model.Remove(identity->address);
        }
        break;
    case UpdateHint::Merged:
    case UpdateHint::TodosReset:
        m_selected = nullptr;
        if (m_host.selectTodo) {
            m_host.selectTodo(nullptr);
        }
        Fill();
        break;
    case UpdateHint::OptionsChanged:
        ApplySettings();
        break;
    default:
        break;
    }
    UpdateTabMark();
}

void CTodoPage::OnInitialUpdate() {
    OnUpdate(UpdateHint::TodosReset, {});
}

// ---- Mouse, menus and tooltips ---------------------------------------------------------------

void CTodoPage::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QTreeView::selectionChanged(selected, deselected);
    CTodoEntry* todo = SelectedTodo();
    if (todo != m_selected) {
        m_selected = todo;
        if (m_host.selectTodo) {
            m_host.selectTodo(todo);
        }
    }
}

void CTodoPage::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const QModelIndex index = indexAt(at);
    if (!index.isValid()) {
        if (m_host.runCommand) {
            m_host.runCommand(cmd::kNewEntry);
        }
        return;
    }
    // A double-click on the check box only ticks it; anywhere else on the row edits.
    const QRect check = CheckBoxRect(index.row());
    if (!check.isEmpty() && at.x() <= check.right()) {
        QTreeView::mouseDoubleClickEvent(event);
        return;
    }
    if (selectionModel()->isRowSelected(index.row(), {}) && m_host.runCommand) {
        m_host.runCommand(cmd::kEditEntry);
    }
}

void CTodoPage::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = m_host.editMenu ? m_host.editMenu() : nullptr;
    if (menu != nullptr) {
        menu->exec(event->globalPos());
    }
}

bool CTodoPage::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString text = index.isValid() ? index.data(Qt::ToolTipRole).toString() : QString();
        if (text.isEmpty()) {
            QToolTip::hideText();
        } else {
            QRect row = visualRect(index);
            row.setLeft(0);
            row.setRight(viewport()->width());
            QToolTip::showText(help->globalPos(), LimitTipWidth(text), viewport(), row,
                               kTooltipShowMs);
        }
        return true;
    }
    return QTreeView::viewportEvent(event);
}

void CTodoPage::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    LayoutColumns();
}

} // namespace dv
