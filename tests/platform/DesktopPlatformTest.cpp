// The Qt implementations of the platform interfaces: the native settings store, the language
// files, the single-instance socket and the start-with-the-system entry.
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/CAutostartEntry.h"
#include "platform/CLanguageLibrary.h"
#include "platform/CQtProfileStore.h"
#include "platform/CSingleInstance.h"
#include "support/TempHomeMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <filesystem>
#include <map>
#include <unistd.h>

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

    void damagedTranslationsArePassedOverWithTheReason() {
        QFile source(QStringLiteral(DAYVAULT_TEST_QM));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray sound = source.readAll();
        QCOMPARE(CLanguageLibrary::CheckTranslation(sound), std::string());
        // Where each block of the sound file starts: tag, 32-bit length, contents.
        std::map<char, qsizetype> blocks;
        for (qsizetype at = 16; at + 5 <= sound.size();) {
            const auto length = qFromBigEndian<quint32>(sound.constData() + at + 1);
            blocks[sound[at]] = at + 5;
            at += 5 + length;
        }
        QVERIFY(blocks.count('\x42') && blocks.count('\x69'));
        // A message record starts with its translation: tag 3 and the text's byte length.
        QCOMPARE(sound[blocks['\x69']], '\x03');
        struct Damage {
            qsizetype at;
            QByteArray bytes;
            const char* reason;
        };
        const Damage damages[] = {
            {blocks['\x42'] + 4, "\x7f\xff\xff\xf0", "points outside"},
            {blocks['\x69'] + 1, "\x7f\xff\xff\xf0", "runs past the end"},
            {blocks['\x42'] - 4, "\x7f\xff\xff\xf0", "block runs past"},
            {0, "not a qm file", "not a translation"},
        };
        QTemporaryDir folder;
        const std::filesystem::path program = folder.path().toStdString();
        std::filesystem::create_directories(program / "lang");
        for (const Damage& damage : damages) {
            QFile file(QString::fromStdString((program / "lang" / "dayvault_0407.qm").string()));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray(sound).replace(damage.at, damage.bytes.size(), damage.bytes));
            file.close();
            CLanguageLibrary library(program);
            QCOMPARE(library.Select(0x0407), 0x0409u);
            // Every text still comes, in English.
            for (const uint32_t id : StringTableIds()) {
                QCOMPARE(LoadString(id), std::string(EnglishString(id)));
            }
            QCOMPARE(library.Problems().size(), std::size_t{1});
            QVERIFY2(library.Problems()[0].reason.find(damage.reason) != std::string::npos,
                     library.Problems()[0].reason.c_str());
        }
        CLanguageLibrary::Uninstall();
    }

    void secondInstanceAsksTheFirstAndEnds() {
        // The socket lies in the user's private runtime folder, not under a guessable name in
        // the shared temporary folder; a runtime folder others may enter is not used.
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        QVERIFY(CSingleInstance::DefaultName().startsWith(runtime + QLatin1Char('/')));
        QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner |
                                                   QFile::ExeOwner | QFile::ExeGroup));
        const QString fallback = CSingleInstance::DefaultName();
        QVERIFY(
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(!fallback.startsWith(runtime));
        QVERIFY(fallback.startsWith(QDir::tempPath() + QStringLiteral("/dayvault-")));
        QCOMPARE(QFileInfo(QFileInfo(fallback).path()).permissions() & 0x0077, 0);

        const QString name = CSingleInstance::DefaultName();
        CSingleInstance first(name);
        QVERIFY(!first.ActivateRunningInstance());
        QVERIFY(first.IsListening());
        QSignalSpy asked(&first, &CSingleInstance::ActivationRequested);
        QSignalSpy open(&first, &CSingleInstance::OpenRequested);
        CSingleInstance second(name);
        QVERIFY(second.ActivateRunningInstance());
        QVERIFY(!second.IsListening());
        QTRY_COMPARE(asked.count(), 1);
        // A file named at the second start goes to the first, spaces and all.
        const QString file = QStringLiteral("/home/u/My Calendars/Büro.dat");
        QVERIFY(CSingleInstance(name).ActivateRunningInstance(file));
        QTRY_COMPARE(open.count(), 1);
        QCOMPARE(open.at(0).at(0).toString(), file);
        // A listener that is not of this user is neither asked nor allowed to stop this start.
        CSingleInstance stranger(name, ::getuid() + 1);
        QVERIFY(!stranger.ActivateRunningInstance(file));
        QVERIFY(!stranger.IsListening());
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
