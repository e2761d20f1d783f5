#include "platform/CSingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dv {

namespace {

constexpr QByteArrayView kActivate = "activate\n";
constexpr QByteArrayView kOpen = "open ";
constexpr int kTimeoutMs = 1000;
// A file name is a path; anything longer is not a request of ours.
constexpr qint64 kMaxRequest = 64 * 1024;

// True for a folder that only this user may enter: owned by them, no rights for others, not
// a symbolic link (which another user could point elsewhere).
bool IsPrivateFolder(const QByteArray& path) {
    struct stat info {};
    return !path.isEmpty() && ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

} // namespace

CSingleInstance::CSingleInstance(QString name, QObject* parent)
    : CSingleInstance(std::move(name), ::getuid(), parent) {}

CSingleInstance::CSingleInstance(QString name, uid_t owner, QObject* parent)
    : QObject(parent), m_name(name.isEmpty() ? DefaultName() : std::move(name)), m_owner(owner) {}

CSingleInstance::~CSingleInstance() = default;

QString CSingleInstance::DefaultName() {
    const QByteArray home =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toUtf8();
    const QString file =
        QStringLiteral("dayvault-%1.socket")
            .arg(QString::fromLatin1(
                QCryptographicHash::hash(home, QCryptographicHash::Sha1).toHex().left(16)));
    QByteArray folder = qgetenv("XDG_RUNTIME_DIR");
    if (!IsPrivateFolder(folder)) {
        // Without a runtime folder, a private one below /tmp, as ssh-agent makes its own.
        folder = QDir::tempPath().toLocal8Bit() + "/dayvault-" + QByteArray::number(::getuid());
        ::mkdir(folder.constData(), 0700);
        if (!IsPrivateFolder(folder)) {
            return {};
        }
    }
    return QString::fromLocal8Bit(folder) + QLatin1Char('/') + file;
}

bool CSingleInstance::PeerIsOwner(const QLocalSocket& socket) const {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED,
                        &credentials, &size) == 0 &&
           credentials.uid == m_owner;
}

bool CSingleInstance::ActivateRunningInstance(const QString& file) {
    if (m_name.isEmpty()) {
        return false;
    }
    const QByteArray request =
        file.isEmpty() ? kActivate.toByteArray() : kOpen.toByteArray() + file.toUtf8() + '\n';
    bool foreignAnswer = false;
    {
        QLocalSocket socket;
        socket.connectToServer(m_name);
        if (socket.waitForConnected(kTimeoutMs)) {
            // Another user's program on our name gets nothing, and does not stop this start.
            foreignAnswer = !PeerIsOwner(socket);
            if (!foreignAnswer) {
                socket.write(request);
                if (socket.waitForBytesWritten(kTimeoutMs)) {
                    socket.disconnectFromServer();
                    return true;
                }
            }
        }
    }
    if (foreignAnswer) {
        return false;
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
        if (!PeerIsOwner(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // The request is a single line; anything else on the socket is ignored.
        auto readRequest = [this, socket] {
            if (socket->bytesAvailable() > kMaxRequest) {
                socket->abort();
                return;
            }
            if (!socket->canReadLine()) {
                return;
            }
            const QByteArray line = socket->readLine();
            socket->disconnectFromServer();
            if (line == kActivate.toByteArray()) {
                emit ActivationRequested();
            } else if (line.startsWith(kOpen.toByteArray()) && line.endsWith('\n')) {
                const QString file =
                    QString::fromUtf8(line.mid(kOpen.size(), line.size() - kOpen.size() - 1));
                if (QFileInfo(file).isAbsolute()) {
                    emit OpenRequested(file);
                }
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        readRequest();
    }
}

} // namespace dv
