#include "support/FtpTestServer.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdexcept>
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

// What the server prints up to its first line ("PORT n" or a missing-library note), or up to
// the end of its output or the start timeout.
std::string ReadStartLine(int fd) {
    std::string text;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (text.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd poller{fd, POLLIN, 0};
        if (::poll(&poller, 1, 100) <= 0) {
            continue;
        }
        char buffer[256];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<size_t>(got));
    }
    return text.substr(0, text.find('\n'));
}

} // namespace

FtpTestServer::FtpTestServer() : FtpTestServer(Options{}) {}

FtpTestServer::FtpTestServer(Options options) : m_options(std::move(options)) {
    std::string base = (std::filesystem::temp_directory_path() / "dayvault-ftp-XXXXXX").string();
    if (::mkdtemp(base.data()) == nullptr) {
        throw Error(std::string("cannot create a temporary folder: ") + std::strerror(errno));
    }
    m_base = base;
    std::filesystem::create_directories(LoginFolder());
    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0) {
        throw Error(std::string("pipe: ") + std::strerror(errno));
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    std::vector<std::string> args = {
        kPython,      DAYVAULT_FTP_SERVER_SCRIPT,
        "--root",     Root().string(),
        "--user",     m_options.user,
        "--password", m_options.password,
        "--start",    m_options.startFolder,
        "--log",      (m_base / "logins").string(),
        "--throttle", std::to_string(m_options.throttleBytesPerSecond)};
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const int spawned = ::posix_spawn(&m_pid, kPython, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    m_stdin = input[1]; // the server ends when this closes
    const std::string line = spawned == 0 ? ReadStartLine(output[0]) : std::strerror(spawned);
    ::close(output[0]);
    if (spawned != 0) {
        m_pid = -1;
    }
    if (line.rfind("PORT ", 0) == 0) {
        m_port = std::atoi(line.c_str() + 5);
    }
    if (m_port <= 0) {
        Stop();
        std::filesystem::remove_all(m_base);
        if (line.rfind("MISSING", 0) == 0) {
            throw Error("Python's pyftpdlib is not installed; install the Debian package "
                        "python3-pyftpdlib (make test installs it)");
        }
        throw Error("did not start (\"" + line + "\")");
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
    std::ifstream log(m_base / "logins");
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
    Resume();
    ::kill(m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (::waitpid(m_pid, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
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

} // namespace dv::test
