#include "app/CAlarmScheduler.h"

#include "app/CReminderDlg.h"
#include "app/CSharedActionApprovals.h"
#include "app/ReminderRecord.h"
#include "core/CDateEntry.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "format/CDateEntryFormatter.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/ILauncher.h"
#include "settings/CSettings.h"
#include "settings/CWindowSettings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTime>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace dv {

namespace {

constexpr int kFlashIntervalMs = 1000;
constexpr int64_t kSecondsPerDay = 86400;
// A clock that moved this many whole days between two checks was adjusted, or the machine
// slept that long: ask before reminders of all that time pour in.
constexpr int64_t kClockJumpDays = 3;
constexpr int32_t kActionOpen = 1;
constexpr int32_t kActionRun = 2;
// The notification icon's tooltip holds this many characters.
constexpr std::size_t kTooltipLength = 63;

// The first `count` characters (not bytes) of UTF-8 text.
std::string CutCharacters(const std::string& text, std::size_t count) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (characters == count) {
                return text.substr(0, i);
            }
            ++characters;
        }
    }
    return text;
}

} // namespace

class CAlarmScheduler::Requests final : public IReminderRequests {
public:
    explicit Requests(CAlarmScheduler& scheduler) : m_scheduler(scheduler) {}
    void ReminderAcknowledge(const ReminderRecord& record) override {
        m_scheduler.ReminderAcknowledge(record);
    }
    void ReminderExecute(const ReminderRecord& record) override {
        m_scheduler.ReminderExecute(record);
    }
    void ReminderSnooze(const ReminderRecord& record) override {
        m_scheduler.ReminderSnooze(record);
    }
    bool ReminderDelete(CDateEntry* event) override { return m_scheduler.ReminderDelete(event); }

private:
    CAlarmScheduler& m_scheduler;
};

// While a question about an entry is open, its modal loop may deliver anything: the busy state
// says busy, so that a merge waits and the database window stays shut, and a tick in that loop
// does only the tooltip. No entry can change or vanish under the question.
class CAlarmScheduler::QuestionScope {
public:
    explicit QuestionScope(CAlarmScheduler& scheduler)
        : m_scheduler(scheduler), m_busy(scheduler.m_frame.BusyState()), m_owner(m_busy == 0) {
        ++m_scheduler.m_tickDepth;
        if (m_owner) {
            m_busy = 1;
        }
    }
    ~QuestionScope() {
        --m_scheduler.m_tickDepth;
        if (m_owner) {
            m_busy = 0;
        }
    }
    QuestionScope(const QuestionScope&) = delete;
    QuestionScope& operator=(const QuestionScope&) = delete;

private:
    CAlarmScheduler& m_scheduler;
    int& m_busy;
    bool m_owner;
};

// The prompt of the scheduler and of the reminder window: every question under a QuestionScope.
class CAlarmScheduler::GuardedPrompt final : public IPrompt {
public:
    GuardedPrompt(CAlarmScheduler& scheduler, IPrompt& prompt)
        : m_scheduler(scheduler), m_prompt(prompt) {}
    bool AskYesNo(const std::string& text, PromptIcon icon) override {
        const QuestionScope scope(m_scheduler);
        return m_prompt.AskYesNo(text, icon);
    }
    bool AskYesNoWithDetails(const std::string& text, const std::vector<std::string>& details,
                             PromptIcon icon) override {
        const QuestionScope scope(m_scheduler);
        return m_prompt.AskYesNoWithDetails(text, details, icon);
    }
    void ShowMessage(const std::string& text, PromptIcon icon) override {
        const QuestionScope scope(m_scheduler);
        m_prompt.ShowMessage(text, icon);
    }

private:
    CAlarmScheduler& m_scheduler;
    IPrompt& m_prompt;
};

