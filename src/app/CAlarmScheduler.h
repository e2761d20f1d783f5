#pragma once

#include "app/IAlarmFrame.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <filesystem>
#include <memory>

namespace dv {

// Only declarations here: moc reads this header and cannot parse the standard library's
// newest headers.
class CDateEntry;
class CDateTime;
struct DateData;
class CDayvaultDoc;
class CSharedActionApprovals;
class IReminderRequests;
struct ReminderRecord;
class CReminderDlg;
class CSettings;
class CWindowSettings;
class ILauncher;
class IPrompt;
class ISoundPlayer;

/// The alarm heartbeat of the main window: a date-check timer every DateCheckInterval seconds
/// and a flash timer while silent reminders wait. On each tick it refreshes the notification
/// icon's tooltip, guards against large clock jumps, lets the document evaluate every event and
/// to-do, opens or refreshes the reminder window and carries out the actions of events that
/// show no reminder. It also owns the alarm commands and performs the reminder window's requests
/// (acknowledge, execute, snooze, delete) on the document.
///
/// The frame owns it, gives it the document, starts it once the window exists and forwards its
/// menu commands to it. Every question goes through the prompt; documents and commands go
/// through the launcher; sounds through the sound player. "Now" is CDateTime::Now().
///
/// Wiring in the frame: SetDocument, then Start when the window exists; a CResumeWatcher's
/// `resumed` to TickNow; the alarm, show-silent-alarms and reset commands to ToggleAlarm,
/// ShowSilentAlarms and ResetEventStates (check mark IsAlarmEnabled, enabling
/// CanShowSilentAlarms); the notification icon's activation to RaiseReminderWindow;
/// RestartTimer after the options changed DateCheckInterval; CloseReminderWindow before the
/// document is replaced; Stop before the frame goes. IAlarmFrame::ShowNotification may use a
/// CDesktopNotifier and fall back to the notification icon's message.
class CAlarmScheduler : public QObject {
    Q_OBJECT

public:
    /// Everything is borrowed and must outlive the scheduler. `approvalsFile` is the file of
    /// answers about actions of shared events (see CSharedActionApprovals; the frame passes
    /// `<user data folder>/shared-actions.json`).
    CAlarmScheduler(IAlarmFrame& frame, CSettings& settings, CWindowSettings& windowSettings,
                    IPrompt& prompt, ILauncher& launcher, ISoundPlayer& sound,
                    const std::filesystem::path& approvalsFile, QObject* parent = nullptr);
    ~CAlarmScheduler() override;
    CAlarmScheduler(const CAlarmScheduler&) = delete;
    CAlarmScheduler& operator=(const CAlarmScheduler&) = delete;

    /// The document (may be null: ticks then only refresh the tooltip). Installs the
    /// document's hook that reports actions taken over by a synchronisation.
    void SetDocument(CDayvaultDoc* document);

    /// Starts the date-check timer (the first tick comes one interval later).
    void Start();
    /// Stops both timers (the frame's destruction) and closes the reminder window.
    void Stop();
    /// Restarts the date-check timer with the current DateCheckInterval (after the options).
    void RestartTimer();
    /// A tick at once, with the date-check timer started afresh: the machine resumed or the
    /// screen was unlocked. Ticking twice raises nothing twice.
    void TickNow();

    // --- commands of the menus and the notification icon -------------------------------------
    /// Alarm on/off (with the WarnOnAlarmDisable question when switching off).
    void ToggleAlarm();
    /// Stores the flag and shows the matching notification icon.
    void SetAlarmEnabled(bool enabled);
    bool IsAlarmEnabled() const { return m_alarmEnabled; }
    /// Shows the silent reminders in the reminder window now.
    void ShowSilentAlarms();
    /// The show-silent-alarms command is enabled: silent reminders wait and are not yet asked for.
    bool CanShowSilentAlarms() const;
    /// Empties every event's due, snoozed and acknowledged lists after a question.
    void ResetEventStates();
    /// Closes the reminder window, if one is open (before the frame replaces the document, and
    /// at the end).
    void CloseReminderWindow();
    /// Brings the reminder window, when one is open, to the front (the notification icon's
    /// activation).
    void RaiseReminderWindow();
    /// The formats changed: the notification icon's tooltip and the open reminder window's
    /// texts are made again at once.
    void RefreshTexts();

