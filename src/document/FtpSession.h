#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

namespace dv {

/// Where the shared file's FTP server is and how to log in. The password is only ever handed to
/// the transport; nothing that reports on a session may show it.
struct FtpEndpoint {
    std::string server;   ///< host name or address
    int port = 21;        ///< 1 .. 65535
    std::string login;    ///< empty: anonymous
    std::string password; ///< plain text (the settings keep it scrambled)
    bool passive = true;  ///< passive mode; false: active mode
};

/// The result of one transfer. A missing file is told apart from a failed transfer, so that a
/// missing time-stamp file means "no time stamp" while a dropped connection ends the cycle.
enum class FtpResult {
    ok,
    missing, ///< the server answered that the file does not exist
    refused, ///< the server refused a folder command for good: exists, not there, not empty,
             ///< not permitted (servers answer all of these alike)
    failed,  ///< anything else: connection lost, timeout, local file error, cancelled
};

/// One open connection to an FTP server. All transfers are binary. Paths on the server are given
/// as the user wrote them in the settings ("shared/events.dat" relative to the login folder,
/// "/srv/events.dat" absolute). Used by one thread at a time.
class IFtpSession {
public:
    virtual ~IFtpSession() = default;
    /// Copies the server file `remotePath` into the local file `localPath`, which is replaced
    /// only when the whole file arrived (on any other result it keeps its previous contents).
    virtual FtpResult Download(const std::string& remotePath,
                               const std::filesystem::path& localPath) = 0;
    /// Stores the local file `localPath` on the server as `remotePath`, replacing it.
    virtual FtpResult Upload(const std::filesystem::path& localPath,
                             const std::string& remotePath) = 0;
    /// Removes `remotePath` from the server; `missing` when it was not there.
    virtual FtpResult Delete(const std::string& remotePath) = 0;
    /// Renames `from` to `to` (RNFR, RNTO), replacing `to` where the server allows it.
    /// `refused` when the server refuses (5xx: renames not permitted, `to` exists, `from` gone).
    virtual FtpResult Rename(const std::string& from, const std::string& to) = 0;
    /// Creates the folder `remotePath` (its parent must exist). `refused` when the server will
    /// not create it, above all because it exists already: creating a folder is the one
    /// operation that every server does atomically, so it serves as a lock.
    virtual FtpResult MakeDirectory(const std::string& remotePath) = 0;
    /// Removes the empty folder `remotePath`; `refused` when it is not there, not empty or the
    /// server does not permit it.
    virtual FtpResult RemoveDirectory(const std::string& remotePath) = 0;
    /// Why the last transfer did not succeed, for logs and the status display: names the file
    /// and the server's or the transport's reason, never the password. Empty after success.
    virtual std::string LastError() const = 0;
};

/// Opens FTP sessions. The desktop program and dayvault-cli use the libcurl implementation
/// (src/net); tests of the synchronisation cycle may use an in-memory one.
class IFtpConnector {
public:
    virtual ~IFtpConnector() = default;
    /// Connects and logs in. Returns nullptr when the server cannot be reached or refuses the
    /// login, with the reason in `error` (no password in it). Every network wait of the session
    /// is bounded by a timeout, and a transfer in progress ends with `failed` soon after `cancel`
    /// (when given) becomes true, so that a dead or slow server never holds the caller for long.
    virtual std::unique_ptr<IFtpSession>
    Connect(const FtpEndpoint& endpoint, const std::atomic<bool>* cancel, std::string& error) = 0;
};

} // namespace dv
