#pragma once

#include "core/CDateTime.h"
#include "document/EntryFilter.h"
#include "format/FormatSettings.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QIcon>
#include <QSortFilterProxyModel>
#include <array>
#include <functional>
#include <string>
#include <vector>

namespace dv {

class CDayvaultDoc;
class CTodoEntry;

/// The logical columns of the to-do list, in their fixed order.
enum TodoColumn : int {
    kTodoColState = 0,
    kTodoColNetwork,
    kTodoColGroup,
    kTodoColDescription,
    kTodoColPriority,
    kTodoColDeadline,
    kTodoColTimeLeft,
    kTodoColDocument,
    kTodoColumnCount
};

/// The state image of a to-do: overdue, else urgent, else done, else undone.
enum class TodoImage { Done = 0, Undone, Urgent, Overdue };
TodoImage TodoImageOf(const CTodoEntry& todo);

/// Compares two to-dos for the list's signed sort key (logical column + 1, negative for
/// descending): the primary column, then the tie-breaking columns of that column, each compared
/// until one differs. Negative when `a` comes first. `descriptionA` and `descriptionB` are the
/// expanded descriptions, which the caller keeps so that sorting does not expand them again.
int CompareTodos(const CTodoEntry& a, const std::string& descriptionA, const CTodoEntry& b,
                 const std::string& descriptionB, int32_t sortKey);

/// The document's to-dos, one row each in document order, with the texts the list shows and
/// whether each passes the to-do filter. The texts and the filter result are taken when the
/// page asks (at its hints), not on every read, as the list control did.
class CTodoListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Context {
        const CDayvaultDoc* doc = nullptr;
        FormatSettings formats;
        std::string dateFormatList;
        std::string dateTimeFormatList;
        TodoHideRules hide;
        bool tooltips = false;
        std::string tooltipFormat;
        /// The list's font; done to-dos show it struck through when `strikeDone` is set.
        QFont font;
        bool strikeDone = true;
    };

    explicit CTodoListModel(QObject* parent = nullptr);

    void SetContext(Context context) { m_context = std::move(context); }
    const Context& GetContext() const { return m_context; }
    /// Called with the to-do and its new done state when the user clicks a row's check box.
    void SetDoneHandler(std::function<void(CTodoEntry*, bool)> handler) {
        m_setDone = std::move(handler);
    }

    /// Every to-do of the document afresh.
    void Reload();
    /// Texts and filter result of the to-do again; inserts its row when it has none. Returns
    /// its row, or -1 when the to-do is not in the document.
    int Refresh(CTodoEntry* todo);
    /// Removes the row of a to-do that has left the document.
    void Remove(const void* identity);
    /// The periodic update: every row's filter result again, and the time-left text and image
    /// of every to-do not done when `timeLeftShown`. Returns true when a row's filter result
    /// changed.
    bool Tick(bool timeLeftShown);

    CTodoEntry* Todo(int row) const { return m_rows[static_cast<size_t>(row)].todo; }
    bool Passes(int row) const { return m_rows[static_cast<size_t>(row)].passes; }
    const std::string& Description(int row) const {
        return m_rows[static_cast<size_t>(row)].texts[kTodoColDescription];
    }
    int RowOf(const void* todo) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    /// The column titles from the string table, in logical order.
    static QString ColumnTitle(int column);
    /// The images of the list: done, undone, urgent, overdue, shared.
    static const QIcon& Image(int index);

private:
    struct Row {
        CTodoEntry* todo = nullptr;
        bool passes = false;
        TodoImage image = TodoImage::Undone;
        std::array<std::string, kTodoColumnCount> texts;
    };

    void Fill(Row& row) const;
    bool PassesFilter(CTodoEntry& todo) const;
    std::string TimeLeftText(const CTodoEntry& todo) const;
    void EmitRowsChanged(int first, int last);

    Context m_context;
    std::vector<Row> m_rows;
    std::function<void(CTodoEntry*, bool)> m_setDone;
};

/// Sorts the list by the page's sort key and lets through the rows whose to-do passes.
class CTodoSortProxy final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit CTodoSortProxy(CTodoListModel& model, QObject* parent = nullptr);

    /// Sorts by `key` (logical column + 1, negative for descending).
    void SortBy(int32_t key);
    int32_t SortKey() const { return m_key; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    CTodoListModel& m_model;
    int32_t m_key = kTodoColTimeLeft + 1;
};

} // namespace dv
