// The "Internal Formats" and "Holiday Setup" dialogs driven as a user drives them: typing with
// live previews and notes, the Default buttons, OK and Cancel through the Extras commands, and
// the holiday choice reaching the pages and the next start.
#include "DesktopRig.h"
#include "app/CAlarmScheduler.h"
#include "app/CCalendarPage.h"
#include "app/CDayList.h"
#include "app/CDayvaultApp.h"
#include "app/CFormatsDlg.h"
#include "app/CHolidaySetupDlg.h"
#include "app/CMainFrame.h"
#include "app/CReminderDlg.h"
#include "app/CommandTable.h"
#include "core/CDateEntry.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "holidays/HolidaySource.h"
#include "settings/CSettings.h"
#include "support/TempHomeMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <functional>

namespace dv {

namespace fs = std::filesystem;
using namespace test;

namespace {

const CDateTime kNow(2026, 3, 9, 8, 0, 0); // a Monday

// Replaces the text of a format field by typing, as a user does.
void Type(QWidget* editor, const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->selectAll();
        QTest::keyClick(line, Qt::Key_Delete);
    } else {
        qobject_cast<QPlainTextEdit*>(editor)->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
    }
    QTest::keyClicks(editor, text);
}

QStringList Items(const QTreeWidget* tree, int column = 0) {
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        texts << tree->topLevelItem(i)->text(column);
    }
    return texts;
}

QTreeWidgetItem* ItemNamed(const QTreeWidget* tree, const QString& text) {
    const QList<QTreeWidgetItem*> found = tree->findItems(text, Qt::MatchExactly, 0);
    return found.isEmpty() ? nullptr : found.front();
}

void Check(QTreeWidget* tree, QTreeWidgetItem* item, bool on) {
    // A click on the check box of the first column, where the style draws it.
    tree->scrollToItem(item);
    const QRect row = tree->visualItemRect(item);
    QTest::mouseClick(
        tree->viewport(), Qt::LeftButton, {},
        QPoint(row.left() + tree->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 4,
               row.center().y()));
    QCOMPARE(item->checkState(0) == Qt::Checked, on);
}

} // namespace

class FormatHolidayDialogsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_folder;
    CQueuedPrompt m_prompt;
    std::shared_ptr<const IClock> m_oldClock;

    fs::path Root() const { return fs::path(m_folder->path().toStdString()); }

    std::unique_ptr<CDayvaultApp> Start() {
        auto app = std::make_unique<CDayvaultApp>(TestEnvironment(Root(), "fmt"), &m_prompt);
        if (!app->Start()) {
            return nullptr;
        }
        app->Document().SaveAs(Root() / "events.dat");
        app->Frame()->SetPage(CMainFrame::MonthPage);
        return app;
    }

    static CCalendarPage* Page(CDayvaultApp& app) {
        return qobject_cast<CCalendarPage*>(app.Frame()->PageSheet()->currentWidget());
    }

    void WriteModule(const std::string& name, const std::string& holidays) {
        fs::create_directories(Root() / "program/holidays");
        CompileHolidaySource("language 0x0407\n" + holidays, name)
            .WriteModuleFile(Root() / "program/holidays" / (name + ".hol"));
    }

