#pragma once

#include "document/DocumentObserver.h"
#include "document/FilterState.h"
#include "document/Search.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTreeWidget;

namespace dv {

class CDayvaultDoc;
class CSettings;
class CTodoEntry;
class CWindowSettings;

/// What the sidebar needs from the main window.
struct FilterViewHost {
    CDayvaultDoc* doc = nullptr;
    const CSettings* settings = nullptr;
    /// The result list's column widths live here while the program runs.
    CWindowSettings* layout = nullptr;
    /// A double-clicked event row: its date becomes the selected date.
    std::function<void(const CDateTime& date)> selectDate;
    /// A double-clicked to-do row: the to-do page shows and selects it.
    std::function<void(CTodoEntry* todo)> showTodo;
};

/// The search and filter sidebar. It edits the filter of the page shown (the event filter on
/// the calendar pages, the to-do filter on the to-do page) and hands every change to the
/// document, and searches the entries of that kind in a date range. A search runs in slices
/// between the user's input, and a new change drops the search that is running.
class CFilterView final : public QWidget, public IDocumentObserver {
    Q_OBJECT
public:
    explicit CFilterView(const FilterViewHost& host, QWidget* parent = nullptr);
    ~CFilterView() override;

    /// The page shown changed: serve the to-do page (true) or the calendar pages.
    void SetTodoMode(bool todo);
    bool TodoMode() const { return m_todoMode; }
    /// The to-do page selected `todo`: its result row, when there is one, is selected too.
    void SetSelectedTodo(const CTodoEntry* todo);
    /// The filter state the controls show.
    FilterState ReadControls() const;
    /// The rows of the last complete search, in their order.
    const std::vector<SearchRow>& Rows() const { return m_rows; }
    /// True while a search waits or runs.
    bool Searching() const { return m_searchTimer.isActive(); }
    int32_t ResultSortKey() const { return m_sortKey; }
    /// Sorts the results as a click on the header of column `column` (0 date, 1 description).
    void ClickResultColumn(int column);

    // ---- IDocumentObserver
    void OnUpdate(UpdateHint hint, const HintObject& object) override;
    void OnInitialUpdate() override;

private:
    void Build();
    QGroupBox* BuildCategoryGroup();
    QGroupBox* BuildContentGroup();
    QGroupBox* BuildStateGroup();
    QGroupBox* BuildSearchGroup();
    /// The document's filter of the mode into the controls.
    void Load();
    /// The controls into the document's filter of the mode, then a new search.
    void Apply();
    void CheckAllNames(bool checked);
    SearchRange ReadRange() const;
    void ScheduleSearch();
    void RunSearchSlice();
    void ShowResults(SearchResult result);
    void FillResults();
    void ActivateResult(int index);
    void StoreResultWidths();

    FilterViewHost m_host;
    bool m_todoMode = false;
    bool m_loading = false;

    QCheckBox* m_switch = nullptr;
    QGroupBox* m_categoryBox = nullptr;
    QListWidget* m_names = nullptr;
    QPushButton* m_all = nullptr;
    QPushButton* m_none = nullptr;
    QGroupBox* m_contentBox = nullptr;
    QLineEdit* m_text = nullptr;
    QCheckBox* m_inDescription = nullptr;
    QCheckBox* m_inNotes = nullptr;
    QRadioButton* m_and = nullptr;
    QRadioButton* m_or = nullptr;
    QRadioButton* m_exact = nullptr;
    QGroupBox* m_stateBox = nullptr;
    QCheckBox* m_done = nullptr;
    QCheckBox* m_undone = nullptr;
    QCheckBox* m_snoozed = nullptr;
    QGroupBox* m_searchBox = nullptr;
    QRadioButton* m_byDates = nullptr;
    QRadioButton* m_relative = nullptr;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QSpinBox* m_count = nullptr;
    QComboBox* m_unit = nullptr;
    QComboBox* m_direction = nullptr;
    QTreeWidget* m_results = nullptr;
    QLabel* m_countLine = nullptr;

    QTimer m_searchTimer;
    std::unique_ptr<EventSearch> m_search;
    std::vector<SearchRow> m_rows;
    int32_t m_sortKey = kSortByDate;
    const CTodoEntry* m_selectedTodo = nullptr;
};

} // namespace dv
