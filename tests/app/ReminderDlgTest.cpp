#include "AlarmRig.h"

#include "app/CReminderDlg.h"
#include "app/ReminderRecord.h"
#include "app/TimeLeft.h"
#include "format/StringIds.h"
#include "format/StringTable.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

using dv::CDateTime;
using dv::CDateTimeSpan;
using dv::DateData;
using dvtest::AlarmRig;

namespace {

template <class Widget>
Widget* Find(dv::CReminderDlg* window, const char* name) {
    Widget* widget = window->findChild<Widget*>(QLatin1String(name));
    if (widget == nullptr) {
        qFatal("no widget %s", name);
    }
    return widget;
}

void Click(dv::CReminderDlg* window, const char* button) {
    QTest::mouseClick(Find<QPushButton>(window, button), Qt::LeftButton);
    QCoreApplication::processEvents(); // the posted close
}

/// Selects list rows `rows` (and only them).
void Select(dv::CReminderDlg* window, std::initializer_list<int> rows) {
    auto* list = Find<QTreeWidget>(window, "eventList");
    list->clearSelection();
    for (const int row : rows) {
        list->topLevelItem(row)->setSelected(true);
    }
}

QString TextOf(dv::CReminderDlg* window, const char* label) {
    return Find<QLabel>(window, label)->text();
}

} // namespace

class ReminderDlgTest : public QObject {
    Q_OBJECT

private slots:
    void timeLeftForm() {
        const auto minutes = [](int64_t count) { return CDateTimeSpan(count * 60); };
        const std::pair<CDateTimeSpan, const char*> rows[] = {
            {minutes(90), "1 Hour, 30 Minutes"},
            {minutes(61), "1 Hour, 1 Minute"},
            {CDateTimeSpan(9, 0, 0, 0), "1 Week, 2 Days"},
            {CDateTimeSpan(14, 0, 0, 0), "2 Weeks, 0 Days"},
            {CDateTimeSpan(3, 0, 0, 59), "3 Days, 0 Hours"},
            {minutes(5), "5 Minutes"},
            {CDateTimeSpan(50), "1 Minute"}, // a started minute is still ahead
            {CDateTimeSpan(61), "2 Minutes"},
            {CDateTimeSpan(0), "Now"},
            {CDateTimeSpan(-59), "Now"},
            {CDateTimeSpan(-60), "1 Minute ago"},
            {minutes(-90), "1 Hour, 30 Minutes ago"},
            {CDateTimeSpan(-8, 0, 0, 0), "1 Week, 1 Day ago"},
        };
        for (const auto& [span, expected] : rows) {
            QCOMPARE(dv::FormatTimeLeft(span), std::string(expected));
        }
    }

    // Done on both reminders acknowledges them, closes the window, enables the main window again
    // and keeps the window's position; the events are no longer suspended.
    void doneClosesWindow() {
        AlarmRig rig;
        dv::CDateEntry* first = rig.AddEvent(CDateTime(2026, 3, 2, 9, 30, 0), 60);
        dv::CDateEntry* second = rig.AddEvent(CDateTime(2026, 3, 2, 9, 10, 0), 60);
        rig.Tick();
        dv::CReminderDlg* window = rig.scheduler.GetReminderWindow();
        QVERIFY(window != nullptr && window->isVisible());
        QCOMPARE(window->GetRecordCount(), 2);
        QVERIFY(first->IsSuspended() && second->IsSuspended());
        // Sorted by date: the earlier occurrence first, and selected.
        QCOMPARE(window->GetRecordAt(0)->event, second);
        QCOMPARE(TextOf(window, "headline"), QStringLiteral("Event on Mon, March 02, 2026, 09:10 AM"));
        QCOMPARE(TextOf(window, "timeLeft"), QStringLiteral("10 Minutes"));

        Select(window, {0, 1});
        Click(window, "doneButton");
        QVERIFY(rig.scheduler.GetReminderWindow() == nullptr);
        QVERIFY(rig.frame.mainWindow.isEnabled());
        QVERIFY(rig.window.ReminderSizeValid);
        QVERIFY(first->IsDone(CDateTime(2026, 3, 2, 9, 30, 0)));
        QVERIFY(second->IsDone(CDateTime(2026, 3, 2, 9, 10, 0)));
        QVERIFY(!first->IsSuspended() && !second->IsSuspended());
    }

