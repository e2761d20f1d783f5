// The desktop program driven as a user drives it: start-up with each settings store, a second
// start, the exit question, the keys of the menus, the window placement, the Options dialog's
// OK and the synchronisation worker's merge on the user-interface thread.
#include "DesktopRig.h"
#include "app/CAlarmScheduler.h"
#include "app/CCalendarPage.h"
#include "app/CCurrentTimeBar.h"
#include "app/CDayList.h"
#include "app/CDayvaultApp.h"
#include "app/CEditCommands.h"
#include "app/CEventDatabaseDlg.h"
#include "app/CFilterView.h"
#include "app/CHelpViewer.h"
#include "app/CMainFrame.h"
#include "app/CNavigationBar.h"
#include "app/CReminderDlg.h"
#include "app/CTodoPage.h"
#include "app/CommandTable.h"
#include "app/IFileDialogs.h"
#include "app/WindowPlacement.h"
#include "core/CDateEntry.h"
#include "core/CTodoEntry.h"
#include "core/Prompt.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/CAutostartEntry.h"
#include "platform/CQtProfileStore.h"
#include "platform/CResumeWatcher.h"
#include "settings/CIniStore.h"
#include "support/TempHomeMain.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace dv {

namespace fs = std::filesystem;

namespace {


// Records the hints the document sends, and the frame's busy state while each arrives.
class HintRecorder final : public IDocumentObserver {
public:
    explicit HintRecorder(const CMainFrame* frame = nullptr) : m_frame(frame) {}
    void OnUpdate(UpdateHint hint, const HintObject&) override {
        hints.push_back(static_cast<int>(hint));
        if (m_frame) {
            busy.insert(const_cast<CMainFrame*>(m_frame)->BusyState());
        }
    }
    std::vector<int> hints;
    std::set<int> busy;

private:
    const CMainFrame* m_frame;
};

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

// An event file holding `count` events, shared or local.
void WriteEventFile(const fs::path& path, const std::string& description, int storage,
                    int count = 1) {
    fs::create_directories(path.parent_path());
    CDayvaultDoc doc;
    for (int i = 0; i < count; ++i) {
        auto entry = std::make_unique<CDateEntry>(CDateTime(2026, 3, 10 + i, 9, 0, 0));
        DateData data = entry->GetData();
        data.Description = description;
        data.StorageType = storage;
        entry->AssignData(data);
        doc.AddDateEntry(std::move(entry), kEditInteractive);
    }
    QVERIFY(doc.SaveAs(path));
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_folder;
    fs::path m_program;
    fs::path m_user;
    CQueuedPrompt m_prompt;
    test::QueuedFileDialogs m_dialogs;

    // A start on a file of the user's own, named by the settings, with one event in it.
    std::unique_ptr<CDayvaultApp> StartOnOwnFile() {
        const fs::path events = m_user / "mine.dat";
        WriteEventFile(events, "Dentist", 0);
        UseUserIni("LoadDateFile=1\nDefaultDateFile=" + events.string() + "\n");
        return Start();
    }

    std::unique_ptr<CDayvaultApp> Start(bool expectStarted = true,
                                        std::optional<fs::path> file = std::nullopt) {
        AppEnvironment environment = test::TestEnvironment(m_folder->path().toStdString(), "test");
        environment.CommandLineFile = std::move(file);
        auto app = std::make_unique<CDayvaultApp>(std::move(environment), &m_prompt, &m_dialogs);
        const bool started = app->Start();
        if (started != expectStarted) {
            qWarning("start-up returned %d", started);
            return nullptr;
        }
        return app;
    }

    // Settings in the INI file of the user data folder, which then is the store.
    void UseUserIni(const std::string& lines) {
        WriteText(m_user / "Dayvault.ini", "[Settings]\nUseRegistry=0\n" + lines);
    }

private slots:
    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        m_program = fs::path(m_folder->path().toStdString()) / "program";
        m_user = fs::path(m_folder->path().toStdString()) / "user";
        test::ClearNativeStore();
        m_prompt.ClearShown();
    }

    void cleanup() { QCOMPARE(m_prompt.GetPendingAnswerCount(), std::size_t{0}); }

    void startupTakesTheStoreInItsOrder() {
        // No INI file anywhere: the native store, whose values then decide.
        {
            const fs::path events = m_user / "events.dat";
            WriteEventFile(events, "Dentist", 0);
            CQtProfileStore native;
            native.WriteInt("Settings", "DefaultView", 4);
            native.WriteInt("Settings", "LoadDateFile", 1);
            native.WriteText("Settings", "DefaultDateFile", events.string());
            native.Flush();
            auto app = Start();
            QVERIFY(app);
            QVERIFY(app->UsesPlatformStore());
            QCOMPARE(app->Frame()->CurrentPage(), 4);
            QCOMPARE(app->Document().GetDateEntryCount(), 1);
            QCOMPARE(app->Frame()->windowTitle(), QStringLiteral("events.dat - Dayvault"));
            QVERIFY(fs::exists(m_user / "events.b00")); // the rotating backup of the start
            CQtProfileStore after;
            QCOMPARE(after.ReadInt("Settings", "UseRegistry", 0), 1);
            QCOMPARE(after.ReadInt("Settings", "Language", 0), 1033);
        }
        // The user's INI file with UseRegistry=0 keeps everything there.
        UseUserIni("DefaultView=2\n");
        {
            auto app = Start();
            QVERIFY(app);
            QVERIFY(!app->UsesPlatformStore());
            QCOMPARE(app->Frame()->CurrentPage(), 2);
            QCOMPARE(app->Frame()->windowTitle(), QStringLiteral("Dayvault.dat - Dayvault"));
            QCOMPARE(CIniStore(m_user / "Dayvault.ini").ReadInt("Settings", "Language", 0), 1033);
        }
    }

