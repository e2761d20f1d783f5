#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdint>

namespace dv {

namespace {

// The area of the overlap of [x, x + w) x [y, y + h) with a screen, in 64 bits so that stored
// extremes cannot overflow.
// The part of a window that must stay on its screen, so that it can be grabbed and moved.
constexpr int64_t kReachable = 100;
// The title bar and borders that the window manager adds around a window.
constexpr QSize kFrame{16, 48};

int64_t Overlap(int64_t x, int64_t y, int64_t w, int64_t h, const QRect& screen) {
    const int64_t left = std::max<int64_t>(x, screen.x());
    const int64_t top = std::max<int64_t>(y, screen.y());
    const int64_t right = std::min<int64_t>(x + w, int64_t{screen.x()} + screen.width());
    const int64_t bottom = std::min<int64_t>(y + h, int64_t{screen.y()} + screen.height());
    return right > left && bottom > top ? (right - left) * (bottom - top) : 0;
}

} // namespace

QRect FitToScreens(int storedX, int storedY, int storedWidth, int storedHeight,
                   const QList<QRect>& screens) {
    const int64_t x = storedX;
    const int64_t y = storedY;
    const int64_t w = std::max(storedWidth, 0);
    const int64_t h = std::max(storedHeight, 0);
    QRect screen = screens.isEmpty() ? QRect(0, 0, 1024, 768) : screens.front();
    int64_t best = 0;
    for (const QRect& candidate : screens) {
        if (const int64_t area = Overlap(x, y, w, h, candidate); area > best) {
            best = area;
            screen = candidate;
        }
    }
    const int width = static_cast<int>(std::clamp<int64_t>(
        w, std::min(kMinimumMainWindow.width(), screen.width()), screen.width()));
    const int height = static_cast<int>(std::clamp<int64_t>(
        h, std::min(kMinimumMainWindow.height(), screen.height()), screen.height()));
    if (best == 0) {
        // Shown on no screen at all: the middle of the primary one.
        return QRect(screen.x() + (screen.width() - width) / 2,
                     screen.y() + (screen.height() - height) / 2, width, height);
    }
    // Where the user left it, as long as its title bar can be reached.
    const int64_t grip = std::min<int64_t>(kReachable, width);
    const int left = static_cast<int>(std::clamp<int64_t>(
        x, int64_t{screen.x()} - (width - grip), int64_t{screen.x()} + screen.width() - grip));
    const int top = static_cast<int>(
        std::clamp<int64_t>(y, screen.y(), int64_t{screen.y()} + screen.height() - kReachable));
    return QRect(left, top, width, height);
}

QSize FitToScreen(QSize wanted, const QWidget* window) {
    const QWidget* anchor = window && window->parentWidget() ? window->parentWidget() : window;
    const QScreen* screen = anchor ? anchor->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return wanted;
    }
    return wanted.boundedTo(screen->availableGeometry().size() - kFrame);
}

QRect FirstStartGeometry(const QRect& screen) {
    // Most of the screen, but not a wall of empty cells on a large one; the window manager's
    // frame must fit too.
    const QSize room = screen.size() - kFrame;
    const int width = std::clamp(room.width() * 85 / 100, std::min(1024, room.width()), 1600);
    const int height = std::clamp(room.height() * 85 / 100, std::min(728, room.height()), 1100);
    return QRect(screen.x() + (screen.width() - width) / 2,
                 screen.y() + (screen.height() - height) / 2, width, height);
}

bool FirstStartMaximized(const QRect& screen) {
    constexpr int kRoomyScreenWidth = 1600;
    return screen.width() < kRoomyScreenWidth;
}

} // namespace dv
