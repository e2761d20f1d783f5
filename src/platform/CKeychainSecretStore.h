#pragma once

#include "settings/ISecretStore.h"

#include <QString>
#include <chrono>

namespace dv {

/// The desktop's keyring through QtKeychain (Secret Service or KWallet on Linux, the credential
/// store on Windows, the keychain on macOS). Each call waits for its job in a local event loop
/// for at most the bound; a keyring that does not answer in time counts as unavailable for the
/// rest of the session, so that it never holds up the program twice.
class CKeychainSecretStore final : public ISecretStore {
public:
    static constexpr std::chrono::milliseconds kDefaultWait{3000};

    /// `service`: the name the secrets are filed under in the keyring.
    explicit CKeychainSecretStore(QString service = QStringLiteral("Dayvault"),
                                  std::chrono::milliseconds wait = kDefaultWait)
        : m_service(std::move(service)), m_wait(wait) {}

    ReadResult Read(std::string_view key) override;
    Status Write(std::string_view key, std::string_view secret) override;
    Status Remove(std::string_view key) override;

    /// True once a job ran out of time or found no keyring; no further job is started.
    bool GaveUp() const { return m_gaveUp; }

private:
    QString m_service;
    std::chrono::milliseconds m_wait;
    bool m_gaveUp = false;
};

} // namespace dv
