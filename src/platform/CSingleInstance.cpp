#include "platform/CSingleInstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace dv {

namespace {

constexpr QByteArrayView kActivate = "activate\n";
constexpr int kTimeoutMs = 1000;

} // namespace

CSingleInstance::CSingleInstance(QString name, QObject* parent)
    : QObject(parent), m_name(name.isEmpty() ? DefaultName() : std::move(name)) {}

CSingleInstance::~CSingleInstance() = default;

QString CSingleInstance::DefaultName() {
    QByteArray user = qgetenv("USER");
    if (user.isEmpty()) {
        user = qgetenv("USERNAME");
    }
    const QByteArray home =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toUtf8();
    const QByteArray hash =
        QCryptographicHash::hash(user + '\0' + home, QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("Dayvault-") + QString::fromLatin1(hash);
}

bool CSingleInstance::ActivateRunningInstance() {
    {
        QLocalSocket socket;
        socket.connectToServer(m_name);
        if (socket.waitForConnected(kTimeoutMs)) {
            socket.write(kActivate.data(), kActivate.size());
            if (socket.waitForBytesWritten(kTimeoutMs)) {
                socket.disconnectFromServer();
                return true;
            }
        }
    }
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
    }
    if (!m_server->isListening() && !m_server->listen(m_name)) {
        // Nobody answered, so the socket is the leftover of a program that died.
        QLocalServer::removeServer(m_name);
        m_server->listen(m_name);
    }
    return false;
}

bool CSingleInstance::IsListening() const {
    return m_server && m_server->isListening();
}

void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // The request is a single line; anything else on the socket is ignored.
        auto readRequest = [this, socket] {
            if (socket->canReadLine()) {
                if (socket->readLine() == kActivate.toByteArray()) {
                    emit ActivationRequested();
                }
                socket->disconnectFromServer();
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        readRequest();
    }
}

} // namespace dv
