#include "support/FtpTestServer.h"

#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace dv::test {

namespace {

constexpr const char* kPython = "/usr/bin/python3";
constexpr int kStartTimeoutMs = 15000;

std::runtime_error Error(const std::string& what) {
    return std::runtime_error("FTP test server: " + what);
}

std::runtime_error ErrnoError(const std::string& what) {
    return Error(what + ": " + std::strerror(errno));
}

// Reads what the server prints until the "PORT" line, a missing-library note or end of output.
std::string ReadStartLine(int fd) {
    std::string text;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (text.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            throw Error("did not report its port within " + std::to_string(kStartTimeoutMs) +
                        " ms");
        }
        pollfd poller{fd, POLLIN, 0};
        if (::poll(&poller, 1, static_cast<int>(left.count())) < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw ErrnoError("waiting for its port");
        }
        std::array<char, 256> buffer{};
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got <= 0) {
            break;
        }
        text.append(buffer.data(), static_cast<std::size_t>(got));
    }
    return text.substr(0, text.find('\n'));
}

} // namespace

FtpTestServer::FtpTestServer() : FtpTestServer(Options{}) {}

FtpTestServer::FtpTestServer(Options options) : m_options(std::move(options)) {
    std::string base = (std::filesystem::temp_directory_path() / "dayvault-ftp-XXXXXX").string();
    if (::mkdtemp(base.data()) == nullptr) {
        throw ErrnoError("cannot create a temporary folder");
    }
    m_base = base;
    m_root = m_base / "root";
    std::filesystem::create_directories(LoginFolder());
    Launch();
}

void FtpTestServer::Restart(Options options) {
    Stop();
    m_options = std::move(options);
    m_port = 0;
    std::filesystem::create_directories(LoginFolder());
    Launch();
}

void FtpTestServer::Launch() {
    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0) {
        throw ErrnoError("pipe");
    }
    if (::pipe2(output, O_CLOEXEC) != 0) {
        ::close(input[0]);
        ::close(input[1]);
        throw ErrnoError("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    const std::string log = (m_base / "logins.txt").string();
    std::vector<std::string> args = {kPython,
                                     DAYVAULT_FTP_SERVER_SCRIPT,
                                     "--root",
                                     m_root.string(),
                                     "--user",
                                     m_options.user,
                                     "--password",
                                     m_options.password,
                                     "--start",
                                     m_options.startFolder,
                                     "--log",
                                     log,
                                     "--throttle",
                                     std::to_string(m_options.throttleBytesPerSecond),
                                     "--upload-throttle",
                                     std::to_string(m_options.uploadThrottleBytesPerSecond)};
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const int spawned = ::posix_spawn(&m_pid, kPython, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    m_stdin = input[1];
    if (spawned != 0) {
        ::close(output[0]);
        m_pid = -1;
        Stop();
        throw Error(std::string("cannot start ") + kPython + ": " + std::strerror(spawned));
    }
    std::string line;
    try {
        line = ReadStartLine(output[0]);
    } catch (...) {
        ::close(output[0]);
        Stop();
        throw;
    }
    ::close(output[0]);
    if (line.rfind("PORT ", 0) == 0) {
        m_port = std::atoi(line.c_str() + 5);
    }
    if (m_port <= 0) {
        Stop();
        if (line.rfind("MISSING", 0) == 0) {
            throw Error("Python's pyftpdlib is not installed; install the Debian package "
                        "python3-pyftpdlib (make test installs it)");
        }
        throw Error("did not start (it printed \"" + line + "\")");
    }
}

FtpTestServer::~FtpTestServer() {
    Stop();
    std::error_code ec;
    std::filesystem::remove_all(m_base, ec);
}

FtpEndpoint FtpTestServer::Endpoint(bool passive) const {
    FtpEndpoint endpoint;
    endpoint.server = "127.0.0.1";
    endpoint.port = m_port;
    endpoint.login = m_options.user;
    endpoint.password = m_options.password;
    endpoint.passive = passive;
    return endpoint;
}

int FtpTestServer::LoginCount() const {
    std::ifstream log(m_base / "logins.txt");
    int count = 0;
    for (std::string line; std::getline(log, line);) {
        ++count;
    }
    return count;
}

void FtpTestServer::Stop() {
    if (m_stdin >= 0) {
        ::close(m_stdin);
        m_stdin = -1;
    }
    if (m_pid <= 0) {
        return;
    }
    if (m_paused) {
        ::kill(m_pid, SIGCONT);
        m_paused = false;
    }
    ::kill(m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (::waitpid(m_pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    m_pid = -1;
}

void FtpTestServer::Pause() {
    if (m_pid > 0 && !m_paused) {
        ::kill(m_pid, SIGSTOP);
        m_paused = true;
    }
}

void FtpTestServer::Resume() {
    if (m_pid > 0 && m_paused) {
        ::kill(m_pid, SIGCONT);
        m_paused = false;
    }
}

int FtpTestServer::UnusedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        throw ErrnoError("socket");
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        throw ErrnoError("finding a free port");
    }
    ::close(fd);
    return ntohs(address.sin_port);
}

} // namespace dv::test
