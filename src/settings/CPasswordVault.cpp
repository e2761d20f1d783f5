#include "settings/CPasswordVault.h"

#include "settings/PasswordScrambler.h"
#include "settings/SettingsTable.h"

#include <exception>
#include <optional>

namespace dv {

namespace {

constexpr std::string_view kPasswordKey = "FtpPassword";

} // namespace

void CPasswordVault::Load(CSettings& settings, const IProfileStore& store) {
    settings.Load(store);
    m_unresolved = false;
    if (store.ReadRawString(CSettings::kSection, kPasswordKey) != kKeyringMarker) {
        return; // scrambled in the store, or none: Load has read it
    }
    settings.FtpPassword.clear();
    m_unresolved = true;
    Resolve(settings);
}

bool CPasswordVault::Resolve(CSettings& settings) {
    if (!m_unresolved || !m_keyring) {
        return !m_unresolved;
    }
    const ISecretStore::ReadResult result = m_keyring->Read(kSecretKey);
    if (result.status == ISecretStore::Status::Unavailable) {
        return false;
    }
    // NotFound: the keyring lost it (or another program removed it); there is none.
    settings.FtpPassword = result.secret;
    m_inKeyring = result.secret;
    m_unresolved = false;
    return true;
}

void CPasswordVault::Release(IProfileStore& oldStore, ISecretStore* oldKeyring) {
    if (m_unresolved) {
        return;
    }
    const std::optional<std::string> stored =
        oldStore.ReadRawString(CSettings::kSection, kPasswordKey);
    if (!stored || stored->empty()) {
        return;
    }
    if (*stored == kKeyringMarker && oldKeyring) {
        oldKeyring->Remove(kSecretKey);
        m_inKeyring.reset();
    }
    oldStore.WriteRawString(CSettings::kSection, kPasswordKey, "");
    try {
        oldStore.Flush();
    } catch (const std::exception&) {
        // The old store cannot be written: its copy stays, as it would without the switch.
    }
}

void CPasswordVault::Save(const CSettings& settings, IProfileStore& store) {
    const bool wasInKeyring =
        store.ReadRawString(CSettings::kSection, kPasswordKey) == kKeyringMarker;
    std::string stored; // the raw value of the key; empty: no password
    if (m_unresolved && settings.FtpPassword.empty()) {
        // The keyring still holds the password that could not be read; keep pointing there.
        stored = kKeyringMarker;
    } else if (!settings.FtpPassword.empty()) {
        if (m_keyring && wasInKeyring && m_inKeyring == settings.FtpPassword) {
            // Unchanged: no keyring call, which might even ask the user to unlock it.
            stored = kKeyringMarker;
        } else if (m_keyring &&
                   m_keyring->Write(kSecretKey, settings.FtpPassword) == ISecretStore::Status::Ok) {
            stored = kKeyringMarker;
            m_inKeyring = settings.FtpPassword;
        } else {
            stored = ScramblePassword(settings.FtpPassword);
        }
        m_unresolved = false;
    } else if (wasInKeyring && m_keyring) {
        // No password any more: none is left behind in the keyring either (best effort; a
        // keyring that is away keeps it, but nothing points to it).
        m_keyring->Remove(kSecretKey);
        m_inKeyring.reset();
    }
    WriteKeys(CSettings::Keys(), store, CSettings::kSection, settings);
    store.WriteRawString(CSettings::kSection, kPasswordKey, stored);
    store.Flush();
}

} // namespace dv
