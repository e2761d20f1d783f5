#include "platform/CDesktopNotifier.h"

#include "format/StringIds.h"
#include "format/StringTable.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace dv {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

bool CDesktopNotifier::Notify(const std::string& title, const std::string& text) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr ||
        !bus.interface()->isServiceRegistered(kService).value()) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService,
                                                       QStringLiteral("Notify"));
    call << QString::fromStdString(LoadString(kIdsAppTitle)) // application name
         << uint(0)                                          // replaces no earlier one
         << QStringLiteral("appointment-soon")               // icon name of the theme
         << QString::fromStdString(title) << QString::fromStdString(text) << QStringList()
         << QVariantMap{{QStringLiteral("urgency"), QVariant::fromValue(uchar(1))}}
         << int(-1); // the server's own timeout
    return bus.send(call);
}

} // namespace dv