    void secondStartBringsTheFirstToTheFront() {
        auto first = Start();
        QVERIFY(first);
        first->Frame()->showMinimized();
        auto second = Start(false);
        QVERIFY(second);
        QVERIFY(second->HandedOverToOtherInstance());
        QVERIFY(!second->Frame());
        QTRY_VERIFY(!first->Frame()->isMinimized());
        QVERIFY(first->Frame()->isVisible());
        // Without SingleInstance both run.
        second.reset();
        UseUserIni("SingleInstance=0\n");
        first = Start();
        QVERIFY(first);
        QVERIFY(Start());
    }

    void exitAsksWhenWarnOnExitIsSet() {
        auto app = Start();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        QSignalSpy exited(&frame, &CMainFrame::Exited);
        // Closing the window keeps the program running.
        frame.close();
        QTRY_VERIFY(frame.isMinimized() || !frame.isVisible());
        QCOMPARE(exited.count(), 0);
        frame.showNormal();

        m_prompt.QueueAnswer(false);
        QVERIFY(frame.RunCommand(cmd::kExit));
        QCOMPARE(exited.count(), 0);
        QVERIFY(frame.isVisible());
        QCOMPARE(m_prompt.GetShown().back().text, LoadString(kIdsAskExit));
        QVERIFY(m_prompt.GetShown().back().icon == PromptIcon::Exclamation);

        frame.SetPage(CMainFrame::FortnightPage);
        m_prompt.QueueAnswer(true);
        QVERIFY(frame.RunCommand(cmd::kExit));
        QCOMPARE(exited.count(), 1);
        QVERIFY(!frame.isVisible());
        QCOMPARE(CQtProfileStore().ReadInt("Settings", "LastView", 0), 2);

        // With WarnOnExit cleared nobody is asked (an unexpected question fails the test).
        app.reset();
        UseUserIni("WarnOnExit=0\n");
        app = Start();
        QVERIFY(app);
        QSignalSpy quiet(app->Frame(), &CMainFrame::Exited);
        QVERIFY(app->Frame()->Exit());
        QCOMPARE(quiet.count(), 1);
    }

    void menuKeysAreUniqueAndReachTheirCommands() {
        std::map<QKeySequence, uint32_t> taken;
        for (const CommandInfo& info : MainCommands()) {
            QVERIFY2(!LoadString(info.textId).empty(), qPrintable(QString::number(info.id)));
            if (!info.keys) {
                continue;
            }
            const QKeySequence keys(QString::fromLatin1(info.keys));
            QVERIFY2(!keys.isEmpty() && keys.toString() != QString(), info.keys);
            QVERIFY2(taken.emplace(keys, info.id).second, info.keys);
        }

        auto app = Start();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        frame.SetPage(CMainFrame::MonthPage);
        app->Document().SetSelectedDate(CDateTime(2024, 1, 31), false);
        QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(app->Document().GetSelectedDate(), CDateTime(2024, 2, 29));
        frame.SetPage(CMainFrame::YearPage);
        QTest::keyClick(&frame, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(app->Document().GetSelectedDate(), CDateTime(2023, 2, 28));
        // On the to-do page there is nothing to page through.
        frame.SetPage(CMainFrame::TodoPage);
        QVERIFY(!frame.Action(cmd::kNextPage)->isEnabled());
        QVERIFY(frame.Action(cmd::kTodoView)->isChecked());

        // Ctrl+V in a text field pastes text there.
        auto* field = new QLineEdit(frame.Sidebar());
        frame.Sidebar()->show();
        field->show();
        field->setFocus();
        QApplication::clipboard()->setText(QStringLiteral("dentist"));
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field->text(), QStringLiteral("dentist"));
    }

