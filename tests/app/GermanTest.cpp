// The program in German, as a German user starts it: every menu, the pages with the sidebar, the
// dialogs its commands open and the reminder window show no English text of the string table, and
// the accelerators of each menu and each dialog page are unique. The process runs with a German
// system locale, so both the stored language and the system's choice are taken.
#include "app/CAlarmScheduler.h"
#include "app/CDayvaultApp.h"
#include "app/CMainFrame.h"
#include "app/CReminderDlg.h"
#include "app/CommandTable.h"
#include "core/CDateEntry.h"
#include "core/CTodoEntry.h"
#include "document/CDayvaultDoc.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/CLanguageLibrary.h"
#include "support/TempHomeMain.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace dv {

namespace fs = std::filesystem;

namespace {

// Before QApplication reads it: the user's locale is German.
const bool kGermanSystem = [] {
    qputenv("LC_ALL", "de_DE.UTF-8");
    return true;
}();

// A text as the user reads it: accelerator marks gone, the shortcut after a tab cut off.
QString Plain(QString text) {
    text = text.section(QLatin1Char('\t'), 0, 0);
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        plain += text[i];
    }
    return plain.trimmed();
}

void AddPlain(std::set<QString>& set, const std::string& text) {
    const QString whole = QString::fromStdString(text);
    set.insert(Plain(whole));
    for (const QString& part : whole.split(QLatin1Char('|'))) {
        set.insert(Plain(part));
    }
}

// The accelerator letter of a text, lower case; null without one.
QChar Accelerator(const QString& text) {
    const QString label = text.section(QLatin1Char('\t'), 0, 0);
    const qsizetype at = label.indexOf(QRegularExpression(QStringLiteral("&[^&]")));
    return at < 0 ? QChar() : label[at + 1].toLower();
}

// The words German shares with English; any other English text of the table on the screen is one
// left untranslated.
const std::set<QString> kSameInGerman{"Dayvault",  "Navigation", "Extras", "Export",
                                      "Filter",    "Alarm",      "Minute", "Normal",
                                      "Parameter", "Status",     "OK",     "Name",
                                      "Port:",     "CSV-Export", "HTML-Export"};

// The English texts of the table (and Qt's standard buttons, which Qt's translations turn
// German), less the shared words and anything that is also a German text of the table.
std::set<QString> EnglishOnlyTexts() {
    std::set<QString> english{"Cancel", "Yes", "No", "Apply", "Close", "Discard", "Look in:"};
    std::set<QString> german;
    for (const uint32_t id : StringTableIds()) {
        const std::string englishText(EnglishString(id));
        const std::string germanText = LoadString(id);
        AddPlain(english, englishText);
        if (Plain(QString::fromStdString(germanText)) !=
            Plain(QString::fromStdString(englishText))) {
            AddPlain(german, germanText);
        }
    }
    std::set<QString> only;
    for (const QString& text : english) {
        if (text.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))) &&
            !german.contains(text) && !kSameInGerman.contains(text)) {
            only.insert(text);
        }
    }
    return only;
}

// Every text a user may read in `root`: titles, labels, buttons, tabs, list entries, column
// headers, tooltips, menus.
QStringList TextsOf(const QWidget* root) {
    QStringList texts{root->windowTitle()};
    QList<const QWidget*> widgets{root};
    for (const QWidget* child : root->findChildren<QWidget*>()) {
        widgets << child;
    }
    for (const QWidget* widget : widgets) {
        texts << widget->toolTip() << widget->accessibleName();
        for (const QAction* action : widget->actions()) {
            texts << action->text() << action->toolTip();
        }
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            texts << label->text();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            texts << button->text();
        } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
            texts << group->title();
        } else if (const auto* tabs = qobject_cast<const QTabWidget*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i) {
                texts << tabs->tabText(i) << tabs->tabToolTip(i);
            }
        } else if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
            for (int i = 0; i < combo->count(); ++i) {
                texts << combo->itemText(i);
            }
        } else if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
            texts << edit->placeholderText();
        } else if (const auto* view = qobject_cast<const QAbstractItemView*>(widget)) {
            if (const QAbstractItemModel* model = view->model()) {
                for (int column = 0; column < model->columnCount(); ++column) {
                    texts << model->headerData(column, Qt::Horizontal).toString();
                    for (int row = 0; row < std::min(model->rowCount(), 20); ++row) {
                        texts << model->index(row, column).data().toString();
                    }
                }
            }
        }
    }
    return texts;
}

} // namespace

class GermanTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    std::set<QString> m_englishOnly;

    std::unique_ptr<CDayvaultApp> Start(int language) {
        const fs::path root = m_folder.path().toStdString();
        fs::create_directories(root / "user");
        const fs::path events = root / "events.dat";
        if (!fs::exists(events)) {
            CDayvaultDoc empty;
            if (!empty.SaveAs(events)) {
                return nullptr;
            }
        }
        std::ofstream(root / "user" / "Dayvault.ini")
            << "[Settings]\nUseRegistry=0\nSingleInstance=0\nWarnOnExit=0\nLoadDateFile=1\n"
            << "DefaultDateFile=" << events.string() << "\nLanguage=" << language << "\n";
        AppEnvironment environment;
        environment.ProgramFolder = DAYVAULT_PROGRAM_FOLDER;
        environment.UserDataFolder = root / "user";
        auto app = std::make_unique<CDayvaultApp>(environment);
        if (!app->Start()) {
            return nullptr;
        }
        return app;
    }

    // Fails with every English text of `root`, named with `where`.
    void ExpectGerman(const QWidget* root, const QString& where) {
        QStringList english;
        for (const QString& text : TextsOf(root)) {
            if (m_englishOnly.contains(Plain(text))) {
                english << text;
            }
        }
        english.removeDuplicates();
        QVERIFY2(english.isEmpty(), qPrintable(where + ": " + english.join(QStringLiteral(" | "))));
    }

    // No two entries of one menu share an accelerator.
    static void ExpectUniqueAccelerators(const QString& menu, const QList<QAction*>& actions) {
        std::set<QChar> taken;
        for (const QAction* action : actions) {
            const QChar key = Accelerator(action->text());
            QVERIFY2(key.isNull() || taken.insert(key).second,
                     qPrintable(menu + QStringLiteral(": ") + action->text()));
        }
    }

    // No two controls of a dialog share an accelerator, a page of tabs or of a page list counting
    // on its own (but meeting the controls outside the pages): a hidden page's mnemonics are off.
    static void ExpectUniqueAccelerators(const QWidget* dialog, const QString& where) {
        std::map<const QWidget*, std::map<QChar, QString>> scopes;
        for (const QWidget* widget : dialog->findChildren<QWidget*>()) {
            QString text;
            if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
                text = button->text();
            } else if (const auto* label = qobject_cast<const QLabel*>(widget)) {
                text = label->text();
            } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
                text = group->title();
            }
            const QChar key = Accelerator(text);
            if (key.isNull()) {
                continue;
            }
            const QWidget* scope = dialog;
            for (const QWidget* up = widget; up != dialog; up = up->parentWidget()) {
                if (qobject_cast<const QStackedWidget*>(up->parentWidget())) {
                    scope = up;
                }
            }
            const auto [it, fresh] = scopes[scope].emplace(key, text);
            QVERIFY2(fresh, qPrintable(where + QStringLiteral(": ") + it->second + " / " + text));
        }
        for (const auto& [scope, keys] : scopes) {
            for (const auto& [key, text] : keys) {
                QVERIFY2(scope == dialog || !scopes[dialog].contains(key),
                         qPrintable(where + QStringLiteral(": ") + text));
            }
        }
    }

