#pragma once

#include <string>

class QWidget;

namespace dv {

class CDateEntry;

/// The five notification-area images: alarm on or off, each with or without due to-dos, and the
/// image that alternates with the current one while silent reminders wait.
enum class TrayIconKind {
    AlarmOn,
    AlarmOnDueTodos,
    AlarmOff,
    AlarmOffDueTodos,
    Flash,
};

/// What the alarm scheduler and the reminder window need from the main window. The main frame
/// implements it; tests implement it with a recording fake, so the scheduler runs without a
/// window system.
class IAlarmFrame {
public:
    virtual ~IAlarmFrame() = default;

    /// Shows `kind` in the notification area; the frame tells the shell only when it differs
    /// from the image given last.
    virtual void SetTrayIcon(TrayIconKind kind) = 0;
    /// The notification icon's tooltip, already cut to its length.
    virtual void SetTrayTooltip(const std::string& text) = 0;
    /// The main window: disabled while the reminder window is open, owner of questions. May be
    /// null in tests.
    virtual QWidget* MainWindow() = 0;
    /// True while the main window is hidden or minimised (only the notification icon shows), so
    /// that an opening reminder window is also announced by a desktop notification.
    virtual bool IsMainWindowHidden() const = 0;
    /// The frame's busy state: 0 idle, 1 alarm check, 2 database window open, 3 sync merge.
    virtual int& BusyState() = 0;
    /// Opens the event editor for `event` (the reminder window's Edit); posted, so the reminder
    /// window is gone first.
    virtual void EditEvent(CDateEntry* event) = 0;
    /// Deletes `event` with the frame's own questions (the reminder window's Delete).
    virtual void DeleteEvent(CDateEntry* event) = 0;
    /// A desktop notification with a title and a text (a reminder window opened while the main
    /// window is hidden).
    virtual void ShowNotification(const std::string& title, const std::string& text) = 0;

protected:
    IAlarmFrame() = default;
    IAlarmFrame(const IAlarmFrame&) = default;
    IAlarmFrame& operator=(const IAlarmFrame&) = default;
};

} // namespace dv
