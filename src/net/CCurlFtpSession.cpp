#include "net/CCurlFtpSession.h"

#include "net/FtpUrl.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <unistd.h>

namespace dv {

namespace {

// ---- libcurl's process-wide state

// curl_global_init is not thread-safe, so the first session of any thread runs it exactly once.
CURLcode InitialiseCurlOnce() {
    static const CURLcode code = curl_global_init(CURL_GLOBAL_DEFAULT);
    return code;
}

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

bool IsValidServerName(std::string_view server) {
    return !server.empty() && std::all_of(server.begin(), server.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte > 0x20 && byte != 0x7f && c != '/' && c != '@' && c != '?' && c != '#' &&
               c != '[' && c != ']' && c != '%';
    });
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

std::unique_ptr<CCurlFtpSession> CCurlFtpSession::Open(const FtpEndpoint& endpoint,
                                                       const CurlFtpOptions& options,
                                                       const std::atomic<bool>* cancel,
                                                       std::string& error) {
    if (!IsValidServerName(endpoint.server)) {
        error = "FTP server name " + Quoted(endpoint.server) + " is not valid";
        return nullptr;
    }
    if (endpoint.port < 1 || endpoint.port > 65535) {
        error = "FTP port " + std::to_string(endpoint.port) + " is not within 1 to 65535";
        return nullptr;
    }
    if (HasLineBreakOrNul(endpoint.login) || HasLineBreakOrNul(endpoint.password)) {
        error = "FTP user name or password contains a line break";
        return nullptr;
    }
    if (InitialiseCurlOnce() != CURLE_OK) {
        error = "the network library could not be initialised";
        return nullptr;
    }
    CURL* handle = curl_easy_init();
    CURLM* multi = curl_multi_init();
    if (handle == nullptr || multi == nullptr) {
        curl_easy_cleanup(handle);
        curl_multi_cleanup(multi);
        error = "the network library could not create a connection handle";
        return nullptr;
    }
    const bool ipv6 = endpoint.server.find(':') != std::string::npos;
    const std::string host = ipv6 ? "[" + endpoint.server + "]" : endpoint.server;
    const std::string serverName = host + ":" + std::to_string(endpoint.port);
    std::unique_ptr<CCurlFtpSession> session(
        new CCurlFtpSession(handle, multi, "ftp://" + serverName + "/", serverName, cancel));
    session->ApplyCommonOptions(endpoint, options);

    // Log in now without transferring anything, so that a wrong password or an unreachable
    // server shows here and not in the middle of a synchronisation cycle.
    curl_easy_setopt(handle, CURLOPT_URL, session->m_baseUrl.c_str());
    curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
    const std::string user = endpoint.login.empty() ? "anonymous" : Quoted(endpoint.login);
    if (session->Perform("Login as " + user, "") != FtpResult::ok) {
        error = session->m_lastError;
        return nullptr;
    }
    session->ResetRequestOptions();
    session->m_lastError.clear();
    return session;
}

CCurlFtpSession::CCurlFtpSession(CURL* handle, CURLM* multi, std::string baseUrl,
                                 std::string serverName, const std::atomic<bool>* cancel)
    : m_handle(handle), m_multi(multi), m_baseUrl(std::move(baseUrl)),
      m_serverName(std::move(serverName)), m_cancel(cancel) {}

CCurlFtpSession::~CCurlFtpSession() {
    curl_easy_cleanup(m_handle);
    curl_multi_cleanup(m_multi);
}

void CCurlFtpSession::ApplyCommonOptions(const FtpEndpoint& endpoint,
                                         const CurlFtpOptions& options) {
    CURL* h = m_handle;
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp");
    // Worker threads must not get SIGALRM or SIGPIPE from the library.
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, m_curlError);
    // Credentials go in options only: they never appear in a URL that might be shown somewhere.
    if (!endpoint.login.empty()) {
        curl_easy_setopt(h, CURLOPT_USERNAME, endpoint.login.c_str());
        curl_easy_setopt(h, CURLOPT_PASSWORD, endpoint.password.c_str());
    }
    if (endpoint.passive) {
        curl_easy_setopt(h, CURLOPT_FTP_USE_EPSV, 1L);
        curl_easy_setopt(h, CURLOPT_FTPPORT, nullptr);
    } else {
        // "-": listen on the address of the control connection's own end.
        curl_easy_setopt(h, CURLOPT_FTPPORT, "-");
        curl_easy_setopt(h, CURLOPT_FTP_USE_EPRT, 1L);
    }
    // The whole path goes with RETR/STOR/DELE, so no folder state is carried between transfers
    // and absolute and relative paths mix freely on one connection.
    curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(options.connectTimeout.count()));
    curl_easy_setopt(
        h, CURLOPT_SERVER_RESPONSE_TIMEOUT,
        static_cast<long>(std::max<std::chrono::seconds::rep>(1, options.responseTimeout.count())));
    curl_easy_setopt(h, CURLOPT_ACCEPTTIMEOUT_MS,
                     static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           options.responseTimeout)
                                           .count()));
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, std::max(1L, options.stallBytesPerSecond));
    curl_easy_setopt(
        h, CURLOPT_LOW_SPEED_TIME,
        static_cast<long>(std::max<std::chrono::seconds::rep>(1, options.stallTime.count())));
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &CCurlFtpSession::OnProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, this);
    ResetRequestOptions();
}

