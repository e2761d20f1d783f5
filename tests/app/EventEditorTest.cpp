// The event and to-do editors as a person types into them: start and end that follow each other
// only on finished values, weekday conditions that mean what they show, a repetition end that
// keeps its whole day, the times a new event starts at, identities of new categories, the first
// to-do of a new file, and the keys of the pickers and pages.
#include "DesktopRig.h"
#include "EditorHarness.h"
#include "app/CDateEditSheet.h"
#include "app/CEditCommands.h"
#include "app/CEventDatabaseDlg.h"
#include "app/CMainFrame.h"
#include "app/CTodoEditDlg.h"
#include "app/CommandTable.h"
#include "core/CDateEntry.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "settings/CSettings.h"
#include "support/TempHomeMain.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QToolButton>
#include <deque>
#include <memory>
#include <set>
#include <utility>

namespace dv {

namespace fs = std::filesystem;
using namespace test;

namespace {

// Monday 7 December 2026, 14:20.
const CDateTime kNow(2026, 12, 7, 14, 20, 0);

DateData EventOn(const CDateTime& start, const CDateTime& end) {
    CDateEntry entry(start);
    DateData data = entry.GetData();
    data.Category = "Event";
    data.Description = "meeting";
    data.EndDate = end;
    return data;
}

std::vector<std::unique_ptr<CDateEntry>> Templates(const DateData& first) {
    std::vector<std::unique_ptr<CDateEntry>> list;
    list.push_back(std::make_unique<CDateEntry>(first.StartDate));
    list.back()->AssignData(first);
    return list;
}

// Shows `sheet` on `data` as the active window, so that typing reaches its controls.
bool ShowActive(CDateEditSheet& sheet, const DateData& data) {
    sheet.SetData(data);
    sheet.SetTemplates(Templates(data));
    sheet.show();
    QApplication::setActiveWindow(&sheet);
    return QTest::qWaitForWindowActive(&sheet);
}

// Types `keys` into `edit` from its first part, then leaves it as Tab does.
void TypeInto(QDateTimeEdit* edit, const QString& keys) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Home);
    edit->setSelectedSection(edit->sectionAt(0));
    QTest::keyClicks(edit, keys);
}

void Leave(QWidget* next) {
    next->setFocus();
    QApplication::processEvents();
}

QDate Date(const CDateTime& value) {
    return QDate(value.GetYear(), value.GetMonth(), value.GetDay());
}

} // namespace

class EventEditorTest : public QObject, protected EditorHarness {
    Q_OBJECT

