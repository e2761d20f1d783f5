// The Qt implementations of the platform interfaces: the native settings store, the language
// files, the single-instance socket and the start-with-the-system entry.
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/CAutostartEntry.h"
#include "platform/CLanguageLibrary.h"
#include "platform/CQtProfileStore.h"
#include "platform/CSingleInstance.h"
#include "support/TempHomeMain.h"

#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <filesystem>

namespace dv {

class DesktopPlatformTest : public QObject {
    Q_OBJECT
private slots:
    void profileStoreKeepsValuesAcrossInstancesWithoutRegardToCase() {
        {
            CQtProfileStore store;
            QVERIFY(store.Location().startsWith(
                QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)));
            store.WriteInt("Settings", "DateCheckInterval", 45);
            store.WriteText("Settings", "DefaultDateFile", "/tmp/a\nb.dat");
            store.WriteColour("Settings", "NormalColor", 0x00C8F0FF);
            store.Flush();
        }
        CQtProfileStore store;
        QCOMPARE(store.ReadInt("SETTINGS", "datecheckinterval", 30), 45);
        QCOMPARE(store.ReadText("settings", "DEFAULTDATEFILE", ""), std::string("/tmp/a\nb.dat"));
        QCOMPARE(store.ReadColour("Settings", "NormalColor", 0), 0x00C8F0FFu);
        QCOMPARE(store.ReadInt("Settings", "Missing", -7), -7);
        // Rewriting in another spelling replaces the value instead of adding a second key.
        store.WriteInt("settings", "DATECHECKINTERVAL", 60);
        store.Flush();
        QCOMPARE(CQtProfileStore().ReadInt("Settings", "DateCheckInterval", 30), 60);
        // A number written as text (by hand, or by an older program) reads as the INI store reads.
        store.WriteRawString("Settings", "WeekStart", " 16 days");
        QCOMPARE(store.ReadInt("Settings", "WeekStart", 1), 16);
    }

    void languageFilesAreChosenExactlyThenByPrimaryLanguage() {
        QTemporaryDir folder;
        const std::filesystem::path program = folder.path().toStdString();
        std::filesystem::create_directories(program / "lang");
        std::filesystem::copy_file(DAYVAULT_TEST_QM, program / "lang" / "dayvault_0407.qm");
        // A file whose name carries no identifier is not a language.
        QFile stray(QString::fromStdString((program / "lang" / "dayvault_de.qm").string()));
        QVERIFY(stray.open(QIODevice::WriteOnly));
        stray.close();

        CLanguageLibrary library(program);
        QCOMPARE(library.Languages().size(), std::size_t{1});
        QCOMPARE(library.Select(0x0407), 0x0407u);
        QCOMPARE(LoadString(kIdsUntitled), std::string("Unbenannt"));
        QCOMPARE(LoadString(kIdsMenuFile), std::string("&Datei"));
        QCOMPARE(LoadString(kIdsAskExit), std::string(EnglishString(kIdsAskExit)));
        // Swiss German has no file of its own: German is taken. Only the low 16 bits count.
        QCOMPARE(library.Select(0x7FFF0807), 0x0407u);
        QCOMPARE(LoadString(kIdsUntitled), std::string("Unbenannt"));
        // French has none at all: the built-in English, with the translation removed.
        QCOMPARE(library.Select(0x040C), 0x0409u);
        QCOMPARE(LoadString(kIdsUntitled), std::string("Untitled"));
        QCOMPARE(CLanguageLibrary::LanguageIdOf(QLocale(QLocale::German, QLocale::Austria)),
                 0xC07u);
        QCOMPARE(CLanguageLibrary::LanguageIdOf(QLocale(QLocale::Dutch, QLocale::Netherlands)),
                 0x413u);
        CLanguageLibrary::Uninstall();
    }

    void secondInstanceAsksTheFirstAndEnds() {
        const QString name =
            QStringLiteral("dayvault-test-%1").arg(QCoreApplication::applicationPid());
        CSingleInstance first(name);
        QVERIFY(!first.ActivateRunningInstance());
        QVERIFY(first.IsListening());
        QSignalSpy asked(&first, &CSingleInstance::ActivationRequested);
        CSingleInstance second(name);
        QVERIFY(second.ActivateRunningInstance());
        QVERIFY(!second.IsListening());
        QTRY_COMPARE(asked.count(), 1);
    }

    void autostartEntryIsWrittenQuotedAndRemoved() {
        const QString program = QStringLiteral("/opt/my apps/day$vault");
        const CAutostartEntry entry(program);
        QVERIFY(entry.Apply(false)); // removing what is not there is fine
        QVERIFY(!entry.Exists());
        QVERIFY(entry.Apply(true));
        QVERIFY(entry.Exists());
        QFile file(CAutostartEntry::DesktopFilePath());
        QVERIFY(file.fileName().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY(text.contains("\nName=Dayvault\n"));
        // The quoted argument escapes "$" with a backslash, itself escaped in the string value.
        QVERIFY(text.contains("\nExec=\"/opt/my apps/day\\\\$vault\"\n"));
        QVERIFY(entry.Apply(false));
        QVERIFY(!entry.Exists());
    }
};

} // namespace dv

DAYVAULT_QTEST_MAIN_IN_TEMP_HOME(dv::DesktopPlatformTest)
#include "DesktopPlatformTest.moc"