void CCurlFtpSession::ResetRequestOptions() {
    CURL* h = m_handle;
    curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(h, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(h, CURLOPT_QUOTE, nullptr);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(-1));
    // Without a file the callbacks discard and supply nothing (libcurl's defaults use stdio).
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &CCurlFtpSession::OnWrite);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, &CCurlFtpSession::OnRead);
    curl_easy_setopt(h, CURLOPT_READDATA, nullptr);
}

int CCurlFtpSession::OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<CCurlFtpSession*>(self)->IsCancelled() ? 1 : 0;
}

std::size_t CCurlFtpSession::OnWrite(char* data, std::size_t size, std::size_t count, void* file) {
    if (file == nullptr) {
        return size * count;
    }
    return std::fwrite(data, size, count, static_cast<std::FILE*>(file)) * size;
}

std::size_t CCurlFtpSession::OnRead(char* data, std::size_t size, std::size_t count, void* file) {
    if (file == nullptr) {
        return 0;
    }
    auto* stream = static_cast<std::FILE*>(file);
    const std::size_t read = std::fread(data, size, count, stream);
    if (read == 0 && std::ferror(stream) != 0) {
        return CURL_READFUNC_ABORT;
    }
    return read * size;
}

FtpResult CCurlFtpSession::Fail(const std::string& operation, const std::string& file,
                                const std::string& reason) {
    m_lastError = operation + (file.empty() ? "" : " of " + Quoted(file)) + " on " + m_serverName +
                  " failed: " + reason;
    return FtpResult::failed;
}

CURLcode CCurlFtpSession::RunRequest() {
    // Our own loop instead of curl_easy_perform, whose one-second poll would otherwise delay
    // opening the data connection on a reused control connection; the short poll also lets
    // the cancel flag act within a fraction of a second.
    constexpr int kPollMs = 50;
    if (curl_multi_add_handle(m_multi, m_handle) != CURLM_OK) {
        return CURLE_FAILED_INIT;
    }
    CURLcode result = CURLE_OK;
    bool done = false;
    while (!done) {
        int running = 0;
        if (curl_multi_perform(m_multi, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == m_handle) {
                result = message->data.result;
                done = true;
            }
        }
        if (done) {
            break;
        }
        if (running == 0) {
            result = CURLE_FAILED_INIT; // ended without a result; should not happen
            break;
        }
        if (IsCancelled()) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (curl_multi_poll(m_multi, nullptr, 0, kPollMs, nullptr) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
    }
    curl_multi_remove_handle(m_multi, m_handle);
    return result;
}

FtpResult CCurlFtpSession::Perform(const std::string& operation, const std::string& file) {
    m_curlError[0] = '\0';
    m_lastCode = CURLE_OK;
    if (IsCancelled()) {
        m_lastCode = CURLE_ABORTED_BY_CALLBACK;
        return Fail(operation, file, "cancelled");
    }
    const CURLcode code = RunRequest();
    m_lastCode = code;
    if (code == CURLE_OK) {
        m_lastError.clear();
        return FtpResult::ok;
    }
    long reply = 0;
    curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &reply);
    if (code == CURLE_REMOTE_FILE_NOT_FOUND || (code == CURLE_QUOTE_ERROR && reply == 550)) {
        Fail(operation, file, "the file does not exist on the server");
        return FtpResult::missing;
    }
    if (code == CURLE_ABORTED_BY_CALLBACK) {
        return Fail(operation, file, "cancelled");
    }
    std::string reason = m_curlError[0] != '\0' ? m_curlError : curl_easy_strerror(code);
    if (reply >= 400) {
        reason += " (server reply " + std::to_string(reply) + ")";
    }
    return Fail(operation, file, reason);
}

