#pragma once

#include "app/TodoListModel.h"
#include "document/DocumentObserver.h"

#include <QTreeView>
#include <cstdint>
#include <functional>

class QMenu;

namespace dv {

class CDayvaultDoc;
class CSettings;
class CTodoEntry;
class CWindowSettings;

/// What the to-do page needs from the main window.
struct TodoPageHost {
    CDayvaultDoc* doc = nullptr;
    const CSettings* settings = nullptr;
    /// The column layout lives here while the program runs.
    CWindowSettings* layout = nullptr;
    /// Reads and writes the stored primary sort key (PrimaryTodoSorting).
    std::function<int32_t()> loadSortKey;
    std::function<void(int32_t)> storeSortKey;
    /// Runs a main-window command; false when it is disabled or unknown.
    std::function<bool(uint32_t command)> runCommand;
    /// The main window's Edit menu, shown as the list's context menu.
    std::function<QMenu*()> editMenu;
    /// The selected to-do changed (null: none is selected).
    std::function<void(CTodoEntry* todo)> selectTodo;
    /// The page's tab shows the due mark (true) or its plain image.
    std::function<void(bool due)> setTabMark;
};

/// The to-do page: the document's to-dos that pass the to-do filter as a sortable report list
/// with a check box for the done state, a state image, and columns the user shows, hides and
/// resizes. It follows the document's hints, so a to-do that becomes urgent or overdue changes
/// its image and place at the next tick.
class CTodoPage final : public QTreeView, public IDocumentObserver {
    Q_OBJECT
public:
    explicit CTodoPage(const TodoPageHost& host, QWidget* parent = nullptr);
    ~CTodoPage() override;

    CTodoListModel& Model() { return m_model; }
    CTodoSortProxy& Proxy() { return m_proxy; }
    /// The to-do shown in row `row` (top to bottom), or null.
    CTodoEntry* TodoAt(int row) const;
    /// The row that shows `todo`, or -1.
    int RowOf(const CTodoEntry* todo) const;
    int RowCount() const;
    CTodoEntry* SelectedTodo() const;
    /// Selects the row of `todo` (no-op when it has none).
    void SelectTodo(const CTodoEntry* todo);
    /// Where row `row`'s check box is, in viewport coordinates (empty when the State column is
    /// hidden).
    QRect CheckBoxRect(int row) const;
    int32_t SortKey() const { return m_proxy.SortKey(); }
    /// Sorts as a click on the header of logical column `column` does.
    void ClickColumn(int column);
    /// The header's menu of the eight columns, each checked while shown; choosing one hides or
    /// shows it. The caller owns the menu.
    QMenu* MakeColumnMenu(QWidget* parent);
    /// Hides a shown column (its width is kept) or shows a hidden one with its stored width.
    void ToggleColumn(int column);
    /// Gives the description column the width the others leave (at least 100 pixels).
    void LayoutColumns();

    // ---- IDocumentObserver
    void OnUpdate(UpdateHint hint, const HintObject& object) override;
    void OnInitialUpdate() override;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    void ApplySettings();
    void ApplyColumns();
    void FitDefaultWidths();
    void Fill();
    void StoreWidths();
    void UpdateTabMark();
    bool ColumnShown(int column) const;

    TodoPageHost m_host;
    CTodoListModel m_model;
    CTodoSortProxy m_proxy;
    bool m_updating = false;
    bool m_layingOut = false;
    CTodoEntry* m_selected = nullptr;
};

} // namespace dv
