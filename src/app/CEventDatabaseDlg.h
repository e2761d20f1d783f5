#pragma once

#include "core/CDateEntry.h"
#include "core/CDateTime.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QPushButton;
class QTreeWidget;

namespace dv {

class CDayvaultDoc;
class CSettings;

/// What the event database window needs from the main window.
struct EventDatabaseHost {
    CDayvaultDoc* doc = nullptr;
    const CSettings* settings = nullptr;
    /// Opens the event editor on `data` (a new event when `isNew`); true when the user
    /// confirmed, with `data` changed. Empty: there is no editor, New and Edit are disabled.
    std::function<bool(DateData& data, bool isNew)> editEvent;
    /// Called before OK replaces the document's events (windows that hold events let go).
    std::function<void()> beforeReplace;
};

namespace database {

/// The repetition in words: "2 Weeks", "1 Month", "Every last Fri. of the Month"; empty for
/// events that do not repeat.
std::string RepeatText(const DateData& data);
/// The approximate period in days that orders repeating events (hours count as fractions).
double ApproximatePeriodDays(const DateData& data);
/// The first occurrence from `now` to the end of 9999 that is not done.
std::optional<CDateTime> NextOccurrence(CDateEntry& event, const CDateTime& now);
/// The end of the occurrence window of range choice 0..5 (1 week, 2 weeks, 1, 3, 6 months,
/// 1 year) from `now`: months move the date with the day of month clamped, the time kept.
CDateTime RangeEnd(int choice, const CDateTime& now);

} // namespace database

/// The event database window: every event of the document as a working copy in a sortable
/// table, with the selected event's coming and dropped occurrences. New, Edit, Delete and the
/// occurrence commands work on the copies; OK replaces the document's events by them, Cancel
/// leaves the document as it was.
class CEventDatabaseDlg final : public QDialog {
    Q_OBJECT
public:
    CEventDatabaseDlg(const EventDatabaseHost& host, QWidget* parent = nullptr);
    ~CEventDatabaseDlg() override;

    int EventCount() const { return static_cast<int>(m_events.size()); }
    /// The working copy shown in table row `row`.
    CDateEntry* EventAt(int row) const;
    /// The table row of the working copy `event`, or -1.
    int RowOf(const CDateEntry* event) const;
    int32_t SortKey() const { return m_sortKey; }
    /// Sorts as a click on the header of column `column` (0..6).
    void ClickColumn(int column);
    void SelectRow(int row);
    void SetRangeChoice(int choice);

    QTreeWidget* Table() const { return m_table; }
    QTreeWidget* Occurrences() const { return m_occurrences; }
    QTreeWidget* Dropped() const { return m_dropped; }

    void NewEvent();
    void EditEvent();
    void DeleteEvent();
    void DeleteOccurrence();
    void RestoreOccurrence();

    void accept() override;

private:
    struct Row {
        std::unique_ptr<CDateEntry> event;
        std::optional<CDateTime> next;
    };

    void Build();
    void FillTable();
    void SetRowTexts(int row);
    QString OccurrenceText(const CDateEntry& event, const CDateTime& start) const;
    void FillOccurrences();
    void UpdateButtons();
    int SelectedIndex() const;
    Row* Selected();
    bool Less(const Row& a, const Row& b) const;
    /// After an occurrence command: the event's row and both lists again, the selection kept
    /// near `listRow` of `list`.
    void AfterOccurrenceChange(QTreeWidget* list, int listRow);

    EventDatabaseHost m_host;
    std::vector<Row> m_events;
    /// Table row -> index into m_events.
    std::vector<int> m_order;
    int32_t m_sortKey = 4;
    CDateTime m_now;

    QTreeWidget* m_table = nullptr;
    QTreeWidget* m_occurrences = nullptr;
    QTreeWidget* m_dropped = nullptr;
    QComboBox* m_range = nullptr;
    QPushButton* m_new = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_deleteOccurrence = nullptr;
    QPushButton* m_restore = nullptr;
};

} // namespace dv