    // --- state ---------------------------------------------------------------------------------
    /// The image the notification icon shows when it does not flash.
    TrayIconKind GetCurrentIcon() const { return m_currentIcon; }
    bool IsFlashing() const { return m_flashTimer.isActive(); }
    bool IsTimerRunning() const { return m_checkTimer.isActive(); }
    int GetTimerInterval() const { return m_checkTimer.interval(); }
    /// Whether the scheduler wakes before the next periodic tick because a reminder falls due
    /// then, and when (GetNextWake) and in how many milliseconds (GetWakeInterval).
    bool IsWakeScheduled() const { return m_wakeTimer.isActive(); }
    const CDateTime& GetNextWake() const;
    int GetWakeInterval() const { return m_wakeTimer.interval(); }
    /// The open reminder window, or null.
    CReminderDlg* GetReminderWindow() const { return m_reminderDlg.data(); }
    CSharedActionApprovals& GetApprovals() { return *m_approvals; }

    // --- the frame's operations on events (also used by the reminder window) ------------------
    /// Opens the event's document or runs its command, with the questions that apply.
    /// `byUser` is true for the reminder window's Open and Execute (a refused action of a
    /// shared event is asked again), false for an event without reminder at its time.
    void ExecuteAction(CDateEntry& event, bool byUser);
    /// Acknowledges one occurrence through the document (hint 6 and a save).
    void Acknowledge(CDateEntry& event, const CDateTime& occurrence);

public slots:
    /// The date-check timer's tick.
    void Tick();
    /// The flash timer's tick: the flash image and the current one take turns.
    void FlashTick();
    /// The wake timer's tick: a reminder falls due now, between two periodic ticks.
    void WakeTick();

private slots:
    void OnReminderClosed();
    void OnReminderEdit(CDateEntry* event);

private:
    class Requests; // the reminder window's requests, carried out by the members below
    class Observer; // hears of events that the document deleted
    class QuestionScope; // busy while a question is open
    class GuardedPrompt; // every question under a QuestionScope

    void ForgetVanishedEvents();
    void ScheduleWake();
    void ScheduleWakeLater();
    void ReminderAcknowledge(const ReminderRecord& record);
    void ReminderExecute(const ReminderRecord& record);
    void ReminderSnooze(const ReminderRecord& record);
    bool ReminderDelete(CDateEntry* event);

    TrayIconKind ChooseIcon(bool enabled) const;
    void ApplyIcon(TrayIconKind kind);
    void UpdateTooltip();
    void ProcessReminders();
    void OpenReminderWindow();
    bool AskActionApproval(const DateData& shown, bool byUser);

    IAlarmFrame& m_frame;
    CSettings& m_settings;
    CWindowSettings& m_windowSettings;
    std::unique_ptr<GuardedPrompt> m_guardedPrompt;
    IPrompt& m_prompt; // the guarded one
    ILauncher& m_launcher;
    ISoundPlayer& m_sound;
    std::unique_ptr<CSharedActionApprovals> m_approvals;
    std::unique_ptr<IReminderRequests> m_requests;
    std::unique_ptr<Observer> m_observer;
    CDayvaultDoc* m_document = nullptr;

    QTimer m_checkTimer; // timer 1
    QTimer m_flashTimer; // timer 2
    QTimer m_wakeTimer;  // the next moment a reminder falls due, when before the next tick
    std::unique_ptr<CDateTime> m_nextWake; // a pointer: moc cannot read CDateTime's header
    bool m_wakePending = false;             // a recomputation of the wake is posted
    bool m_alarmEnabled = true;
    bool m_showSilentRequested = false;
    bool m_flashPhase = false;
    int m_tickDepth = 0; // a tick inside a question of another tick does only the tooltip
    TrayIconKind m_currentIcon = TrayIconKind::AlarmOn;
    QPointer<CReminderDlg> m_reminderDlg;
};

} // namespace dv
