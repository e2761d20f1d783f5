#include "platform/CResumeWatcher.h"

#include <QDBusConnection>
#include <QGuiApplication>

namespace dv {

CResumeWatcher::CResumeWatcher(QObject* parent) : QObject(parent) {
    m_coalesce.setSingleShot(true);
    m_coalesce.setInterval(kCoalesceMs);
    connect(&m_coalesce, &QTimer::timeout, this, &CResumeWatcher::resumed);

    QDBusConnection system = QDBusConnection::systemBus();
    if (system.isConnected()) {
        system.connect(QStringLiteral("org.freedesktop.login1"),
                       QStringLiteral("/org/freedesktop/login1"),
                       QStringLiteral("org.freedesktop.login1.Manager"),
                       QStringLiteral("PrepareForSleep"), this, SLOT(OnPrepareForSleep(bool)));
    }
    QDBusConnection session = QDBusConnection::sessionBus();
    if (session.isConnected()) {
        // Any owner of the interface: desktops register it under several service names.
        session.connect(QString(), QString(), QStringLiteral("org.freedesktop.ScreenSaver"),
                        QStringLiteral("ActiveChanged"), this,
                        SLOT(OnScreenSaverActiveChanged(bool)));
    }
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::applicationStateChanged, this,
                &CResumeWatcher::OnApplicationStateChanged);
    }
}

void CResumeWatcher::OnPrepareForSleep(bool sleeping) {
    if (!sleeping) {
        Trigger();
    }
}

void CResumeWatcher::OnScreenSaverActiveChanged(bool active) {
    if (!active) {
        Trigger();
    }
}

void CResumeWatcher::OnApplicationStateChanged(Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) {
        Trigger();
    }
}

void CResumeWatcher::Trigger() {
    if (!m_coalesce.isActive()) {
        m_coalesce.start();
    }
}

} // namespace dv
