#pragma once

#include <string>
#include <string_view>

namespace dv {

/// A place for secrets outside the settings store: the desktop's keyring. Every call answers in
/// bounded time; a keyring that is missing, refuses or does not answer in time reports
/// Unavailable, and the caller keeps the secret in the settings store instead.
class ISecretStore {
public:
    enum class Status { Ok, NotFound, Unavailable };

    struct ReadResult {
        Status status = Status::Unavailable;
        std::string secret; ///< set when status is Ok
    };

    virtual ~ISecretStore() = default;

    /// The secret stored under `key`.
    virtual ReadResult Read(std::string_view key) = 0;
    /// Stores `secret` under `key`, replacing any earlier one: Ok or Unavailable.
    virtual Status Write(std::string_view key, std::string_view secret) = 0;
    /// Removes the secret under `key`: Ok, NotFound (there was none) or Unavailable.
    virtual Status Remove(std::string_view key) = 0;

protected:
    ISecretStore() = default;
    ISecretStore(const ISecretStore&) = default;
    ISecretStore& operator=(const ISecretStore&) = default;
};

} // namespace dv
