// The lock file beside an open event file.

#include "document/EventFileLock.h"

#include "core/CDateTime.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dv {

namespace {

std::string Line(const LockHolder& holder) {
    return holder.user + "," + holder.host + "," + std::to_string(holder.pid) + "," +
           holder.since + "\n";
}

std::optional<LockHolder> Parse(const std::string& text) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(text.substr(0, text.find('\n')));
    while (std::getline(in, field, ',')) {
        fields.push_back(field);
    }
    if (fields.size() != 4 || fields[0].empty() || fields[1].empty()) {
        return std::nullopt;
    }
    LockHolder holder{fields[0], fields[1], 0, fields[3]};
    char* end = nullptr;
    holder.pid = std::strtol(fields[2].c_str(), &end, 10);
    if (end == fields[2].c_str() || *end != '\0' || holder.pid <= 0) {
        return std::nullopt;
    }
    return holder;
}

std::optional<std::string> ReadSmallFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        return std::nullopt;
    }
    std::string text(4096, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return text;
}

// A process of this computer that no longer runs leaves a lock nobody holds. A process of
// another computer cannot be asked; its lock stands until the user decides.
bool IsStale(const LockHolder& holder) {
    if (holder.host != EventFileLock::Self().host) {
        return false;
    }
    return ::kill(static_cast<pid_t>(holder.pid), 0) != 0 && errno == ESRCH;
}

} // namespace

std::filesystem::path EventFileLock::PathFor(const std::filesystem::path& eventFile) {
    std::filesystem::path lock = eventFile;
    lock.replace_filename(".~lock." + eventFile.filename().string() + "#");
    return lock;
}

LockHolder EventFileLock::Self() {
    LockHolder self;
    if (const passwd* entry = ::getpwuid(::geteuid()); entry != nullptr && entry->pw_name) {
        self.user = entry->pw_name;
    } else if (const char* name = std::getenv("USER")) {
        self.user = name;
    } else {
        self.user = std::to_string(::geteuid());
    }
    std::array<char, 256> host{};
    if (::gethostname(host.data(), host.size() - 1) == 0 && host[0] != '\0') {
        self.host = host.data();
    } else {
        self.host = "localhost";
    }
    self.pid = static_cast<long>(::getpid());
    self.since = CDateTime::Now().FormatFixed();
    return self;
}

std::optional<LockHolder> EventFileLock::OtherHolder(const std::filesystem::path& eventFile) {
    const std::filesystem::path path = PathFor(eventFile);
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
        return std::nullopt;
    }
    const std::optional<std::string> text = ReadSmallFile(path);
    const std::optional<LockHolder> holder = text ? Parse(*text) : std::nullopt;
    const LockHolder self = Self();
    if (holder && holder->host == self.host && holder->pid == self.pid) {
        return std::nullopt; // ours
    }
    if (!holder || IsStale(*holder)) {
        std::filesystem::remove(path, error);
        return std::nullopt;
    }
    return holder;
}

bool EventFileLock::Acquire(const std::filesystem::path& eventFile) {
    Release();
    const std::filesystem::path path = PathFor(eventFile);
    std::error_code error;
    const auto mode = std::filesystem::status(eventFile, error).permissions();
    const mode_t bits = error ? (S_IRUSR | S_IWUSR) : static_cast<mode_t>(mode) & 0666;
    const int descriptor =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (descriptor < 0) {
        return false;
    }
    const std::string content = Line(Self());
    const bool written = ::fchmod(descriptor, bits) == 0 &&
                         ::write(descriptor, content.data(), content.size()) ==
                             static_cast<ssize_t>(content.size());
    ::close(descriptor);
    if (!written) {
        std::filesystem::remove(path, error);
        return false;
    }
    m_path = path;
    m_content = content;
    return true;
}

void EventFileLock::Release() {
    if (m_path.empty()) {
        return;
    }
    // Another program may have broken a lock it took for stale and written its own.
    if (ReadSmallFile(m_path) == m_content) {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    m_path.clear();
    m_content.clear();
}

} // namespace dv
