#pragma once

#include "settings/CSettings.h"
#include "settings/ISecretStore.h"

#include <optional>
#include <string>
#include <string_view>

namespace dv {

/// Loads and saves the settings with the FTP password in its place. While the program runs the
/// settings object holds the password in plain text, so that whoever needs it (the
/// synchronisation worker) never learns where it is kept. In the store it is either scrambled
/// (an INI store, or no keyring answers) or in the desktop's keyring, the store's value then
/// being only kKeyringMarker.
///
/// A scrambled value in the store always wins over the keyring: saving to the keyring replaces
/// it by the marker, so a scrambled value there was written later, while the keyring was away.
class CPasswordVault {
public:
    /// What the store's FtpPassword holds while the keyring keeps the password. Not a scrambled
    /// value, so anything that reads the key as a password reads the empty one.
    static constexpr std::string_view kKeyringMarker = "<keyring>";
    /// The name of the password in the keyring.
    static constexpr std::string_view kSecretKey = "FtpPassword";

    /// `keyring` (not owned) keeps the password of the store; null: the store keeps it itself.
    void SetKeyring(ISecretStore* keyring) {
        m_keyring = keyring;
        m_inKeyring.reset();
    }
    ISecretStore* Keyring() const { return m_keyring; }

    /// CSettings::Load, then the password from the keyring when the store says it lies there.
    void Load(CSettings& settings, const IProfileStore& store);
    /// CSettings::Save with the password in the keyring when one answers, else scrambled. Throws
    /// what the store's Flush throws.
    void Save(const CSettings& settings, IProfileStore& store);

    /// True when the store names the keyring but the keyring could not be read: the settings
    /// then hold no password, and saving keeps the keyring's until the user types a new one.
    bool Unresolved() const { return m_unresolved; }
    /// Tries the keyring again for an unresolved password; true when it is resolved now.
    bool Resolve(CSettings& settings);
    /// After a switch of stores: `oldStore` (whose keyring was `oldKeyring`) lets go of the
    /// password, which the settings carry to the new store; the keyring entry goes too. Nothing
    /// happens while the password is unresolved, since the old place holds the only copy.
    void Release(IProfileStore& oldStore, ISecretStore* oldKeyring);
    /// The user removed the password: an unresolved one is dropped too at the next save.
    void ForgetUnresolved() { m_unresolved = false; }

private:
    ISecretStore* m_keyring = nullptr;
    bool m_unresolved = false;
    std::optional<std::string> m_inKeyring; // what the keyring holds, as far as known
};

} // namespace dv
