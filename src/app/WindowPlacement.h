#pragma once

#include <QList>
#include <QRect>

class QWidget;

namespace dv {

/// The main window's smallest sensible normal size.
inline constexpr QSize kMinimumMainWindow{480, 320};

/// A window placement read from the settings (left, top, width, height), made visible: the
/// size is cut to the screen (by available geometry) that shows most of it and raised to the
/// minimum; the window stays where it was as long as its top edge and 100 pixels of it are on
/// that screen, else it is moved so that they are. On no screen at all, it is centred on the
/// first of `screens` (the primary). Any stored numbers are accepted, the extremes of 32 bits
/// included (they never reach a QRect, whose corners would overflow).
QRect FitToScreens(int x, int y, int width, int height, const QList<QRect>& screens);

/// `wanted` cut to the available area of the screen `window` is on (or will be on: its
/// parent's, else the primary), leaving room for the window manager's frame.
QSize FitToScreen(QSize wanted, const QWidget* window);

/// The first start's window on a screen of that available geometry: large enough for the
/// month page with the sidebar, not the whole screen, centred.
QRect FirstStartGeometry(const QRect& screen);

/// Whether the first start opens maximised on a screen of that available geometry: below the
/// width at which most of the screen still gives the month's seven columns, beside the sidebar,
/// room for a start time and a readable title.
bool FirstStartMaximized(const QRect& screen);

} // namespace dv