    // Each unit button snoozes by the span in that unit, from now or before the event, and the
    // choice becomes the event's default; with SnoozeToFixedTime days and weeks end at
    // SnoozeEndTime's time of day.
    void snoozeUnitsAndModes() {
        struct Case {
            const char* button;
            int unit;
            bool beforeEvent;
            bool fixedTime;
            CDateTime expected;
        };
        // The event is on 23 March at 12:00; now is 2 March 09:00.
        const Case cases[] = {
            {"minutesButton", 0, false, false, CDateTime(2026, 3, 2, 9, 2, 0)},
            {"hoursButton", 1, false, false, CDateTime(2026, 3, 2, 11, 0, 0)},
            {"daysButton", 2, false, false, CDateTime(2026, 3, 4, 9, 0, 0)},
            {"weeksButton", 3, true, false, CDateTime(2026, 3, 9, 12, 0, 0)},
            {"daysButton", 2, false, true, CDateTime(2026, 3, 4, 8, 0, 0)},
            {"daysButton", 2, true, true, CDateTime(2026, 3, 21, 8, 0, 0)},
            {"weeksButton", 3, false, true, CDateTime(2026, 3, 16, 8, 0, 0)},
        };
        for (const Case& c : cases) {
            AlarmRig rig;
            rig.settings.SnoozeToFixedTime = c.fixedTime;
            rig.settings.SnoozeEndTime = CDateTime(2000, 1, 1, 8, 0, 0);
            const CDateTime occurrence(2026, 3, 23, 12, 0, 0);
            dv::CDateEntry* event = rig.AddEvent(occurrence, 4 * 7 * 24 * 60);
            rig.Tick();
            dv::CReminderDlg* window = rig.scheduler.GetReminderWindow();
            QVERIFY(window != nullptr);
            Find<QComboBox>(window, "snoozeSpan")->setEditText(QStringLiteral("-2"));
            QTest::mouseClick(Find<QRadioButton>(window, c.beforeEvent ? "beforeEvent" : "fromNow"),
                              Qt::LeftButton);
            Click(window, c.button);
            CDateTime until;
            QVERIFY2(event->GetSnoozeTime(occurrence, until), c.button);
            QCOMPARE(until, c.expected);
            QCOMPARE(event->GetData().SnoozeSpan, 2);
            QCOMPARE(event->GetData().SnoozeUnit, c.unit);
            QCOMPARE(event->GetData().SnoozeType, c.beforeEvent ? 1 : 0);
            QVERIFY(rig.scheduler.GetReminderWindow() == nullptr);
        }
    }

    // A snooze past the event's overdue limit asks; No keeps the reminder, Yes drops it.
    void snoozeBeyondLimitAsks() {
        AlarmRig rig;
        rig.SetTime(2, 10, 5);
        dv::CDateEntry* event = rig.AddEvent(CDateTime(2026, 3, 2, 10, 0, 0), 0,
                                             [](DateData& d) { d.OverdueAction = 3; });
        rig.Tick();
        dv::CReminderDlg* window = rig.scheduler.GetReminderWindow();
        QVERIFY(window != nullptr);
        // Begun: "Before Event" is not offered, and the state image says so.
        QVERIFY(!Find<QRadioButton>(window, "beforeEvent")->isEnabled());
        QCOMPARE(Find<QLabel>(window, "stateImage")->toolTip(),
                 QString::fromStdString(dv::LoadString(dv::kIdsReminderHasBegun)));
        Find<QComboBox>(window, "snoozeSpan")->setEditText(QStringLiteral("2"));
        rig.prompt.QueueAnswer(false);
        Click(window, "hoursButton");
        QCOMPARE(rig.prompt.GetShown().back().text, dv::LoadString(dv::kIdsAskSnoozeBeyondLimit));
        QCOMPARE(window->GetRecordCount(), 1);
        QCOMPARE(event->GetDueCount(), 1);

        rig.prompt.QueueAnswer(true);
        Click(window, "hoursButton");
        QCOMPARE(event->GetDueCount(), 0);
        QVERIFY(!event->IsSnoozed(CDateTime(2026, 3, 2, 10, 0, 0)));
        QVERIFY(rig.scheduler.GetReminderWindow() == nullptr);

        // Snoozed to a fixed time: one day from now ends tomorrow at 18:00, after tomorrow's
        // 10:00 event has ended, so the question comes and No keeps the reminder.
        AlarmRig fixed;
        fixed.settings.SnoozeToFixedTime = true;
        fixed.settings.SnoozeEndTime = CDateTime(2000, 1, 1, 18, 0, 0);
        const CDateTime tomorrow(2026, 3, 3, 10, 0, 0);
        dv::CDateEntry* late = fixed.AddEvent(tomorrow, 2 * 24 * 60,
                                              [](DateData& d) { d.OverdueAction = 3; });
        fixed.Tick();
        window = fixed.scheduler.GetReminderWindow();
        QVERIFY(window != nullptr);
        Find<QComboBox>(window, "snoozeSpan")->setEditText(QStringLiteral("1"));
        fixed.prompt.QueueAnswer(false);
        Click(window, "daysButton");
        QCOMPARE(fixed.prompt.GetShown().size(), std::size_t{1});
        QCOMPARE(fixed.prompt.GetShown().back().text, dv::LoadString(dv::kIdsAskSnoozeBeyondLimit));
        QCOMPARE(late->GetDueCount(), 1);
        QVERIFY(!late->IsDone(tomorrow));
    }

