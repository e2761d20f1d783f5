// The Options dialog driven as a user drives it: values that reach the settings and the store,
// numbers refused outside their range, Cancel, the start-with-the-system entry, and the FTP
// password in a (fake) keyring with its fallback and its move between the stores.
#include "DesktopRig.h"
#include "app/CCurrentTimeBar.h"
#include "app/CDayvaultApp.h"
#include "app/CMainFrame.h"
#include "app/COptionsDlg.h"
#include "app/CommandTable.h"
#include "core/CDateTime.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "document/DocumentObserver.h"
#include "platform/CAutostartEntry.h"
#include "platform/CQtProfileStore.h"
#include "settings/CIniStore.h"
#include "settings/CPasswordVault.h"
#include "settings/ISecretStore.h"
#include "settings/PasswordScrambler.h"
#include "support/TempHomeMain.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>

namespace dv {

namespace fs = std::filesystem;

using test::Click;
using test::ReadFile;

namespace {

// A keyring in memory that can be switched off, as when no keyring service runs.
class FakeKeyring final : public ISecretStore {
public:
    bool available = true;
    std::map<std::string, std::string, std::less<>> secrets;

    ReadResult Read(std::string_view key) override {
        if (!available) {
            return {};
        }
        const auto found = secrets.find(key);
        return found == secrets.end() ? ReadResult{Status::NotFound, {}}
                                      : ReadResult{Status::Ok, found->second};
    }
    Status Write(std::string_view key, std::string_view secret) override {
        if (!available) {
            return Status::Unavailable;
        }
        secrets[std::string(key)] = std::string(secret);
        return Status::Ok;
    }
    Status Remove(std::string_view key) override {
        if (!available) {
            return Status::Unavailable;
        }
        return secrets.erase(std::string(key)) ? Status::Ok : Status::NotFound;
    }
};

// Records what the options send to the views. The alarm clock's periodic update goes on while the
// tests run and may fall anywhere in them, so its hints are left out.
class HintRecorder final : public IDocumentObserver {
public:
    void OnUpdate(UpdateHint hint, const HintObject&) override {
        if (hint != UpdateHint::TimeUpdated && hint != UpdateHint::DayChanged) {
            hints.push_back(static_cast<int>(hint));
        }
    }
    std::vector<int> hints;
};

// A periodic update as the alarm clock's timer makes it, at a moment the test chooses.
void PeriodicUpdate(CDayvaultApp& app) {
    app.Document().CheckDates(CDateTime::Now(), false, 0);
}

// Runs `step` once the next modal window of kind T is up (each runs its own loop).
template <class T>
void OnModal(std::function<void(T&)> step) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
            step(*window);
            if (window->isVisible()) {
                window->reject(); // a failed step must not leave the test waiting
            }
        }
    });
    timer->start();
}

// Opens the Options dialog through its command and runs `step` on it once it is up.
void WithOptions(CMainFrame& frame, std::function<void(COptionsDlg&)> step) {
    OnModal<COptionsDlg>(std::move(step));
    QVERIFY(frame.RunCommand(cmd::kOptions));
}

template <class T>
T* Field(COptionsDlg& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(QLatin1String(name));
    if (!widget) {
        qFatal("no field %s", name);
    }
    // The field's page comes to the front, as the user would open it.
    for (int page = 0; page < dialog.Pages()->count(); ++page) {
        if (dialog.Pages()->widget(page)->isAncestorOf(widget)) {
            dialog.ShowPage(static_cast<COptionsDlg::Page>(page));
        }
    }
    return widget;
}

void Type(COptionsDlg& dialog, const char* name, const QString& text) {
    auto* edit = Field<QLineEdit>(dialog, name);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void Ok(COptionsDlg& dialog) {
    Click(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
}

void Cancel(COptionsDlg& dialog) {
    Click(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel));
}

std::optional<std::string> StoredPassword(const IProfileStore& store) {
    return store.ReadRawString("Settings", "FtpPassword");
}

} // namespace

class OptionsDlgTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_folder;
    fs::path m_program;
    fs::path m_user;
    CQueuedPrompt m_prompt;
    FakeKeyring m_keyring;

    // `keyring` null: the desktop's own, through QtKeychain.
    std::unique_ptr<CDayvaultApp> Start(ISecretStore* keyring) {
        auto app = std::make_unique<CDayvaultApp>(
            test::TestEnvironment(m_folder->path().toStdString(), "options"), &m_prompt, nullptr,
            keyring);
        return app->Start() ? std::move(app) : nullptr;
    }
    std::unique_ptr<CDayvaultApp> Start() { return Start(&m_keyring); }

    void UseUserIni() {
        fs::create_directories(m_user);
        std::ofstream(m_user / "Dayvault.ini") << "[Settings]\nUseRegistry=0\n";
    }

