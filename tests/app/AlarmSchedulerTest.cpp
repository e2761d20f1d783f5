#include "AlarmRig.h"

#include "app/CReminderDlg.h"
#include "app/CSharedActionApprovals.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/CResumeWatcher.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using dv::CDateTime;
using dv::CDateTimeSpan;
using dv::DateData;
using dv::TrayIconKind;
using dvtest::AlarmRig;

namespace {

bool Asked(const dv::CQueuedPrompt& prompt, uint32_t id) {
    const std::string text = dv::LoadString(id);
    for (const auto& shown : prompt.GetShown()) {
        if (shown.text == text) {
            return true;
        }
    }
    return false;
}

} // namespace

class AlarmSchedulerTest : public QObject {
    Q_OBJECT

private slots:
    // A reminder 15 minutes ahead is due at 09:45:00, not a second earlier; the window opens
    // with the main window disabled; the tooltip is today's date cut to 63 characters; a busy
    // document or a disabled alarm leaves everything but the tooltip alone.
    void tickRaisesReminderOnTime() {
        AlarmRig rig;
        rig.AddEvent(CDateTime(2026, 3, 2, 10, 0, 0), 15);
        rig.SetTime(2, 9, 44, 59);
        rig.Tick();
        QCOMPARE(rig.frame.tooltip, std::string("02. March 2026"));
        QVERIFY(rig.scheduler.GetReminderWindow() == nullptr);
        QCOMPARE(rig.frame.icons.back(), TrayIconKind::AlarmOn);

        rig.frame.busy = 2; // the database window holds the document
        rig.SetTime(2, 9, 45, 0);
        rig.Tick();
        QVERIFY(rig.scheduler.GetReminderWindow() == nullptr);
        QCOMPARE(rig.frame.busy, 2);

        rig.frame.busy = 0;
        rig.Tick();
        dv::CReminderDlg* window = rig.scheduler.GetReminderWindow();
        QVERIFY(window != nullptr);
        QCOMPARE(window->GetRecordCount(), 1);
        QVERIFY(!rig.frame.mainWindow.isEnabled());
        QCOMPARE(rig.frame.busy, 0);
        QVERIFY(rig.frame.notifications.empty());

        rig.settings.TooltipTrayIcon = std::string(70, 'x') + "%Y";
        rig.Tick();
        QCOMPARE(rig.frame.tooltip, std::string(63, 'x'));

        rig.document.NewDocument(); // its events are gone: the window lets go of them
        QCoreApplication::processEvents();
        QVERIFY(rig.scheduler.GetReminderWindow() == nullptr);
        QVERIFY(rig.frame.mainWindow.isEnabled());
    }

    // 2 days 23 hours between checks is no jump; 3 days forward or back asks, with the alarm off
    // while the question is open. Yes keeps it off and the reminders unchecked, and switching it
    // on later asks again; No goes on.
    void clockJumpQuestion() {
        AlarmRig rig;
        rig.clock->Advance(CDateTimeSpan(2, 23, 0, 0));
        rig.Tick(); // an unexpected question would throw
        QCOMPARE(rig.document.GetNow(), CDateTime::Now());

        const CDateTime before = rig.document.GetNow();
        rig.clock->Advance(CDateTimeSpan(3, 0, 0, 0));
        bool offWhileOpen = false;
        rig.prompt.QueueAnswer(true, [&] {
            offWhileOpen = !rig.scheduler.IsAlarmEnabled();
            rig.scheduler.Tick(); // a tick inside the question does nothing
        });
        rig.Tick();
        QVERIFY(offWhileOpen);
        QVERIFY(Asked(rig.prompt, dv::kIdsAskDisableAfterClockJump));
        QVERIFY(!rig.scheduler.IsAlarmEnabled());
        QCOMPARE(rig.frame.icons.back(), TrayIconKind::AlarmOff);
        QCOMPARE(rig.document.GetNow(), before);
        QCOMPARE(rig.frame.busy, 0);

        rig.scheduler.ToggleAlarm(); // switching on asks nothing
        rig.prompt.QueueAnswer(false);
        rig.Tick();
        QCOMPARE(rig.prompt.GetQuestionCount(), std::size_t{2});
        QVERIFY(rig.scheduler.IsAlarmEnabled());
        QCOMPARE(rig.document.GetNow(), CDateTime::Now());

        rig.clock->Advance(CDateTimeSpan(-3, 0, 0, 0));
        rig.prompt.QueueAnswer(false);
        rig.Tick();
        QCOMPARE(rig.prompt.GetQuestionCount(), std::size_t{3});
    }

