#pragma once

#include "document/FtpSession.h"
#include "net/CurlFtpOptions.h"

#include <atomic>
#include <cstdio>
#include <curl/curl.h>
#include <memory>
#include <string>

namespace dv {

/// One logged-in FTP session over a single libcurl easy handle, so every transfer of the session
/// reuses the same control connection (libcurl reconnects and logs in again by itself when the
/// server dropped it). Binary transfers; passive (EPSV, then PASV) or active mode per endpoint.
class CCurlFtpSession final : public IFtpSession {
public:
    /// Connects and logs in. Returns nullptr with the reason in `error` (never the password) when
    /// the endpoint is malformed, the server cannot be reached or refuses the login. `cancel`, when
    /// given, must outlive the session.
    static std::unique_ptr<CCurlFtpSession> Open(const FtpEndpoint& endpoint,
                                                 const CurlFtpOptions& options,
                                                 const std::atomic<bool>* cancel,
                                                 std::string& error);

    ~CCurlFtpSession() override;
    CCurlFtpSession(const CCurlFtpSession&) = delete;
    CCurlFtpSession& operator=(const CCurlFtpSession&) = delete;

    FtpResult Download(const std::string& remotePath,
                       const std::filesystem::path& localPath) override;
    FtpResult Upload(const std::filesystem::path& localPath,
                     const std::string& remotePath) override;
    FtpResult Delete(const std::string& remotePath) override;
    FtpResult Rename(const std::string& from, const std::string& to) override;
    FtpResult MakeDirectory(const std::string& remotePath) override;
    FtpResult RemoveDirectory(const std::string& remotePath) override;
    std::string LastError() const override { return m_lastError; }

private:
    CCurlFtpSession(CURL* handle, CURLM* multi, std::string baseUrl, std::string serverName,
                    const std::atomic<bool>* cancel);

    /// Sets the options every request of the session shares (login, mode, timeouts, callbacks).
    void ApplyCommonOptions(const FtpEndpoint& endpoint, const CurlFtpOptions& options);
    /// Clears what one request set, so the next one starts from the common options.
    void ResetRequestOptions();
    /// Drives the prepared request to its end and returns libcurl's result.
    CURLcode RunRequest();
    /// Runs the prepared request; on failure fills m_lastError from `operation` and `file`.
    FtpResult Perform(const std::string& operation, const std::string& file);
    FtpResult Fail(const std::string& operation, const std::string& file,
                   const std::string& reason);
    /// Sends one command that takes a server path (DELE, MKD, RMD) on the control connection.
    FtpResult RunPathCommand(const std::string& operation, const std::string& verb,
                             const std::string& remotePath);
    /// A folder command: a permanent refusal by the server (5xx) becomes `refused`.
    FtpResult RunFolderCommand(const std::string& operation, const std::string& verb,
                               const std::string& remotePath);
    /// Sends the prepared commands on the control connection, without a transfer.
    FtpResult RunCommands(const std::string& operation, const std::string& file,
                          curl_slist* commands);
    /// After a command's `result`: a permanent refusal (5xx) is the server's answer, `refused`,
    /// with `why` and the reply in the error; a passing trouble (4xx) or a lost connection is a
    /// failure.
    FtpResult TakeRefusal(FtpResult result, const std::string& operation, const std::string& file,
                          const std::string& why);
    bool IsCancelled() const { return m_cancel != nullptr && m_cancel->load(); }

    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    static std::size_t OnWrite(char* data, std::size_t size, std::size_t count, void* file);
    static std::size_t OnRead(char* data, std::size_t size, std::size_t count, void* file);

    CURL* m_handle;
    CURLM* m_multi;           ///< holds the connection between requests
    std::string m_baseUrl;    ///< "ftp://host:port/", never with credentials
    std::string m_serverName; ///< "host:port" for messages
    const std::atomic<bool>* m_cancel;
    char m_curlError[CURL_ERROR_SIZE] = {};
    CURLcode m_lastCode = CURLE_OK; ///< libcurl's result of the last request
    std::string m_lastError;
};

} // namespace dv
