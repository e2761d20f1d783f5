// The calendar pages inside the whole program, as a user meets them at the window's default size
// and with the sidebar open.
#include "DesktopRig.h"
#include "app/CCalendarPage.h"
#include "app/CDayList.h"
#include "app/CMainFrame.h"
#include "app/CommandTable.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "export/DayListing.h"
#include "settings/CSettings.h"
#include "support/TempHomeMain.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>

namespace dv {

namespace fs = std::filesystem;

class PagesDesktopTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_folder;
    fs::path m_user;
    CQueuedPrompt m_prompt;
    test::QueuedFileDialogs m_dialogs;

    // The program on a copy of the demo file, in a window as a 1440×900 desktop holds it.
    std::unique_ptr<CDayvaultApp> StartOnDemo(const std::string& settings = "") {
        const fs::path root = m_folder->path().toStdString();
        m_user = root / "user";
        const fs::path events = root / "demo.dat";
        fs::copy_file(DAYVAULT_DEMO_FILE, events, fs::copy_options::overwrite_existing);
        fs::create_directories(m_user);
        std::ofstream(m_user / "Dayvault.ini")
            << "[Settings]\nUseRegistry=0\nSingleInstance=0\nLoadDateFile=1\nDefaultDateFile="
            << events.string() << "\n"
            << settings;
        auto app = std::make_unique<CDayvaultApp>(test::TestEnvironment(root, "pages"), &m_prompt,
                                                  &m_dialogs);
        if (!app->Start()) {
            return nullptr;
        }
        CMainFrame& frame = *app->Frame();
        frame.showNormal();
        // A 1440×900 desktop's window (its taskbar off the height), a common laptop
        // screen: at 1024 pixels the sidebar leaves month cells too narrow for any start time
        // and 12 characters in the default font.
        frame.resize(1440, 860);
        if (!QTest::qWaitForWindowExposed(&frame)) {
            return nullptr;
        }
        // Both tests look at the pages beside the sidebar.
        if (!frame.Sidebar()->isVisible() && !frame.RunCommand(cmd::kFilter)) {
            return nullptr;
        }
        return app;
    }

    static CCalendarPage* MonthOf(CDayvaultApp& app, const CDateTime& day) {
        CMainFrame& frame = *app.Frame();
        frame.SetPage(CMainFrame::MonthPage);
        app.Document().SetSelectedDate(day, false);
        app.Document().UpdateAllViews(UpdateHint::PageMoved);
        QApplication::processEvents();
        return qobject_cast<CCalendarPage*>(frame.PageSheet()->currentWidget());
    }

private slots:
    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        test::ClearNativeStore();
    }

    void cleanup() { QCOMPARE(m_prompt.GetPendingAnswerCount(), std::size_t{0}); }

    void monthLinesKeepStartTimeAndDescription() {
        auto app = StartOnDemo();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        CCalendarPage* page = MonthOf(*app, CDateTime(2026, 12, 10));
        QVERIFY(page != nullptr);
        QVERIFY(frame.Sidebar()->isVisible());
        const FormatSettings formats = app->Settings().GetFormatSettings();
        const FormatSettings shortFormats = WithoutEndTimes(formats, kFormatSetCalendar);
        int checked = 0;
        bool dentistSeen = false;
        for (int i = 0; i < page->CellCountShown(); ++i) {
            CDayList* cell = page->Cell(i);
            const CDateTime day = cell->GetCaption().date;
            if (day.GetMonth() != 12) {
                continue;
            }
            for (int line = 0; line < static_cast<int>(cell->Entries().size()); ++line) {
                const DayEntry& entry = cell->Entries()[static_cast<size_t>(line)];
                // What must show: the whole text or the one without the end time, through 12
                // characters of the description (all of a shorter one).
                const std::string description = entry.event->GetData().Description;
                const QString shown = cell->ShownLine(line);
                bool whole = false;
                for (const FormatSettings* set : {&formats, &shortFormats}) {
                    const std::string text = FormatDayEntry(entry, day, *set, kFormatSetCalendar);
                    const size_t at = text.find(description.substr(0, 12));
                    QVERIFY2(at != std::string::npos, text.c_str());
                    whole = whole || shown.startsWith(QString::fromStdString(text.substr(
                                         0, at + std::min<size_t>(12, description.size()))));
                }
                QVERIFY2(whole, qPrintable(shown));
                if (description == "Dentist") {
                    dentistSeen = true;
                    QVERIFY2(shown.contains(QRegularExpression(QStringLiteral("^0?8:30 AM"))),
                             qPrintable(shown));
                }
                ++checked;
            }
        }
        QVERIFY(dentistSeen);
        QVERIFY(checked > 20);
        // A line with room enough keeps its end time.
        CDayList* dentistDay = page->CellOf(CDateTime(2026, 12, 10));
        dentistDay->resize(600, dentistDay->height());
        bool wide = false;
        for (int line = 0; line < static_cast<int>(dentistDay->Entries().size()); ++line) {
            wide = wide || dentistDay->ShownLine(line).startsWith(QStringLiteral("08:30 AM - "));
        }
        QVERIFY(wide);
    }

    void filterSaysItIsOnAndTheSidebarHandsBackTheKeys() {
        auto app = StartOnDemo();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        CCalendarPage* page = MonthOf(*app, CDateTime(2026, 12, 10));
        const auto entries = [&] {
            size_t count = 0;
            for (int i = 0; i < page->CellCountShown(); ++i) {
                count += page->Cell(i)->Entries().size();
            }
            return count;
        };
        const size_t all = entries();
        QVERIFY(all > 0);
        QLabel* note = frame.FilterStatusLabel();
        QVERIFY(note->isHidden());

        // The category rule ticked with nothing chosen: the calendar stays, no note.
        auto* names = frame.Sidebar()->findChild<QListWidget*>(QStringLiteral("FilterNames"));
        for (int row = 0; row < names->count(); ++row) {
            names->item(row)->setCheckState(Qt::Unchecked);
        }
        frame.Sidebar()->findChild<QGroupBox*>(QStringLiteral("CategoryFilter"))->setChecked(true);
        QApplication::processEvents();
        QCOMPARE(entries(), all);
        QVERIFY(note->isHidden());

        // One category chosen: fewer entries, and the note stays while the sidebar is hidden.
        names->item(0)->setCheckState(Qt::Checked);
        QApplication::processEvents();
        QVERIFY(entries() < all);
        QVERIFY(!note->isHidden());
        QCOMPARE(note->text(), QStringLiteral("Filter on"));
        names->setFocus(Qt::OtherFocusReason);
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QVERIFY(names->hasFocus());
        QVERIFY(frame.RunCommand(cmd::kFilter));
        QVERIFY(!frame.Sidebar()->isVisible());
        QVERIFY(!note->isHidden());
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus != nullptr && (focus == page || page->isAncestorOf(focus)));
        // Use Filters off: everything shows and the note goes.
        QVERIFY(frame.RunCommand(cmd::kFilterSwitch));
        QApplication::processEvents();
        QCOMPARE(entries(), all);
        QVERIFY(note->isHidden());
    }
};

} // namespace dv

#include "PagesDesktopTest.moc"

DAYVAULT_QTEST_MAIN_IN_TEMP_HOME(dv::PagesDesktopTest)