    // Only silent reminders: no window, the icon flashes every second; showing silent alarms
    // opens the window with them and stops the flashing with the current icon back.
    void silentRemindersFlash() {
        AlarmRig rig;
        rig.AddEvent(CDateTime(2026, 3, 2, 9, 30, 0), 30,
                     [](DateData& data) { data.ForewarnSilent = 1; });
        rig.Tick();
        QVERIFY(rig.scheduler.GetReminderWindow() == nullptr);
        QVERIFY(rig.scheduler.IsFlashing());
        QVERIFY(rig.scheduler.CanShowSilentAlarms());
        rig.frame.icons.clear();
        rig.scheduler.FlashTick();
        rig.scheduler.FlashTick();
        rig.scheduler.FlashTick();
        QCOMPARE(rig.frame.icons, (std::vector<TrayIconKind>{
                                      TrayIconKind::Flash, TrayIconKind::AlarmOn,
                                      TrayIconKind::Flash}));

        rig.scheduler.ShowSilentAlarms();
        QCoreApplication::processEvents();
        QVERIFY(rig.scheduler.GetReminderWindow() != nullptr);
        QCOMPARE(rig.scheduler.GetReminderWindow()->GetRecordCount(), 1);
        QVERIFY(!rig.scheduler.IsFlashing());
        QCOMPARE(rig.frame.icons.back(), TrayIconKind::AlarmOn);
        rig.Tick(); // the shown reminder no longer counts as waiting unseen
        QVERIFY(!rig.scheduler.CanShowSilentAlarms());
    }

    // Events without a reminder message run their action at their time and the occurrence is
    // acknowledged; the event's own confirmation is asked; failures are reported; an event
    // without action keeps its due occurrence.
    void actionsOfEventsWithoutReminder() {
        AlarmRig rig;
        dv::CDateEntry* open = rig.AddEvent(CDateTime(2026, 3, 2, 9, 0, 0), -1, [](DateData& d) {
            d.Action = 1;
            d.DocumentFile = "/home/me/agenda.pdf";
        });
        dv::CDateEntry* run = rig.AddEvent(CDateTime(2026, 3, 2, 9, 0, 0), -1, [](DateData& d) {
            d.Action = 2;
            d.CmdLine = "backup";
            d.Parameter = "--all";
            d.AckExecute = 1;
        });
        dv::CDateEntry* none = rig.AddEvent(CDateTime(2026, 3, 2, 9, 0, 0), -1);
        rig.prompt.QueueAnswer(false); // do not run the backup
        rig.Tick();
        QVERIFY(rig.scheduler.GetReminderWindow() == nullptr);
        QCOMPARE(rig.launcher.opened, std::vector<std::string>{"/home/me/agenda.pdf"});
        QVERIFY(rig.launcher.ran.empty());
        QCOMPARE(rig.prompt.GetShown().back().text,
                 dv::FormatString(dv::kIdsAskExecuteCommand, "backup"));
        QCOMPARE(open->GetDueCount(), 0);
        QCOMPARE(run->GetDueCount(), 0);
        QCOMPARE(none->GetDueCount(), 1);
        QVERIFY(!open->IsSuspended() && !run->IsSuspended());

        rig.launcher.succeed = false;
        open->SetDone(CDateTime(2026, 3, 2, 9, 0, 0), false); // due again
        rig.Tick();
        QCOMPARE(rig.prompt.GetShown().back().text,
                 dv::FormatString(dv::kIdsCannotOpenDocument, "/home/me/agenda.pdf"));
        QCOMPARE(rig.prompt.GetShown().back().icon, dv::PromptIcon::Stop);
    }