    void calendarPagesStepDaysAndShowHiddenEvents() {
        auto app = Start();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        CDayvaultDoc& doc = app->Document();
        auto hidden = std::make_unique<CDateEntry>(CDateTime(2024, 5, 10, 9, 0, 0));
        DateData data = hidden->GetData();
        data.Description = "hidden";
        data.Display = 1;
        hidden->AssignData(data);
        doc.AddDateEntry(std::move(hidden), kEditSendHint);
        frame.SetPage(CMainFrame::MonthPage);
        doc.SetSelectedDate(CDateTime(2024, 5, 10), false);
        doc.UpdateAllViews(UpdateHint::PageMoved);
        auto* page = qobject_cast<CMonthPage*>(frame.PageSheet()->currentWidget());
        QVERIFY(page);
        CDayList* cell = page->CellOf(CDateTime(2024, 5, 10));
        QVERIFY(cell->Entries().empty());
        // Ctrl+H shows hidden events on every page, and again hides them.
        QTest::keyClick(&frame, Qt::Key_H, Qt::ControlModifier);
        QVERIFY(frame.ShowHiddenEvents());
        QCOMPARE(cell->Entries().size(), size_t{1});
        // A page not shown catches up when it is shown again.
        frame.SetPage(CMainFrame::YearPage);
        QTest::keyClick(&frame, Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(cell->Entries().size(), size_t{1});
        frame.SetPage(CMainFrame::MonthPage);
        QVERIFY(cell->Entries().empty());
        // So does the page of a minimised window, when the window comes back.
        frame.showMinimized();
        QTRY_VERIFY(frame.isMinimized());
        QVERIFY(frame.RunCommand(cmd::kShowHidden));
        QVERIFY(cell->Entries().empty());
        frame.showNormal();
        QTRY_COMPARE(cell->Entries().size(), size_t{1});
        QVERIFY(frame.RunCommand(cmd::kShowHidden));
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));

        // Ctrl+arrows step the selected day from a cell; the page only recolours within range.
        frame.SetPage(CMainFrame::MonthPage);
        cell->setFocus();
        QTest::keyClick(cell, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(doc.GetSelectedDate(), CDateTime(2024, 5, 11));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(doc.GetSelectedDate(), CDateTime(2024, 5, 18));
        QCOMPARE(page->CellOf(CDateTime(2024, 5, 18))->GetCaption().color,
                 FromColorRef(app->Settings().SelectedColor));
        QCOMPARE(frame.NavigationBar()->MonthBox()->currentIndex(), 4);
        // Not past the last day of 2100.
        doc.SetSelectedDate(CDateTime(2100, 12, 31), false);
        QVERIFY(frame.RunCommand(cmd::kNextDay));
        QCOMPARE(doc.GetSelectedDate(), CDateTime(2100, 12, 31));
    }

    void startWithoutFileNameKeepsTheStandardFile() {
        // A platform-store user whose file lies elsewhere gets no empty user data folder.
        {
            const fs::path events = fs::path(m_folder->path().toStdString()) / "events.dat";
            WriteEventFile(events, "Dentist", 0);
            CQtProfileStore native;
            native.WriteInt("Settings", "LoadDateFile", 0);
            native.WriteText("Settings", "LastDateFile", events.string());
            native.Flush();
            QVERIFY(Start());
            QVERIFY(!fs::exists(m_user));
            test::ClearNativeStore();
        }
        // The first start makes the standard file; what is entered is there at the next start.
        UseUserIni("");
        const fs::path standard = m_user / "Dayvault.dat";
        {
            auto app = Start();
            QVERIFY(app);
            QCOMPARE(app->StandardEventFile(), standard);
            QVERIFY(fs::is_regular_file(standard));
            QCOMPARE(app->Frame()->windowTitle(), QStringLiteral("Dayvault.dat - Dayvault"));
            auto entry = std::make_unique<CDateEntry>(CDateTime(2026, 12, 16, 10, 0, 0));
            DateData data = entry->GetData();
            data.Description = "Meeting";
            entry->AssignData(data);
            app->Document().AddDateEntry(std::move(entry), kEditInteractive);
            QVERIFY(app->Frame()->RunCommand(cmd::kFileSave));
        }
        {
            auto app = Start();
            QVERIFY(app);
            QCOMPARE(app->Document().GetDateEntryCount(), 1);
            QCOMPARE(app->Document().GetPathName(), standard);
        }
        // A named file that does not exist is offered to be made; declined, the standard file
        // opens and nothing is made.
        const fs::path wanted = m_user / "Work" / "work.dat";
        m_prompt.QueueAnswer(false);
        {
            auto app = Start(true, wanted);
            QVERIFY(app);
            QCOMPARE(m_prompt.GetShown().back().text,
                     wanted.string() + " does not exist.\nCreate it?");
            QCOMPARE(app->Document().GetPathName(), standard);
            QVERIFY(!fs::exists(wanted));
        }
        m_prompt.QueueAnswer(true);
        {
            auto first = Start(true, wanted);
            QVERIFY(first);
            QVERIFY(fs::is_regular_file(wanted));
            QCOMPARE(first->Frame()->windowTitle(), QStringLiteral("work.dat - Dayvault"));
            // A second start hands its file to the running program, which opens it.
            first->Frame()->hide();
            auto second = Start(false, standard);
            QVERIFY(second && second->HandedOverToOtherInstance());
            QTRY_COMPARE(first->Document().GetPathName(), standard);
            QVERIFY(first->Frame()->isVisible());
            QCOMPARE(first->Document().GetDateEntryCount(), 1);
            // One that does not exist is offered to be made there too.
            const fs::path another = m_user / "another.dat";
            m_prompt.QueueAnswer(true);
            QVERIFY(Start(false, another));
            QTRY_COMPARE(first->Document().GetPathName(), another);
            QVERIFY(fs::is_regular_file(another));
        }
    }

