#include "platform/CQtLauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

namespace dv {

namespace {

// "https://...", "mailto:...", "file:///..." name an address; "C:\x" and "/x" name files.
bool IsAddress(const QString& text) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(text).hasMatch();
}

} // namespace

bool CQtLauncher::OpenDocument(const std::string& document) {
    const QString text = QString::fromStdString(document).trimmed();
    if (text.isEmpty()) {
        return false;
    }
    if (IsAddress(text)) {
        const QUrl url(text);
        if (!url.isValid()) {
            return false;
        }
        if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) {
            return false;
        }
        return QDesktopServices::openUrl(url);
    }
    if (!QFileInfo::exists(text)) {
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath()));
}

bool CQtLauncher::RunCommand(const std::string& command, const std::string& parameters) {
    const QString program = QString::fromStdString(command).trimmed();
    if (program.isEmpty()) {
        return false;
    }
    const QStringList arguments = QProcess::splitCommand(QString::fromStdString(parameters));
    const QFileInfo info(program);
    if (arguments.isEmpty() && info.isFile() && !info.isExecutable()) {
        // A document given as the command: open it with its program.
        return OpenDocument(command);
    }
    return QProcess::startDetached(program, arguments);
}

} // namespace dv