    // A command that another user's event brought through synchronisation asks before its first
    // run, whatever AckExecute says, and again when the command changes; a refusal is
    // remembered; a command changed here runs as usual. The answers survive a restart.
    void sharedActionsNeedApproval() {
        QTemporaryDir folder;
        const std::filesystem::path approvals = folder.filePath("shared-actions.json").toStdString();
        const std::filesystem::path shared = folder.filePath("shared.dat").toStdString();
        AlarmRig rig(approvals);

        // Another user's daily event at 10:00 with a command and no reminder message.
        dv::CDayvaultDoc other;
        auto made = std::make_unique<dv::CDateEntry>(CDateTime::Now());
        DateData data = made->GetData();
        data.StorageType = 1;
        data.StartDate = CDateTime(2026, 3, 2, 10, 0, 0);
        data.EndDate = data.StartDate;
        data.Repeat = 1;
        data.RepeatRate = 1;
        data.RepeatUnit = 2;
        data.Action = 2;
        data.CmdLine = "backup.sh";
        data.Parameter = "--all";
        made->SetData(data, CDateTime::Now());
        dv::CDateEntry* original = made.get();
        other.AddDateEntry(std::move(made), dv::kEditInteractive);
        QVERIFY(other.SaveAs(shared));
        QVERIFY(rig.document.SynchronizeWith(shared, 1, 3));
        dv::CDateEntry* event = rig.document.FindDateEntry(original->GetGUID());
        QVERIFY(event != nullptr);

        const std::string question =
            dv::FormatString(dv::kIdsAskSharedExecute, "backup.sh --all");
        rig.SetTime(2, 10, 0);
        rig.prompt.QueueAnswer(true);
        rig.Tick();
        QCOMPARE(rig.prompt.GetShown().back().text, question);
        QCOMPARE(rig.launcher.ran, std::vector<std::string>{"backup.sh|--all"});
        rig.SetTime(3, 10, 0);
        rig.Tick(); // approved: no question
        QCOMPARE(rig.launcher.ran.size(), std::size_t{2});
        QCOMPARE(rig.prompt.GetQuestionCount(), std::size_t{1});

        // The other user changes the command.
        data.Parameter = "--all --delete";
        other.ChangeDateEntry(original, data, dv::kEditInteractive);
        QVERIFY(other.SaveAs(shared));
        QVERIFY(rig.document.SynchronizeWith(shared, 1, 3));
        rig.SetTime(4, 10, 0);
        rig.prompt.QueueAnswer(false);
        rig.Tick();
        QCOMPARE(rig.prompt.GetShown().back().text,
                 dv::FormatString(dv::kIdsAskSharedExecute, "backup.sh --all --delete"));
        rig.SetTime(5, 10, 0);
        rig.Tick(); // refused before: neither asked nor run
        QCOMPARE(rig.prompt.GetQuestionCount(), std::size_t{2});
        QCOMPARE(rig.launcher.ran.size(), std::size_t{2});
        QCOMPARE(event->GetDueCount(), 0);

        dv::CSharedActionApprovals reread(approvals);
        QCOMPARE(reread.Check(*event), dv::CSharedActionApprovals::Decision::Refused);

        // The user sets a command here: the event's own rules apply again.
        DateData local = event->GetData();
        local.Parameter = "--mine";
        rig.document.ChangeDateEntry(event, local, dv::kEditInteractive);
        rig.SetTime(6, 10, 0);
        rig.Tick();
        QCOMPARE(rig.launcher.ran.back(), std::string("backup.sh|--mine"));
        QCOMPARE(rig.prompt.GetQuestionCount(), std::size_t{2});
    }