class CAlarmScheduler::Observer final : public IDocumentObserver {
public:
    explicit Observer(CAlarmScheduler& scheduler) : m_scheduler(scheduler) {}
    void OnUpdate(UpdateHint hint, const HintObject&) override {
        if (hint == UpdateHint::EventDeleted || hint == UpdateHint::EventsReset) {
            m_scheduler.ForgetVanishedEvents();
        }
        switch (hint) {
        case UpdateHint::Merged:
        case UpdateHint::EventAdded:
        case UpdateHint::EventDeleted:
        case UpdateHint::EventChanged:
        case UpdateHint::EventsChanged:
        case UpdateHint::EventsReset:
            // A new or changed reminder may fall due before the next tick.
            m_scheduler.ScheduleWakeLater();
            break;
        default:
            break;
        }
    }
    void OnInitialUpdate() override {
        m_scheduler.ForgetVanishedEvents();
        m_scheduler.ScheduleWakeLater();
    }

private:
    CAlarmScheduler& m_scheduler;
};

CAlarmScheduler::CAlarmScheduler(IAlarmFrame& frame, CSettings& settings,
                                 CWindowSettings& windowSettings, IPrompt& prompt,
                                 ILauncher& launcher, ISoundPlayer& sound,
                                 const std::filesystem::path& approvalsFile, QObject* parent)
    : QObject(parent), m_frame(frame), m_settings(settings), m_windowSettings(windowSettings),
      m_guardedPrompt(std::make_unique<GuardedPrompt>(*this, prompt)), m_prompt(*m_guardedPrompt),
      m_launcher(launcher), m_sound(sound),
      m_approvals(std::make_unique<CSharedActionApprovals>(approvalsFile)),
      m_requests(std::make_unique<Requests>(*this)),
      m_observer(std::make_unique<Observer>(*this)), m_nextWake(std::make_unique<CDateTime>()) {
    connect(&m_checkTimer, &QTimer::timeout, this, &CAlarmScheduler::Tick);
    m_wakeTimer.setSingleShot(true);
    m_wakeTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_wakeTimer, &QTimer::timeout, this, &CAlarmScheduler::WakeTick);
    m_flashTimer.setInterval(kFlashIntervalMs);
    connect(&m_flashTimer, &QTimer::timeout, this, &CAlarmScheduler::FlashTick);
}

CAlarmScheduler::~CAlarmScheduler() {
    Stop();
    SetDocument(nullptr);
}

void CAlarmScheduler::SetDocument(CDayvaultDoc* document) {
    if (m_document != nullptr) {
        m_document->RemoveObserver(*m_observer);
    }
    m_document = document;
    if (m_document != nullptr) {
        m_document->AddObserver(*m_observer);
    }
}

void CAlarmScheduler::Start() {
    RestartTimer();
}

void CAlarmScheduler::Stop() {
    m_checkTimer.stop();
    m_flashTimer.stop();
    m_wakeTimer.stop();
    CloseReminderWindow();
}

void CAlarmScheduler::CloseReminderWindow() {
    if (CReminderDlg* dlg = m_reminderDlg.data()) {
        OnReminderClosed();
        delete dlg; // not from its own handler: safe now, and nothing it refers to is gone yet
    }
}

void CAlarmScheduler::RestartTimer() {
    m_checkTimer.start(std::max(1, m_settings.DateCheckInterval) * 1000);
    ScheduleWake();
}

const CDateTime& CAlarmScheduler::GetNextWake() const {
    return *m_nextWake;
}

void CAlarmScheduler::ScheduleWakeLater() {
    if (!m_wakePending) {
        m_wakePending = true;
        QMetaObject::invokeMethod(this, &CAlarmScheduler::ScheduleWake, Qt::QueuedConnection);
    }
}

// The periodic tick alone would raise a reminder up to a whole interval late: wake at the next
// moment one falls due, when that comes before the next tick. Looking no further than the next
// tick keeps this cheap; that tick looks again.
void CAlarmScheduler::ScheduleWake() {
    m_wakePending = false;
    m_wakeTimer.stop();
    *m_nextWake = CDateTime();
    if (!m_alarmEnabled || m_document == nullptr || !m_checkTimer.isActive()) {
        return;
    }
    const CDateTime now = CDateTime::Now();
    const CDateTime horizon = now + CDateTimeSpan(std::max(1, m_settings.DateCheckInterval));
    bool found = false;
    CDateTime next;
    for (int i = 0; i < m_document->GetDateEntryCount(); ++i) {
        CDateEntry& event = *m_document->GetDateEntry(i);
        CDateTime at;
        if (!event.IsSuspended() && event.FindNextReminderTime(now, horizon, at) &&
            (!found || at < next)) {
            next = at;
            found = true;
        }
    }
    if (!found) {
        return;
    }
    // "Now" has whole seconds: aim at the start of the due second of the wall clock.
    const int64_t seconds = (next - now).GetTotalSeconds();
    const int64_t milliseconds = seconds * 1000 - QTime::currentTime().msec();
    *m_nextWake = next;
    m_wakeTimer.start(static_cast<int>(std::max<int64_t>(1, milliseconds)));
}