private slots:
    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        ClearNativeStore();
        m_prompt.ClearShown();
        m_oldClock = SetClock(std::make_shared<CFixedClock>(kNow));
    }

    void cleanup() {
        SetClock(m_oldClock);
        SetTranslationHook({});
        QCOMPARE(m_prompt.GetPendingAnswerCount(), std::size_t{0});
    }

    void formatPreviewsFollowTypingAndNameMistakes() {
        CSettings settings;
        CFormatsDlg dialog(settings);
        dialog.show();
        QCOMPARE(dialog.Pages()->count(), 7);

        // A placeholder format is rendered on its variant's sample as it is typed.
        QWidget* calendar = dialog.Editor(&CSettings::CalendarDateNormal);
        QCOMPARE(dialog.Preview(&CSettings::CalendarDateNormal)->text(),
                 QStringLiteral("10:00 AM - 11:30 AM Dentist appointment"));
        Type(calendar, QStringLiteral("$DESCRIPTON$ ($CATEGORY$) $S_NOTES$"));
        QLabel* notes = dialog.Problems(&CSettings::CalendarDateNormal);
        QCOMPARE(dialog.Preview(&CSettings::CalendarDateNormal)->text(),
                 QStringLiteral("$DESCRIPTON$ (Health)  Bring the insurance card"));
        QVERIFY(!notes->isHidden());
        QVERIFY(notes->text().contains(QStringLiteral("$DESCRIPTON$")));
        // One note: the text between the two tokens is no mistake of its own.
        QCOMPARE(notes->text().count(QLatin1Char('\n')), 0);
        QTest::keyClick(calendar, Qt::Key_End);
        QTest::keyClicks(calendar, QStringLiteral(" $DESCRIPTION"));
        QVERIFY(notes->text().contains(QStringLiteral("no closing")));
        Type(calendar, QStringLiteral("$DESCRIPTION$ ($CATEGORY$)"));
        QVERIFY(notes->isHidden());
        QCOMPARE(dialog.Preview(&CSettings::CalendarDateNormal)->text(),
                 QStringLiteral("Dentist appointment (Health)"));
        // Each multi-day variant shows its own day of the three-day sample.
        QCOMPARE(dialog.Preview(&CSettings::CalendarDateMultidayMid)->text(),
                 QStringLiteral(">> Trade fair >>"));
        QCOMPARE(dialog.Preview(&CSettings::CalendarDateMultidayLast)->text(),
                 QStringLiteral(">> 05:00 PM Trade fair"));
        // A to-do format knows no event words.
        Type(dialog.Editor(&CSettings::TooltipTodo), QStringLiteral("$STATE$ $THIS_START_DATE$"));
        QCOMPARE(dialog.Preview(&CSettings::TooltipTodo)->text(),
                 QStringLiteral("To Do: $THIS_START_DATE$"));
        QVERIFY(!dialog.Problems(&CSettings::TooltipTodo)->isHidden());

        // The initial date format and the state values reach the placeholder previews.
        Type(dialog.Editor(&CSettings::DateFormat), QStringLiteral("%d.%m.%Y %q"));
        QCOMPARE(dialog.Preview(&CSettings::DateFormat)->text(), QStringLiteral("09.03.2026 q"));
        QVERIFY(dialog.Problems(&CSettings::DateFormat)->text().contains(QStringLiteral("%q")));
        Type(dialog.Editor(&CSettings::StateValueUndone), QStringLiteral("Open:"));
        QCOMPARE(dialog.Preview(&CSettings::TooltipTodo)->text(),
                 QStringLiteral("Open: $THIS_START_DATE$"));
        Type(calendar, QStringLiteral("$THIS_DATE$"));
        QCOMPARE(dialog.Preview(&CSettings::CalendarDateNormal)->text(),
                 QStringLiteral("09.03.2026 q"));

        // Line breaks typed in a placeholder format are stored as CR LF; an untouched field
        // keeps its value exactly.
        QCOMPARE(dialog.Value(&CSettings::ClipboardDateNormal), settings.ClipboardDateNormal);
        QVERIFY(dialog.Preview(&CSettings::ClipboardDateNormal)
                    ->text()
                    .endsWith(QStringLiteral("Dentist appointment\nBring the insurance card\n")));
        QWidget* clipboard = dialog.Editor(&CSettings::ClipboardDateMultidayMid);
        Type(clipboard, QStringLiteral("a"));
        QTest::keyClick(clipboard, Qt::Key_Return);
        QTest::keyClicks(clipboard, QStringLiteral("b"));
        QCOMPARE(dialog.Value(&CSettings::ClipboardDateMultidayMid), std::string("a\r\nb"));
        CSettings applied;
        applied.DateFormatList = "kept";
        dialog.ApplyTo(applied);
        QCOMPARE(applied.StateValueUndone, std::string("Open:"));
        QCOMPARE(applied.ClipboardDateMultidayMid, std::string("a\r\nb"));
        QCOMPARE(applied.DateFormatList, settings.DateFormatList);
    }

    void defaultButtonsRestoreTheirGroupInTheActiveLanguage() {
        CSettings settings;
        settings.TooltipTrayIcon = "tray";
        settings.ReminderHeadlineDate = "headline";
        settings.ReminderHeadlineDateTime = "headline with time";
        settings.StateValueDone = "finished";
        settings.ClipboardTodo = "copy";
        settings.DateFormat = "date";
        settings.DateFormatList = "list";
        CFormatsDlg dialog(settings);
        const int expected[] = {2, 1, 1, 1, 3, 1, 3}; // the groups of each page
        for (int page = 0; page < 7; ++page) {
            QCOMPARE(dialog.DefaultButtons(page).size(), expected[page]);
        }
        // A language pack's default wins over the English one.
        SetTranslationHook([](uint32_t id, std::string_view) -> std::optional<std::string> {
            if (id == kIdsReminderHeadlineDate) {
                return "Termin am %d.%m.%Y";
            }
            return std::nullopt;
        });
        QTest::mouseClick(dialog.DefaultButtons(6)[1], Qt::LeftButton);
        QCOMPARE(dialog.Value(&CSettings::ReminderHeadlineDate), std::string("Termin am %d.%m.%Y"));
        QCOMPARE(dialog.Value(&CSettings::ReminderHeadlineDateTime),
                 LoadString(kIdsReminderHeadlineDateTime));
        QCOMPARE(dialog.Value(&CSettings::TooltipTrayIcon), std::string("tray"));
        QCOMPARE(dialog.Preview(&CSettings::ReminderHeadlineDate)->text(),
                 QStringLiteral("Termin am 09.03.2026"));
        QTest::mouseClick(dialog.DefaultButtons(4)[2], Qt::LeftButton);
        QCOMPARE(dialog.Value(&CSettings::StateValueDone), LoadString(kIdsStateValueDone));
        QCOMPARE(dialog.Value(&CSettings::ClipboardTodo), std::string("copy"));
        QTest::mouseClick(dialog.DefaultButtons(0)[1], Qt::LeftButton);
        QCOMPARE(dialog.Value(&CSettings::DateFormatList), LoadString(kIdsDateFormatList));
        QCOMPARE(dialog.Value(&CSettings::DateFormat), std::string("date"));
    }

    void formatsOkReachesPagesTrayAndStoreCancelChangesNothing() {
        auto app = Start();
        QVERIFY(app);
        CDayvaultDoc& doc = app->Document();
        auto event = std::make_unique<CDateEntry>(kNow);
        DateData data = event->GetData();
        data.Description = "Standup";
        data.StartDate = CDateTime(2026, 3, 9, 9, 0, 0);
        data.EndDate = CDateTime(2026, 3, 9, 9, 15, 0);
        data.Forewarn = 1;
        data.ForewarnSpan = 2;
        data.ForewarnUnit = 1; // hours: due now, so the reminder window shows it
        event->SetData(data, kNow);
        doc.AddDateEntry(std::move(event), kEditInteractive);
        CMainFrame& frame = *app->Frame();
        frame.Scheduler().TickNow();
        QTRY_VERIFY(frame.Scheduler().GetReminderWindow());
        auto* headline = frame.Scheduler().GetReminderWindow()->findChild<QLabel*>("headline");
        const QString headlineBefore = headline->text();
        CDayList* cell = Page(*app)->CellOf(CDateTime(2026, 3, 9));
        const std::string before = cell->EntryText(0);
        const CSettings old = app->Settings();

        OnModal<CFormatsDlg>([](CFormatsDlg* dialog) {
            Type(dialog->Editor(&CSettings::CalendarDateNormal), QStringLiteral("[$DESCRIPTION$]"));
            Press(dialog, QDialogButtonBox::Cancel);
        });
        QVERIFY(frame.RunCommand(cmd::kInternalFormats));
        QVERIFY(app->Settings() == old);
        QCOMPARE(Page(*app)->CellOf(CDateTime(2026, 3, 9))->EntryText(0), before);
        QCOMPARE(headline->text(), headlineBefore);

        OnModal<CFormatsDlg>([](CFormatsDlg* dialog) {
            Type(dialog->Editor(&CSettings::CalendarDateNormal), QStringLiteral("[$DESCRIPTION$]"));
            Type(dialog->Editor(&CSettings::TooltipTrayIcon), QStringLiteral("Today %d/%m"));
            Type(dialog->Editor(&CSettings::ReminderHeadlineDateTime), QStringLiteral("At %H:%M"));
            Press(dialog, QDialogButtonBox::Ok);
        });
        QVERIFY(frame.RunCommand(cmd::kInternalFormats));
        QCOMPARE(app->Settings().CalendarDateNormal, std::string("[$DESCRIPTION$]"));
        QCOMPARE(Page(*app)->CellOf(CDateTime(2026, 3, 9))->EntryText(0), std::string("[Standup]"));
        QCOMPARE(frame.TrayIcon()->toolTip(), QStringLiteral("Today 09/03"));
        QCOMPARE(headline->text(), QStringLiteral("At 09:00"));
        CSettings stored;
        stored.Load(app->Store());
        QCOMPARE(stored.CalendarDateNormal, std::string("[$DESCRIPTION$]"));
        QCOMPARE(stored.TooltipTrayIcon, std::string("Today %d/%m"));
    }

    void holidaySetupReachesPagesAndTheNextStart() {
        WriteModule("Alpha", "holiday ALPHA \"Alpha day\" = 9 March\n");
        WriteModule("Beta", "holiday BETA \"Beta day\" = 9 March\n"
                            "holiday OTHER \"Other day\" = 10 March\n");
        std::ofstream(Root() / "program/holidays/Broken.hol") << "no module";
        {
            QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Quillmark", "Dayvault");
            store.setValue("HolidaySettings/ModuleOrder", "Beta,Gone");
            store.setValue("HolidaySettings/ActiveModules", "Beta");
        }
        auto app = Start();
        QVERIFY(app);
        const auto holidaysOn = [&app](int day) {
            return Page(*app)->CellOf(CDateTime(2026, 3, day))->GetCaption().holidays;
        };
        QCOMPARE(holidaysOn(9), QStringList({"Beta day"}));

        // Cancel leaves everything as it was.
        const CHolidaySettings old = app->HolidaySettings();
        OnModal<CHolidaySetupDlg>([](CHolidaySetupDlg* dialog) {
            Check(dialog->modules, ItemNamed(dialog->modules, "Beta"), false);
            Press(dialog, QDialogButtonBox::Cancel);
        });
        QVERIFY(app->Frame()->RunCommand(cmd::kHolidays));
        QVERIFY(app->HolidaySettings() == old);
        QCOMPARE(holidaysOn(9), QStringList({"Beta day"}));

        OnModal<CHolidaySetupDlg>([](CHolidaySetupDlg* dialog) {
            // The ordered readable module first, then the rest of the folder; the broken file
            // is named, the module without a file is simply gone.
            QCOMPARE(Items(dialog->modules).first(), QStringLiteral("Beta"));
            QCOMPARE(Items(dialog->modules).size(), 2);
            QVERIFY(!dialog->problems->isHidden());
            QVERIFY(dialog->problems->text().contains(QStringLiteral("Broken.hol")));
            QCOMPARE(dialog->modules->topLevelItem(0)->text(1), QStringLiteral("German (Germany)"));
            QVERIFY(!dialog->up->isEnabled());

            QTreeWidgetItem* alpha = ItemNamed(dialog->modules, "Alpha");
            Check(dialog->modules, alpha, true);
            dialog->modules->setCurrentItem(alpha);
            QTest::mouseClick(dialog->up, Qt::LeftButton);
            QCOMPARE(Items(dialog->modules), QStringList({"Alpha", "Beta"}));
            QCOMPARE(dialog->modules->currentItem(), alpha);

            dialog->modules->setCurrentItem(ItemNamed(dialog->modules, "Beta"));
            QCOMPARE(Items(dialog->holidays), QStringList({"Beta day", "Other day"}));
            Check(dialog->holidays, ItemNamed(dialog->holidays, "Beta day"), false);
            QVERIFY(
                dialog->preview->toPlainText().contains(QStringLiteral("Beta day (switched off)")));
            QVERIFY(dialog->preview->toPlainText().contains(
                QStringLiteral("Tue, March 10, 2026\tOther day")));
            QTest::mouseClick(dialog->none, Qt::LeftButton);
            QTest::mouseClick(dialog->all, Qt::LeftButton);
            Check(dialog->holidays, ItemNamed(dialog->holidays, "Beta day"), false);
            dialog->year->setCurrentText(QStringLiteral("1900"));
            QVERIFY(
                dialog->preview->toPlainText().startsWith(QStringLiteral("Fri, March 09, 1900")));
            QTest::mouseClick(dialog->showLanguage, Qt::LeftButton, {},
                              QPoint(8, dialog->showLanguage->height() / 2));
            QVERIFY(dialog->showLanguage->isChecked());
            Press(dialog, QDialogButtonBox::Ok);
        });
        QVERIFY(app->Frame()->RunCommand(cmd::kHolidays));
        const CHolidaySettings& chosen = app->HolidaySettings();
        QCOMPARE(chosen.ModuleOrder, NameList({"Alpha", "Beta"}));
        QCOMPARE(chosen.ActiveModules, NameList({"Alpha", "Beta"}));
        QCOMPARE(chosen.Deactivated.at("Beta"), NameList({"BETA"}));
        QCOMPARE(app->Holidays().GetLoadOrder(), std::vector<std::string>({"Alpha", "Beta"}));
        QCOMPARE(holidaysOn(9), QStringList({"Alpha day (DEU)"}));
        QCOMPARE(holidaysOn(10), QStringList({"Other day (DEU)"}));

        // The next start reads the same choice back.
        const CHolidaySettings saved = chosen;
        app.reset();
        app = Start();
        QVERIFY(app);
        QVERIFY(app->HolidaySettings() == saved);
        QVERIFY(app->Settings().HolidayShowLanguage);
        QCOMPARE(holidaysOn(9), QStringList({"Alpha day (DEU)"}));
    }
};

} // namespace dv

DAYVAULT_QTEST_MAIN_IN_TEMP_HOME(dv::FormatHolidayDialogsTest)
#include "FormatHolidayDialogsTest.moc"
