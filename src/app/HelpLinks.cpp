#include "app/HelpLinks.h"

#include <QDir>
#include <QFileInfo>

namespace dv {

QUrl HomepageUrl(const std::string& homepage, const std::filesystem::path& programFolder) {
    const QString text = QString::fromStdString(homepage).trimmed();
    if (text.isEmpty()) {
        return {};
    }
    const QUrl url(text, QUrl::StrictMode);
    // One letter before the colon is a Windows drive ("C:\..."), not a scheme.
    if (url.isValid() && url.scheme().size() > 1) {
        return url;
    }
    QString path = text;
    path.replace(QLatin1Char('\\'), QLatin1Char('/')); // settings written on Windows
    if (QDir::isAbsolutePath(path)) {
        return QUrl::fromLocalFile(QDir::cleanPath(path));
    }
    const QString file = QDir::cleanPath(
        QDir(QString::fromStdString(programFolder.string())).absoluteFilePath(path));
    // A missing file whose first part looks like a host name is a web address without scheme.
    if (QFileInfo::exists(file) ||
        !path.section(QLatin1Char('/'), 0, 0).contains(QLatin1Char('.'))) {
        return QUrl::fromLocalFile(file);
    }
    return QUrl::fromUserInput(text);
}

} // namespace dv
