#include "platform/CQtProfileStore.h"

#include "core/CFileException.h"
#include "settings/ProfileValues.h"

#include <QStringList>

namespace dv {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The entry of `names` equal to `wanted` without regard to case; `wanted` when there is none.
QString MatchCase(const QStringList& names, const QString& wanted) {
    if (names.contains(wanted)) {
        return wanted;
    }
    for (const QString& name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) {
            return name;
        }
    }
    return wanted;
}

} // namespace

CQtProfileStore::CQtProfileStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             kOrganisation, kApplication)) {}

CQtProfileStore::~CQtProfileStore() = default;

QString CQtProfileStore::Location() const {
    return m_settings->fileName();
}

QString CQtProfileStore::StoredKey(std::string_view section, std::string_view key) const {
    const QString group = MatchCase(m_settings->childGroups(), ToQString(section));
    m_settings->beginGroup(group);
    const QString name = MatchCase(m_settings->childKeys(), ToQString(key));
    m_settings->endGroup();
    return group + QLatin1Char('/') + name;
}

std::optional<std::string> CQtProfileStore::ReadRawString(std::string_view section,
                                                          std::string_view key) const {
    const QVariant value = m_settings->value(StoredKey(section, key));
    if (!value.isValid()) {
        return std::nullopt;
    }
    return value.toString().toStdString();
}

void CQtProfileStore::WriteRawString(std::string_view section, std::string_view key,
                                     std::string_view value) {
    m_settings->setValue(StoredKey(section, key), ToQString(value));
}

void CQtProfileStore::RemoveKey(std::string_view section, std::string_view key) {
    m_settings->remove(StoredKey(section, key));
}

int32_t CQtProfileStore::ReadRawInt(std::string_view section, std::string_view key,
                                    int32_t defaultValue) const {
    const QVariant value = m_settings->value(StoredKey(section, key));
    if (!value.isValid()) {
        return defaultValue;
    }
    // The registry hands back a number; a file-backed store hands back the text it wrote, which
    // is read as the profile functions read decimal text.
    if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::UInt ||
        value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::ULongLong) {
        return static_cast<int32_t>(value.toLongLong());
    }
    const std::string text = value.toString().toStdString();
    return text.empty() ? defaultValue : ParseProfileInt(text);
}

void CQtProfileStore::WriteRawInt(std::string_view section, std::string_view key, int32_t value) {
    m_settings->setValue(StoredKey(section, key), value);
}

void CQtProfileStore::Flush() {
    m_settings->sync();
    switch (m_settings->status()) {
    case QSettings::NoError:
        return;
    case QSettings::AccessError:
        throw CFileException(m_settings->fileName().toStdString(), "cannot write the settings");
    case QSettings::FormatError:
        throw CFileException(m_settings->fileName().toStdString(),
                             "the settings file is not in the expected format");
    }
}

} // namespace dv