void CAlarmScheduler::WakeTick() {
    if (CDateTime::Now() < *m_nextWake) {
        ScheduleWake(); // woke a little early: the clock's second has not turned yet
        return;
    }
    Tick();
}

void CAlarmScheduler::TickNow() {
    if (m_checkTimer.isActive()) {
        RestartTimer();
    }
    Tick();
}

// ---- The tick ---------------------------------------------------------------------------------

void CAlarmScheduler::UpdateTooltip() {
    const std::string text = CDateTime::Now().Format(m_settings.TooltipTrayIcon);
    m_frame.SetTrayTooltip(CutCharacters(text, kTooltipLength));
}

void CAlarmScheduler::Tick() {
    UpdateTooltip();
    if (!m_alarmEnabled || m_document == nullptr || m_tickDepth > 0) {
        return;
    }
    int& busy = m_frame.BusyState();
    if (busy == 0) {
        busy = 1;
    }
    if (busy != 1) {
        return; // the database window or a merge holds the document
    }
    ++m_tickDepth;
    struct DepthGuard {
        int& depth;
        ~DepthGuard() { --depth; }
    } guard{m_tickDepth};

    const CDateTime now = CDateTime::Now();
    const int64_t days = (now - m_document->GetNow()).GetTotalSeconds() / kSecondsPerDay;
    if (days >= kClockJumpDays || days <= -kClockJumpDays) {
        SetAlarmEnabled(false);
        if (m_prompt.AskYesNo(LoadString(kIdsAskDisableAfterClockJump),
                              PromptIcon::Exclamation)) {
            m_frame.BusyState() = 0;
            return;
        }
        SetAlarmEnabled(true);
    }

    m_document->CheckDates(now, m_settings.DeleteDoneTodo, m_settings.DaysBeforeDeleteTodo);

    if (m_document->GetPendingSilentReminderCount() > 0 && !m_showSilentRequested) {
        if (!m_flashTimer.isActive()) {
            m_flashTimer.start();
        }
    } else if (m_flashTimer.isActive()) {
        m_flashTimer.stop();
        if (m_flashPhase) {
            m_frame.SetTrayIcon(m_currentIcon);
            m_flashPhase = false;
        }
    }

    m_currentIcon = ChooseIcon(true);
    if (!m_flashTimer.isActive()) {
        ApplyIcon(m_currentIcon);
    }

    ProcessReminders();
    m_showSilentRequested = false;
    m_frame.BusyState() = 0;
    ScheduleWake();
}

void CAlarmScheduler::FlashTick() {
    if (m_flashPhase) {
        m_frame.SetTrayIcon(m_currentIcon);
        m_flashPhase = false;
    } else {
        m_frame.SetTrayIcon(TrayIconKind::Flash);
        m_flashPhase = true;
    }
}

TrayIconKind CAlarmScheduler::ChooseIcon(bool enabled) const {
    const bool dueTodos =
        m_settings.ShowDueTodoSystray && m_document != nullptr && m_document->HasDueTodo();
    if (enabled) {
        return dueTodos ? TrayIconKind::AlarmOnDueTodos : TrayIconKind::AlarmOn;
    }
    return dueTodos ? TrayIconKind::AlarmOffDueTodos : TrayIconKind::AlarmOff;
}

void CAlarmScheduler::ApplyIcon(TrayIconKind kind) {
    m_currentIcon = kind;
    m_frame.SetTrayIcon(kind);
}

