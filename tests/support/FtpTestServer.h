#pragma once

#include "document/FtpSession.h"

#include <filesystem>
#include <string>
#include <sys/types.h>

namespace dv::test {

/// A real FTP server (pyftpdlib) on 127.0.0.1 with a free port and a fresh temporary root, for
/// one test. A file ".refuse-rename" in the root makes every rename answer 550. The constructor
/// throws std::runtime_error with the reason (naming the package to install when pyftpdlib is
/// missing); the destructor stops the server and removes the root.
class FtpTestServer {
public:
    struct Options {
        std::string user = "dayvault";
        std::string password = "Secret-pw-42";
        /// Folder below the root that a login starts in (created); empty: the root itself.
        std::string startFolder;
        /// Bytes per second the server sends and receives on data connections; 0: no limit.
        int throttleBytesPerSecond = 0;
    };

    FtpTestServer();
    explicit FtpTestServer(Options options);
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    int Port() const { return m_port; }
    /// The folder that "/" on the server is.
    std::filesystem::path Root() const { return m_base / "root"; }
    /// The folder that relative server paths start from.
    std::filesystem::path LoginFolder() const { return Root() / m_options.startFolder; }
    /// This server's address with the right login, in passive or active mode.
    FtpEndpoint Endpoint(bool passive = true) const;
    /// Successful logins so far (each control connection logs in once).
    int LoginCount() const;

    /// Freezes the server (SIGSTOP): connections stay open but nothing answers; Resume undoes it.
    void Pause();
    void Resume();

private:
    void Stop();

    Options m_options;
    std::filesystem::path m_base; ///< temporary folder holding the root and the login log
    pid_t m_pid = -1;
    int m_stdin = -1;
    int m_port = 0;
    bool m_paused = false;
};

} // namespace dv::test
