#pragma once

#include "settings/IProfileStore.h"

#include <QSettings>
#include <memory>

namespace dv {

/// The platform's own settings store: QSettings in native format under the organisation
/// "Quillmark" and the application "Dayvault" (the current user's registry key on Windows, a
/// configuration file below the user's config folder elsewhere). Section names become groups.
/// Sections and keys are found without regard to ASCII case, as in the INI store, so a key
/// written in one spelling reads back in another.
class CQtProfileStore final : public IProfileStore {
public:
    static constexpr const char* kOrganisation = "Quillmark";
    static constexpr const char* kApplication = "Dayvault";

    CQtProfileStore();
    ~CQtProfileStore() override;
    CQtProfileStore(const CQtProfileStore&) = delete;
    CQtProfileStore& operator=(const CQtProfileStore&) = delete;

    std::optional<std::string> ReadRawString(std::string_view section,
                                             std::string_view key) const override;
    void WriteRawString(std::string_view section, std::string_view key,
                        std::string_view value) override;
    int32_t ReadRawInt(std::string_view section, std::string_view key,
                       int32_t defaultValue) const override;
    void WriteRawInt(std::string_view section, std::string_view key, int32_t value) override;
    void RemoveKey(std::string_view section, std::string_view key) override;
    /// Writes the pending values to the store; throws CFileException naming the store's file
    /// (or registry key) when it cannot be written.
    void Flush() override;

    /// Where the values live: the file, or the registry path on Windows.
    QString Location() const;

private:
    /// The stored spelling of section/key, or the given spelling when none is stored.
    QString StoredKey(std::string_view section, std::string_view key) const;

    std::unique_ptr<QSettings> m_settings;
};

} // namespace dv
