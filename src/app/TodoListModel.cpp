#include "app/TodoListModel.h"

#include "app/TimeLeft.h"
#include "app/UiText.h"
#include "core/CTodoEntry.h"
#include "core/TextCompare.h"
#include "document/CDayvaultDoc.h"
#include "format/CTodoEntryFormatter.h"
#include "format/StringIds.h"
#include "format/StringTable.h"

#include <algorithm>

namespace dv {

namespace {

int Sign(int64_t value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// Deadlines: with one before without; then by date; on one date a deadline without its time
// before one with it; two with times by the time of day.
int CompareDeadlines(const TodoData& a, const TodoData& b) {
    const bool hasA = a.ShowDeadline != 0;
    const bool hasB = b.ShowDeadline != 0;
    if (hasA != hasB) {
        return hasA ? -1 : 1;
    }
    const int dates = Sign(int64_t{a.Deadline.GetDayNumber()} - int64_t{b.Deadline.GetDayNumber()});
    if (dates != 0) {
        return dates;
    }
    const bool timeA = a.ShowDeadlineTime != 0;
    const bool timeB = b.ShowDeadlineTime != 0;
    if (timeA != timeB) {
        return timeA ? 1 : -1;
    }
    if (timeA) {
        return Sign(int64_t{a.Deadline.GetSecondsOfDay()} - int64_t{b.Deadline.GetSecondsOfDay()});
    }
    return 0;
}

int CompareColumn(const CTodoEntry& a, const std::string& textA, const CTodoEntry& b,
                  const std::string& textB, int column) {
    const TodoData& da = a.GetData();
    const TodoData& db = b.GetData();
    // "a has it and b not" puts a first (-1), the reverse b first.
    const auto first = [](bool inA, bool inB) { return inA == inB ? 0 : (inA ? -1 : 1); };
    switch (column) {
    case kTodoColState:
        if (int c = first(a.IsOverdue(), b.IsOverdue())) {
            return c;
        }
        if (int c = first(a.IsUrgent(), b.IsUrgent())) {
            return c;
        }
        return -first(a.IsDone(), b.IsDone());
    case kTodoColNetwork:
        return first(da.StorageType == 1, db.StorageType == 1);
    case kTodoColGroup:
        return Sign(CompareNoCase(da.Group, db.Group));
    case kTodoColDescription:
        return Sign(CompareNoCase(textA, textB));
    case kTodoColPriority:
        return Sign(int64_t{da.Priority} - int64_t{db.Priority});
    case kTodoColDeadline:
        return CompareDeadlines(da, db);
    case kTodoColTimeLeft:
        if (a.IsDone() || b.IsDone()) {
            return -first(a.IsDone(), b.IsDone());
        }
        return CompareDeadlines(da, db);
    case kTodoColDocument:
        if (int c = first(!da.DocumentFile.empty(), !db.DocumentFile.empty())) {
            return c;
        }
        return Sign(CompareNoCase(da.DocumentFile, db.DocumentFile));
    default:
        return 0;
    }
}

} // namespace

TodoImage TodoImageOf(const CTodoEntry& todo) {
    if (todo.IsOverdue()) {
        return TodoImage::Overdue;
    }
    if (todo.IsUrgent()) {
        return TodoImage::Urgent;
    }
    return todo.IsDone() ? TodoImage::Done : TodoImage::Undone;
}

int CompareTodos(const CTodoEntry& a, const std::string& descriptionA, const CTodoEntry& b,
                 const std::string& descriptionB, int32_t sortKey) {
    const int primary = (sortKey < 0 ? -sortKey : sortKey) - 1;
    std::array<int, 4> keys{};
    int count = 0;
    switch (primary) {
    case kTodoColDescription:
        keys = {kTodoColDescription, kTodoColTimeLeft, kTodoColDeadline};
        count = 3;
        break;
    case kTodoColDeadline:
        keys = {kTodoColDeadline, kTodoColTimeLeft, kTodoColDescription};
        count = 3;
        break;
    case kTodoColTimeLeft:
        keys = {kTodoColTimeLeft, kTodoColDeadline, kTodoColDescription};
        count = 3;
        break;
    default:
        keys = {primary, kTodoColTimeLeft, kTodoColDeadline, kTodoColDescription};
        count = 4;
        break;
    }
    for (int i = 0; i < count; ++i) {
        if (const int c = CompareColumn(a, descriptionA, b, descriptionB, keys[i]); c != 0) {
            return sortKey < 0 ? -c : c;
        }
    }
    return 0;
}

// ---- The model -------------------------------------------------------------------------------

CTodoListModel::CTodoListModel(QObject* parent) : QAbstractTableModel(parent) {}

const QIcon& CTodoListModel::Image(int index) {
    static const std::array<QIcon, 5> images = {
        QIcon(QStringLiteral(":/icons/todo-done.svg")),
        QIcon(QStringLiteral(":/icons/todo-undone.svg")),
        QIcon(QStringLiteral(":/icons/todo-urgent.svg")),
        QIcon(QStringLiteral(":/icons/todo-overdue.svg")),
        QIcon(QStringLiteral(":/icons/entry-shared.svg")),
    };
    return images.at(static_cast<size_t>(std::clamp(index, 0, 4)));
}

QString CTodoListModel::ColumnTitle(int column) {
    static constexpr std::array<uint32_t, kTodoColumnCount> titles = {
        kIdsColumnState,    kIdsColumnNetwork,  kIdsColumnGroup,    kIdsColumnDescription,
        kIdsColumnPriority, kIdsColumnDeadline, kIdsColumnTimeLeft, kIdsColumnAssociatedDocument};
    return column >= 0 && column < kTodoColumnCount ? Text(titles[static_cast<size_t>(column)])
                                                    : QString();
}

bool CTodoListModel::PassesFilter(CTodoEntry& todo) const {
    return PassesTodoFilter(*m_context.doc, m_context.hide, todo, m_context.formats);
}

std::string CTodoListModel::TimeLeftText(const CTodoEntry& todo) const {
    const TodoData& data = todo.GetData();
    if (data.ShowDeadline == 0 || todo.IsDone()) {
        return "-";
    }
    const CDateTime& now = m_context.doc->GetNow();
    return FormatTimeLeft(data.ShowDeadlineTime != 0 ? data.Deadline - now
                                                     : data.Deadline.GetDate() - now.GetDate());
}

void CTodoListModel::Fill(Row& row) const {
    CTodoEntry& todo = *row.todo;
    const TodoData& data = todo.GetData();
    row.passes = PassesFilter(todo);
    row.image = TodoImageOf(todo);
    CTodoEntryFormatter formatter(todo, m_context.formats);
    row.texts[kTodoColGroup] = data.Group;
    row.texts[kTodoColDescription] = formatter.Expand(data.Description);
    row.texts[kTodoColPriority] = std::to_string(data.Priority);
    row.texts[kTodoColDeadline] =
        data.ShowDeadline == 0
            ? "-"
            : data.Deadline.Format(data.ShowDeadlineTime != 0 ? m_context.dateTimeFormatList
                                                              : m_context.dateFormatList);
    row.texts[kTodoColTimeLeft] = TimeLeftText(todo);
    row.texts[kTodoColDocument] = data.AssociateDocumentFile != 0 ? data.DocumentFile : "";
}

void CTodoListModel::Reload() {
    beginResetModel();
    m_rows.clear();
    const CDayvaultDoc& doc = *m_context.doc;
    m_rows.resize(static_cast<size_t>(doc.GetTodoCount()));
    for (int i = 0; i < doc.GetTodoCount(); ++i) {
        Row& row = m_rows[static_cast<size_t>(i)];
        row.todo = doc.GetTodoEntry(i);
        Fill(row);
    }
    endResetModel();
}

int CTodoListModel::RowOf(const void* todo) const {
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].todo == todo) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CTodoListModel::Refresh(CTodoEntry* todo) {
    const int at = RowOf(todo);
    if (at >= 0) {
        Fill(m_rows[static_cast<size_t>(at)]);
        EmitRowsChanged(at, at);
        return at;
    }
    const int index = m_context.doc->IndexOfTodoEntry(todo);
    if (index < 0) {
        return -1;
    }
    // Rows follow the document's order; an undone deletion comes back at its old place.
    const int row = std::min(index, static_cast<int>(m_rows.size()));
    Row fresh;
    fresh.todo = todo;
    Fill(fresh);
    beginInsertRows({}, row, row);
    m_rows.insert(m_rows.begin() + row, std::move(fresh));
    endInsertRows();
    return row;
}

void CTodoListModel::Remove(const void* identity) {
    const int at = RowOf(identity);
    if (at < 0) {
        return;
    }
    beginRemoveRows({}, at, at);
    m_rows.erase(m_rows.begin() + at);
    endRemoveRows();
}

bool CTodoListModel::Tick(bool timeLeftShown) {
    bool filterChanged = false;
    int first = -1;
    int last = -1;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        Row& row = m_rows[i];
        bool changed = false;
        if (const bool passes = PassesFilter(*row.todo); passes != row.passes) {
            row.passes = passes;
            filterChanged = changed = true;
        }
        if (timeLeftShown && !row.todo->IsDone()) {
            std::string left = TimeLeftText(*row.todo);
            const TodoImage image = TodoImageOf(*row.todo);
            if (left != row.texts[kTodoColTimeLeft] || image != row.image) {
                row.texts[kTodoColTimeLeft] = std::move(left);
                row.image = image;
                changed = true;
            }
        }
        if (changed) {
            first = first < 0 ? static_cast<int>(i) : first;
            last = static_cast<int>(i);
        }
    }
    if (first >= 0) {
        // One signal for the run, so that the proxy filters and sorts once.
        EmitRowsChanged(first, last);
    }
    return filterChanged;
}

