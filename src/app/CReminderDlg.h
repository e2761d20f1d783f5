#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace dv {

// Only declarations here: moc reads this header and cannot parse the standard library's
// newest headers.
class CDateEntry;
class IReminderRequests;
struct ReminderRecord;
class CSettings;
class CWindowSettings;
struct FormatSettings;
class IPrompt;
class ISoundPlayer;

/// The reminder window: the due reminders of events in a list with their details, and the
/// user's decisions on them (done, snooze, open, execute, edit, delete), which it hands to the
/// main window's side through IReminderRequests. It never changes an event itself. While an
/// event is in the window it is suspended, so the periodic update leaves it alone.
///
/// A modeless top-level window without parent. The alarm scheduler creates it, adds events,
/// calls Initialise once, and calls ReminderRefresh after every tick. The window closes itself
/// (signal `closed`, queued to the scheduler) when no event with due reminders is left.
class CReminderDlg : public QDialog {
    Q_OBJECT

public:
    /// Everything is borrowed and must outlive the window.
    CReminderDlg(IReminderRequests& requests, const CSettings& settings,
                 CWindowSettings& windowSettings, IPrompt& prompt, ISoundPlayer& sound,
                 QWidget* parent = nullptr);
    /// Releases the events (see ReleaseEvents).
    ~CReminderDlg() override;
    CReminderDlg(const CReminderDlg&) = delete;
    CReminderDlg& operator=(const CReminderDlg&) = delete;

    /// Adds an event that is not suspended and suspends it; false (nothing added) for a
    /// suspended one.
    bool AddEvent(CDateEntry* event);
    /// Once, after the first events were added: the reduced state, the list, the first item
    /// selected.
    void Initialise();
    /// After every tick: new time-left texts, the details, the list brought in line with the
    /// events' due occurrences, and the next sound's turn.
    void ReminderRefresh();
    /// The rows' texts and the details made again (the formats changed); nothing else.
    void RefreshTexts();
    /// Brings the list in line with the events: drops events without due occurrences, adds a row
    /// for every due occurrence without one. With no event left it emits `closed`. True while
    /// events remain.
    bool SynchronizeList();
    /// Flashes the caption once to draw attention (another program is in front).
    void FlashCaption();
    /// Forgets, without touching them, the events for which `gone` is true (the document
    /// deleted them) and their rows; with none left the window asks to be closed.
    void ForgetEvents(const std::function<bool(const CDateEntry*)>& gone);
    /// Clears the Suspended flag of every event, forgets them and stores the column widths.
    /// Runs when the window closes; afterwards the window shows nothing.
    void ReleaseEvents();

    // --- state, for the scheduler and tests ----------------------------------------------------
    int GetEventCount() const { return static_cast<int>(m_events.size()); }
    int GetRecordCount() const { return static_cast<int>(m_rows.size()); }
    /// The record of list row `row` in the current sort order; null outside.
    const ReminderRecord* GetRecordAt(int row) const;
    /// The number of times the caption was flashed.
    int GetCaptionFlashCount() const { return m_captionFlashes; }
    /// Whether the event list is shown (extended) or hidden (reduced).
    bool IsExtended() const;

signals:
    /// The window wants to be closed (posted: connect it queued).
    void closed();
    /// Edit `event` in the event editor once the window is closed (posted: connect it queued).
    void editRequested(dv::CDateEntry* event);

protected:
    void reject() override; // Escape and the close box
    void closeEvent(QCloseEvent* event) override;

private:
    struct Row; // a record with its sound count

    void BuildLayout();
    void FillItem(QTreeWidgetItem* item, const Row& row, const FormatSettings& formats) const;
    void Sort();
    void UpdateDetails();
    void ApplyDisplayColours(const CDateEntry& event);
    void PlayNextSound();
    void RemoveRow(Row* row);
    bool HasRow(const Row* row) const;
    std::vector<Row*> SelectedRows() const;
    void SelectFirstIfNone();
    void SetSnoozeControlsEnabled(bool enabled);

    void OnDone();
    void OnExecute();
    void OnEdit();
    void OnDelete();
    void OnToggleSize();
    void OnSnooze(int unit);
    void OnHeaderClicked(int column);

    IReminderRequests& m_requests;
    const CSettings& m_settings;
    CWindowSettings& m_windowSettings;
    IPrompt& m_prompt;
    ISoundPlayer& m_sound;

    std::vector<CDateEntry*> m_events;
    std::vector<std::unique_ptr<Row>> m_rows; // in the order they were added
    int m_soundPosition = -1;
    int m_sortKey = 1; // |k| - 1 is the column; negative sorts downwards
    const Row* m_shownRow = nullptr;
    int m_captionFlashes = 0;
    bool m_closing = false;
    bool m_released = false;
    bool m_fitColumns = false;

    QLabel* m_headline = nullptr;
    QLabel* m_description = nullptr;
    QLabel* m_timeLeft = nullptr;
    QLabel* m_stateImage = nullptr;
    QLabel* m_selection = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    QPushButton* m_done = nullptr;
    QPushButton* m_open = nullptr;
    QPushButton* m_execute = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_sizeToggle = nullptr;
    QGroupBox* m_snoozeGroup = nullptr;
    QComboBox* m_span = nullptr;
    QRadioButton* m_fromNow = nullptr;
    QRadioButton* m_beforeEvent = nullptr;
    QTreeWidget* m_list = nullptr;
    QWidget* m_listPane = nullptr;
};

} // namespace dv
