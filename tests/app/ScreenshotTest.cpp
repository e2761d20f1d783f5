// Pictures of the windows for people to look at, taken on a real X server (Xvfb): the main
// window on the demo file in a light and a dark palette, and the notification icons at the sizes
// panels use. Each picture is also checked for the faults a glance would catch.
#include "app/CAlarmScheduler.h"
#include "app/CCsvExportDlg.h"
#include "app/CCsvSettingsSheet.h"
#include "app/CCurrentTimeBar.h"
#include "app/CDateEditSheet.h"
#include "app/CDayList.h"
#include "app/CDayvaultApp.h"
#include "app/CEventDatabaseDlg.h"
#include "app/CFormatsDlg.h"
#include "app/CHolidaySetupDlg.h"
#include "app/CHtmlExportDlg.h"
#include "app/CHtmlSettingsSheet.h"
#include "app/CMainFrame.h"
#include "app/COptionsDlg.h"
#include "app/CReminderDlg.h"
#include "app/CTodoEditDlg.h"
#include "app/CTodoPage.h"
#include "app/CommandTable.h"
#include "core/CDateEntry.h"
#include "core/CTodoEntry.h"
#include "core/Prompt.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "settings/CIniStore.h"
#include "support/TempHomeMain.h"

#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleFactory>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <set>

namespace dv {

namespace fs = std::filesystem;

namespace {

QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2d, 0x31));
    dark.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Base, QColor(0x1f, 0x21, 0x24));
    dark.setColor(QPalette::AlternateBase, QColor(0x2b, 0x2d, 0x31));
    dark.setColor(QPalette::Text, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Button, QColor(0x35, 0x37, 0x3c));
    dark.setColor(QPalette::ButtonText, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0x7e, 0xd8));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, QColor(0x35, 0x37, 0x3c));
    dark.setColor(QPalette::ToolTipText, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    return dark;
}

// Relative luminance difference of two colours, 0..1.
double Contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        return 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF();
    };
    return std::abs(luminance(a) - luminance(b));
}

int DistinctColours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3) {
            colours.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

} // namespace

class ScreenshotTest : public QObject {
    Q_OBJECT

    static constexpr const char* kSharedGuid = "{0E9C2C1A-5B7E-4F1D-9A43-2D6F1B7C8E01}";

    QTemporaryDir m_folder;
    CQueuedPrompt m_prompt;
    std::unique_ptr<CDayvaultApp> m_app;
    const QDir m_out{QStringLiteral(DAYVAULT_SCREENSHOT_DIR)};
    QString m_prefix; // "german-" once the program runs in German

    void Save(const QImage& image, const QString& name) {
        QVERIFY(!image.isNull());
        QVERIFY(QDir().mkpath(m_out.path()));
        QVERIFY(image.save(m_out.filePath(m_prefix + name)));
        // The manual shows the light English pictures under names without the theme
        // (make manual-images).
        const QString manual = qEnvironmentVariable("DAYVAULT_MANUAL_IMAGES");
        if (!manual.isEmpty() && m_prefix.isEmpty() && !name.contains(QStringLiteral("-dark"))) {
            QVERIFY(QDir().mkpath(manual));
            const QString stable = QString(name).remove(QStringLiteral("-light"));
            QVERIFY(image.save(QDir(manual).filePath(stable)));
        }
    }

    void CheckMainWindow(const QString& name) {
        CMainFrame& frame = *m_app->Frame();
        QApplication::processEvents();
        const QImage image = frame.grab().toImage();
        Save(image, name);
        QCOMPARE(image.size(), frame.size() * frame.devicePixelRatio());
        QVERIFY(DistinctColours(image) > 8);
        // The clock stays fully readable beside the navigation choices.
        const QLabel* clock = frame.CurrentTimeBar()->findChild<QLabel*>();
        QVERIFY(clock->isVisible());
        QVERIFY(clock->width() >= clock->sizeHint().width());
        QVERIFY(Contrast(clock->palette().color(QPalette::WindowText),
                         clock->palette().color(QPalette::Window)) > 0.5);
    }

