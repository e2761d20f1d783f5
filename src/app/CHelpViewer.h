#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace dv {

/// The manual inside the program, for a desktop where no browser opens it: a window over the
/// same HTML pages, with back, forward and the contents page. Links to other sites go to the
/// desktop's handler.
class CHelpViewer final : public QWidget {
    Q_OBJECT
public:
    /// Shows `page` (a local HTML file) in a window of its own belonging to `owner`.
    CHelpViewer(const QUrl& page, QWidget* owner);

    /// Shows `page`, reusing `owner`'s viewer when one is open, and brings it to the front.
    static CHelpViewer* Show(const QUrl& page, QWidget* owner);

    QTextBrowser* Browser() const { return m_browser; }

private:
    QTextBrowser* m_browser = nullptr;
    QUrl m_contents;
};

/// True when the desktop names a program for HTML pages (xdg-mime's default, or $BROWSER);
/// false when it plainly has none. Without xdg-mime the answer is left to the opener: true.
bool DesktopHasBrowser();

} // namespace dv