FtpResult CCurlFtpSession::Download(const std::string& remotePath,
                                    const std::filesystem::path& localPath) {
    static const std::string kOperation = "Download";
    std::string error;
    const auto encoded = EncodeFtpPath(remotePath, error);
    if (!encoded) {
        return Fail(kOperation, remotePath, error);
    }
    // The transfer goes to a new file beside the target, which replaces the target only once
    // the whole file is there; a broken transfer leaves the target as it was.
    std::string tempName = localPath.string() + ".XXXXXX";
    const int fd = ::mkstemp(tempName.data());
    if (fd < 0) {
        return Fail(kOperation, remotePath,
                    "cannot create a temporary file beside " + Quoted(localPath.string()) + ": " +
                        std::strerror(errno));
    }
    const std::filesystem::path tempPath = tempName;
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        const int fdopenErrno = errno;
        ::close(fd);
        std::error_code removeError;
        std::filesystem::remove(tempPath, removeError);
        return Fail(kOperation, remotePath,
                    "cannot write the temporary file: " + std::string(std::strerror(fdopenErrno)));
    }
    const std::string url = m_baseUrl + *encoded;
    curl_easy_setopt(m_handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(m_handle, CURLOPT_WRITEDATA, file);
    FtpResult result = Perform(kOperation, remotePath);
    ResetRequestOptions();
    const bool written = std::fflush(file) == 0 && ::fsync(fd) == 0;
    const bool closed = std::fclose(file) == 0;
    std::error_code ec;
    if (result == FtpResult::ok && !(written && closed)) {
        result = Fail(kOperation, remotePath,
                      "cannot write " + Quoted(tempPath.string()) + ": " + std::strerror(errno));
    }
    if (result == FtpResult::ok) {
        if (std::filesystem::exists(localPath, ec)) {
            std::filesystem::permissions(tempPath,
                                         std::filesystem::status(localPath, ec).permissions(), ec);
        }
        std::filesystem::rename(tempPath, localPath, ec);
        if (ec) {
            result = Fail(kOperation, remotePath,
                          "cannot replace " + Quoted(localPath.string()) + ": " + ec.message());
        }
    }
    if (result != FtpResult::ok) {
        std::filesystem::remove(tempPath, ec);
    }
    return result;
}