    void damagedStartFilesAreNamedOnce() {
        // A translation whose index points outside it, and a holiday module that is no module.
        fs::create_directories(m_program / "lang");
        std::string qm = test::ReadFile(DAYVAULT_TEST_QM);
        size_t block = 16; // after the magic number: tag, 32-bit length, contents
        while (block + 5 < qm.size() && qm[block] != '\x42') {
            block += 5 + (uint32_t(uint8_t(qm[block + 1])) << 24 |
                          uint32_t(uint8_t(qm[block + 2])) << 16 |
                          uint32_t(uint8_t(qm[block + 3])) << 8 | uint8_t(qm[block + 4]));
        }
        QVERIFY(block + 13 < qm.size());
        qm.replace(block + 9, 4, "\x7f\xff\xff\xf0"); // the first message's offset
        WriteText(m_program / "lang" / "dayvault_0407.qm", qm);
        WriteText(m_program / "holidays" / "Broken.hol", "no holidays here");
        UseUserIni("Language=1031\n[HolidaySettings]\nActiveModules=Broken\n");
        auto app = Start();
        QVERIFY(app);
        QCOMPARE(app->Language(), 0x409u);
        QCOMPARE(LoadString(kIdsUntitled), std::string("Untitled"));
        const auto& shown = m_prompt.GetShown();
        QCOMPARE(shown.size(), size_t{2});
        QVERIFY(shown[0].text.find("dayvault_0407.qm is damaged") != std::string::npos);
        QVERIFY(shown[0].text.find("runs in English") != std::string::npos);
        QVERIFY(shown[1].text.find("Broken") != std::string::npos);
    }

