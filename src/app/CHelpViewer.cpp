#include "app/CHelpViewer.h"

#include "format/StringIds.h"
#include "format/StringTable.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace dv {

namespace {

QString Text(uint32_t id) {
    return QString::fromStdString(LoadString(id));
}

} // namespace

CHelpViewer::CHelpViewer(const QUrl& page, QWidget* owner)
    : QWidget(owner, Qt::Window), m_contents(page) {
    setObjectName(QStringLiteral("HelpViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Text(kIdsManualTitle));
    m_browser = new QTextBrowser(this);
    m_browser->setOpenExternalLinks(true);
    auto* back = new QPushButton(Text(kIdsManualBack), this);
    auto* forward = new QPushButton(Text(kIdsManualForward), this);
    auto* contents = new QPushButton(Text(kIdsManualContents), this);
    back->setObjectName(QStringLiteral("Back"));
    forward->setObjectName(QStringLiteral("Forward"));
    contents->setObjectName(QStringLiteral("Contents"));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(contents, &QPushButton::clicked, this, [this] { m_browser->setSource(m_contents); });
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(contents);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    // A page's width of text, but never larger than the screen.
    QSize size(800, 700);
    if (const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    }
    resize(size);
    m_browser->setSource(page);
}

CHelpViewer* CHelpViewer::Show(const QUrl& page, QWidget* owner) {
    CHelpViewer* viewer =
        owner ? owner->findChild<CHelpViewer*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (viewer) {
        viewer->m_browser->setSource(page);
    } else {
        viewer = new CHelpViewer(page, owner);
    }
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

bool DesktopHasBrowser() {
    if (!qEnvironmentVariableIsEmpty("BROWSER")) {
        return true;
    }
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty()) {
        return true;
    }
    QProcess process;
    process.start(
        query, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    if (!process.waitForFinished(2000)) {
        process.kill();
        process.waitForFinished();
        return true;
    }
    return process.exitCode() == 0 && !process.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace dv