    std::unique_ptr<CDayvaultApp> Start() {
        const fs::path root(m_folder->path().toStdString());
        auto app =
            std::make_unique<CDayvaultApp>(TestEnvironment(root, "editor"), &m_prompt, &m_dialogs);
        if (!app->Start()) {
            return nullptr;
        }
        app->Document().SaveAs(root / "events.dat");
        return app;
    }

private slots:
    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        ClearNativeStore();
        m_prompt.ClearShown();
        m_names.clear();
        m_settings = CSettings();
    }

    void cleanup() { QCOMPARE(m_prompt.GetPendingAnswerCount(), std::size_t{0}); }

    void startAndEndFollowFinishedValuesOnly() {
        // An all-day event on 16 December; "Ends on" typed as 01052027 passes through
        // 01/16/2026 and 01/05/2026, before the start: neither may drag the start along.
        CDateEditSheet sheet(CDateEditSheet::NewEvent, Services());
        DateData data =
            EventOn(CDateTime(2026, 12, 16, 10, 0, 0), CDateTime(2026, 12, 16, 11, 0, 0));
        data.ShowStartTime = 0;
        QVERIFY(ShowActive(sheet, data));
        CDateEditPage1* page = sheet.Page1();
        QCOMPARE(page->endDate->displayFormat(), QStringLiteral("MM/dd/yyyy"));
        TypeInto(page->endDate, QStringLiteral("01052027"));
        QCOMPARE(page->startDate->date(), QDate(2026, 12, 16));
        Leave(page->description);
        QCOMPARE(page->endDate->date(), QDate(2027, 1, 5));
        QCOMPARE(page->startDate->date(), QDate(2026, 12, 16));
        // A finished end before the start still brings the start to it.
        TypeInto(page->endDate, QStringLiteral("12012026"));
        Leave(page->description);
        QCOMPARE(page->startDate->date(), QDate(2026, 12, 1));
        // A finished start moves the end with it, keeping the length; half-typed ones do not.
        TypeInto(page->startDate, QStringLiteral("12102026"));
        QCOMPARE(page->endDate->date(), QDate(2026, 12, 1));
        Leave(page->description);
        QCOMPARE(page->endDate->date(), QDate(2026, 12, 10));
        // The same for times: 10:00 to 11:00, the end typed as 12:30 PM passes through 01:00.
        QTest::mouseClick(page->startTimeOn, Qt::LeftButton);
        page->startTime->setTime(QTime(10, 0));
        page->endTime->setTime(QTime(11, 0));
        TypeInto(page->endTime, QStringLiteral("1230p"));
        QCOMPARE(page->startTime->time(), QTime(10, 0));
        Leave(page->description);
        QCOMPARE(page->endTime->time(), QTime(12, 30));
        QCOMPARE(page->startTime->time(), QTime(10, 0));
        Press(&sheet, QDialogButtonBox::Ok);
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        QCOMPARE(sheet.GetData().StartDate, CDateTime(2026, 12, 10, 10, 0, 0));
        QCOMPARE(sheet.GetData().EndDate, CDateTime(2026, 12, 10, 12, 30, 0));
    }

    void weekdayConditionsMeanWhatTheyShow() {
        // Tuesday 15 December; every week on Tuesday and Thursday.
        const auto weeklyOn = [this](CDateEditSheet& sheet, const QString& rate) {
            DateData data =
                EventOn(CDateTime(2026, 12, 15, 18, 0, 0), CDateTime(2026, 12, 15, 19, 0, 0));
            if (!ShowActive(sheet, data)) {
                return false;
            }
            CDateEditPage2* page = sheet.Page2();
            sheet.Pages()->setCurrentIndex(1);
            QTest::mouseClick(page->repeat->button(1), Qt::LeftButton);
            // Switched to an interval: a rate and a unit to start from, not "0" and nothing.
            if (page->rate->currentText() != QStringLiteral("1") ||
                page->unit->currentText() != Text(kIdsEdRepeatUnits).split('|')[2]) {
                qWarning() << page->rate->currentText() << page->unit->currentText();
                return false;
            }
            page->rate->setEditText(rate);
            for (int day : {0, 2, 4, 5, 6}) {
                Click(page->weekdays[day]);
            }
            Press(&sheet, QDialogButtonBox::Ok);
            return true;
        };
        {
            CDateEditSheet sheet(CDateEditSheet::NewEvent, Services());
            QVERIFY(weeklyOn(sheet, QStringLiteral("1")));
            QCOMPARE(sheet.result(), int(QDialog::Accepted));
            const DateData& stored = sheet.GetData();
            QCOMPARE(stored.CondWeekdays, (1 << 1) | (1 << 3));
            QCOMPARE(database::RepeatText(stored), std::string("Every Tuesday and Thursday"));
            CDateEntry event(stored.StartDate);
            event.AssignData(stored);
            CDateTime start;
            CDateTime end;
            QVERIFY(event.FindFirstOccurrence(CDateTime(2026, 12, 16), CDateTime(2026, 12, 31),
                                              start, end));
            QCOMPARE(start, CDateTime(2026, 12, 17, 18, 0, 0)); // the Thursday
        }
        {
            CDateEditSheet sheet(CDateEditSheet::NewEvent, Services());
            QVERIFY(weeklyOn(sheet, QStringLiteral("2")));
            QVERIFY(sheet.isVisible());
            QCOMPARE(m_prompt.GetShown().back().text, LoadString(kIdsEdWeekdaysNeedWeekly));
            QCOMPARE(sheet.Pages()->currentIndex(), 1);
            QCOMPARE(sheet.focusWidget(), sheet.Page2()->rate->focusProxy() != nullptr
                                              ? sheet.Page2()->rate->focusProxy()
                                              : sheet.Page2()->rate);
            sheet.reject();
        }
    }

    void repetitionEndKeepsItsWholeDay() {
        // The template's time of day (01:40) must not cut off the 18:00 occurrence of the end day.
        CDateEditSheet sheet(CDateEditSheet::NewEvent, Services());
        DateData data = EventOn(CDateTime(2027, 1, 25, 18, 0, 0), CDateTime(2027, 1, 25, 19, 0, 0));
        data.RepeatEndDate = CDateTime(2027, 1, 25, 1, 40, 0);
        QVERIFY(ShowActive(sheet, data));
        CDateEditPage2* page = sheet.Page2();
        QVERIFY(page->findChildren<QTimeEdit*>().isEmpty());
        sheet.Pages()->setCurrentIndex(1);
        Click(page->repeat->button(1));
        page->unit->setCurrentIndex(1); // days
        Click(page->end->button(2));
        page->endDate->setDate(QDate(2027, 1, 28));
        Press(&sheet, QDialogButtonBox::Ok);
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        QCOMPARE(Date(sheet.GetData().RepeatEndDate), QDate(2027, 1, 28));
        CDateEntry event(data.StartDate);
        event.AssignData(sheet.GetData());
        CDateTime start;
        CDateTime end;
        QVERIFY(event.FindFirstOccurrence(CDateTime(2027, 1, 28),
                                          CDateTime(2027, 1, 28, 23, 59, 59), start, end));
        QCOMPARE(start, CDateTime(2027, 1, 28, 18, 0, 0));
        QVERIFY(!event.FindFirstOccurrence(CDateTime(2027, 1, 29),
                                           CDateTime(2027, 1, 29, 23, 59, 59), start, end));
    }

    void newEventsStartAtAnHourThatFits() {
        CScopedClock clock(std::make_shared<CFixedClock>(kNow));
        auto app = Start();
        QVERIFY(app);
        CEditCommands& edit = app->Frame()->EditCommands();
        // The start and end the editor shows for a new event on `day`.
        const auto shown = [&](std::optional<CDateTime> day) {
            std::pair<QDateTime, QTime> startAndEnd;
            OnModal<CDateEditSheet>([&](CDateEditSheet* sheet) {
                const CDateEditPage1* page = sheet->Page1();
                startAndEnd = {QDateTime(page->startDate->date(), page->startTime->time()),
                               page->endTime->time()};
                sheet->reject();
            });
            edit.NewEvent(day);
            return startAndEnd;
        };
        // Today: the next full hour, an hour long.
        QCOMPARE(shown(std::nullopt),
                 std::make_pair(QDateTime(QDate(2026, 12, 7), QTime(15, 0)), QTime(16, 0)));
        // Another day: the new file's default template, 09:00 for an hour.
        QCOMPARE(shown(kNow + CDateTimeSpan(2, 0, 0, 0)),
                 std::make_pair(QDateTime(QDate(2026, 12, 9), QTime(9, 0)), QTime(10, 0)));
    }

    void newRecordsGetIdentitiesOfTheirOwn() {
        CDateEditSheet sheet(CDateEditSheet::EditCategories, Services());
        QVERIFY(ShowActive(
            sheet, EventOn(CDateTime(2026, 3, 10, 8, 0, 0), CDateTime(2026, 3, 10, 9, 0, 0))));
        m_names = {std::string("Travel"), std::string("Sports")};
        QTest::mouseClick(sheet.Page1()->newCategory, Qt::LeftButton);
        QTest::mouseClick(sheet.Page1()->newCategory, Qt::LeftButton);
        Press(&sheet, QDialogButtonBox::Ok);
        std::set<std::string> guids;
        for (const auto& entry : sheet.Templates()) {
            guids.insert(entry->GetGUID());
        }
        QCOMPARE(guids.size(), std::size_t{3});
        QCOMPARE(sheet.GetData().GUID, sheet.Templates().back()->GetGUID());
        // A new event of a category unknown to the list: the template made for it is not it.
        CDateEditSheet newEvent(CDateEditSheet::NewEvent, Services());
        DateData data = EventOn(CDateTime(2026, 3, 10, 8, 0, 0), CDateTime(2026, 3, 10, 9, 0, 0));
        data.Category = "hobby";
        newEvent.SetData(data);
        newEvent.SetTemplates(
            Templates(EventOn(CDateTime(2026, 3, 10, 8, 0, 0), CDateTime(2026, 3, 10, 9, 0, 0))));
        newEvent.show();
        QCOMPARE(newEvent.Templates().size(), std::size_t{2});
        QVERIFY(newEvent.Templates().back()->GetGUID() != data.GUID);
    }

    void theFirstTodoOfANewFile() {
        CScopedClock clock(std::make_shared<CFixedClock>(kNow));
        auto app = Start();
        QVERIFY(app);
        CDayvaultDoc& doc = app->Document();
        QString title;
        QString group;
        QString descriptionLabel;
        OnModal<CTodoEditDlg>([&](CTodoEditDlg* dialog) {
            title = dialog->windowTitle();
            group = dialog->group->currentText();
            for (const QLabel* label : dialog->findChildren<QLabel*>()) {
                if (label->buddy() == dialog->description) {
                    descriptionLabel = label->text();
                }
            }
            Type(dialog->description, "water the plants");
            Press(dialog, QDialogButtonBox::Ok);
        });
        QVERIFY(app->Frame()->RunCommand(cmd::kNewTodo));
        QCOMPARE(title, QStringLiteral("New ToDo"));
        QCOMPARE(group, QStringLiteral("General"));
        QCOMPARE(descriptionLabel, QStringLiteral("&Description:"));
        QCOMPARE(doc.GetTodoCount(), 1);
        const TodoData& todo = doc.GetTodoEntry(0)->GetData();
        QCOMPARE(todo.Group, std::string("General"));
        QCOMPARE(todo.ShowDeadlineTime, 0);
        QCOMPARE(todo.Deadline, CDateTime(2026, 12, 7)); // the date alone
        // An existing to-do keeps the editor's own title.
        OnModal<CTodoEditDlg>([&](CTodoEditDlg* dialog) {
            title = dialog->windowTitle();
            dialog->reject();
        });
        app->Frame()->EditCommands().EditTodo(doc.GetTodoEntry(0));
        QCOMPARE(title, Text(kIdsTdTitle));
    }

    void keysOfTheListsAndTimePickers() {
        CDateEditSheet sheet(CDateEditSheet::NewEvent, Services());
        QVERIFY(ShowActive(
            sheet, EventOn(CDateTime(2026, 3, 10, 9, 0, 0), CDateTime(2026, 3, 10, 9, 30, 0))));
        CDateEditPage1* page = sheet.Page1();
        // Ctrl+Tab turns the pages from the reminder's unit list too.
        QTest::mouseClick(page->reminder, Qt::LeftButton);
        page->reminderUnit->setFocus();
        QTest::keyClick(page->reminderUnit, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(sheet.Pages()->currentIndex(), 1);
        QTest::keyClick(sheet.Pages()->currentWidget(), Qt::Key_Backtab,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(sheet.Pages()->currentIndex(), 0);
        QCOMPARE(page->reminderUnit->currentIndex(), 0);
        // "p" typed into the AM/PM part is kept when the field is left; "a" turns it back.
        QVERIFY(page->startTime->displayFormat().contains(QStringLiteral("AP")));
        page->startTime->setFocus();
        page->startTime->setCurrentSection(QDateTimeEdit::AmPmSection);
        QTest::keyClick(page->startTime, Qt::Key_P);
        QTest::keyClick(page->startTime, Qt::Key_M);
        Leave(page->description);
        QCOMPARE(page->startTime->time(), QTime(21, 0));
        page->startTime->setFocus();
        page->startTime->setCurrentSection(QDateTimeEdit::AmPmSection);
        QTest::keyClick(page->startTime, Qt::Key_A);
        Leave(page->description);
        QCOMPARE(page->startTime->time(), QTime(9, 0));
        // A typed hour counts before the half of the day changes.
        TypeInto(page->startTime, QStringLiteral("0445p"));
        Leave(page->description);
        QCOMPARE(page->startTime->time(), QTime(16, 45));
        sheet.reject();
    }
};

} // namespace dv

DAYVAULT_QTEST_MAIN_IN_TEMP_HOME(dv::EventEditorTest)
#include "EventEditorTest.moc"
