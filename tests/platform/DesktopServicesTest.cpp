#include "platform/CDesktopNotifier.h"
#include "platform/CQtLauncher.h"
#include "platform/CQtSoundPlayer.h"
#include "platform/CResumeWatcher.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

/// Stands in for the desktop's notification service on a private session bus.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList received;

public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int) {
        received << summary + QLatin1Char('|') + body;
        return 1;
    }
};

class DesktopServicesTest : public QObject {
    Q_OBJECT

private slots:
    // A private session bus of our own, so that the test sees no desktop and no desktop sees it.
    void initTestCase() {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            return;
        }
        m_bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                             QStringLiteral("--print-address=1")});
        if (m_bus.waitForStarted() && m_bus.waitForReadyRead(5000)) {
            qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.readLine().trimmed());
        }
    }
    void cleanupTestCase() {
        if (m_bus.state() != QProcess::NotRunning) {
            m_bus.kill();
            m_bus.waitForFinished();
        }
    }

    void launcherRunsAndReportsFailures() {
        QTemporaryDir folder;
        const QString output = folder.filePath(QStringLiteral("out file.txt"));
        dv::CQtLauncher launcher;
        QVERIFY(launcher.RunCommand(
            "/bin/sh", ("-c \"echo started > '" + output + "'\"").toStdString()));
        const auto contents = [&output] {
            QFile file(output);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        QTRY_COMPARE(contents(), QByteArray("started\n"));

        QVERIFY(!launcher.RunCommand("/nonexistent/dayvault-test-program", ""));
        QVERIFY(!launcher.RunCommand("  ", "--help"));
        QVERIFY(!launcher.OpenDocument("/nonexistent/agenda.pdf"));
        QVERIFY(!launcher.OpenDocument("file:///nonexistent/agenda.pdf"));
        QVERIFY(!launcher.OpenDocument(""));
    }

    // Empty and missing names play the program's own sound; without a sound device nothing
    // fails.
    void soundPlayerFallsBackToOwnSound() {
        const std::filesystem::path own = dv::CQtSoundPlayer::DefaultSound(
            QCoreApplication::applicationDirPath().toStdString());
        QVERIFY(std::filesystem::is_regular_file(own));
        QTemporaryDir folder;
        const QString chosen = folder.filePath(QStringLiteral("chosen.wav"));
        QVERIFY(QFile::copy(QString::fromStdString(own.string()), chosen));
        dv::CQtSoundPlayer player(own);
        QCOMPARE(player.Resolve(""), own);
        QCOMPARE(player.Resolve("/nonexistent/gone.wav"), own);
        QCOMPARE(player.Resolve(chosen.toStdString()), std::filesystem::path(chosen.toStdString()));
        player.Play("");
        player.Play(chosen.toStdString());
        QTest::qWait(50);
    }

    // No service: false, so the caller falls back; with one, the notification arrives.
    void notifierUsesTheSessionService() {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            QSKIP("dbus-daemon is not installed");
        }
        dv::CDesktopNotifier notifier;
        QVERIFY(!notifier.Notify("Reminder", "2 reminders are waiting."));
        FakeNotifications service;
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
        QVERIFY(notifier.Notify("Reminder", "2 reminders are waiting."));
        QTRY_COMPARE(service.received, QStringList{QStringLiteral("Reminder|2 reminders are waiting.")});
        bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
    }

    // Going to sleep, the screen saver starting and the application losing focus are no resume.
    void resumeWatcherIgnoresTheWayDown() {
        dv::CResumeWatcher watcher;
        QSignalSpy resumed(&watcher, &dv::CResumeWatcher::resumed);
        watcher.OnPrepareForSleep(true);
        watcher.OnScreenSaverActiveChanged(true);
        watcher.OnApplicationStateChanged(Qt::ApplicationInactive);
        QVERIFY(!resumed.wait(dv::CResumeWatcher::kCoalesceMs * 2));
        watcher.OnScreenSaverActiveChanged(false);
        QVERIFY(resumed.wait(2000));
    }

private:
    QProcess m_bus;
};

QTEST_MAIN(DesktopServicesTest)
#include "DesktopServicesTest.moc"
