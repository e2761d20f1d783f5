// iCalendar on the desktop: File > Import and Export, the import report, one undo step, the
// approvals of imported actions, drops of .ics files, the command line and the clipboard.
#include "DesktopRig.h"
#include "app/CAlarmScheduler.h"
#include "app/CDayvaultApp.h"
#include "app/CEditCommands.h"
#include "app/CIcalCommands.h"
#include "app/CMainFrame.h"
#include "app/CReminderDlg.h"
#include "app/CSharedActionApprovals.h"
#include "app/CommandTable.h"
#include "core/Prompt.h"
#include "ical/IcalCalendar.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>
#include <fstream>

namespace dv {

namespace fs = std::filesystem;
using namespace test;

namespace {

const char* const kCalendar = "BEGIN:VCALENDAR\r\n"
                              "VERSION:2.0\r\n"
                              "PRODID:-//Example//Calendar//EN\r\n"
                              "BEGIN:VEVENT\r\n"
                              "UID:standup@example.com\r\n"
                              "DTSTART:20260302T090000\r\n"
                              "DTEND:20260302T091500\r\n"
                              "SUMMARY:Standup\r\n"
                              "END:VEVENT\r\n"
                              "BEGIN:VEVENT\r\n"
                              "UID:rent@example.com\r\n"
                              "DTSTART;VALUE=DATE:20260331\r\n"
                              "RRULE:FREQ=MONTHLY;BYMONTHDAY=31\r\n"
                              "SUMMARY:Rent\r\n"
                              "END:VEVENT\r\n"
                              "BEGIN:VEVENT\r\n"
                              "UID:nostart@example.com\r\n"
                              "SUMMARY:No start\r\n"
                              "END:VEVENT\r\n"
                              "BEGIN:VTODO\r\n"
                              "UID:fence@example.com\r\n"
                              "SUMMARY:Paint the fence\r\n"
                              "END:VTODO\r\n"
                              "END:VCALENDAR\r\n";

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

QStringList Column(const QTreeWidget* tree, int column) {
    QStringList cells;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        cells << tree->topLevelItem(i)->text(column);
    }
    return cells;
}

// "result: entry: reason" per row, sorted (the report keeps the calendar's grouping order).
QStringList Rows(const QTreeWidget* tree) {
    QStringList rows;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = tree->topLevelItem(i);
        rows << item->text(0) + ": " + item->text(1) + (item->text(2).isEmpty() ? "" : ": reason");
    }
    rows.sort();
    return rows;
}

} // namespace

class IcalDesktopTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_folder;
    CQueuedPrompt m_prompt;
    QueuedFileDialogs m_dialogs;

    fs::path Root() const { return fs::path(m_folder->path().toStdString()); }

    std::unique_ptr<CDayvaultApp> Start(std::optional<fs::path> commandLine = {}) {
        AppEnvironment environment = TestEnvironment(Root(), "ical");
        environment.CommandLineFile = std::move(commandLine);
        auto app = std::make_unique<CDayvaultApp>(environment, &m_prompt, &m_dialogs);
        if (!app->Start()) {
            return nullptr;
        }
        if (app->Document().GetPathName().empty()) {
            app->Document().SaveAs(Root() / "events.dat");
        }
        app->Frame()->SetPage(CMainFrame::WeekPage);
        return app;
    }

    static CIcalImportReportDlg* Report(CMainFrame* frame) {
        auto reports = frame->findChildren<CIcalImportReportDlg*>();
        return reports.isEmpty() ? nullptr : reports.back();
    }