    void storedPlacementIsFittedToTheScreen() {
        const QList<QRect> screens{QRect(0, 0, 1024, 600), QRect(1024, 0, 1920, 1080)};
        struct Row {
            int x, y, width, height;
            QRect expected;
        };
        const Row rows[] = {
            {100, 50, 800, 500, QRect(100, 50, 800, 500)},       // on the screen: kept
            {-300, -200, 1200, 900, QRect(-300, 0, 1024, 600)},  // cut, title bar reachable
            {2900, 100, 1400, 700, QRect(2844, 100, 1400, 700)}, // its larger part's screen
            {INT32_MIN, 0, -5, 400, QRect(272, 100, 480, 400)},  // nowhere: centred
            {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, QRect(0, 0, 1024, 600)},
        };
        for (const Row& row : rows) {
            QCOMPARE(FitToScreens(row.x, row.y, row.width, row.height, screens), row.expected);
        }
        // The first start fills most of a large screen and all of a small one.
        QCOMPARE(FirstStartGeometry(QRect(0, 0, 1920, 1080)), QRect(160, 101, 1600, 877));
        QCOMPARE(FirstStartGeometry(QRect(0, 0, 1024, 600)), QRect(8, 24, 1008, 552));
        // Below a roomy width the month with the sidebar needs the whole screen's width.
        QVERIFY(FirstStartMaximized(QRect(0, 0, 1366, 768)));
        QVERIFY(!FirstStartMaximized(QRect(0, 0, 1920, 1080)));

        UseUserIni("[WindowSettings]\nMainWindowX=-2147483648\nMainWindowY=2147483647\n"
                   "MainWindowWidth=-5\nMainWindowHeight=2147483647\n");
        auto app = Start();
        QVERIFY(app);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.contains(app->Frame()->geometry()));
    }

    void windowsFitASmallScreen() {
        // Run on a 1024 x 600 screen by the small-screen test entry.
        if (QGuiApplication::primaryScreen()->size().height() > 600) {
            QSKIP("needs the small screen of dayvault_small_screen_tests");
        }
        UseUserIni("[WindowSettings]\nSidebarVisible=1\n");
        auto app = Start();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(frame.Sidebar()->isVisible());
        QVERIFY2(screen.contains(frame.frameGeometry()),
                 qPrintable(QStringLiteral("%1x%2").arg(frame.width()).arg(frame.height())));
        std::map<QString, QSize> sizes;
        for (const uint32_t command : {cmd::kOptions, cmd::kEventDatabase}) {
            QTimer::singleShot(0, &frame, [&] {
                if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    sizes[dialog->objectName()] = dialog->frameGeometry().size();
                    QVERIFY(screen.contains(dialog->frameGeometry()));
                    dialog->reject();
                }
            });
            QVERIFY(frame.RunCommand(command));
        }
        QCOMPARE(sizes.size(), size_t{2});
    }

    void secondStartRestoresHiddenMinimisedAndCoveredWindows() {
        auto app = Start();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        QWidget cover;
        cover.setGeometry(frame.geometry());
        const auto secondStart = [&](const char* what) {
            QVERIFY(Start(false));
            QTRY_VERIFY2(frame.isVisible() && !frame.isMinimized() &&
                             QApplication::activeWindow() == &frame,
                         what);
        };
        // Closing minimises; where the desktop has a tray, the window then hides.
        frame.close();
        frame.hide();
        secondStart("hidden in the tray");
        frame.close();
        secondStart("minimised");
        cover.show();
        cover.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &cover);
        secondStart("covered");
        // The program's own minimise right after is meant.
        frame.close();
        QCoreApplication::processEvents();
        QVERIFY(frame.isMinimized());
        // A maximised window comes back maximised.
        frame.showMaximized();
        QTRY_VERIFY(frame.isMaximized());
        frame.close();
        QCoreApplication::processEvents();
        frame.hide();
        QVERIFY(Start(false));
        QTRY_VERIFY(frame.isVisible() && frame.isMaximized());
    }

    void windowPlacementRoundTrips() {
        {
            auto app = Start();
            QVERIFY(app);
            CMainFrame& frame = *app->Frame();
            frame.setGeometry(110, 120, 700, 500);
            QVERIFY(frame.RunCommand(cmd::kSaveWindowPosNow));
            frame.showMaximized();
            QTRY_VERIFY(frame.isMaximized());
            frame.showMinimized();
            QTRY_VERIFY(frame.isMinimized());
            frame.SaveWindowPosition();
        }
        {
            auto app = Start();
            QVERIFY(app);
            const CWindowSettings& layout = app->WindowSettings();
            QCOMPARE(layout.MainWindowX, 110);
            QCOMPARE(layout.MainWindowWidth, 700);
            QVERIFY(layout.MainWindowMaximized); // minimised from maximised reopens maximised
            QVERIFY(app->Frame()->isMaximized());
            QCOMPARE(app->Frame()->normalGeometry(), QRect(110, 120, 700, 500));
            // Turning SaveWindowsPos off keeps the exit from moving the stored placement.
            QVERIFY(app->Frame()->IsCommandChecked(cmd::kSaveWindowPosOnExit));
            QVERIFY(app->Frame()->RunCommand(cmd::kSaveWindowPosOnExit));
            QVERIFY(!app->Frame()->Action(cmd::kSaveWindowPosOnExit)->isChecked());
            app->Frame()->showNormal();
            app->Frame()->setGeometry(10, 20, 600, 400);
            app->Frame()->SaveExitState();
        }
        CWindowSettings stored;
        stored.Load(CQtProfileStore(), 1024, 768);
        QCOMPARE(stored.MainWindowX, 110);
        QCOMPARE(CQtProfileStore().ReadInt("Settings", "SaveWindowsPos", 1), 0);
    }

    void fileCommandsGoThroughTheDialogs() {
        UseUserIni("");
        auto app = Start();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        CDayvaultDoc& doc = app->Document();
        const fs::path other = m_user / "other.dat";
        WriteEventFile(other, "Dentist", 0);
        m_dialogs.next = other;
        QVERIFY(frame.RunCommand(cmd::kFileOpen));
        QCOMPARE(doc.GetDateEntryCount(), 1);
        QCOMPARE(frame.windowTitle(), QStringLiteral("other.dat - Dayvault"));

        const fs::path backup = m_user / "backup.txt";
        m_dialogs.next = backup;
        QVERIFY(frame.RunCommand(cmd::kBackup));
        QVERIFY(fs::file_size(backup) > 0);
        m_dialogs.next = m_user / "copy.dat";
        QVERIFY(frame.RunCommand(cmd::kFileSaveAs));
        QCOMPARE(frame.windowTitle(), QStringLiteral("copy.dat - Dayvault"));

        QVERIFY(frame.RunCommand(cmd::kFileNew));
        QCOMPARE(doc.GetDateEntryCount(), 0);
        m_dialogs.next = backup;
        QVERIFY(frame.RunCommand(cmd::kRestore));
        QCOMPARE(doc.GetDateEntry(0)->GetData().Description, std::string("Dentist"));
        m_prompt.QueueAnswer(false); // the restored, untitled document is not saved
        QVERIFY(frame.RunCommand(cmd::kFileNew));

        // A damaged file is named in a message and leaves an empty, untitled document.
        const fs::path damaged = m_user / "damaged.dat";
        WriteText(damaged, "not an event file");
        m_dialogs.next = damaged;
        QVERIFY(frame.RunCommand(cmd::kFileOpen));
        QVERIFY(m_prompt.GetShown().back().text.find("damaged.dat") != std::string::npos);
        QVERIFY(m_prompt.GetShown().back().icon == PromptIcon::Stop);
        QCOMPARE(frame.windowTitle(), QStringLiteral("Untitled - Dayvault"));
        // Cancelled dialogs change nothing.
        QVERIFY(frame.RunCommand(cmd::kFileOpen));
        QCOMPARE(doc.GetDateEntryCount(), 0);
    }

    void trayIconActivatesPerSettings() {
        UseUserIni("DoubleClickTray=0\nRestoreStandardView=1\nDefaultView=1\n"
                   "RestoreCurrentDate=1\n");
        auto app = Start();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        frame.SetTrayTooltip(std::string(80, 'x'));
        QCOMPARE(frame.TrayIcon()->toolTip().size(), 63);
        frame.SetTrayIcon(TrayIconKind::AlarmOffDueTodos);
        QVERIFY(frame.CurrentTrayIcon() == TrayIconKind::AlarmOffDueTodos);

        frame.SetPage(CMainFrame::YearPage);
        app->Document().SetSelectedDate(CDateTime(2001, 5, 5), false);
        frame.hide();
        frame.OnTrayActivated(QSystemTrayIcon::DoubleClick); // not the activating click
        QVERIFY(!frame.isVisible());
        frame.OnTrayActivated(QSystemTrayIcon::Trigger);
        QVERIFY(frame.isVisible());
        QCOMPARE(frame.CurrentPage(), 1);
        QTRY_COMPARE(app->Document().GetSelectedDate(), CDateTime::Now().GetDate());
        // Visible, and TrayIconTogglesSize is off: nothing happens.
        frame.OnTrayActivated(QSystemTrayIcon::Trigger);
        QVERIFY(frame.isVisible() && !frame.isMinimized());
        QVERIFY(CCurrentTimeBar::FormatShowsSeconds("%H:%#S"));
        QVERIFY(!CCurrentTimeBar::FormatShowsSeconds("%H:%M 100%%S"));
    }

    void alarmsAreWiredToTheMenusAndTheResume() {
        auto app = StartOnOwnFile();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        // A reminder that fell due while the machine slept shows when it wakes.
        const CDateTime now = CDateTime::Now();
        auto event = std::make_unique<CDateEntry>(now);
        DateData data = event->GetData();
        data.Description = "Call the garage";
        data.StartDate = now + CDateTimeSpan(0, 0, 5, 0);
        data.EndDate = data.StartDate + CDateTimeSpan(0, 1, 0, 0);
        data.Forewarn = 1;
        data.ForewarnSpan = 10;
        data.ForewarnUnit = 0;
        event->SetData(data, now);
        app->Document().AddDateEntry(std::move(event), kEditInteractive);
        QVERIFY(!frame.Scheduler().GetReminderWindow());
        frame.ResumeWatcher().OnPrepareForSleep(false);
        QTRY_VERIFY(frame.Scheduler().GetReminderWindow());
        QVERIFY(frame.Scheduler().GetReminderWindow()->isVisible());

        // Alarm off asks first (WarnOnAlarmDisable) and takes the check mark and the icon along.
        QVERIFY(frame.IsCommandChecked(cmd::kAlarm));
        // The menu draws a check mark, not the toolbar's bell in its place.
        // A menu draws the check mark only where no icon stands in its place.
        QVERIFY(frame.Action(cmd::kAlarm)->isCheckable());
        QVERIFY(frame.Action(cmd::kAlarm)->isChecked());
        QVERIFY(!frame.Action(cmd::kAlarm)->isIconVisibleInMenu());
        m_prompt.QueueAnswer(true);
        QVERIFY(frame.RunCommand(cmd::kAlarm));
        QVERIFY(!frame.Action(cmd::kAlarm)->isChecked());
        QVERIFY(frame.CurrentTrayIcon() == TrayIconKind::AlarmOff ||
                frame.CurrentTrayIcon() == TrayIconKind::AlarmOffDueTodos);
        QVERIFY(frame.IsCommandEnabled(cmd::kResetEventStates));
        // Replacing the document first closes the reminder window, which points into it.
        QVERIFY(frame.RunCommand(cmd::kFileNew));
        QTRY_VERIFY(!frame.Scheduler().GetReminderWindow());
        QCOMPARE(app->Document().GetDateEntryCount(), 0);

        // The reminder window's Delete has asked about the entry; the frame asks once more only
        // about losing every occurrence, and No keeps the event.
        auto doomed = std::make_unique<CDateEntry>(now);
        CDateEntry* doomedEvent = doomed.get();
        app->Document().AddDateEntry(std::move(doomed), kEditInteractive);
        m_prompt.ClearShown();
        m_prompt.QueueAnswer(false);
        frame.DeleteEvent(doomedEvent);
        QCOMPARE(app->Document().GetDateEntryCount(), 1);
        QVERIFY(m_prompt.GetShown().back().icon == PromptIcon::Exclamation);
        QVERIFY(m_prompt.GetShown().back().text.starts_with(LoadString(kIdsAskDeleteWholeEvent)));
        m_prompt.QueueAnswer(true);
        frame.DeleteEvent(doomedEvent);
        QCOMPARE(app->Document().GetDateEntryCount(), 0);
        QCOMPARE(m_prompt.GetQuestionCount(), std::size_t{2});
    }

    // Done on many reminders at once is one save of the file, not one per reminder.
    void doneOnManyRemindersIsOneSave() {
        auto app = StartOnOwnFile();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        const CDateTime now = CDateTime::Now();
        constexpr int kReminders = 200;
        for (int i = 0; i < kReminders; ++i) {
            auto event = std::make_unique<CDateEntry>(now);
            DateData data = event->GetData();
            data.Description = "Call " + std::to_string(i);
            data.StartDate = now + CDateTimeSpan(0, 0, 5, 0);
            data.EndDate = data.StartDate + CDateTimeSpan(0, 1, 0, 0);
            data.Forewarn = 1;
            data.ForewarnSpan = 10;
            event->SetData(data, now);
            app->Document().AddDateEntry(std::move(event), kEditInteractive);
        }
        QTRY_VERIFY(!app->Document().IsModified());
        frame.Scheduler().TickNow();
        QCoreApplication::processEvents();
        CReminderDlg* window = frame.Scheduler().GetReminderWindow();
        QVERIFY(window != nullptr);
        QCOMPARE(window->GetRecordCount(), kReminders);
        QCoreApplication::processEvents();
        const int saves = frame.GetSaveCount();
        window->findChild<QTreeWidget*>(QStringLiteral("eventList"))->selectAll();
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("doneButton")),
                          Qt::LeftButton);
        QTRY_VERIFY(!app->Document().IsModified());
        QCoreApplication::processEvents();
        QCOMPARE(frame.GetSaveCount(), saves + 1);
        QVERIFY(app->Document().GetDateEntry(1)->IsDone(app->Document().GetDateEntry(1)->GetFirstStart()));
    }

    void workerMergesOnTheInterfaceThreadWhileBusy() {
        const fs::path shared = m_user / "shared" / "shared.dat";
        fs::create_directories(shared.parent_path());
        WriteEventFile(shared, "Team meeting", 1);
        const fs::path own = m_user / "own.dat";
        WriteEventFile(own, "Dentist", 0);
        UseUserIni("NetworkFunction=1\nNetworkSyncType=1\nSharedFile=" + shared.string() +
                   "\nLoadDateFile=1\nDefaultDateFile=" + own.string() + "\n");
        auto app = Start();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        HintRecorder hints(&frame);
        app->Document().AddObserver(hints);
        QVERIFY(frame.RunCommand(cmd::kSyncNow));
        QTRY_COMPARE(app->Document().GetDateEntryCount(), 2);
        QCOMPARE(app->Document().GetDateEntry(1)->GetData().Description,
                 std::string("Team meeting"));
        QCOMPARE(hints.busy, (std::set<int>{3}));
        QCOMPARE(frame.BusyState(), 0);
        QTRY_COMPARE(frame.SyncStatusLabel()->text(),
                     QString::fromStdString(SyncOutcomeText(SyncOutcome::success)));
        app->Document().RemoveObserver(hints);
    }

    void massDeletionIsPutToTheUser() {
        // Twelve shared events known on both sides; then another user's file lacks all of them.
        const fs::path shared = m_user / "shared" / "shared.dat";
        WriteEventFile(shared, "Team meeting", 1, 12);
        const fs::path own = m_user / "own.dat";
        fs::copy_file(shared, own);
        UseUserIni("NetworkFunction=1\nNetworkSyncType=1\nNetworkWriteAccess=3\nSharedFile=" +
                   shared.string() + "\nLoadDateFile=1\nDefaultDateFile=" + own.string() + "\n");
        auto app = Start();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        QVERIFY(frame.RunCommand(cmd::kSyncNow));
        QTRY_VERIFY(frame.SyncWorker().GetLastCycleTime().IsSet());
        const CDateTime firstCycle = frame.SyncWorker().GetLastCycleTime();
        QCOMPARE(app->Document().GetDateEntryCount(), 12);

        WriteEventFile(shared, "Lunch", 1, 1);
        m_prompt.QueueAnswer(true);
        QVERIFY(frame.RunCommand(cmd::kSyncNow));
        QTRY_COMPARE(app->Document().GetDateEntryCount(), 1);
        QCOMPARE(m_prompt.GetQuestionCount(), std::size_t{1});
        QVERIFY(m_prompt.GetShown().back().text.find("12 shared entries were removed") !=
                std::string::npos);
        QVERIFY(frame.SyncWorker().GetLastCycleTime() >= firstCycle);
    }

    void todoPageSidebarAndDatabaseAreWired() {
        UseUserIni("");
        auto app = Start();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        auto* sidebar = qobject_cast<CFilterView*>(frame.Sidebar());
        QVERIFY(sidebar != nullptr);
        frame.SetPage(CMainFrame::TodoPage);
        auto* page = qobject_cast<CTodoPage*>(frame.PageSheet()->currentWidget());
        QVERIFY(page != nullptr);
        QVERIFY(sidebar->TodoMode());
        frame.SetPage(CMainFrame::MonthPage);
        QVERIFY(!sidebar->TodoMode());

        // The page's selection is the frame's to-do selection; Del there deletes it.
        QVERIFY(app->Document().SaveAs(m_user / "events.dat")); // saves then ask nothing
        auto todo = std::make_unique<CTodoEntry>(CDateTime(2026, 3, 1, 0, 0, 0));
        CTodoEntry* added = todo.get();
        app->Document().AddTodoEntry(std::move(todo), kEditInteractive);
        frame.SetPage(CMainFrame::TodoPage);
        page->SelectTodo(added);
        QCOMPARE(frame.EditCommands().SelectedTodo(), added);
        app->Settings().WarnOnDelete = false;
        QVERIFY(frame.RunCommand(cmd::kDeleteEntry));
        QCOMPARE(app->Document().GetTodoCount(), 0);
        QCOMPARE(page->RowCount(), 0);
        QCOMPARE(frame.EditCommands().SelectedTodo(), nullptr);
        frame.SetPage(CMainFrame::MonthPage);

        // The sort key reaches the store; the filter switch is the document's.
        page->ClickColumn(kTodoColPriority);
        QCOMPARE(app->Store().ReadInt("Settings", "PrimaryTodoSorting", 0), 5);
        QVERIFY(frame.IsCommandChecked(cmd::kFilterSwitch));
        QVERIFY(frame.RunCommand(cmd::kFilterSwitch));
        QVERIFY(!app->Document().GetFilterSwitch());
        QVERIFY(!sidebar->findChild<QCheckBox*>(QStringLiteral("FilterSwitch"))->isChecked());

        // The sidebar keeps its width while Ctrl+F hides and shows it.
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        if (!sidebar->isVisible()) {
            QVERIFY(frame.RunCommand(cmd::kFilter));
        }
        frame.Splitter()->setSizes({310, frame.Splitter()->width() - 310});
        const int width = frame.Splitter()->sizes().value(0);
        QVERIFY(frame.RunCommand(cmd::kFilter));
        QVERIFY(!sidebar->isVisible());
        QCOMPARE(app->WindowSettings().SidebarWidth, width);
        QVERIFY(frame.RunCommand(cmd::kFilter));
        QCOMPARE(frame.Splitter()->sizes().value(0), width);

        // The database window: only while nothing else is busy, and busy while it is open.
        frame.BusyState() = 3;
        QVERIFY(!frame.IsCommandEnabled(cmd::kEventDatabase));
        frame.BusyState() = 0;
        int busyWhileOpen = -1;
        QTimer::singleShot(0, &frame, [&] {
            auto* dialog = qobject_cast<CEventDatabaseDlg*>(QApplication::activeModalWidget());
            busyWhileOpen = dialog ? frame.BusyState() : -2;
            if (dialog) {
                dialog->reject();
            }
        });
        QVERIFY(frame.RunCommand(cmd::kEventDatabase));
        QCOMPARE(busyWhileOpen, 2);
        QCOMPARE(frame.BusyState(), 0);
    }

    void homepageOpensTheManualUntilSetOtherwise() {
        UseUserIni("");
        auto app = Start();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        std::vector<QUrl> opened;
        frame.SetUrlOpener([&](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
        const auto open = [&](const std::string& homepage) {
            app->Settings().Homepage = homepage;
            opened.clear();
            return frame.RunCommand(cmd::kHomepage) && opened.size() == 1 ? opened[0] : QUrl();
        };
        const auto inProgram = [&](const char* file) {
            return QUrl::fromLocalFile(QString::fromStdString((m_program / file).string()));
        };
        // The default names the manual in whichever folder the program runs from.
        QCOMPARE(open(CSettings().Homepage), inProgram("doc/index.html"));
        QCOMPARE(open("doc\\index.html"), inProgram("doc/index.html"));
        QCOMPARE(open(" https://example.org/dayvault?x=1 "),
                 QUrl("https://example.org/dayvault?x=1"));
        QCOMPARE(open("www.example.org/news"), QUrl("http://www.example.org/news"));
        QCOMPARE(open("/srv/intranet/dayvault.html"), QUrl("file:///srv/intranet/dayvault.html"));
        WriteText(m_program / "start.page.html", "<p>start</p>");
        QCOMPARE(open("start.page.html"), inProgram("start.page.html"));
        app->Settings().Homepage.clear();
        QVERIFY(!frame.RunCommand(cmd::kHomepage));
        // F1 opens the manual whatever the homepage says; missing, it says where it belongs.
        opened.clear();
        QVERIFY(frame.RunCommand(cmd::kManual));
        QVERIFY(opened.empty());
        QVERIFY(m_prompt.GetShown().back().text.find((m_program / "doc" / "index.html").string()) !=
                std::string::npos);
        WriteText(m_program / "doc" / "index.html",
                  "<h1>Manual</h1><a href=\"events.html\">Events</a>");
        WriteText(m_program / "doc" / "events.html", "<h1>Events</h1>");
        QVERIFY(frame.RunCommand(cmd::kManual));
        QCOMPARE(opened.size(), size_t{1});
        QCOMPARE(opened[0], inProgram("doc/index.html"));
        QVERIFY(!frame.findChild<CHelpViewer*>());
        // Where no browser takes it, the program shows the manual itself, and can go back.
        frame.SetUrlOpener([](const QUrl&) { return false; });
        QVERIFY(frame.RunCommand(cmd::kManual));
        auto* viewer = frame.findChild<CHelpViewer*>();
        QVERIFY(viewer && viewer->isVisible());
        QVERIFY(viewer->Browser()->toPlainText().startsWith(QStringLiteral("Manual")));
        viewer->Browser()->setSource(QUrl(QStringLiteral("events.html")));
        QVERIFY(viewer->Browser()->toPlainText().startsWith(QStringLiteral("Events")));
        test::Click(viewer->findChild<QPushButton*>(QStringLiteral("Back")));
        QVERIFY(viewer->Browser()->toPlainText().startsWith(QStringLiteral("Manual")));
        QVERIFY(frame.RunCommand(cmd::kManual)); // one viewer, not a second
        QCOMPARE(frame.findChildren<CHelpViewer*>().size(), 1);
    }
};

} // namespace dv

DAYVAULT_QTEST_MAIN_IN_TEMP_HOME(dv::MainFrameTest)
#include "MainFrameTest.moc"