    // The snooze amount has a key of its own: Alt+S puts the focus on it.
    void snoozeAmountHasAKey() {
        AlarmRig rig;
        rig.AddEvent(CDateTime(2026, 3, 2, 9, 30, 0), 60);
        rig.Tick();
        dv::CReminderDlg* window = rig.scheduler.GetReminderWindow();
        QVERIFY(window != nullptr);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QVERIFY(!Find<QComboBox>(window, "snoozeSpan")->hasFocus());
        QTest::keyClick(window, Qt::Key_S, Qt::AltModifier);
        QVERIFY(Find<QComboBox>(window, "snoozeSpan")->hasFocus());
    }

    // Two sounding reminders take turns tick by tick; the counted one stops after its three
    // plays, the endless one goes on.
    void soundsTakeTurns() {
        AlarmRig rig;
        rig.AddEvent(CDateTime(2026, 3, 2, 9, 10, 0), 30, [](DateData& d) {
            d.Sound = 1;
            d.SoundFile = "counted.wav";
            d.SoundRepeatEndless = 0;
            d.SoundRepeatCount = 3;
        });
        rig.AddEvent(CDateTime(2026, 3, 2, 9, 20, 0), 30, [](DateData& d) {
            d.Sound = 1;
            d.SoundFile = "endless.wav";
        });
        rig.AddEvent(CDateTime(2026, 3, 2, 9, 15, 0), 30); // silent
        for (int tick = 0; tick < 8; ++tick) {
            rig.Tick();
        }
        QCOMPARE(rig.sound.played,
                 (std::vector<std::string>{"counted.wav", "endless.wav", "counted.wav",
                                           "endless.wav", "counted.wav", "endless.wav",
                                           "endless.wav", "endless.wav"}));
    }

    // The detail part follows the selection; header clicks sort and reverse; the description
    // takes the event's colour with the contrasting text; Edit closes and asks the main window
    // to edit; Delete asks and hands the event to the main window.
    void detailsSortingEditAndDelete() {
        AlarmRig rig;
        rig.frame.hidden = true;
        for (const char* name : {"delta", "Alpha", "charlie", "Bravo", "echo"}) {
            rig.AddEvent(CDateTime(2026, 3, 2, 9, 30, 0), 60, [name](DateData& d) {
                d.Description = name;
                d.Display = 2;
                d.DisplayColor = 0x400000; // dark blue
            });
        }
        rig.Tick();
        dv::CReminderDlg* window = rig.scheduler.GetReminderWindow();
        QVERIFY(window != nullptr);
        QCOMPARE(rig.frame.notifications.size(), std::size_t{1}); // the main window is hidden
        QCOMPARE(Find<QLabel>(window, "description")->palette().color(QPalette::WindowText),
                 QColor(Qt::white));

        Select(window, {1, 3});
        QCOMPARE(TextOf(window, "headline"),
                 QString::fromStdString(dv::LoadString(dv::kIdsMultipleEventsSelected)));
        QCOMPARE(TextOf(window, "timeLeft"), QStringLiteral("---"));
        QCOMPARE(TextOf(window, "selection"), QStringLiteral("2 of 5 events selected"));

        QVERIFY(!window->IsExtended()); // opens reduced the first time
        Click(window, "sizeButton");
        QVERIFY(window->IsExtended() && rig.window.EventListVisible);
        auto* header = Find<QTreeWidget>(window, "eventList")->header();
        const auto descriptionAt = [&](int row) {
            return window->GetRecordAt(row)->event->GetData().Description;
        };
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
        QCOMPARE(descriptionAt(0), std::string("Alpha"));
        QCOMPARE(descriptionAt(4), std::string("echo"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
        QCOMPARE(descriptionAt(0), std::string("echo"));

        // Delete "echo" after the question.
        rig.settings.WarnOnDelete = true;
        Select(window, {0});
        rig.prompt.QueueAnswer(true);
        Click(window, "deleteButton");
        QCOMPARE(rig.prompt.GetShown().back().text,
                 dv::LoadString(dv::kIdsAskDeleteEntry) + "\necho");
        QCOMPARE(rig.frame.deleted.size(), std::size_t{1});
        QCOMPARE(rig.document.GetDateEntryCount(), 4);
        QCOMPARE(window->GetRecordCount(), 4);

        Select(window, {0});
        dv::CDateEntry* edited = window->GetRecordAt(0)->event;
        Click(window, "editButton");
        QCoreApplication::processEvents();
        QVERIFY(rig.scheduler.GetReminderWindow() == nullptr);
        QCOMPARE(rig.frame.edited, std::vector<dv::CDateEntry*>{edited});
        QVERIFY(!edited->IsSuspended());
    }
};

QTEST_MAIN(ReminderDlgTest)
#include "ReminderDlgTest.moc"