private slots:
    void initTestCase() {
        // No message bus, so no keyring service: the real keyring is always away here, and a
        // keyring on the machine that runs the tests is never touched.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/dayvault-test-bus");
    }

    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        m_program = fs::path(m_folder->path().toStdString()) / "program";
        m_user = fs::path(m_folder->path().toStdString()) / "user";
        fs::create_directories(m_program / "lang");
        // Offered on the language page by its name alone.
        std::ofstream(m_program / "lang" / "dayvault_0407.qm") << "";
        test::ClearNativeStore();
        QFile::remove(CAutostartEntry::DesktopFilePath());
        m_keyring = FakeKeyring();
        m_prompt.ClearShown();
    }

    void valuesSurviveOkAndCancelChangesNothing() {
        UseUserIni();
        auto app = Start();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        HintRecorder hints;
        app->Document().AddObserver(hints);

        WithOptions(frame, [&app](COptionsDlg& dialog) {
            QVERIFY(!Field<QCheckBox>(dialog, "RunOnWindowsStart")->isChecked()); // no entry yet
            PeriodicUpdate(*app); // the clock ticks while the dialog is open
            Click(Field<QCheckBox>(dialog, "RunOnWindowsStart"));
            Click(Field<QCheckBox>(dialog, "WarnOnDelete"));
            Click(Field<QCheckBox>(dialog, "DoneGrey"));
            Type(dialog, "DateCheckInterval", "3600"); // the top of the range is taken
            Click(Field<QCheckBox>(dialog, "DeleteDoneTodo"));
            Type(dialog, "DaysBeforeDeleteTodo", "0");
            Click(Field<QRadioButton>(dialog, "NetworkFunction2"));
            // Loopback, where nothing listens on port 1: the cycle that OK asks for fails at once.
            Type(dialog, "FtpServer", QStringLiteral("127.0.0.1"));
            Type(dialog, "FtpPort", QStringLiteral("1"));
            auto* list = Field<QListWidget>(dialog, "Language");
            QCOMPARE(list->count(), 2);
            QCOMPARE(list->item(1)->text(), QStringLiteral("Deutsch (Deutschland)"));
            list->setCurrentRow(1);
            Type(dialog, "Homepage", QStringLiteral("https://example.org/help"));
            OnModal<QColorDialog>([](QColorDialog& chooser) {
                chooser.setCurrentColor(QColor(1, 2, 3));
                chooser.accept();
            });
            Click(Field<QPushButton>(dialog, "TodayColor"));
            OnModal<QFontDialog>([](QFontDialog& chooser) {
                QFont font(QStringLiteral("DejaVu Sans"));
                font.setBold(true);
                chooser.setCurrentFont(font);
                chooser.accept();
            });
            Click(Field<QPushButton>(dialog, "ReminderFont"));
            Ok(dialog);
        });
        const CSettings& settings = app->Settings();
        QCOMPARE(settings.DateCheckInterval, 3600);
        QVERIFY(settings.WarnOnDelete);
        QCOMPARE(settings.DoneEventsMarking, 1); // grey taken off the default 3
        QVERIFY(settings.DeleteDoneTodo);
        QCOMPARE(settings.DaysBeforeDeleteTodo, 0);
        QCOMPARE(settings.Language, 0x407);
        QCOMPARE(settings.Homepage, std::string("https://example.org/help"));
        QCOMPARE(settings.NetworkFunction, 2);
        QCOMPARE(settings.FtpServer, std::string("127.0.0.1"));
        QCOMPARE(settings.FtpPort, 1);
        QCOMPARE(settings.TodayColor, 0x030201u);
        QCOMPARE(settings.ReminderFont.FaceName, std::string("DejaVu Sans"));
        QCOMPARE(settings.ReminderFont.Weight, 700);
        QVERIFY(settings.ReminderFont.Height < 0);
        CSettings stored;
        stored.Load(CIniStore(m_user / "Dayvault.ini"));
        QCOMPARE(stored.DateCheckInterval, 3600);
        QCOMPARE(stored.Language, 0x407);
        QVERIFY(CAutostartEntry(QString()).Exists());
        QCOMPARE(hints.hints, (std::vector<int>{0, 15}));

        QTRY_VERIFY(frame.SyncWorker().GetOutcome() == SyncOutcome::transferFailed);

        // Cancel after changes: neither the settings nor the file move.
        const CSettings before = app->Settings();
        const std::string file = ReadFile(m_user / "Dayvault.ini");
        hints.hints.clear();
        WithOptions(frame, [&app](COptionsDlg& dialog) {
            QVERIFY(Field<QCheckBox>(dialog, "RunOnWindowsStart")->isChecked());
            PeriodicUpdate(*app);
            Click(Field<QCheckBox>(dialog, "RunOnWindowsStart"));
            Type(dialog, "DateCheckInterval", "20");
            Click(Field<QRadioButton>(dialog, "NetworkFunction0"));
            Cancel(dialog);
        });
        QVERIFY(app->Settings() == before);
        QCOMPARE(ReadFile(m_user / "Dayvault.ini"), file);
        QVERIFY(CAutostartEntry(QString()).Exists());
        QCOMPARE(hints.hints, std::vector<int>{});

        // The entry, not the stored option, decides what the box shows; OK with it off removes
        // the entry.
        QVERIFY(QFile::remove(CAutostartEntry::DesktopFilePath()));
        WithOptions(frame, [](COptionsDlg& dialog) {
            QVERIFY(!Field<QCheckBox>(dialog, "RunOnWindowsStart")->isChecked());
            Click(Field<QCheckBox>(dialog, "RunOnWindowsStart"));
            Click(Field<QCheckBox>(dialog, "RunOnWindowsStart"));
            Ok(dialog);
        });
        QVERIFY(!CAutostartEntry(QString()).Exists());
        QVERIFY(!app->Settings().RunOnWindowsStart);
        app->Document().RemoveObserver(hints);
    }

    void clockSwitchMovesEveryUnchangedTimeFormat() {
        fs::create_directories(m_user);
        std::ofstream(m_user / "Dayvault.ini")
            << "[Settings]\nUseRegistry=0\nTwentyFourHourClock=0\nTimeFormatList=%I.%M Uhr\n";
        auto app = Start();
        QVERIFY(app);
        CMainFrame& frame = *app->Frame();
        WithOptions(frame, [](COptionsDlg& dialog) {
            QVERIFY(!Field<QCheckBox>(dialog, "TwentyFourHourClock")->isChecked());
            Click(Field<QCheckBox>(dialog, "TwentyFourHourClock"));
            Ok(dialog);
        });
        const CSettings& settings = app->Settings();
        QCOMPARE(settings.TwentyFourHourClock, 1);
        QCOMPARE(settings.TimeFormat, std::string("%H:%M"));
        QCOMPARE(settings.DateTimeFormatList, std::string("%m/%d/%Y, %H:%M"));
        QCOMPARE(settings.ReminderHeadlineDateTime, std::string("Event on %a, %B %d, %Y, %H:%M"));
        QCOMPARE(settings.TimeFormatList, std::string("%I.%M Uhr")); // the user's own stays
        // The clock above the pages follows at once.
        const QString clock = frame.CurrentTimeBar()->findChild<QLabel*>()->text();
        QVERIFY2(!clock.contains(QStringLiteral("AM")) && !clock.contains(QStringLiteral("PM")),
                 qPrintable(clock));
        // Only the switch and the changed format are stored.
        const std::string file = ReadFile(m_user / "Dayvault.ini");
        QVERIFY(file.find("TwentyFourHourClock=1") != std::string::npos);
        QVERIFY(file.find("TimeFormatList=%I.%M Uhr") != std::string::npos);
        QVERIFY(file.find("\nTimeFormat=") == std::string::npos);
    }

    void numbersOutOfRangeAreRefused() {
        UseUserIni();
        auto app = Start();
        QVERIFY(app);
        const CSettings before = app->Settings();
        const std::string file = ReadFile(m_user / "Dayvault.ini");
        struct Case {
            const char* enable; // the switch that makes the field editable
            const char* field;
            const char* value;
            std::string message;
            COptionsDlg::Page page;
        };
        const Case cases[] = {
            {nullptr, "DateCheckInterval", "0",
             "Check for due alarms every (seconds): please enter a whole number from 1 to 3600.",
             COptionsDlg::Reminders},
            {"NetworkFunction2", "FtpPort", "65536",
             "Port: please enter a whole number from 1 to 65535.", COptionsDlg::Sharing},
            {"NetworkFunction1", "AutoSyncInterval", "9",
             "Automatically every (seconds): please enter a whole number from 10 to 3600.",
             COptionsDlg::Sharing},
            {nullptr, "NetworkBackupDepth", "31",
             "Copies of the shared file kept: please enter a whole number from 0 to 30.",
             COptionsDlg::Backups},
            {"HideUndoneTodo", "DaysBeforeShowTodo", "",
             "Hide undone to-dos until before their deadline (days): please enter a whole number "
             "from 0 to 1000.",
             COptionsDlg::Todos},
        };
        for (const Case& test : cases) {
            m_prompt.ClearShown();
            WithOptions(*app->Frame(), [&test](COptionsDlg& dialog) {
                // A bad value elsewhere is changed too, to see that nothing at all is taken.
                Click(Field<QCheckBox>(dialog, "WarnOnExit"));
                if (test.enable) {
                    Click(Field<QAbstractButton>(dialog, test.enable));
                }
                Type(dialog, test.field, QString::fromLatin1(test.value));
                dialog.ShowPage(COptionsDlg::General);
                Ok(dialog);
                QVERIFY2(dialog.isVisible(), test.field);
                QCOMPARE(dialog.Pages()->currentIndex(), static_cast<int>(test.page));
                QCOMPARE(QApplication::focusWidget(),
                         static_cast<QWidget*>(dialog.findChild<QLineEdit*>(test.field)));
            });
            QCOMPARE(m_prompt.GetShown().size(), std::size_t{1});
            QCOMPARE(m_prompt.GetShown()[0].text, test.message);
            QVERIFY(m_prompt.GetShown()[0].icon == PromptIcon::Exclamation);
            QVERIFY(app->Settings() == before);
            QCOMPARE(ReadFile(m_user / "Dayvault.ini"), file);
        }
    }

    void passwordLivesInTheKeyringAndNeverShows() {
        {
            auto app = Start();
            QVERIFY(app && app->UsesPlatformStore());
            WithOptions(*app->Frame(), [](COptionsDlg& dialog) {
                QVERIFY(Field<QLineEdit>(dialog, "FtpPassword")->placeholderText().isEmpty());
                Click(Field<QRadioButton>(dialog, "NetworkFunction2"));
                Type(dialog, "FtpPassword", QStringLiteral("pw-1"));
                Ok(dialog);
            });
            QCOMPARE(m_keyring.secrets["FtpPassword"], std::string("pw-1"));
            QCOMPARE(StoredPassword(CQtProfileStore()).value_or(""),
                     std::string(CPasswordVault::kKeyringMarker));
            QCOMPARE(app->Frame()->SyncWorker().GetConfig().FtpServer.password,
                     std::string("pw-1"));
        }
        // The next start finds it through the settings; the dialog shows only that one is kept,
        // and OK without typing keeps it.
        {
            auto app = Start();
            QVERIFY(app);
            QCOMPARE(app->Frame()->SyncWorker().GetConfig().FtpServer.password,
                     std::string("pw-1"));
            WithOptions(*app->Frame(), [](COptionsDlg& dialog) {
                auto* field = Field<QLineEdit>(dialog, "FtpPassword");
                QVERIFY(field->text().isEmpty());
                QVERIFY(!field->placeholderText().isEmpty());
                QCOMPARE(field->echoMode(), QLineEdit::Password);
                Ok(dialog);
            });
            QCOMPARE(app->Settings().FtpPassword, std::string("pw-1"));
            QCOMPARE(m_keyring.secrets["FtpPassword"], std::string("pw-1"));

            // No keyring any more: a new password is kept scrambled in the store instead.
            m_keyring.available = false;
            WithOptions(*app->Frame(), [](COptionsDlg& dialog) {
                Type(dialog, "FtpPassword", QStringLiteral("pw-2"));
                Ok(dialog);
            });
            const std::string scrambled = StoredPassword(CQtProfileStore()).value_or("");
            QCOMPARE(scrambled.size(), kScrambledPasswordLength);
            QCOMPARE(UnscramblePassword(scrambled), std::string("pw-2"));
            QCOMPARE(app->Frame()->SyncWorker().GetConfig().FtpServer.password,
                     std::string("pw-2"));
        }
        // Back with the keyring, the newer scrambled value wins and moves there at the next save.
        m_keyring.available = true;
        {
            auto app = Start();
            QVERIFY(app);
            QCOMPARE(app->Settings().FtpPassword, std::string("pw-2"));
            QVERIFY(app->SaveSettings());
            QCOMPARE(m_keyring.secrets["FtpPassword"], std::string("pw-2"));
            QCOMPARE(StoredPassword(CQtProfileStore()).value_or(""),
                     std::string(CPasswordVault::kKeyringMarker));
        }
        // A keyring that does not answer at start-up: no password to use, but saving keeps the
        // keyring's, and the dialog still says that one is kept.
        m_keyring.available = false;
        {
            auto app = Start();
            QVERIFY(app);
            QVERIFY(app->Settings().FtpPassword.empty());
            WithOptions(*app->Frame(), [](COptionsDlg& dialog) {
                QVERIFY(!Field<QLineEdit>(dialog, "FtpPassword")->placeholderText().isEmpty());
                Ok(dialog);
            });
            QCOMPARE(StoredPassword(CQtProfileStore()).value_or(""),
                     std::string(CPasswordVault::kKeyringMarker));
        }
        // Remove takes it out of the store and the keyring.
        m_keyring.available = true;
        {
            auto app = Start();
            QVERIFY(app);
            WithOptions(*app->Frame(), [](COptionsDlg& dialog) {
                Click(Field<QPushButton>(dialog, "RemovePassword"));
                QVERIFY(Field<QLineEdit>(dialog, "FtpPassword")->placeholderText().isEmpty());
                Ok(dialog);
            });
            QVERIFY(app->Settings().FtpPassword.empty());
            QVERIFY(m_keyring.secrets.empty());
            QCOMPARE(StoredPassword(CQtProfileStore()).value_or("?"), std::string());
        }
    }

    void withoutAKeyringServiceThePasswordStaysScrambled() {
        {
            auto app = Start(nullptr);
            QVERIFY(app && app->UsesPlatformStore());
            WithOptions(*app->Frame(), [](COptionsDlg& dialog) {
                Click(Field<QRadioButton>(dialog, "NetworkFunction2"));
                Type(dialog, "FtpPassword", QStringLiteral("no-keyring"));
                Ok(dialog);
            });
            QCOMPARE(CQtProfileStore().ReadPassword("Settings", "FtpPassword"),
                     std::string("no-keyring"));
        }
        auto app = Start(nullptr);
        QVERIFY(app);
        QCOMPARE(app->Frame()->SyncWorker().GetConfig().FtpServer.password,
                 std::string("no-keyring"));
    }

    void storeSwitchCarriesThePassword() {
        auto app = Start();
        QVERIFY(app && app->UsesPlatformStore());
        WithOptions(*app->Frame(), [](COptionsDlg& dialog) {
            Click(Field<QRadioButton>(dialog, "NetworkFunction2"));
            Type(dialog, "FtpPassword", QStringLiteral("moving"));
            Click(Field<QCheckBox>(dialog, "UseRegistry"));
            Ok(dialog);
        });
        // To the INI file: scrambled there, and the keyring keeps no copy.
        QVERIFY(!app->UsesPlatformStore());
        const CIniStore ini(m_user / "Dayvault.ini");
        QCOMPARE(ini.ReadPassword("Settings", "FtpPassword"), std::string("moving"));
        QVERIFY(StoredPassword(ini).value_or("").find("moving") == std::string::npos);
        QVERIFY(m_keyring.secrets.empty());
        app.reset();

        app = Start();
        QVERIFY(app && !app->UsesPlatformStore());
        QCOMPARE(app->Frame()->SyncWorker().GetConfig().FtpServer.password, std::string("moving"));
        WithOptions(*app->Frame(), [](COptionsDlg& dialog) {
            Click(Field<QCheckBox>(dialog, "UseRegistry"));
            Ok(dialog);
        });
        // And back: into the keyring, and out of the INI file.
        QVERIFY(app->UsesPlatformStore());
        QCOMPARE(m_keyring.secrets["FtpPassword"], std::string("moving"));
        QCOMPARE(StoredPassword(CQtProfileStore()).value_or(""),
                 std::string(CPasswordVault::kKeyringMarker));
        QCOMPARE(CIniStore(m_user / "Dayvault.ini").ReadPassword("Settings", "FtpPassword"),
                 std::string());
    }
};

} // namespace dv

DAYVAULT_QTEST_MAIN_IN_TEMP_HOME(dv::OptionsDlgTest)
#include "OptionsDlgTest.moc"