    // Resume: the watcher turns a burst of wake-up signals into one tick; a reminder that fell
    // due during the sleep appears, and neither the resume tick nor the timer's next tick raises
    // it twice.
    void resumeRaisesNothingTwice() {
        AlarmRig rig;
        rig.settings.DateCheckInterval = 30;
        rig.scheduler.Start();
        QVERIFY(rig.scheduler.IsTimerRunning());
        QCOMPARE(rig.scheduler.GetTimerInterval(), 30000);
        rig.AddEvent(CDateTime(2026, 3, 2, 11, 0, 0), 10,
                     [](DateData& d) { d.Sound = 1; d.SoundRepeatEndless = 0; });

        dv::CResumeWatcher watcher;
        QSignalSpy resumed(&watcher, &dv::CResumeWatcher::resumed);
        connect(&watcher, &dv::CResumeWatcher::resumed, &rig.scheduler,
                &dv::CAlarmScheduler::TickNow);
        rig.SetTime(2, 11, 30); // slept through 10:50
        watcher.OnPrepareForSleep(true);
        watcher.OnPrepareForSleep(false);
        watcher.OnScreenSaverActiveChanged(false);
        watcher.OnApplicationStateChanged(Qt::ApplicationActive);
        QVERIFY(resumed.wait(2000));
        QTest::qWait(dv::CResumeWatcher::kCoalesceMs * 2);
        QCOMPARE(resumed.count(), 1);
        QCoreApplication::processEvents();

        dv::CReminderDlg* window = rig.scheduler.GetReminderWindow();
        QVERIFY(window != nullptr);
        QCOMPARE(window->GetRecordCount(), 1);
        QWidget otherProgram; // in front of the reminder window
        otherProgram.show();
        otherProgram.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&otherProgram));
        rig.Tick();
        rig.scheduler.TickNow();
        QCoreApplication::processEvents();
        QCOMPARE(rig.scheduler.GetReminderWindow(), window);
        QCOMPARE(window->GetRecordCount(), 1);
        QCOMPARE(rig.document.GetDateEntry(0)->GetDueCount(), 1);
        // Every tick with the window behind another program flashes its caption.
        QCOMPARE(window->GetCaptionFlashCount(), 2);
    }

    // The alarm switch asks before switching off; the reset asks with the alarm off, changes
    // nothing on No and empties the reminder lists on Yes, and leaves the alarm on.
    void alarmAndResetCommands() {
        AlarmRig rig;
        rig.settings.ShowDueTodoSystray = false;
        dv::CDateEntry* event = rig.AddEvent(CDateTime(2026, 3, 2, 9, 0, 0), 0,
                                             [](DateData& d) { d.ForewarnSilent = 1; });
        rig.Tick();
        QCOMPARE(event->GetDueCount(), 1);

        rig.prompt.QueueAnswer(false);
        rig.scheduler.ToggleAlarm();
        QVERIFY(rig.scheduler.IsAlarmEnabled());
        QVERIFY(Asked(rig.prompt, dv::kIdsAskAlarmOff));
        rig.prompt.QueueAnswer(true);
        rig.scheduler.ToggleAlarm();
        QVERIFY(!rig.scheduler.IsAlarmEnabled());
        QCOMPARE(rig.frame.icons.back(), TrayIconKind::AlarmOff);
        rig.scheduler.ToggleAlarm();

        bool offWhileOpen = false;
        rig.prompt.QueueAnswer(false, [&] { offWhileOpen = !rig.scheduler.IsAlarmEnabled(); });
        rig.scheduler.ResetEventStates();
        QVERIFY(offWhileOpen);
        QVERIFY(rig.scheduler.IsAlarmEnabled());
        QCOMPARE(event->GetDueCount(), 1);
        rig.prompt.QueueAnswer(true);
        rig.scheduler.ResetEventStates();
        QCOMPARE(event->GetDueCount(), 0);
        QVERIFY(rig.scheduler.IsAlarmEnabled());

        // An urgent to-do switches the icon at the next tick when the setting asks for it.
        rig.settings.ShowDueTodoSystray = true;
        auto todo = std::make_unique<dv::CTodoEntry>(CDateTime::Now());
        dv::TodoData todoData = todo->GetData();
        todoData.Deadline = CDateTime(2026, 3, 4); // within its three days of forewarning
        todo->SetData(todoData);
        rig.document.AddTodoEntry(std::move(todo), dv::kEditInteractive);
        rig.Tick();
        QCOMPARE(rig.scheduler.GetCurrentIcon(), TrayIconKind::AlarmOnDueTodos);
    }
};

QTEST_MAIN(AlarmSchedulerTest)
#include "AlarmSchedulerTest.moc"
