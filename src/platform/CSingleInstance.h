#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace dv {

/// One program per user: the first instance listens on a local socket named for the user; a
/// later one connects, asks the first to come to the front and ends.
class CSingleInstance final : public QObject {
    Q_OBJECT
public:
    /// `name` is the socket's name; empty: DefaultName().
    explicit CSingleInstance(QString name = {}, QObject* parent = nullptr);
    ~CSingleInstance() override;

    /// "Dayvault-" and a hash of the user's name and config folder, so that two users (or two
    /// test homes) never meet.
    static QString DefaultName();

    /// Asks a running instance to come to the front. True when one answered the call: this
    /// instance should end. Otherwise this instance starts listening (a socket left by a program
    /// that died is removed first) and false is returned.
    bool ActivateRunningInstance();

    /// True while this instance is the one that listens.
    bool IsListening() const;

signals:
    /// Another start of the program asked this one to come to the front.
    void ActivationRequested();

private:
    void OnNewConnection();

    QString m_name;
    QLocalServer* m_server = nullptr;
};

} // namespace dv
