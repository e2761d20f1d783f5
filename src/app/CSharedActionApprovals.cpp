#include "app/CSharedActionApprovals.h"

#include "format/StringIds.h"
#include "format/StringTable.h"

#include <QChar>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSaveFile>
#include <QString>

#include <cstdio>
#include <optional>
#include <utility>

namespace dv {

namespace {

constexpr int32_t kActionOpen = 1;
constexpr int32_t kActionRun = 2;
constexpr int32_t kShared = 1;

QString ToQString(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

// Characters that show as nothing, break the line or reorder what follows them.
bool IsInvisible(char32_t code) {
    switch (QChar::category(code)) {
    case QChar::Other_Control:       // C0, DEL, C1, line feeds and tabs
    case QChar::Other_Format:        // direction marks, overrides and isolates; zero-width ones
    case QChar::Other_Surrogate:     // never valid alone
    case QChar::Separator_Line:      // U+2028
    case QChar::Separator_Paragraph: // U+2029
        return true;
    default:
        return false;
    }
}

} // namespace

CSharedActionApprovals::CSharedActionApprovals(std::filesystem::path file)
    : m_file(std::move(file)) {
    Load();
}

std::string CSharedActionApprovals::MakeInvisiblesVisible(const std::string& text) {
    const QString decoded = QString::fromStdString(text);
    QString shown;
    for (const char32_t code : decoded.toUcs4()) {
        if (IsInvisible(code)) {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "<U+%04X>", static_cast<unsigned>(code));
            shown += QLatin1String(buffer);
        } else {
            shown += QString::fromUcs4(&code, 1);
        }
    }
    return shown.toStdString();
}

std::vector<std::string> CSharedActionApprovals::ActionLines(const DateData& data) {
    std::vector<std::string> lines;
    if (data.Action == kActionOpen) {
        lines.push_back(FormatString(kIdsActionLineDocument, MakeInvisiblesVisible(data.DocumentFile)));
    } else if (data.Action == kActionRun) {
        // Trimmed and split exactly as the launcher does it, so the lines are what runs.
        lines.push_back(FormatString(
            kIdsActionLineProgram,
            MakeInvisiblesVisible(QString::fromStdString(data.CmdLine).trimmed().toStdString())));
        const QStringList arguments = QProcess::splitCommand(QString::fromStdString(data.Parameter));
        for (qsizetype i = 0; i < arguments.size(); ++i) {
            lines.push_back(FormatString(
                kIdsActionLineArgument,
                {std::to_string(i + 1), MakeInvisiblesVisible(arguments[i].toStdString())}));
        }
    }
    return lines;
}

// Field by field with separators that no path or command holds, so that moving text from the
// command into the parameters is a different action.
std::string CSharedActionApprovals::ActionKey(const DateData& data) {
    if (data.Action == kActionOpen) {
        return "open\n" + data.DocumentFile;
    }
    if (data.Action == kActionRun) {
        return "run\n" + data.CmdLine + '\n' + data.Parameter;
    }
    return {};
}

CSharedActionApprovals::Decision CSharedActionApprovals::Check(const DateData& data) const {
    const std::string key = ActionKey(data);
    if (key.empty()) {
        return Decision::NotNeeded;
    }
    const auto found = m_entries.find(data.GUID);
    if (data.StorageType != kShared && (found == m_entries.end() || !found->second.received)) {
        return Decision::NotNeeded;
    }
    if (found != m_entries.end() && found->second.answered == key) {
        return found->second.approved ? Decision::Approved : Decision::Refused;
    }
    return Decision::Unknown;
}

bool CSharedActionApprovals::Record(const DateData& data, bool approved) {
    const std::string key = ActionKey(data);
    if (key.empty()) {
        return false;
    }
    const auto previous = m_entries.find(data.GUID);
    const bool received = previous != m_entries.end() && previous->second.received;
    return Store(data.GUID, Entry{key, approved, received});
}

bool CSharedActionApprovals::NoteReceived(const DateData& data) {
    if (ActionKey(data).empty()) {
        return true;
    }
    // An earlier answer was about another action, or about none: this one is asked anew.
    return Store(data.GUID, Entry{std::string(), false, true});
}

bool CSharedActionApprovals::Store(const std::string& guid, Entry entry) {
    const auto previous = m_entries.find(guid);
    const std::optional<Entry> before =
        previous != m_entries.end() ? std::optional<Entry>(previous->second) : std::nullopt;
    m_entries[guid] = std::move(entry);
    if (Save()) {
        return true;
    }
    // Not kept where the next start finds it: not kept at all, so the user is asked again.
    if (before) {
        m_entries[guid] = *before;
    } else {
        m_entries.erase(guid);
    }
    return false;
}

void CSharedActionApprovals::Load() {
    if (m_file.empty()) {
        return;
    }
    QFile file(ToQString(m_file));
    if (!file.exists()) {
        return;
    }
    QJsonParseError error{};
    const QJsonDocument json =
        file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll(), &error)
                                       : QJsonDocument();
    const QJsonObject events = json.object().value(QStringLiteral("events")).toObject();
    if (!json.isObject() || error.error != QJsonParseError::NoError) {
        // Kept for whoever wants to look; the next answer writes a new file.
        file.close();
        QFile::remove(ToQString(m_file) + QStringLiteral(".damaged"));
        QFile::rename(ToQString(m_file), ToQString(m_file) + QStringLiteral(".damaged"));
        return;
    }
    for (auto it = events.begin(); it != events.end(); ++it) {
        const QJsonObject value = it.value().toObject();
        Entry entry;
        entry.answered = value.value(QStringLiteral("answered")).toString().toStdString();
        entry.approved = value.value(QStringLiteral("approved")).toBool();
        entry.received = value.value(QStringLiteral("received")).toBool();
        if (!entry.answered.empty() || entry.received) {
            m_entries.emplace(it.key().toStdString(), std::move(entry));
        }
    }
}

bool CSharedActionApprovals::Save() const {
    if (m_file.empty()) {
        return true;
    }
    QJsonObject events;
    for (const auto& [guid, entry] : m_entries) {
        QJsonObject value;
        value.insert(QStringLiteral("answered"), QString::fromStdString(entry.answered));
        value.insert(QStringLiteral("approved"), entry.approved);
        if (entry.received) {
            value.insert(QStringLiteral("received"), true);
        }
        events.insert(QString::fromStdString(guid), value);
    }
    QJsonObject root;
    root.insert(QStringLiteral("version"), 2);
    root.insert(QStringLiteral("events"), events);
    // Written whole or not at all; a failure keeps the old answers on disk.
    QSaveFile file(ToQString(m_file));
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    // Which commands the user let run is the user's business alone.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return file.write(QJsonDocument(root).toJson()) >= 0 && file.commit();
}

} // namespace dv