void CAlarmScheduler::ProcessReminders() {
    CDayvaultDoc& document = *m_document;
    bool created = false;
    if (!m_reminderDlg) {
        if (document.GetPendingReminderCount() > 0 ||
            (document.GetPendingSilentReminderCount() > 0 && m_showSilentRequested)) {
            m_reminderDlg = new CReminderDlg(*m_requests, m_settings, m_windowSettings, m_prompt,
                                             m_sound);
            connect(m_reminderDlg, &CReminderDlg::closed, this,
                    &CAlarmScheduler::OnReminderClosed, Qt::QueuedConnection);
            // Posted behind the close, so that the window is gone before the editor opens.
            connect(m_reminderDlg, &CReminderDlg::editRequested, this, [this](CDateEntry* event) {
                QMetaObject::invokeMethod(
                    this, [this, event] { OnReminderEdit(event); }, Qt::QueuedConnection);
            });
            created = true;
        }
    } else if (!m_reminderDlg->isActiveWindow()) {
        m_reminderDlg->FlashCaption();
    }

    for (int i = 0; i < document.GetDateEntryCount(); ++i) {
        CDateEntry* event = document.GetDateEntry(i);
        const DateData& data = event->GetData();
        if (!event->IsSuspended() && data.Forewarn != 0 &&
            (data.ForewarnSilent == 0 || m_showSilentRequested) && event->GetDueCount() > 0 &&
            m_reminderDlg) {
            m_reminderDlg->AddEvent(event);
        }
    }

    if (created) {
        OpenReminderWindow();
    }
    if (m_reminderDlg) {
        QMetaObject::invokeMethod(m_reminderDlg, &CReminderDlg::ReminderRefresh,
                                  Qt::QueuedConnection);
    }

    // Events without a reminder message: their actions run at their reminder time.
    for (int i = 0; i < document.GetDateEntryCount(); ++i) {
        CDateEntry* event = document.GetDateEntry(i);
        if (event->IsSuspended() || event->GetData().Forewarn != 0) {
            continue;
        }
        event->SetSuspended(true);
        for (int index = 0; index < event->GetDueCount();) {
            const CDateTime occurrence = event->GetDueOccurrence(index);
            const int32_t action = event->GetData().Action;
            if (action == kActionOpen || action == kActionRun) {
                ExecuteAction(*event, false);
                Acknowledge(*event, occurrence); // leaves the due list: the index stays
            } else {
                ++index;
            }
        }
        event->SetSuspended(false);
    }
}

void CAlarmScheduler::OpenReminderWindow() {
    CReminderDlg& dlg = *m_reminderDlg;
    dlg.setWindowFlag(Qt::WindowStaysOnTopHint, m_settings.RemindersAlwaysOnTop);
    dlg.setAttribute(Qt::WA_ShowWithoutActivating, !m_settings.RemindersInputFocus);
    dlg.Initialise();
    if (m_windowSettings.ReminderSizeValid) {
        const QSize size = dlg.sizeHint().expandedTo(dlg.minimumSizeHint());
        QRect screen(0, 0, size.width(), size.height());
        if (const QScreen* primary = QGuiApplication::primaryScreen()) {
            screen = primary->availableGeometry();
        }
        const int x = std::clamp(m_windowSettings.ReminderWindowX, screen.left(),
                                 std::max(screen.left(), screen.right() + 1 - size.width()));
        const int y = std::clamp(m_windowSettings.ReminderWindowY, screen.top(),
                                 std::max(screen.top(), screen.bottom() + 1 - size.height()));
        dlg.move(x, y);
    }
    dlg.show();
    if (m_settings.RemindersInputFocus) {
        dlg.raise();
        dlg.activateWindow();
    }
    if (QWidget* main = m_frame.MainWindow()) {
        main->setEnabled(false);
    }
    if (m_frame.IsMainWindowHidden()) {
        const std::string count = std::to_string(dlg.GetRecordCount());
        std::string text = FormatString(kIdsReminderNotification, count);
        // The first few reminders by name, so that the user knows what it is about.
        const FormatSettings formats = m_settings.GetFormatSettings();
        for (int row = 0; row < std::min(dlg.GetRecordCount(), 3); ++row) {
            const ReminderRecord* record = dlg.GetRecordAt(row);
            CDateEntryFormatter formatter(*record->event, formats);
            text += "\n" + formatter.Expand(record->event->GetData().Description,
                                            record->occurrence, record->occurrence);
        }
        m_frame.ShowNotification(LoadString(kIdsReminderTitle), text);
    }
}

