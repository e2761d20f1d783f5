// The CSV and HTML export dialogs driven as a user drives them, each export checked byte for
// byte against dayvault-cli run with the same settings on the same event file.
#include "DesktopRig.h"
#include "app/CCsvExportDlg.h"
#include "app/CCsvSettingsSheet.h"
#include "app/CDayvaultApp.h"
#include "app/CHtmlExportDlg.h"
#include "app/CHtmlSettingsSheet.h"
#include "app/CMainFrame.h"
#include "app/CommandTable.h"
#include "core/CDateEntry.h"
#include "core/CTodoEntry.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "export/CsvExport.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/ILauncher.h"
#include "settings/CIniStore.h"
#include "support/TempHomeMain.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

namespace dv {

namespace fs = std::filesystem;
using namespace test;

namespace {

class RecordingLauncher final : public ILauncher {
public:
    std::vector<std::string> opened;
    bool OpenDocument(const std::string& document) override {
        opened.push_back(document);
        return true;
    }
    bool RunCommand(const std::string&, const std::string&) override { return false; }
};

void TypeLength(QComboBox* box, const QString& text) {
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), text);
}

void AddEvent(CDayvaultDoc& doc, const CDateTime& start, const CDateTime& end,
              const std::string& description, const std::string& notes = "", int display = 0) {
    auto entry = std::make_unique<CDateEntry>(start);
    DateData data = entry->GetData();
    data.Category = "Work";
    data.Description = description;
    data.Notes = notes;
    data.StartDate = start;
    data.EndDate = end;
    data.Display = display;
    entry->AssignData(data);
    doc.AddDateEntry(std::move(entry), kEditInteractive);
}

void AddTodo(CDayvaultDoc& doc, const std::string& description, const CDateTime& deadline) {
    auto todo = std::make_unique<CTodoEntry>(CDateTime(2030, 3, 1, 8, 0, 0));
    TodoData data = todo->GetData();
    data.Group = "Home";
    data.Description = description;
    data.ShowDeadline = deadline == CDateTime() ? 0 : 1;
    data.ShowDeadlineTime = 1;
    data.Deadline = deadline;
    todo->SetData(data);
    doc.AddTodoEntry(std::move(todo), kEditInteractive);
}

} // namespace

class ExportDlgTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_folder;
    fs::path m_root;
    CQueuedPrompt m_prompt;
    QueuedFileDialogs m_dialogs;
    RecordingLauncher m_launcher;
    std::unique_ptr<CDayvaultApp> m_app;

    ExportServices Services() {
        ExportServices services = ExportServicesOf(*m_app, *m_app->Frame());
        services.launcher = &m_launcher;
        services.tempFolder = m_root / "tmp";
        services.chooseColor = [](uint32_t) { return std::optional<uint32_t>(0x996633); };
        return services;
    }

    // dayvault-cli with the program's current settings on the saved event file; its output.
    std::string Cli(QStringList args) {
        const fs::path ini = m_root / "cli.ini";
        fs::remove(ini);
        {
            CIniStore store(ini);
            m_app->Settings().Save(store);
        }
        const fs::path out = m_root / "cli.out";
        fs::remove(out);
        args << "--out" << QString::fromStdString(out.string()) << "--settings"
             << QString::fromStdString(ini.string()) << "--program-folder"
             << QString::fromStdString(m_app->Environment().ProgramFolder.string());
        QProcess cli;
        cli.start(QStringLiteral(DAYVAULT_CLI_PATH), args);
        if (!cli.waitForFinished(30000) || cli.exitCode() != 0) {
            qWarning() << cli.readAllStandardError();
            return "cli failed";
        }
        return ReadFile(out);
    }

    QString EventFile() const { return QString::fromStdString((m_root / "events.dat").string()); }

    std::string LastMessage() const {
        return m_prompt.GetShown().empty() ? std::string() : m_prompt.GetShown().back().text;
    }

    // The stored settings as the next start reads them.
    CSettings Stored() {
        CSettings settings;
        settings.Load(m_app->Store());
        return settings;
    }

