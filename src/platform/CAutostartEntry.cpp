#include "platform/CAutostartEntry.h"

#include "format/StringIds.h"
#include "format/StringTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

namespace dv {

namespace {

[[maybe_unused]] constexpr const char* kRunKey =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

QString EntryName() {
    return QString::fromStdString(LoadString(kIdsAppTitle));
}

// An argument of an Exec line: in double quotes, with the characters that keep a meaning
// inside them escaped by a backslash.
QString QuoteExecArgument(const QString& argument) {
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    quoted += '"';
    // Exec values are themselves string values, whose backslashes are escaped once more.
    return quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
}

} // namespace

QString CAutostartEntry::DesktopFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/dayvault.desktop");
}

QByteArray CAutostartEntry::DesktopFileContents(const QString& program) {
    QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=") + EntryName() +
                   QStringLiteral("\nExec=") + QuoteExecArgument(program) +
                   QStringLiteral("\nIcon=dayvault\nTerminal=false\n"
                                  "X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

bool CAutostartEntry::Exists() const {
#ifdef Q_OS_WIN
    return QSettings(kRunKey, QSettings::NativeFormat).contains(EntryName());
#else
    return QFileInfo::exists(DesktopFilePath());
#endif
}

bool CAutostartEntry::Apply(bool on) const {
#ifdef Q_OS_WIN
    QSettings run(kRunKey, QSettings::NativeFormat);
    if (on) {
        run.setValue(EntryName(), QDir::toNativeSeparators(m_program));
    } else {
        run.remove(EntryName());
    }
    run.sync();
    return run.status() == QSettings::NoError;
#else
    const QString path = DesktopFilePath();
    if (!on) {
        return !QFileInfo::exists(path) || QFile::remove(path);
    }
    if (!QDir().mkpath(QFileInfo(path).path())) {
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(DesktopFileContents(m_program));
    return file.commit();
#endif
}

} // namespace dv
