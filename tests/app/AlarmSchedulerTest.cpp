#include "AlarmRig.h"

#include "app/CReminderDlg.h"
#include "app/CSharedActionApprovals.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/CResumeWatcher.h"

#include <QComboBox>
#include <QPushButton>
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
        QCOMPARE(rig.frame.tooltip, std::string("March 2, 2026"));
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
        // The arguments are shown too, one a line.
        QCOMPARE(rig.prompt.GetShown().back().text,
                 dv::LoadString(dv::kIdsAskRunShown) + "\nProgram: backup\nArgument 1: --all");
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

        // The question names the program and each argument on a line of its own.
        const auto question = [](const char* arguments) {
            std::string text = dv::LoadString(dv::kIdsAskSharedRunShown) + "\nProgram: backup.sh";
            int number = 0;
            for (const QString& argument : QString::fromLatin1(arguments).split(QLatin1Char(' '))) {
                text += "\nArgument " + std::to_string(++number) + ": " + argument.toStdString();
            }
            return text;
        };
        rig.SetTime(2, 10, 0);
        rig.prompt.QueueAnswer(true);
        rig.Tick();
        QCOMPARE(rig.prompt.GetShown().back().text, question("--all"));
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
        QCOMPARE(rig.prompt.GetShown().back().text, question("--all --delete"));
        rig.SetTime(5, 10, 0);
        rig.Tick(); // refused before: neither asked nor run
        QCOMPARE(rig.prompt.GetQuestionCount(), std::size_t{2});
        QCOMPARE(rig.launcher.ran.size(), std::size_t{2});
        QCOMPARE(event->GetDueCount(), 0);

        dv::CSharedActionApprovals reread(approvals);
        QCOMPARE(reread.Check(event->GetData()), dv::CSharedActionApprovals::Decision::Refused);

        // A shared event that came in by any other way (the command-line tool's sync wrote the
        // file this program opens; no hook of this program saw it) asks just the same, and so
        // does every event once the answers file is gone or cannot be written.
        AlarmRig fresh(approvals);
        auto synced = std::make_unique<dv::CDateEntry>(CDateTime::Now());
        data.Parameter = "--wipe";
        synced->SetData(data, CDateTime::Now());
        fresh.document.AddDateEntry(std::move(synced), dv::kEditSync);
        fresh.SetTime(2, 10, 0);
        fresh.prompt.QueueAnswer(true);
        fresh.Tick();
        QCOMPARE(fresh.prompt.GetShown().back().text, question("--wipe"));
        QCOMPARE(fresh.launcher.ran, std::vector<std::string>{"backup.sh|--wipe"});
        QVERIFY(std::filesystem::remove(approvals));
        AlarmRig forgotten(approvals);
        QCOMPARE(forgotten.scheduler.GetApprovals().Check(data),
                 dv::CSharedActionApprovals::Decision::Unknown);
        dv::CSharedActionApprovals unwritable(folder.filePath("missing/shared-actions.json").toStdString());
        QVERIFY(!unwritable.Record(data, true));
        QCOMPARE(unwritable.Check(data), dv::CSharedActionApprovals::Decision::Unknown);
        data.StorageType = 0; // a local event: its own confirmation setting decides
        QCOMPARE(unwritable.Check(data), dv::CSharedActionApprovals::Decision::NotNeeded);
    }

    // What the question shows is what runs: every argument as the launcher splits it, and the
    // characters that hide or reorder text shown by their codes.
    void questionShowsEveryArgumentVisibly() {
        DateData data;
        data.Action = 2;
        data.CmdLine = " /usr/bin/tool\n";
        data.Parameter = "-x \"two words\" 'fdp.exe\xE2\x80\xAE' \"tab\there\"";
        const std::vector<std::string> expected = {
            "Program: /usr/bin/tool", "Argument 1: -x", "Argument 2: two words",
            "Argument 3: 'fdp.exe<U+202E>'", "Argument 4: tab<U+0009>here"};
        QCOMPARE(dv::CSharedActionApprovals::ActionLines(data), expected);
        QCOMPARE(dv::CSharedActionApprovals::MakeInvisiblesVisible("a\xE2\x80\x8B" "b\x1B[2Jc\xC3\xA9"),
                 std::string("a<U+200B>b<U+001B>[2Jc\xC3\xA9"));
        data.Action = 1;
        data.DocumentFile = "/tmp/x\npdf";
        QCOMPARE(dv::CSharedActionApprovals::ActionLines(data),
                 std::vector<std::string>{"Document: /tmp/x<U+000A>pdf"});
    }

    // A question about an entry holds the document: the busy state says busy while it is open
    // (a merge waits, a tick does only the tooltip), and what runs and is recorded as allowed
    // is what was shown, even if the event changed meanwhile by some other way.
    void questionHoldsTheDocument() {
        AlarmRig rig;
        dv::CDateEntry* event = rig.AddEvent(CDateTime(2026, 3, 2, 9, 10, 0), 30, [](DateData& d) {
            d.StorageType = 1;
            d.Action = 2;
            d.CmdLine = "notify";
            d.Parameter = "--shown";
        });
        rig.Tick();
        dv::CReminderDlg* window = rig.scheduler.GetReminderWindow();
        QVERIFY(window != nullptr);
        int busyWhileOpen = -1;
        rig.prompt.QueueAnswer(true, [&] {
            busyWhileOpen = rig.frame.busy;
            rig.SetTime(2, 9, 20);
            rig.Tick(); // the modal loop delivers the timer
            DateData changed = event->GetData();
            changed.Parameter = "--other";
            event->AssignData(changed);
        });
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("executeButton")),
                          Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(busyWhileOpen, 1);
        QCOMPARE(rig.frame.busy, 0);
        QCOMPARE(rig.launcher.ran, std::vector<std::string>{"notify|--shown"});
        QCOMPARE(rig.scheduler.GetApprovals().Check(event->GetData()),
                 dv::CSharedActionApprovals::Decision::Unknown);
        DateData shown = event->GetData();
        shown.Parameter = "--shown";
        QCOMPARE(rig.scheduler.GetApprovals().Check(shown),
                 dv::CSharedActionApprovals::Decision::Approved);
    }

    // Between two periodic ticks the scheduler wakes at the next moment a reminder falls due:
    // a reminder, a snoozed one and one added meanwhile come on their second, not up to a whole
    // interval late. Driven by the fixed clock; the wake timer's slot stands in for its expiry.
    void wakesWhenAReminderFallsDue() {
        AlarmRig rig;
        rig.settings.DateCheckInterval = 900;
        rig.scheduler.Start();
        rig.AddEvent(CDateTime(2026, 3, 2, 9, 20, 20), 10); // due 09:10:20
        QCoreApplication::processEvents();
        QVERIFY(rig.scheduler.IsWakeScheduled());
        QCOMPARE(rig.scheduler.GetNextWake(), CDateTime(2026, 3, 2, 9, 10, 20));
        QVERIFY(rig.scheduler.GetWakeInterval() <= 620000);
        QVERIFY(rig.scheduler.GetWakeInterval() > 619000);

        rig.SetTime(2, 9, 10, 19); // a timer may fire a little early: nothing yet, wake again
        rig.scheduler.WakeTick();
        QVERIFY(rig.scheduler.GetReminderWindow() == nullptr);
        QCOMPARE(rig.scheduler.GetNextWake(), CDateTime(2026, 3, 2, 9, 10, 20));
        QVERIFY(rig.scheduler.GetWakeInterval() <= 1000);
        rig.SetTime(2, 9, 10, 20);
        rig.scheduler.WakeTick();
        QCoreApplication::processEvents();
        dv::CReminderDlg* window = rig.scheduler.GetReminderWindow();
        QVERIFY(window != nullptr);

        // Snoozed for a minute: the wake follows the snooze.
        window->findChild<QComboBox*>(QStringLiteral("snoozeSpan"))->setEditText(QStringLiteral("1"));
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("minutesButton")),
                          Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(rig.scheduler.GetReminderWindow() == nullptr);
        QCOMPARE(rig.scheduler.GetNextWake(), CDateTime(2026, 3, 2, 9, 11, 20));
        rig.SetTime(2, 9, 11, 20);
        rig.scheduler.WakeTick();
        QCoreApplication::processEvents();
        QVERIFY(rig.scheduler.GetReminderWindow() != nullptr);

        // An event added meanwhile, due in 40 s: the wake moves to it. Nothing within the
        // interval: no wake, the periodic tick looks again.
        rig.AddEvent(CDateTime(2026, 3, 2, 9, 12, 0), 0);
        QCoreApplication::processEvents();
        QCOMPARE(rig.scheduler.GetNextWake(), CDateTime(2026, 3, 2, 9, 12, 0));
        rig.SetTime(2, 9, 12, 0);
        rig.scheduler.WakeTick();
        QCoreApplication::processEvents();
        QCOMPARE(rig.scheduler.GetReminderWindow()->GetRecordCount(), 2);
        QVERIFY(!rig.scheduler.IsWakeScheduled());
        rig.scheduler.SetAlarmEnabled(false);
        rig.AddEvent(CDateTime(2026, 3, 2, 9, 13, 0), 0);
        QCoreApplication::processEvents();
        QVERIFY(!rig.scheduler.IsWakeScheduled());
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
