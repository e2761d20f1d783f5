#pragma once

#include <QString>

namespace dv {

/// The start-with-the-system entry: the value "Dayvault" of the current user's Run key on
/// Windows, an XDG autostart file ("autostart/dayvault.desktop" in the user's config folder)
/// elsewhere. The entry itself is the truth about the option, not the setting.
class CAutostartEntry {
public:
    /// `program` is the full path of the program file to start.
    explicit CAutostartEntry(QString program) : m_program(std::move(program)) {}

    /// True when the entry exists.
    bool Exists() const;
    /// Writes the entry (on) or removes it (off). False when that failed; nothing half-written
    /// is left.
    bool Apply(bool on) const;

    /// The autostart file (not used on Windows).
    static QString DesktopFilePath();
    /// The contents of the autostart file for `program`, quoted as desktop entries require.
    static QByteArray DesktopFileContents(const QString& program);

private:
    QString m_program;
};

} // namespace dv