    // The four calendar pages on a December of the demo file, with its dentist's day selected.
    void ShootCalendarPages(const QString& theme) {
        CMainFrame& frame = *m_app->Frame();
        CDayvaultDoc& doc = m_app->Document();
        if (doc.FindDateEntry(kSharedGuid) == nullptr) {
            // A shared event, so that its icon shows.
            auto shared = std::make_unique<CDateEntry>(CDateTime(2026, 12, 1, 0, 0, 0));
            DateData data = shared->GetData();
            data.GUID = kSharedGuid;
            data.StorageType = 1;
            data.Description = "Project review";
            data.StartDate = CDateTime(2026, 12, 10, 14, 0, 0);
            data.EndDate = CDateTime(2026, 12, 10, 15, 30, 0);
            shared->AssignData(data);
            doc.AddDateEntry(std::move(shared), kEditSendHint);
        }
        doc.SetSelectedDate(CDateTime(2026, 12, 10), false);
        doc.UpdateAllViews(UpdateHint::PageMoved);
        const struct {
            int page;
            const char* name;
        } pages[] = {{CMainFrame::WeekPage, "week"},
                     {CMainFrame::FortnightPage, "fortnight"},
                     {CMainFrame::MonthPage, "month"},
                     {CMainFrame::YearPage, "year"}};
        for (const auto& page : pages) {
            frame.SetPage(page.page);
            QApplication::processEvents();
            QWidget* widget = frame.PageSheet()->currentWidget();
            // Every day cell lies wholly inside its page.
            for (const CDayList* cell : widget->findChildren<CDayList*>()) {
                QVERIFY(widget->rect().contains(cell->geometry()));
                QVERIFY(cell->height() > cell->CaptionHeight());
            }
            const QImage image = frame.grab().toImage();
            Save(image, QStringLiteral("calendar-%1-%2.png").arg(page.name, theme));
            QVERIFY(DistinctColours(image) > 8);
        }
    }

    // The to-do page with the sidebar beside it, searching the to-dos.
    void ShootTodoPage(const QString& theme) {
        CMainFrame& frame = *m_app->Frame();
        frame.SetPage(CMainFrame::TodoPage);
        if (!frame.Sidebar()->isVisible()) {
            QVERIFY(frame.RunCommand(cmd::kFilter));
        }
        if (auto* search = frame.Sidebar()->findChild<QGroupBox*>(QStringLiteral("Search"))) {
            search->setChecked(true);
        }
        QTest::qWait(50);
        auto* page = qobject_cast<CTodoPage*>(frame.PageSheet()->currentWidget());
        QVERIFY(page != nullptr);
        QVERIFY(page->RowCount() > 0);
        const QImage image = frame.grab().toImage();
        Save(image, QStringLiteral("todo-page-%1.png").arg(theme));
        QVERIFY(DistinctColours(image) > 8);
        QVERIFY(frame.RunCommand(cmd::kFilter));
    }

    // The event database window on the demo file, a repeating event selected.
    void ShootEventDatabase(const QString& theme) {
        EventDatabaseHost host;
        host.doc = &m_app->Document();
        host.settings = &m_app->Settings();
        CEventDatabaseDlg dialog(host, m_app->Frame());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (int row = 0; row < dialog.EventCount(); ++row) {
            if (dialog.EventAt(row)->GetData().Repeat != 0) {
                dialog.SelectRow(row);
                break;
            }
        }
        QVERIFY(dialog.Occurrences()->topLevelItemCount() > 0);
        QApplication::processEvents();
        const QImage image = dialog.grab().toImage();
        Save(image, QStringLiteral("event-database-%1.png").arg(theme));
        QVERIFY(DistinctColours(image) > 8);
        dialog.reject();
    }

private slots:
    void initTestCase() {
        QVERIFY(QGuiApplication::platformName() != QStringLiteral("offscreen"));
        const fs::path root = m_folder.path().toStdString();
        const fs::path events = root / "demo.dat";
        fs::copy_file(DAYVAULT_DEMO_FILE, events);
        fs::create_directories(root / "user");
        std::ofstream(root / "user" / "Dayvault.ini")
            << "[Settings]\nUseRegistry=0\nSingleInstance=0\nLoadDateFile=1\nDefaultDateFile="
            << events.string() << "\n"
            << "[HolidaySettings]\nActiveModules=United Kingdom\n"; // holidays in the captions
        AppEnvironment environment;
        environment.ProgramFolder = DAYVAULT_PROGRAM_FOLDER;
        environment.UserDataFolder = root / "user";
        m_app = std::make_unique<CDayvaultApp>(environment, &m_prompt);
        QVERIFY(m_app->Start());
        CMainFrame& frame = *m_app->Frame();
        frame.showNormal();
        frame.resize(1100, 720);
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
    }