void CAlarmScheduler::OnReminderClosed() {
    CReminderDlg* dlg = m_reminderDlg.data();
    if (dlg == nullptr) {
        return;
    }
    m_reminderDlg.clear();
    if (QWidget* main = m_frame.MainWindow()) {
        main->setEnabled(true);
    }
    if (dlg->isVisible()) {
        m_windowSettings.ReminderWindowX = dlg->pos().x();
        m_windowSettings.ReminderWindowY = dlg->pos().y();
        m_windowSettings.ReminderSizeValid = true;
    }
    // At once, not with the deletion: an edit request queued behind this suspends the event
    // again in the editor, and a late release would clear that.
    dlg->ReleaseEvents();
    dlg->hide();
    dlg->deleteLater();
}

// The document deleted events, or replaced them all: the reminder window must not keep them.
void CAlarmScheduler::ForgetVanishedEvents() {
    if (CReminderDlg* dlg = m_reminderDlg.data(); dlg != nullptr && m_document != nullptr) {
        const CDayvaultDoc& document = *m_document;
        dlg->ForgetEvents(
            [&document](const CDateEntry* event) { return document.IndexOfDateEntry(event) < 0; });
    }
}

void CAlarmScheduler::OnReminderEdit(CDateEntry* event) {
    if (m_document != nullptr && m_document->IndexOfDateEntry(event) >= 0) {
        m_frame.EditEvent(event);
    }
}

void CAlarmScheduler::RaiseReminderWindow() {
    if (CReminderDlg* dlg = m_reminderDlg.data()) {
        if (dlg->isMinimized()) {
            dlg->showNormal();
        }
        dlg->raise();
        dlg->activateWindow();
    }
}

void CAlarmScheduler::RefreshTexts() {
    UpdateTooltip();
    if (CReminderDlg* dlg = m_reminderDlg.data()) {
        dlg->RefreshTexts();
    }
}

// ---- Commands ---------------------------------------------------------------------------------

void CAlarmScheduler::SetAlarmEnabled(bool enabled) {
    m_alarmEnabled = enabled;
    ApplyIcon(ChooseIcon(enabled));
    ScheduleWakeLater();
}

void CAlarmScheduler::ToggleAlarm() {
    if (m_alarmEnabled && m_settings.WarnOnAlarmDisable &&
        !m_prompt.AskYesNo(LoadString(kIdsAskAlarmOff), PromptIcon::Exclamation)) {
        return;
    }
    SetAlarmEnabled(!m_alarmEnabled);
}

bool CAlarmScheduler::CanShowSilentAlarms() const {
    return m_document != nullptr && m_document->GetPendingSilentReminderCount() > 0 &&
           !m_showSilentRequested;
}

void CAlarmScheduler::ShowSilentAlarms() {
    m_showSilentRequested = true;
    if (m_checkTimer.isActive()) {
        RestartTimer();
    }
    Tick();
}

void CAlarmScheduler::ResetEventStates() {
    SetAlarmEnabled(false);
    if (m_prompt.AskYesNo(LoadString(kIdsAskResetEventStates), PromptIcon::Exclamation) &&
        m_document != nullptr) {
        for (int i = 0; i < m_document->GetDateEntryCount(); ++i) {
            m_document->GetDateEntry(i)->ResetReminderState();
        }
        m_document->UpdateAllViews(UpdateHint::EventsReset);
    }
    SetAlarmEnabled(true);
}

// ---- Operations on events ---------------------------------------------------------------------