private slots:
    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        ClearNativeStore();
        m_prompt.ClearShown();
    }

    void cleanup() { QCOMPARE(m_prompt.GetPendingAnswerCount(), std::size_t{0}); }

    void importReportsEveryEntryAndUndoesAsOneStep() {
        auto app = Start();
        QVERIFY(app);
        CMainFrame* frame = app->Frame();
        CDayvaultDoc& doc = app->Document();
        const fs::path file = Root() / "work.ics";
        WriteFile(file, kCalendar);
        m_dialogs.next = file;
        QVERIFY(frame->RunCommand(cmd::kIcalImport));
        CIcalImportReportDlg* report = Report(frame);
        QVERIFY(report);
        QVERIFY(report->isVisible());
        QCOMPARE(report->Summary()->text(),
                 QString::fromStdString(file.string()) +
                     ": 3 added, 0 updated, 0 unchanged, 1 approximated, 1 skipped.");
        QCOMPARE(Rows(report->Entries()),
                 QStringList({"Added: Paint the fence", "Added: Standup",
                              "Approximated: Rent: reason", "Skipped: No start: reason"}));
        QVERIFY(Column(report->Entries(), 2).join("|").contains("day 31"));
        QCOMPARE(doc.GetDateEntryCount(), 2);
        QCOMPARE(doc.GetTodoCount(), 1);
        QVERIFY(fs::exists(fs::path(doc.GetPathName()).replace_extension(".uids")));
        report->close();

        // A second import updates nothing and adds nothing.
        m_dialogs.next = file;
        QVERIFY(frame->RunCommand(cmd::kIcalImport));
        QVERIFY(Report(frame)->Summary()->text().contains("0 added, 0 updated, 3 unchanged"));
        QCOMPARE(doc.GetDateEntryCount(), 2);

        // One undo takes back every event of the import, one more the to-do on its page.
        doc.AddDateEntry(std::make_unique<CDateEntry>(CDateTime(2026, 3, 5, 8, 0, 0)),
                         kEditInteractive);
        QVERIFY(frame->RunCommand(cmd::kUndo));
        QCOMPARE(doc.GetDateEntryCount(), 2);
        QVERIFY(frame->RunCommand(cmd::kUndo));
        QCOMPARE(doc.GetDateEntryCount(), 0);
        QVERIFY(!frame->IsCommandEnabled(cmd::kUndo));
        QVERIFY(frame->RunCommand(cmd::kRedo));
        QCOMPARE(doc.GetDateEntryCount(), 2);
        QVERIFY(frame->RunCommand(cmd::kRedo));
        QCOMPARE(doc.GetDateEntryCount(), 3);
        frame->SetPage(CMainFrame::TodoPage);
        QVERIFY(frame->RunCommand(cmd::kUndo));
        QCOMPARE(doc.GetTodoCount(), 0);

        // Not a calendar: a message naming the file, nothing changed.
        const fs::path broken = Root() / "broken.ics";
        WriteFile(broken, "BEGIN:VCARD\r\nEND:VCARD\r\n");
        m_dialogs.next = broken;
        QVERIFY(frame->RunCommand(cmd::kIcalImport));
        QCOMPARE(m_prompt.GetShown().back().icon, PromptIcon::Stop);
        QVERIFY(m_prompt.GetShown().back().text.find(broken.string()) != std::string::npos);
        QCOMPARE(doc.GetDateEntryCount(), 3);
    }

    void importedActionsAskBeforeTheirFirstRun() {
        auto app = Start();
        QVERIFY(app);
        DocumentContents elsewhere;
        auto event = std::make_unique<CDateEntry>(CDateTime(2026, 3, 2, 9, 0, 0));
        DateData data = event->GetData();
        data.Description = "Backup";
        data.Action = 2;
        data.CmdLine = "/usr/bin/rsync";
        data.Parameter = "-a /home /mnt";
        event->AssignData(data);
        const std::string guid = event->GetGUID();
        elsewhere.events.push_back(std::move(event));
        ical::UidStore uids;
        ical::ExportReport exported;
        const std::string text =
            ical::ExportCalendar(elsewhere, uids, CDateTime(2026, 1, 1, 0, 0, 0), exported);
        QVERIFY(ImportIcalWithReport(*app, text, "mail"));
        const CDateEntry* imported = app->Document().FindDateEntry(guid);
        QVERIFY(imported);
        QCOMPARE(imported->GetData().CmdLine, std::string("/usr/bin/rsync"));
        QVERIFY(app->Frame()->Scheduler().GetApprovals().Check(imported->GetData()) ==
                CSharedActionApprovals::Decision::Unknown);
    }

    void droppedCalendarFilesAreImported() {
        auto app = Start();
        QVERIFY(app);
        CMainFrame* frame = app->Frame();
        const fs::path file = Root() / "dropped.ics";
        WriteFile(file, kCalendar);
        const fs::path other = Root() / "notes.txt";
        WriteFile(other, "text");
        QVERIFY(frame->acceptDrops());
        const auto dropOf = [&](const fs::path& path, QEvent::Type type) {
            QMimeData mime;
            mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path.string()))});
            QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {}, type);
            QApplication::sendEvent(frame, &drop);
            return drop.isAccepted();
        };
        QVERIFY(!dropOf(other, QEvent::Drop));
        QCOMPARE(app->Document().GetDateEntryCount(), 0);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(frame, &enter);
        QVERIFY(enter.isAccepted());
        QVERIFY(dropOf(file, QEvent::Drop));
        QCOMPARE(app->Document().GetDateEntryCount(), 2);
        QVERIFY(Report(frame));
        QVERIFY(Report(frame)->Summary()->text().contains("3 added"));
    }

    void commandLineCalendarIsOfferedForImport() {
        const fs::path file = Root() / "invite.ics";
        WriteFile(file, kCalendar);
        m_prompt.QueueAnswer(true);
        auto app = Start(file);
        QVERIFY(app);
        QVERIFY(m_prompt.GetShown().front().text.find(file.string()) != std::string::npos);
        QCOMPARE(app->Document().GetDateEntryCount(), 2);
        QVERIFY(app->Document().GetPathName() != file);
    }

    void clipboardCarriesCalendarBothWays() {
        auto app = Start();
        QVERIFY(app);
        CMainFrame* frame = app->Frame();
        CDayvaultDoc& doc = app->Document();
        auto added = std::make_unique<CDateEntry>(CDateTime(2026, 3, 2, 8, 0, 0));
        DateData data = added->GetData();
        data.Description = "Choir; rehearsal";
        data.EndDate = CDateTime(2026, 3, 2, 9, 30, 0);
        added->AssignData(data);
        CDateEntry* event = doc.GetDateEntry(doc.AddDateEntry(std::move(added), kEditInteractive));
        const std::string guid = event->GetGUID();
        frame->EditCommands().SelectEntry(event, event->GetFirstStart());
        QVERIFY(frame->RunCommand(cmd::kCopy));
        const QByteArray calendar =
            QApplication::clipboard()->mimeData()->data(QLatin1String(kIcalMimeType));
        QVERIFY(calendar.startsWith("BEGIN:VCALENDAR"));
        QVERIFY(calendar.contains("SUMMARY:Choir\\; rehearsal"));
        QCOMPARE(calendar.count("BEGIN:VEVENT"), 1);

        // Another program's calendar alone on the clipboard pastes on either page.
        frame->EditCommands().SelectEntry(nullptr, {});
        doc.DeleteDateEntry(event, kEditInteractive);
        auto* foreign = new QMimeData;
        foreign->setData(QLatin1String(kIcalMimeType), calendar);
        QApplication::clipboard()->setMimeData(foreign);
        frame->SetPage(CMainFrame::TodoPage);
        QVERIFY(frame->IsCommandEnabled(cmd::kPaste));
        QVERIFY(frame->RunCommand(cmd::kPaste));
        const CDateEntry* back = doc.FindDateEntry(guid);
        QVERIFY(back);
        QCOMPARE(back->GetData().Description, std::string("Choir; rehearsal"));
        QCOMPARE(back->GetData().EndDate, CDateTime(2026, 3, 2, 9, 30, 0));

        // Export of the selection only, after the question, or of everything.
        frame->SetPage(CMainFrame::WeekPage);
        doc.AddDateEntry(std::make_unique<CDateEntry>(CDateTime(2026, 3, 4, 8, 0, 0)),
                         kEditInteractive);
        frame->EditCommands().SelectEntry(doc.FindDateEntry(guid), back->GetFirstStart());
        const fs::path out = Root() / "out.ics";
        for (const bool selectedOnly : {true, false}) {
            m_prompt.QueueAnswer(selectedOnly);
            m_dialogs.next = out;
            QVERIFY(frame->RunCommand(cmd::kIcalExport));
            QCOMPARE(QByteArray::fromStdString(ReadFile(out)).count("BEGIN:VEVENT"),
                     selectedOnly ? 1 : 2);
        }
    }
};

} // namespace dv

QTEST_MAIN(dv::IcalDesktopTest)
#include "IcalDesktopTest.moc"
