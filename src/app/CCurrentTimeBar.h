#pragma once

#include <QToolBar>
#include <string>

class QFont;
class QLabel;
class QTimer;

namespace dv {

struct LogFont;

/// The current-time bar: the current local time in the CurrentTimeDisplay format and the
/// CurrentTimeFont. It wakes only when the text can change: on the next second when the format
/// shows seconds, else on the next minute.
class CCurrentTimeBar final : public QToolBar {
    Q_OBJECT
public:
    explicit CCurrentTimeBar(QWidget* parent = nullptr);

    /// Sets the format and the font and shows the time at once.
    void Configure(const std::string& format, const LogFont& font);
    /// Formats the time now and plans the next update.
    void Refresh();

    QString Text() const;
    /// Milliseconds until the next update is due.
    int PlannedInterval() const;

    /// True when `format` shows seconds (a "%S" or "%#S" code; "%%S" is text).
    static bool FormatShowsSeconds(const std::string& format);

signals:
    /// Emitted after each update, so the main window can refresh its own small displays in the
    /// same wake-up.
    void Ticked();

private:
    QLabel* m_label = nullptr;
    QTimer* m_timer = nullptr;
    std::string m_format;
    bool m_seconds = false;
};

/// The Qt font of a stored font: a negative height is a pixel height, weight 700 is bold, the
/// face name picks the family.
QFont ToQFont(const LogFont& font);

} // namespace dv