private slots:
    void storedLanguageOverridesTheSystem() {
        // English asked for on a German system stays English; 0 takes the system's German.
        auto english = Start(0x409);
        QVERIFY(english);
        QCOMPARE(english->Language(), CLanguageLibrary::kBuiltInLanguage);
        QCOMPARE(english->Frame()->menuBar()->actions().first()->text(), QStringLiteral("&File"));
        english.reset();
        auto system = Start(0);
        QVERIFY(system);
        QCOMPARE(system->Language(), 0x407u);
        QCOMPARE(system->Frame()->menuBar()->actions().first()->text(), QStringLiteral("&Datei"));
    }

    void noEnglishTextLeft() {
        auto app = Start(0x407);
        QVERIFY(app);
        QCOMPARE(app->Language(), 0x407u);
        m_englishOnly = EnglishOnlyTexts();
        QVERIFY(m_englishOnly.contains(QStringLiteral("File")));

        // Content for the lists: a to-do and a monthly event by weekday.
        CDayvaultDoc& doc = app->Document();
        auto todo = std::make_unique<CTodoEntry>(CDateTime::Now());
        TodoData todoData;
        todo->GetData(todoData);
        todoData.Description = "Steuererklärung abgeben";
        todo->SetData(todoData);
        doc.AddTodoEntry(std::move(todo), kEditInteractive);
        auto event = std::make_unique<CDateEntry>(CDateTime::Now());
        DateData data = event->GetData();
        data.Description = "Zahnarzt";
        data.Repeat = 2;
        data.RepeatWeekdayCount = 1;
        event->AssignData(data);
        doc.AddDateEntry(std::move(event), kEditInteractive);

        CMainFrame& frame = *app->Frame();
        frame.show();
        for (int page = 0; page < CMainFrame::PageCount; ++page) {
            frame.SetPage(page);
            QApplication::processEvents();
            ExpectGerman(&frame, QStringLiteral("main window, page %1").arg(page));
        }
        for (const QMenu* menu : frame.findChildren<QMenu*>()) {
            ExpectUniqueAccelerators(menu->title(), menu->actions());
        }
        ExpectUniqueAccelerators(QStringLiteral("menu bar"), frame.menuBar()->actions());

        // Every dialog the commands open (the editors, the database window, the options and
        // export dialogs, file dialogs, questions), looked at and closed; an export dialog's
        // settings sheet first, through its options button.
        QStringList opened;
        std::set<const QDialog*> sheetsOpened;
        const QString optionsButton = QString::fromStdString(LoadString(kIdsExpOptions));
        QTimer watcher;
        watcher.setInterval(5);
        connect(&watcher, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) {
                return;
            }
            if (!sheetsOpened.contains(dialog)) {
                for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
                    if (button->text() == optionsButton) {
                        sheetsOpened.insert(dialog);
                        QMetaObject::invokeMethod(button, &QAbstractButton::click,
                                                  Qt::QueuedConnection);
                        return;
                    }
                }
            }
            opened << dialog->windowTitle();
            ExpectGerman(dialog, dialog->metaObject()->className());
            ExpectUniqueAccelerators(dialog, dialog->metaObject()->className());
            dialog->reject();
        });
        watcher.start();
        std::vector<uint32_t> commands{cmd::kResetEventStates, cmd::kAlarm};
        for (const CommandInfo& info : MainCommands()) {
            if (EnglishString(info.textId).ends_with("...")) {
                commands.push_back(info.id);
            }
        }
        for (const uint32_t id : commands) {
            frame.RunCommand(id);
            QApplication::processEvents();
        }
        watcher.stop();
        QVERIFY2(opened.size() >= 8, qPrintable(opened.join(QStringLiteral(", "))));
        QCOMPARE(sheetsOpened.size(), 2u);

        // The reminder window of an event due in ten minutes.
        auto due = std::make_unique<CDateEntry>(CDateTime::Now());
        DateData dueData = due->GetData();
        dueData.Description = "Besprechung";
        dueData.StartDate = CDateTime::Now() + CDateTimeSpan(0, 0, 10, 0);
        dueData.ShowStartTime = 1;
        dueData.EndDate = dueData.StartDate + CDateTimeSpan(0, 1, 0, 0);
        dueData.Forewarn = 1;
        dueData.ForewarnSpan = 30;
        dueData.ForewarnUnit = 0;
        due->SetData(dueData, CDateTime::Now() - CDateTimeSpan(0, 1, 0, 0));
        doc.AddDateEntry(std::move(due), kEditInteractive);
        frame.Scheduler().TickNow();
        QTRY_VERIFY(frame.Scheduler().GetReminderWindow());
        ExpectGerman(frame.Scheduler().GetReminderWindow(), QStringLiteral("reminder window"));
        ExpectUniqueAccelerators(frame.Scheduler().GetReminderWindow(),
                                 QStringLiteral("reminder window"));
    }
};

} // namespace dv

DAYVAULT_QTEST_MAIN_IN_TEMP_HOME(dv::GermanTest)
#include "GermanTest.moc"
