#pragma once

#include <string>

namespace dv {

/// Desktop notifications through the freedesktop notification service on the session bus.
class CDesktopNotifier {
public:
    /// Shows a notification titled `title` with `text` (sent without waiting for an answer).
    /// False when no notification service runs (no session bus, or nobody owns
    /// org.freedesktop.Notifications); the caller then uses the notification icon's message.
    bool Notify(const std::string& title, const std::string& text);
};

} // namespace dv
