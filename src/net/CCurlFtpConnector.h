#pragma once

#include "document/FtpSession.h"
#include "net/CurlFtpOptions.h"

namespace dv {

/// Opens FTP sessions over libcurl with the waits of `options`.
class CCurlFtpConnector final : public IFtpConnector {
public:
    explicit CCurlFtpConnector(CurlFtpOptions options = {});

    /// Logs in to `endpoint`; nullptr with the reason in `error` (no password in it) when the
    /// server cannot be reached within the connect timeout or refuses the login.
    std::unique_ptr<IFtpSession> Connect(const FtpEndpoint& endpoint,
                                         const std::atomic<bool>* cancel,
                                         std::string& error) override;

private:
    CurlFtpOptions m_options;
};

} // namespace dv