bool CAlarmScheduler::AskActionApproval(const DateData& shown, bool byUser) {
    const std::vector<std::string> lines = CSharedActionApprovals::ActionLines(shown);
    switch (m_approvals->Check(shown)) {
    case CSharedActionApprovals::Decision::NotNeeded:
        // Set up here: the event's own confirmation setting.
        if (shown.Action == kActionOpen && shown.AckOpen != 0) {
            return m_prompt.AskYesNoWithDetails(LoadString(kIdsAskOpenShown), lines,
                                                PromptIcon::Question);
        }
        if (shown.Action == kActionRun && shown.AckExecute != 0) {
            return m_prompt.AskYesNoWithDetails(LoadString(kIdsAskRunShown), lines,
                                                PromptIcon::Question);
        }
        return true;
    case CSharedActionApprovals::Decision::Approved:
        return true;
    case CSharedActionApprovals::Decision::Refused:
        if (!byUser) {
            return false;
        }
        break;
    case CSharedActionApprovals::Decision::Unknown:
        break;
    }
    const uint32_t question =
        shown.Action == kActionOpen ? kIdsAskSharedOpenShown : kIdsAskSharedRunShown;
    const bool approved =
        m_prompt.AskYesNoWithDetails(LoadString(question), lines, PromptIcon::Exclamation);
    // About what was shown, whatever the event says by now.
    m_approvals->Record(shown, approved);
    return approved;
}

void CAlarmScheduler::ExecuteAction(CDateEntry& event, bool byUser) {
    // A copy: what runs is exactly what the question showed and the user allowed.
    const DateData shown = event.GetData();
    if (shown.Action != kActionOpen && shown.Action != kActionRun) {
        return;
    }
    const QuestionScope scope(*this);
    if (!AskActionApproval(shown, byUser)) {
        return;
    }
    if (shown.Action == kActionOpen) {
        if (!m_launcher.OpenDocument(shown.DocumentFile)) {
            m_prompt.ShowMessage(FormatString(kIdsCannotOpenDocument, shown.DocumentFile),
                                 PromptIcon::Stop);
        }
    } else if (!m_launcher.RunCommand(shown.CmdLine, shown.Parameter)) {
        m_prompt.ShowMessage(FormatString(kIdsCannotExecuteCommand, shown.CmdLine),
                             PromptIcon::Stop);
    }
}

void CAlarmScheduler::Acknowledge(CDateEntry& event, const CDateTime& occurrence) {
    if (m_document == nullptr || m_document->IndexOfDateEntry(&event) < 0) {
        return;
    }
    // Through the document, which tells the views (hint 6) and asks for a save.
    CDateEntry changed(event);
    changed.SetDone(occurrence, true);
    m_document->ChangeDateEntry(&event, changed, kEditSendHint);
}

void CAlarmScheduler::ReminderAcknowledge(const ReminderRecord& record) {
    Acknowledge(*record.event, record.occurrence);
}

void CAlarmScheduler::ReminderExecute(const ReminderRecord& record) {
    ExecuteAction(*record.event, true);
}

void CAlarmScheduler::ReminderSnooze(const ReminderRecord& record) {
    CDateEntry& event = *record.event;
    if (m_document == nullptr || m_document->IndexOfDateEntry(&event) < 0) {
        return;
    }
    const CDateTime now = record.decidedAt.IsSet() ? record.decidedAt : CDateTime::Now();
    CDateEntry changed(event);
    // The choice becomes the event's default for its next reminder.
    DateData data = changed.GetData();
    data.SnoozeSpan = record.span;
    data.SnoozeUnit = record.unit;
    data.SnoozeType = record.mode;
    const bool dataChanged = !(data == event.GetData());
    changed.AssignData(data);
    std::optional<CDateTime> fixedTime;
    if (m_settings.SnoozeToFixedTime) {
        fixedTime = m_settings.SnoozeEndTime;
    }
    // The one rule the reminder window asked about; from the moment the user decided.
    changed.Snooze(record.occurrence,
                   changed.ComputeSnoozeTime(record.occurrence, record.span, record.unit,
                                             record.mode, now, fixedTime));
    // The snooze defaults are shared data; the snooze state itself stays on this machine.
    m_document->ChangeDateEntry(&event, changed,
                                kEditSendHint | (dataChanged ? uint32_t{kEditListChange} : 0u));
}

bool CAlarmScheduler::ReminderDelete(CDateEntry* event) {
    {
        const QuestionScope scope(*this); // the frame asks before it deletes
        m_frame.DeleteEvent(event);
    }
    return m_document == nullptr || m_document->IndexOfDateEntry(event) < 0;
}

} // namespace dv
