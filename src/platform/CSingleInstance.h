#pragma once

#include <QObject>
#include <QString>
#include <sys/types.h>

class QLocalServer;
class QLocalSocket;

namespace dv {

/// One program per user: the first instance listens on a local socket in the user's private
/// runtime folder; a later one connects, hands over its request (come to the front, or open a
/// file) and ends.
class CSingleInstance final : public QObject {
    Q_OBJECT
public:
    /// `name` is the socket's name or full path; empty: DefaultName(). `owner` is the user whose
    /// program may answer and ask: a peer of another user is neither obeyed nor handed over to.
    explicit CSingleInstance(QString name = {}, QObject* parent = nullptr);
    CSingleInstance(QString name, uid_t owner, QObject* parent = nullptr);
    ~CSingleInstance() override;

    /// The socket's path: "dayvault-<hash>.socket" in $XDG_RUNTIME_DIR when that is a folder of
    /// this user that nobody else may enter, else in a private folder "/tmp/dayvault-<uid>"
    /// (made 0700, and refused when another user owns it or others may enter it). The hash of
    /// the config folder keeps two test homes of one user apart. Empty when no private place
    /// exists: then no single-instance check is made.
    static QString DefaultName();

    /// Asks a running instance of this user to come to the front, and to open `file` when it is
    /// not empty. True when one answered: this instance should end. Otherwise (nobody answers,
    /// or the one answering belongs to another user) this instance starts listening when it can
    /// (a socket left by a program that died is removed first) and false is returned.
    bool ActivateRunningInstance(const QString& file = {});

    /// True while this instance is the one that listens.
    bool IsListening() const;

signals:
    /// Another start of the program asked this one to come to the front.
    void ActivationRequested();
    /// Another start of the program named this file (an absolute path) on its command line.
    void OpenRequested(const QString& file);

private:
    void OnNewConnection();
    bool PeerIsOwner(const QLocalSocket& socket) const;

    QString m_name;
    uid_t m_owner;
    QLocalServer* m_server = nullptr;
};

} // namespace dv