FtpResult CCurlFtpSession::Upload(const std::filesystem::path& localPath,
                                  const std::string& remotePath) {
    static const std::string kOperation = "Upload";
    std::string error;
    const auto encoded = EncodeFtpPath(remotePath, error);
    if (!encoded) {
        return Fail(kOperation, remotePath, error);
    }
    std::error_code ec;
    const auto size = std::filesystem::file_size(localPath, ec);
    std::FILE* file = ec ? nullptr : std::fopen(localPath.c_str(), "rb");
    if (file == nullptr) {
        return Fail(kOperation, remotePath,
                    "cannot read the local file " + Quoted(localPath.string()) + ": " +
                        (ec ? ec.message() : std::string(std::strerror(errno))));
    }
    const std::string url = m_baseUrl + *encoded;
    curl_easy_setopt(m_handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(m_handle, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(m_handle, CURLOPT_READDATA, file);
    curl_easy_setopt(m_handle, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
    const FtpResult result = Perform(kOperation, remotePath);
    ResetRequestOptions();
    std::fclose(file);
    // A server cannot answer "no such file" to a store; a missing folder is a failure here.
    return result == FtpResult::missing ? FtpResult::failed : result;
}

FtpResult CCurlFtpSession::Delete(const std::string& remotePath) {
    return RunPathCommand("Delete", "DELE", remotePath);
}

FtpResult CCurlFtpSession::Rename(const std::string& from, const std::string& to) {
    static const std::string kOperation = "Rename";
    m_lastCode = CURLE_OK; // a refusal of an earlier command must not answer for this one
    std::string error;
    if (!EncodeFtpPath(from, error) || !EncodeFtpPath(to, error)) {
        return Fail(kOperation, from, error);
    }
    curl_slist* list = curl_slist_append(nullptr, ("RNFR " + from).c_str());
    std::unique_ptr<curl_slist, SlistDeleter> commands(list);
    if (list == nullptr || curl_slist_append(list, ("RNTO " + to).c_str()) == nullptr) {
        return Fail(kOperation, from, "out of memory");
    }
    return TakeRefusal(RunCommands(kOperation, from, commands.get()), kOperation, from,
                       "the server refused to rename it to " + Quoted(to));
}

FtpResult CCurlFtpSession::MakeDirectory(const std::string& remotePath) {
    return RunFolderCommand("Create folder", "MKD", remotePath);
}

FtpResult CCurlFtpSession::RemoveDirectory(const std::string& remotePath) {
    return RunFolderCommand("Remove folder", "RMD", remotePath);
}

FtpResult CCurlFtpSession::RunPathCommand(const std::string& operation, const std::string& verb,
                                          const std::string& remotePath) {
    m_lastCode = CURLE_OK; // a refusal of an earlier command must not answer for this one
    std::string error;
    if (!EncodeFtpPath(remotePath, error)) {
        return Fail(operation, remotePath, error);
    }
    // The command takes the rest of the line as the name, so spaces need no quoting; line
    // breaks were refused above.
    std::unique_ptr<curl_slist, SlistDeleter> commands(
        curl_slist_append(nullptr, (verb + " " + remotePath).c_str()));
    if (!commands) {
        return Fail(operation, remotePath, "out of memory");
    }
    return RunCommands(operation, remotePath, commands.get());
}

FtpResult CCurlFtpSession::RunCommands(const std::string& operation, const std::string& file,
                                       curl_slist* commands) {
    curl_easy_setopt(m_handle, CURLOPT_URL, m_baseUrl.c_str());
    curl_easy_setopt(m_handle, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(m_handle, CURLOPT_QUOTE, commands);
    const FtpResult result = Perform(operation, file);
    ResetRequestOptions();
    return result;
}

FtpResult CCurlFtpSession::TakeRefusal(FtpResult result, const std::string& operation,
                                       const std::string& file, const std::string& why) {
    if (result == FtpResult::ok || m_lastCode != CURLE_QUOTE_ERROR) {
        return result == FtpResult::missing ? FtpResult::failed : result;
    }
    long reply = 0;
    curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &reply);
    if (reply < 500 || reply > 599) {
        return FtpResult::failed; // a passing trouble (4xx) may go away: not an answer
    }
    Fail(operation, file, why + " (reply " + std::to_string(reply) + ")");
    return FtpResult::refused;
}

FtpResult CCurlFtpSession::RunFolderCommand(const std::string& operation, const std::string& verb,
                                            const std::string& remotePath) {
    return TakeRefusal(RunPathCommand(operation, verb, remotePath), operation, remotePath,
                       "the server refused it: the folder exists, is missing, is not empty or "
                       "may not be changed");
}

} // namespace dv