void CTodoListModel::EmitRowsChanged(int first, int last) {
    emit dataChanged(index(first, 0), index(last, kTodoColumnCount - 1));
}

int CTodoListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CTodoListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kTodoColumnCount;
}

QVariant CTodoListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(m_rows.size())) {
        return {};
    }
    const Row& row = m_rows[static_cast<size_t>(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return column == kTodoColState || column == kTodoColNetwork
                   ? QVariant()
                   : QString::fromStdString(row.texts[static_cast<size_t>(column)]);
    case Qt::DecorationRole:
        if (column == kTodoColState) {
            return Image(static_cast<int>(row.image));
        }
        if (column == kTodoColNetwork && row.todo->GetStorageType() == 1) {
            return Image(4);
        }
        return {};
    case Qt::CheckStateRole:
        if (column == kTodoColState) {
            return row.todo->IsDone() ? Qt::Checked : Qt::Unchecked;
        }
        return {};
    case Qt::ToolTipRole:
        if (m_context.tooltips) {
            CTodoEntryFormatter formatter(*row.todo, m_context.formats);
            return QString::fromStdString(formatter.Expand(m_context.tooltipFormat));
        }
        return {};
    case Qt::FontRole:
        if (m_context.strikeDone && row.todo->IsDone()) {
            QFont font = m_context.font;
            font.setStrikeOut(true);
            return font;
        }
        return {};
    case Qt::TextAlignmentRole:
        return column == kTodoColPriority ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                          : QVariant();
    default:
        return {};
    }
}

