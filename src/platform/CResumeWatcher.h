#pragma once

#include <QObject>
#include <QTimer>

namespace dv {

/// Tells when the user is back: the machine woke from suspend (logind's PrepareForSleep(false)
/// on the system bus), the screen saver or lock ended (org.freedesktop.ScreenSaver's
/// ActiveChanged(false) on the session bus), or the application became active. Signals that
/// arrive together (a wake-up usually brings all three) give one `resumed()`.
class CResumeWatcher : public QObject {
    Q_OBJECT

public:
    /// Subscribes to the buses that exist; a missing bus is no error.
    explicit CResumeWatcher(QObject* parent = nullptr);

    /// How long signals are gathered into one `resumed()`, in milliseconds.
    static constexpr int kCoalesceMs = 200;

signals:
    void resumed();

public slots:
    /// logind: `sleeping` true before the machine sleeps, false after it woke.
    void OnPrepareForSleep(bool sleeping);
    /// The screen saver: `active` false when it ended.
    void OnScreenSaverActiveChanged(bool active);
    void OnApplicationStateChanged(Qt::ApplicationState state);

private:
    void Trigger();

    QTimer m_coalesce;
};

} // namespace dv
