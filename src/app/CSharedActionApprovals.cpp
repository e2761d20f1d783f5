#include "app/CSharedActionApprovals.h"

#include "core/CDateEntry.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QString>

#include <utility>

namespace dv {

namespace {

constexpr int32_t kActionOpen = 1;
constexpr int32_t kActionRun = 2;
constexpr int32_t kShared = 1;

QString ToQString(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

} // namespace

CSharedActionApprovals::CSharedActionApprovals(std::filesystem::path file)
    : m_file(std::move(file)) {
    Load();
}

std::string CSharedActionApprovals::ActionText(const DateData& data) {
    if (data.Action == kActionOpen) {
        return data.DocumentFile;
    }
    if (data.Action == kActionRun) {
        return data.Parameter.empty() ? data.CmdLine : data.CmdLine + " " + data.Parameter;
    }
    return {};
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

void CSharedActionApprovals::NoteReceived(const CDateEntry& event) {
    const std::string key = ActionKey(event.GetData());
    auto found = m_entries.find(event.GetGUID());
    if (key.empty()) {
        if (found == m_entries.end()) {
            return;
        }
        m_entries.erase(found);
    } else {
        Entry& entry = m_entries[event.GetGUID()];
        if (entry.received == key) {
            return;
        }
        entry.received = key;
    }
    Save();
}

CSharedActionApprovals::Decision CSharedActionApprovals::Check(const CDateEntry& event) const {
    const std::string key = ActionKey(event.GetData());
    if (key.empty()) {
        return Decision::NotNeeded;
    }
    const auto found = m_entries.find(event.GetGUID());
    if (found != m_entries.end() && found->second.answered == key) {
        return found->second.approved ? Decision::Approved : Decision::Refused;
    }
    const bool received = found != m_entries.end() ? found->second.received == key
                                                   : m_damaged && event.GetStorageType() == kShared;
    return received ? Decision::Unknown : Decision::NotNeeded;
}

void CSharedActionApprovals::Record(const CDateEntry& event, bool approved) {
    const std::string key = ActionKey(event.GetData());
    if (key.empty()) {
        return;
    }
    Entry& entry = m_entries[event.GetGUID()];
    if (entry.received.empty()) {
        entry.received = key; // asked because the record was damaged: it came from elsewhere
    }
    entry.answered = key;
    entry.approved = approved;
    Save();
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
        m_damaged = true;
        return;
    }
    for (auto it = events.begin(); it != events.end(); ++it) {
        const QJsonObject value = it.value().toObject();
        Entry entry;
        entry.received = value.value(QStringLiteral("received")).toString().toStdString();
        entry.answered = value.value(QStringLiteral("answered")).toString().toStdString();
        entry.approved = value.value(QStringLiteral("approved")).toBool();
        m_entries.emplace(it.key().toStdString(), std::move(entry));
    }
}

void CSharedActionApprovals::Save() const {
    if (m_file.empty()) {
        return;
    }
    QJsonObject events;
    for (const auto& [guid, entry] : m_entries) {
        QJsonObject value;
        value.insert(QStringLiteral("received"), QString::fromStdString(entry.received));
        value.insert(QStringLiteral("answered"), QString::fromStdString(entry.answered));
        value.insert(QStringLiteral("approved"), entry.approved);
        events.insert(QString::fromStdString(guid), value);
    }
    QJsonObject root;
    root.insert(QStringLiteral("version"), 1);
    root.insert(QStringLiteral("events"), events);
    // Written whole or not at all; a failure keeps the old answers and the ones in memory.
    QSaveFile file(ToQString(m_file));
    if (file.open(QIODevice::WriteOnly)) {
        // Which commands the user let run is the user's business alone.
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        file.write(QJsonDocument(root).toJson());
        file.commit();
    }
}

} // namespace dv