bool CTodoListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || index.column() != kTodoColState || !index.isValid() ||
        !m_setDone) {
        return false;
    }
    CTodoEntry* todo = m_rows[static_cast<size_t>(index.row())].todo;
    // The document sets the value and tells the page, which refreshes the row.
    m_setDone(todo, value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags CTodoListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == kTodoColState) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

QVariant CTodoListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return ColumnTitle(section);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

// ---- Sorting and filtering -------------------------------------------------------------------

CTodoSortProxy::CTodoSortProxy(CTodoListModel& model, QObject* parent)
    : QSortFilterProxyModel(parent), m_model(model) {
    setSourceModel(&model);
    setDynamicSortFilter(true);
}

void CTodoSortProxy::SortBy(int32_t key) {
    m_key = key;
    const int column = (key < 0 ? -key : key) - 1;
    // The direction is in the comparison itself, so the proxy always sorts "ascending"; a new
    // key on the same column still has to sort again.
    if (column == sortColumn()) {
        invalidate();
    } else {
        sort(column, Qt::AscendingOrder);
    }
}

bool CTodoSortProxy::filterAcceptsRow(int sourceRow, const QModelIndex& /*sourceParent*/) const {
    return m_model.Passes(sourceRow);
}

bool CTodoSortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    return CompareTodos(*m_model.Todo(left.row()), m_model.Description(left.row()),
                        *m_model.Todo(right.row()), m_model.Description(right.row()), m_key) < 0;
}

} // namespace dv