private slots:
    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        m_root = m_folder->path().toStdString();
        ClearNativeStore();
        m_prompt.ClearShown();
        m_launcher.opened.clear();
        m_dialogs.asked = 0;
        const AppEnvironment environment = TestEnvironment(m_root, "export");
        fs::create_directories(m_root / "tmp");
        fs::copy(DAYVAULT_TEMPLATE_DIR, environment.ProgramFolder / "templates");
        m_app = std::make_unique<CDayvaultApp>(environment, &m_prompt, &m_dialogs);
        QVERIFY(m_app->Start());
        CDayvaultDoc& doc = m_app->Document();
        AddEvent(doc, CDateTime(2030, 3, 5, 10, 0, 0), CDateTime(2030, 3, 5, 11, 0, 0),
                 "Meeting <b>a;b</b>", "line one\r\nline two");
        AddEvent(doc, CDateTime(2030, 3, 10, 9, 0, 0), CDateTime(2030, 3, 12, 17, 0, 0),
                 "Conference");
        AddEvent(doc, CDateTime(2030, 3, 6, 0, 0, 0), CDateTime(2030, 3, 6, 0, 0, 0), "Secret", "",
                 1);
        AddTodo(doc, "Call the plumber", CDateTime());
        AddTodo(doc, "File the taxes", CDateTime(2030, 3, 8, 10, 30, 0));
        AddTodo(doc, "Renew the passport", CDateTime(2030, 6, 1, 9, 0, 0));
        QVERIFY(doc.SaveAs(m_root / "events.dat"));
        doc.SetSelectedDate(CDateTime(2030, 3, 2), false);
    }

    void cleanup() {
        m_app.reset();
        QCOMPARE(m_prompt.GetPendingAnswerCount(), std::size_t{0});
    }

    void csvExportMatchesTheCommandLine() {
        CCsvExportDlg dialog(Services(), false);
        dialog.show();
        QCOMPARE(dialog.kind->checkedId(), int(kCsvKindCalendar));
        QCOMPARE(dialog.start->date(), QDate(2030, 3, 2));
        QCOMPARE(dialog.range->text(), QStringLiteral("03/02/2030 - 03/15/2030"));
        // Lengths out of range: a message, no file dialog, the dialog stays.
        for (const QString& bad :
             {QStringLiteral("0"), QStringLiteral("36601"), QStringLiteral("x")}) {
            TypeLength(dialog.length, bad);
            QCOMPARE(dialog.range->text(), QString());
            m_prompt.ClearShown();
            Click(dialog.exportButton);
            QCOMPARE(LastMessage(), FormatString(kIdsExpLengthRange, bad.toStdString()));
            QCOMPARE(m_dialogs.asked, 0);
            QVERIFY(dialog.isVisible());
        }
        TypeLength(dialog.length, QStringLiteral("10"));
        QCOMPARE(dialog.range->text(), QStringLiteral("03/02/2030 - 03/11/2030"));

        // The settings sheet: Cancel changes nothing; OK stores delimiter, order, names, formats.
        const CSettings before = m_app->Settings();
        OnModal<CCsvSettingsSheet>([](CCsvSettingsSheet* sheet) {
            Click(sheet->calendar.delimiter->button(2));
            Press(sheet, QDialogButtonBox::Cancel);
        });
        Click(dialog.options);
        QVERIFY(m_app->Settings() == before);
        OnModal<CCsvSettingsSheet>(
            [](CCsvSettingsSheet* sheet) { Press(sheet, QDialogButtonBox::Ok); });
        Click(dialog.options);
        QVERIFY(m_app->Settings() == before);
        OnModal<CCsvSettingsSheet>([](CCsvSettingsSheet* sheet) {
            CCsvSettingsSheet::KindPages& cal = sheet->calendar;
            Click(cal.delimiter->button(1));
            Click(cal.removeDelimiter);
            // Description (row 5 of the default order) moves to the front; Weeknumber on.
            QTreeWidget* list = cal.columns->list;
            list->setCurrentItem(list->topLevelItem(5));
            for (int step = 0; step < 5; ++step) {
                Click(cal.columns->up);
            }
            list->setCurrentItem(
                list->findItems(QStringLiteral("Weeknumber"), Qt::MatchExactly)[0]);
            QTest::keyClick(list, Qt::Key_Space);
            Type(cal.names[1], QStringLiteral("Week"));
            Type(cal.formats[0], QStringLiteral("%Y-%m-%d"));
            // A name with a comma is refused; the sheet stays open.
            Type(sheet->todo.names[0], QStringLiteral("Due,date"));
            Press(sheet, QDialogButtonBox::Ok);
            Type(sheet->todo.names[0], QStringLiteral("Due"));
            sheet->pages->setCurrentIndex(3);
            sheet->todo.columns->list->setCurrentItem(sheet->todo.columns->list->topLevelItem(1));
            Click(sheet->todo.columns->up);
            Press(sheet, QDialogButtonBox::Ok);
        });
        Click(dialog.options);
        QCOMPARE(LastMessage(), FormatString(kIdsExpNameWithComma, "Due,date"));
        const CSettings& settings = m_app->Settings();
        QCOMPARE(settings.CsvCalendarFieldDelimiter, 1);
        QVERIFY(settings.CsvCalendarRemoveDelimiter);
        QCOMPARE(settings.CsvCalendarFieldorder, (NumberList{5, 0, 1, 2, 3, 4, 6}));
        QVERIFY(settings.CsvCalendarFields[1]);
        QCOMPARE(settings.CsvCalendarFieldnames[1], std::string("Week"));
        QCOMPARE(settings.CsvCalendarDate, std::string("%Y-%m-%d"));
        QCOMPARE(settings.CsvTodoFieldnames[0], std::string("Due"));
        QVERIFY(Stored() == settings);

        // The export: the file of the command line, with the sheet's choices in it.
        const fs::path out = m_root / "calendar.csv";
        m_dialogs.next = out;
        Click(dialog.exportButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const std::string written = ReadFile(out);
        QCOMPARE(written, Cli({"export", "csv", EventFile(), "--kind", "calendar", "--start",
                               "2030-03-02", "--days", "10"}));
        QVERIFY(written.starts_with("Description;Date;Week;Time;Notes\r\n"
                                    "\"Meeting <b>ab</b>\";2030-03-05;10;10:00 AM - 11:00 AM;"
                                    "\"line one line two\"\r\n"));
        QVERIFY(written.find("Secret") == std::string::npos);

        // The to-dos, from the to-do page's preselection.
        CCsvExportDlg todos(Services(), true);
        todos.show();
        QCOMPARE(todos.kind->checkedId(), int(kCsvKindTodo));
        m_dialogs.next = m_root / "todo.csv";
        Click(todos.exportButton);
        const std::string todoText = ReadFile(m_root / "todo.csv");
        QCOMPARE(todoText, Cli({"export", "csv", EventFile(), "--kind", "todo", "--start",
                                "2030-03-02", "--days", "14"}));
        QVERIFY(todoText.starts_with("Time,Due,State"));
        QVERIFY(todoText.find("File the taxes") != std::string::npos);
        QVERIFY(todoText.find("Renew the passport") == std::string::npos);

        // "Default" puts back the defaults of its own page only.
        OnModal<CCsvSettingsSheet>([](CCsvSettingsSheet* sheet) {
            Click(sheet->calendar.defaults[0]);
            sheet->pages->setCurrentIndex(2);
            Click(sheet->calendar.defaults[2]);
            Press(sheet, QDialogButtonBox::Ok);
        });
        Click(todos.options);
        const CSettings defaults;
        QCOMPARE(settings.CsvCalendarFieldDelimiter, 0);
        QCOMPARE(settings.CsvCalendarFieldorder, defaults.CsvCalendarFieldorder);
        QCOMPARE(settings.CsvCalendarFields, defaults.CsvCalendarFields);
        QCOMPARE(settings.CsvCalendarDate, defaults.CsvCalendarDate);
        QCOMPARE(settings.CsvCalendarFieldnames[1], std::string("Week"));
        QCOMPARE(settings.CsvTodoFieldorder[0], 1);
    }

    void csvWriteFailuresAreNamedAndHarmless() {
        CCsvExportDlg dialog(Services(), false);
        dialog.show();
        // Cancelling the file dialog closes without writing.
        Click(dialog.exportButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
        dialog.show();
        const fs::path gone = m_root / "gone" / "out.csv";
        const fs::path folder = m_root / "taken.csv";
        fs::create_directories(folder / "inside");
        for (const fs::path& target : {gone, folder}) {
            m_prompt.ClearShown();
            m_dialogs.next = target;
            Click(dialog.exportButton);
            QVERIFY(dialog.isVisible());
            QCOMPARE(m_prompt.GetShown().size(), std::size_t{1});
            QCOMPARE(m_prompt.GetShown()[0].icon, PromptIcon::Stop);
            const std::string message = LastMessage();
            QVERIFY2(message.starts_with(CsvWriteErrorMessage(target) + "\n"), message.c_str());
            QVERIFY(message.size() > CsvWriteErrorMessage(target).size() + 5);
        }
        QVERIFY(!fs::exists(gone.parent_path()));
        QVERIFY(fs::is_directory(folder / "inside"));
    }

    void htmlExportPreviewAndSheet() {
        CHtmlExportDlg dialog(Services(), kHtmlKindTodo);
        dialog.show();
        const auto templateOf = [this](const char* name) {
            return QString::fromStdString(
                (m_app->Environment().ProgramFolder / "templates" / name).string());
        };
        QCOMPARE(dialog.kind->checkedId(), int(kHtmlKindTodo));
        QCOMPARE(dialog.templatePath->text(), templateOf("todoview.html"));
        QVERIFY(!dialog.length->isEnabled());
        QCOMPARE(dialog.range->text(), QStringLiteral("03/02/2030 - 03/15/2030"));
        Click(dialog.kind->button(kHtmlKindMonth));
        QCOMPARE(dialog.length->currentText(), QStringLiteral("42"));
        QCOMPARE(dialog.templatePath->text(), templateOf("monthview.html"));
        QCOMPARE(dialog.range->text(), QStringLiteral("02/25/2030 - 04/07/2030"));
        Click(dialog.kind->button(kHtmlKindList));
        QVERIFY(dialog.length->isEnabled());
        QCOMPARE(dialog.length->currentText(), QStringLiteral("14"));
        TypeLength(dialog.length, QStringLiteral("0"));
        Click(dialog.preview);
        QCOMPARE(LastMessage(), FormatString(kIdsExpLengthRange, "0"));
        QVERIFY(m_launcher.opened.empty());
        TypeLength(dialog.length, QStringLiteral("12"));
        Click(dialog.kind->button(kHtmlKindWeek));
        QCOMPARE(dialog.length->currentText(), QStringLiteral("7"));
        Click(dialog.kind->button(kHtmlKindList));
        QCOMPARE(dialog.length->currentText(), QStringLiteral("12"));

        // Previews go to a folder of the dialog's own that only this user may enter, never to
        // the shared temporary folder, where another user's link could stand in the preview's
        // place; each preview replaces the dialog's previous one; closing removes the last.
        const fs::path victim = m_root / "victim.txt";
        std::ofstream(victim) << "mine";
        fs::create_symlink(victim, m_root / "tmp" / "dvt0000.html");
        Click(dialog.preview);
        QCOMPARE(m_launcher.opened.size(), std::size_t{1});
        const fs::path first = m_launcher.opened[0];
        QCOMPARE(first.parent_path().parent_path(), m_root / "tmp");
        QCOMPARE(first.filename().string(), std::string("dvt0000.html"));
        QCOMPARE(fs::status(first.parent_path()).permissions(), fs::perms::owner_all);
        QCOMPARE(ReadFile(victim), std::string("mine"));
        const std::string page = ReadFile(first);
        QCOMPARE(page, Cli({"export", "html", EventFile(), "--kind", "list", "--date", "2030-03-02",
                            "--days", "12"}));
        QVERIFY(page.find("Meeting &lt;b&gt;a;b&lt;/b&gt;") != std::string::npos);
        Click(dialog.preview);
        QCOMPARE(m_launcher.opened.size(), std::size_t{2});
        QCOMPARE(m_launcher.opened[1], first.string());

        // The sheet: Cancel changes nothing; OK stores and reaches the next page.
        const CSettings before = m_app->Settings();
        OnModal<CHtmlSettingsSheet>([](CHtmlSettingsSheet* sheet) {
            Click(sheet->emptyDates);
            Press(sheet, QDialogButtonBox::Cancel);
        });
        Click(dialog.options);
        QVERIFY(m_app->Settings() == before);
        OnModal<CHtmlSettingsSheet>(
            [](CHtmlSettingsSheet* sheet) { Press(sheet, QDialogButtonBox::Ok); });
        Click(dialog.options);
        QVERIFY(m_app->Settings() == before);
        OnModal<CHtmlSettingsSheet>([](CHtmlSettingsSheet* sheet) {
            Click(sheet->emptyDates);
            Click(sheet->colors[4]);
            Click(sheet->markedDates->button(2));
            sheet->pages->setCurrentIndex(4);
            QTreeWidget* list = sheet->todoColumns->list;
            list->setCurrentItem(list->topLevelItem(5));
            Click(sheet->todoColumns->up);
            Type(sheet->todoColumns->name, QStringLiteral("What"));
            Type(sheet->templates[4], QStringLiteral("templates/todoview.html"));
            Press(sheet, QDialogButtonBox::Ok);
        });
        Click(dialog.options);
        const CSettings& settings = m_app->Settings();
        QCOMPARE(settings.HtmlEmptyDates, 1);
        QCOMPARE(settings.HtmlTableHeaderColor, 0x996633u);
        QCOMPARE(settings.HtmlMarkedDates, 2);
        QCOMPARE(settings.HtmlTodoFieldorder, (NumberList{0, 1, 2, 3, 5, 4, 6, 7}));
        QCOMPARE(settings.HtmlTodoFieldnames[5], std::string("What"));
        QVERIFY(Stored() == settings);
        QCOMPARE(dialog.templatePath->text(), templateOf("todoview.html"));

        // The export to a file, then the dialog closes and takes its preview with it.
        Click(dialog.kind->button(kHtmlKindTodo));
        m_dialogs.next = m_root / "todo.html";
        Click(dialog.exportButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(!fs::exists(first));
        const std::string todoPage = ReadFile(m_root / "todo.html");
        QCOMPARE(todoPage, Cli({"export", "html", EventFile(), "--kind", "todo", "--date",
                                "2030-03-02", "--days", "12"}));
        QVERIFY(todoPage.find("<th>What</th>") != std::string::npos);
        QVERIFY(todoPage.find("#336699") != std::string::npos);

        // A folder that is gone, or a missing template, is named; nothing is written and the
        // dialog closes.
        const fs::path gone = m_root / "gone" / "week.html";
        CHtmlExportDlg unwritable(Services(), kHtmlKindWeek);
        unwritable.show();
        m_dialogs.next = gone;
        m_prompt.ClearShown();
        Click(unwritable.exportButton);
        QVERIFY(
            LastMessage().starts_with(FormatString(kIdsCannotWriteExport, gone.string()) + "\n"));
        QCOMPARE(m_prompt.GetShown().back().icon, PromptIcon::Stop);
        QVERIFY(!fs::exists(gone.parent_path()));
        QVERIFY(!unwritable.isVisible());
        CHtmlExportDlg broken(Services(), kHtmlKindWeek);
        broken.show();
        Type(broken.templatePath, QStringLiteral("/nowhere/week.html"));
        m_dialogs.next = m_root / "week.html";
        m_prompt.ClearShown();
        Click(broken.exportButton);
        QVERIFY(
            LastMessage().starts_with(FormatString(kIdsCannotOpenDocument, "/nowhere/week.html")));
        QVERIFY(!fs::exists(m_root / "week.html"));
        QVERIFY(!broken.isVisible());

        // "Default" puts back the defaults of its own page only.
        OnModal<CHtmlSettingsSheet>([](CHtmlSettingsSheet* sheet) {
            Click(sheet->defaults[0]);
            sheet->pages->setCurrentIndex(4);
            Click(sheet->defaults[4]);
            Press(sheet, QDialogButtonBox::Ok);
        });
        Click(broken.options);
        const CSettings defaults;
        QCOMPARE(settings.HtmlEmptyDates, 0);
        QCOMPARE(settings.HtmlTableHeaderColor, defaults.HtmlTableHeaderColor);
        QCOMPARE(settings.HtmlTodoFieldorder, defaults.HtmlTodoFieldorder);
        QCOMPARE(settings.HtmlTodoFieldnames, defaults.HtmlTodoFieldnames);
        QCOMPARE(settings.HtmlTemplateList, std::string("templates/todoview.html"));
    }

    void commandsPassShowHiddenEvents() {
        CMainFrame& frame = *m_app->Frame();
        frame.SetPage(CMainFrame::MonthPage);
        // The kinds chosen at first, read while the dialogs are open.
        std::vector<int> firstKinds;
        const auto exportCsv = [&](const fs::path& out) {
            OnModal<CCsvExportDlg>([this, out, &firstKinds](CCsvExportDlg* dialog) {
                firstKinds.push_back(dialog->kind->checkedId());
                m_dialogs.next = out;
                Click(dialog->exportButton);
            });
            QVERIFY(frame.RunCommand(cmd::kCsvExport));
        };
        exportCsv(m_root / "plain.csv");
        QVERIFY(ReadFile(m_root / "plain.csv").find("Secret") == std::string::npos);
        QVERIFY(frame.RunCommand(cmd::kShowHidden));
        exportCsv(m_root / "hidden.csv");
        QVERIFY(ReadFile(m_root / "hidden.csv").find("Secret") != std::string::npos);
        OnModal<CHtmlExportDlg>([this, &firstKinds](CHtmlExportDlg* dialog) {
            firstKinds.push_back(dialog->kind->checkedId());
            Click(dialog->kind->button(kHtmlKindList));
            m_dialogs.next = m_root / "hidden.html";
            Click(dialog->exportButton);
        });
        QVERIFY(frame.RunCommand(cmd::kHtmlExport));
        QVERIFY(ReadFile(m_root / "hidden.html").find("Secret") != std::string::npos);
        QCOMPARE(firstKinds,
                 (std::vector<int>{kCsvKindCalendar, kCsvKindCalendar, kHtmlKindMonth}));
    }
};

} // namespace dv

DAYVAULT_QTEST_MAIN_IN_TEMP_HOME(dv::ExportDlgTest)
#include "ExportDlgTest.moc"
