#include "net/CCurlFtpConnector.h"

#include "net/CCurlFtpSession.h"

namespace dv {

CCurlFtpConnector::CCurlFtpConnector(CurlFtpOptions options) : m_options(options) {}

std::unique_ptr<IFtpSession> CCurlFtpConnector::Connect(const FtpEndpoint& endpoint,
                                                        const std::atomic<bool>* cancel,
                                                        std::string& error) {
    return CCurlFtpSession::Open(endpoint, m_options, cancel, error);
}

} // namespace dv