    void mainWindowLight() { CheckMainWindow(QStringLiteral("main-window-light.png")); }

    void calendarPagesLight() { ShootCalendarPages(QStringLiteral("light")); }

    void todoPageLight() { ShootTodoPage(QStringLiteral("light")); }

    void eventDatabaseLight() { ShootEventDatabase(QStringLiteral("light")); }

    void mainWindowDark() {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(DarkPalette());
        CheckMainWindow(QStringLiteral("main-window-dark.png"));
    }

    void calendarPagesDark() { ShootCalendarPages(QStringLiteral("dark")); }

    void todoPageDark() { ShootTodoPage(QStringLiteral("dark")); }

    void eventDatabaseDark() { ShootEventDatabase(QStringLiteral("dark")); }

    void reminderWindow() {
        // Two reminders: one due in a quarter of an hour, one an hour overdue with a note.
        CDayvaultDoc& doc = m_app->Document();
        const CDateTime now = CDateTime::Now();
        const struct {
            const char* description;
            const char* notes;
            int minutes;
        } reminders[] = {{"Dentist appointment", "Bring the insurance card", 15},
                         {"Call the garage about the winter tyres", "", -60}};
        for (const auto& reminder : reminders) {
            auto event = std::make_unique<CDateEntry>(now);
            DateData data = event->GetData();
            data.Description = reminder.description;
            data.Notes = reminder.notes;
            data.StartDate = now + CDateTimeSpan(0, 0, reminder.minutes, 0);
            data.ShowStartTime = 1;
            data.EndDate = data.StartDate + CDateTimeSpan(0, 1, 0, 0);
            data.Forewarn = 1;
            data.ForewarnSpan = 30;
            data.ForewarnUnit = 0;
            event->SetData(data, now - CDateTimeSpan(0, 2, 0, 0));
            doc.AddDateEntry(std::move(event), kEditInteractive);
        }
        CAlarmScheduler& scheduler = m_app->Frame()->Scheduler();
        scheduler.TickNow();
        QTRY_VERIFY(scheduler.GetReminderWindow() && scheduler.GetReminderWindow()->isVisible());
        CReminderDlg& dialog = *scheduler.GetReminderWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (const bool dark : {true, false}) {
            QApplication::setPalette(dark ? DarkPalette()
                                          : QApplication::style()->standardPalette());
            QApplication::processEvents();
            const QImage image = dialog.grab().toImage();
            Save(image, dark ? QStringLiteral("reminder-window-dark.png")
                             : QStringLiteral("reminder-window-light.png"));
            QVERIFY(DistinctColours(image) > 8);
        }
        // Extended: the list of every waiting reminder below the details.
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            if (button->text().remove('&') ==
                QString::fromStdString(LoadString(kIdsButtonExtend))) {
                QTest::mouseClick(button, Qt::LeftButton);
            }
        }
        QApplication::processEvents();
        Save(dialog.grab().toImage(), QStringLiteral("reminder-window-extended.png"));
    }

    // The event editor's three pages and the to-do editor, each in both palettes.
    void editors() {
        EditorServices services;
        services.settings = &m_app->Settings();
        services.prompt = &m_prompt;
        auto event = std::make_unique<CDateEntry>(CDateTime(2026, 12, 8, 14, 0, 0));
        DateData data = event->GetData();
        data.Category = "Health";
        data.Description = "Dentist appointment";
        data.Notes = "Bring the insurance card";
        data.EndDate = CDateTime(2026, 12, 8, 15, 0, 0);
        data.Forewarn = 1;
        data.ForewarnSpan = 30;
        data.Repeat = 1;
        data.RepeatRate = 6;
        data.RepeatUnit = 4;
        data.Action = 1;
        data.DocumentFile = "/home/user/insurance.pdf";
        std::vector<std::unique_ptr<CDateEntry>> templates;
        templates.push_back(std::make_unique<CDateEntry>(*event));
        CDateEditSheet sheet(CDateEditSheet::EditEvent, services);
        sheet.SetData(data);
        sheet.SetTemplates(std::move(templates));
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        TodoData todo = CTodoEntry(CDateTime(2026, 12, 8, 9, 0, 0)).GetData();
        todo.Group = "Home";
        todo.Description = "Renew the car insurance";
        CTodoEditDlg todoDialog(todo, {"Home", "Work"}, services);
        CDateEditSheet categories(CDateEditSheet::EditCategories, services);
        categories.SetData(data);
        categories.SetTemplates({});
        todoDialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&todoDialog));
        for (const bool dark : {false, true}) {
            QApplication::setPalette(dark ? DarkPalette()
                                          : QApplication::style()->standardPalette());
            const QString theme = dark ? QStringLiteral("dark") : QStringLiteral("light");
            for (int page = 0; page < 3; ++page) {
                sheet.Pages()->setCurrentIndex(page);
                QApplication::processEvents();
                const QImage image = sheet.grab().toImage();
                Save(image, QStringLiteral("event-editor-%1-%2.png").arg(page + 1).arg(theme));
                QVERIFY(DistinctColours(image) > 8);
            }
            QApplication::processEvents();
            Save(todoDialog.grab().toImage(), QStringLiteral("todo-editor-%1.png").arg(theme));
            categories.show();
            QApplication::processEvents();
            Save(categories.grab().toImage(), QStringLiteral("category-editor-%1.png").arg(theme));
            categories.hide();
            // Every text of the editors is shown whole.
            for (QWidget* window : std::initializer_list<QWidget*>{&sheet, &todoDialog}) {
                for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
                    // A button of fixed width ("...") is narrower than the style would make it.
                    if (button->isVisibleTo(window) && !button->text().isEmpty() &&
                        button->minimumWidth() != button->maximumWidth()) {
                        QVERIFY2(button->width() >= button->sizeHint().width(),
                                 qPrintable(button->text()));
                    }
                }
            }
        }
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    // The format dialog on three of its pages and the holiday setup with a module chosen.
    void formatAndHolidayDialogs() {
        CFormatsDlg formats(m_app->Settings());
        // A misspelt placeholder, so that the picture shows its note.
        qobject_cast<QPlainTextEdit*>(formats.Editor(&CSettings::CalendarDateNormal))
            ->setPlainText(QStringLiteral("$THIS_STARTTOEND_AUTOTIME_S$$DESCRIPTON$"));
        formats.show();
        QVERIFY(QTest::qWaitForWindowExposed(&formats));
        CHolidaySetupDlg holidays(m_app->HolidaySettings(), m_app->Settings(), m_app->Holidays());
        holidays.show();
        QVERIFY(QTest::qWaitForWindowExposed(&holidays));
        QVERIFY(holidays.modules->topLevelItemCount() > 0);
        QTreeWidgetItem* module = holidays.modules->topLevelItem(0);
        module->setCheckState(0, Qt::Checked);
        holidays.modules->setCurrentItem(module);
        holidays.holidays->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        for (const bool dark : {false, true}) {
            QApplication::setPalette(dark ? DarkPalette()
                                          : QApplication::style()->standardPalette());
            const QString theme = dark ? QStringLiteral("dark") : QStringLiteral("light");
            for (const int page : {0, 3, 4}) {
                formats.Pages()->setCurrentIndex(page);
                QApplication::processEvents();
                const QImage image = formats.grab().toImage();
                Save(image, QStringLiteral("formats-%1-%2.png").arg(page + 1).arg(theme));
                QVERIFY(DistinctColours(image) > 8);
            }
            QApplication::processEvents();
            const QImage image = holidays.grab().toImage();
            Save(image, QStringLiteral("holiday-setup-%1.png").arg(theme));
            QVERIFY(DistinctColours(image) > 8);
        }
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    // The export dialogs and every page of their settings sheets, every text shown whole.
    void exportDialogs() {
        ExportServices services = ExportServicesOf(*m_app, *m_app->Frame());
        // The manual shows the installed program's template rather than the build folder's.
        const std::string buildTemplate = m_app->Settings().HtmlTemplateWeek;
        m_app->Settings().HtmlTemplateWeek = "/usr/share/dayvault/templates/weekview.html";
        CCsvExportDlg csv(services, false);
        CHtmlExportDlg html(services, kHtmlKindWeek);
        m_app->Settings().HtmlTemplateWeek = buildTemplate;
        CCsvSettingsSheet csvSheet(m_app->Settings(), &m_prompt);
        CHtmlSettingsSheet htmlSheet(m_app->Settings(), services);
        for (const bool dark : {false, true}) {
            QApplication::setPalette(dark ? DarkPalette()
                                          : QApplication::style()->standardPalette());
            const QString theme = dark ? QStringLiteral("dark") : QStringLiteral("light");
            const auto shoot = [&](QWidget* window, const QString& name) {
                window->show();
                QVERIFY(QTest::qWaitForWindowExposed(window));
                QApplication::processEvents();
                const QImage image = window->grab().toImage();
                Save(image, QStringLiteral("%1-%2.png").arg(name, theme));
                QVERIFY(DistinctColours(image) > 4);
                for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
                    if (button->isVisible() && !button->text().isEmpty() &&
                        button->minimumWidth() != button->maximumWidth()) {
                        QVERIFY2(button->width() >= button->sizeHint().width(),
                                 qPrintable(button->text()));
                    }
                }
                for (QLabel* label : window->findChildren<QLabel*>()) {
                    if (label->isVisible()) {
                        QVERIFY2(label->width() >= label->minimumSizeHint().width(),
                                 qPrintable(label->text()));
                    }
                }
            };
            shoot(&csv, QStringLiteral("csv-export"));
            shoot(&html, QStringLiteral("html-export"));
            for (int page = 0; page < csvSheet.pages->count(); ++page) {
                csvSheet.pages->setCurrentIndex(page);
                shoot(&csvSheet, QStringLiteral("csv-settings-%1").arg(page + 1));
            }
            for (int page = 0; page < htmlSheet.pages->count(); ++page) {
                htmlSheet.pages->setCurrentIndex(page);
                shoot(&htmlSheet, QStringLiteral("html-settings-%1").arg(page + 1));
            }
        }
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    // The Options dialog's pages in both palettes, with sharing on FTP and a stored password.
    void optionsDialog() {
        CSettings settings = m_app->Settings();
        settings.NetworkFunction = 2;
        settings.FtpServer = "ftp.example.org";
        settings.FtpLogin = "anna";
        settings.FtpPassword = "secret";
        settings.FtpSharedFile = "/shared/calendar.dat";
        // The manual shows a user's own file and the defaults rather than the test's set-up.
        settings.DefaultDateFile = "/home/anna/Documents/calendar.dat";
        settings.SingleInstance = true;
        settings.UseRegistry = true;
        OptionsContext context;
        context.prompt = &m_prompt;
        context.languages = {0x407}; // the translations that come with the program
        COptionsDlg dialog(settings, context, m_app->Frame());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (const bool dark : {false, true}) {
            QApplication::setPalette(dark ? DarkPalette()
                                          : QApplication::style()->standardPalette());
            const QString theme = dark ? QStringLiteral("dark") : QStringLiteral("light");
            for (int page = 0; page < COptionsDlg::PageCount; ++page) {
                dialog.ShowPage(static_cast<COptionsDlg::Page>(page));
                QApplication::processEvents();
                const QImage image = dialog.grab().toImage();
                Save(image, QStringLiteral("options-%1-%2.png").arg(page + 1).arg(theme));
                QVERIFY(DistinctColours(image) > 8);
                // Every text on the page is shown whole.
                for (QAbstractButton* button :
                     dialog.Pages()->currentWidget()->findChildren<QAbstractButton*>()) {
                    if (button->isVisibleTo(&dialog) && !button->text().isEmpty()) {
                        QVERIFY2(button->width() >= button->sizeHint().width(),
                                 qPrintable(button->text()));
                    }
                }
            }
        }
        QApplication::setPalette(QApplication::style()->standardPalette());
        dialog.reject();
    }

    void trayIconsAtPanelSizes() {
        const QStringList names{"tray-alarm-on", "tray-alarm-on-todos", "tray-alarm-off",
                                "tray-alarm-off-todos", "tray-flash"};
        const QList<int> sizes{16, 22, 32, 64};
        QImage strip(names.size() * 72 + 8, 72 * sizes.size() / 2 + 40, QImage::Format_ARGB32);
        strip.fill(QColor(0xdd, 0xdd, 0xdd));
        QPainter painter(&strip);
        for (int i = 0; i < names.size(); ++i) {
            QSvgRenderer svg(QStringLiteral(":/icons/%1.svg").arg(names[i]));
            QVERIFY2(svg.isValid(), qPrintable(names[i]));
            int y = 4;
            for (const int size : sizes) {
                QImage icon(size, size, QImage::Format_ARGB32);
                icon.fill(Qt::transparent);
                QPainter iconPainter(&icon);
                svg.render(&iconPainter);
                iconPainter.end();
                QVERIFY(DistinctColours(icon) > 2);
                painter.drawImage(8 + i * 72, y, icon);
                y += size + 4;
            }
        }
        painter.end();
        Save(strip, QStringLiteral("tray-icons.png"));
    }

    // The main window with its pages, the database window, the editors, the reminder window and
    // the settings dialogs in German, whose longer texts must fit as well.
    void german() {
        const fs::path ini = fs::path(m_folder.path().toStdString()) / "user" / "Dayvault.ini";
        m_app.reset();
        {
            CIniStore store(ini);
            store.WriteInt("Settings", "Language", 0x407);
            store.Flush();
        }
        AppEnvironment environment;
        environment.ProgramFolder = DAYVAULT_PROGRAM_FOLDER;
        environment.UserDataFolder = ini.parent_path();
        m_app = std::make_unique<CDayvaultApp>(environment, &m_prompt);
        QVERIFY(m_app->Start());
        QCOMPARE(m_app->Language(), 0x407u);
        m_prefix = QStringLiteral("german-");
        QApplication::setPalette(QApplication::style()->standardPalette());
        CMainFrame& frame = *m_app->Frame();
        frame.showNormal();
        frame.resize(1100, 720);
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        CheckMainWindow(QStringLiteral("main-window-light.png"));
        ShootCalendarPages(QStringLiteral("light"));
        ShootTodoPage(QStringLiteral("light"));
        ShootEventDatabase(QStringLiteral("light"));
        editors();
        reminderWindow();
        formatAndHolidayDialogs();
        exportDialogs();
        optionsDialog();
        m_prefix.clear();
    }

    void cleanupTestCase() { m_app.reset(); }
};

} // namespace dv

DAYVAULT_QTEST_MAIN_IN_TEMP_HOME(dv::ScreenshotTest)
#include "ScreenshotTest.moc"
