#include "core/ByteStream.h"

#include "core/CFileException.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dv {

namespace {

// ---- File helpers -------------------------------------------------------------------------------

std::FILE* OpenFile(const std::filesystem::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

// Creates `path` for writing, failing when anything, a link included, has that name. Without a
// mode the umask decides as for any new file; with one, the file holds no more than its owner
// may read until it has exactly that mode, before any data is in it.
std::FILE* CreateExclusively(const std::filesystem::path& path,
                             std::optional<std::filesystem::perms> mode) {
#ifdef _WIN32
    (void)mode;
    return _wfopen(path.c_str(), L"wbx");
#else
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                  mode ? 0600 : 0666);
    if (descriptor < 0) {
        return nullptr;
    }
    if (mode && ::fchmod(descriptor, static_cast<mode_t>(*mode) & 07777) != 0) {
        const int error = errno;
        ::close(descriptor);
        ::unlink(path.c_str());
        errno = error;
        return nullptr;
    }
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (file == nullptr) {
        const int error = errno;
        ::close(descriptor);
        ::unlink(path.c_str());
        errno = error;
    }
    return file;
#endif
}

// Whether a symbolic link was made by the user this program runs as. In a folder that others
// may write to, a link of someone else's is a trap that would send our data to their choice of
// file.
bool IsOwnLink(const std::filesystem::path& link) {
#ifdef _WIN32
    (void)link;
    return true;
#else
    struct stat status {};
    return ::lstat(link.c_str(), &status) == 0 && status.st_uid == ::geteuid();
#endif
}

// Pushes the file's data out of the operating system's cache onto the disk.
int SyncToDisk(std::FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file));
#else
    return fsync(fileno(file));
#endif
}

// Makes a rename within `folder` survive a power cut: on POSIX systems the new directory entry
// reaches the disk only with the folder itself. Best effort: the data is already safe, and a
// file system that cannot sync folders is no reason to report a failed save.
void SyncFolderToDisk(const std::filesystem::path& folder) {
#ifdef _WIN32
    (void)folder; // NTFS journals the rename with the metadata
#else
    const std::filesystem::path path = folder.empty() ? std::filesystem::path(".") : folder;
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        (void)::fsync(descriptor);
        ::close(descriptor);
    }
#endif
}

// A name for the temporary file that no other save running at the same time picks.
std::filesystem::path TemporaryName(const std::filesystem::path& target) {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp",
                  static_cast<unsigned long long>(generator()));
    std::filesystem::path name = target;
    name += suffix;
    return name;
}

} // namespace

// ---- CMemorySource ------------------------------------------------------------------------------

size_t CMemorySource::Read(std::span<uint8_t> buffer) {
    const size_t count = std::min(buffer.size(), m_bytes.size() - m_position);
    if (count > 0) {
        std::memcpy(buffer.data(), m_bytes.data() + m_position, count);
    }
    m_position += count;
    return count;
}

std::optional<std::span<const uint8_t>> CMemorySource::TakeAll() {
    const std::span<const uint8_t> rest = m_bytes.subspan(m_position);
    m_position = m_bytes.size();
    return rest;
}

// ---- CMemorySink --------------------------------------------------------------------------------

void CMemorySink::Write(std::span<const uint8_t> bytes) {
    m_data.insert(m_data.end(), bytes.begin(), bytes.end());
}

// ---- CFileSource --------------------------------------------------------------------------------

CFileSource::CFileSource(const std::filesystem::path& path) : m_path(path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error) {
        throw CFileException(path, "cannot open for reading: " + error.message());
    }
    if (!std::filesystem::is_regular_file(status)) {
        throw CFileException(path, "cannot open for reading: not a regular file");
    }
    errno = 0;
    m_file = OpenFile(path);
    if (m_file == nullptr) {
        throw CFileException::FromErrno(path, "cannot open for reading", errno);
    }
    m_size = std::filesystem::file_size(path, error);
    if (error) {
        std::fclose(m_file);
        m_file = nullptr;
        throw CFileException(path, "cannot determine the size: " + error.message());
    }
}

CFileSource::~CFileSource() {
    if (m_file != nullptr) {
        std::fclose(m_file);
    }
}

size_t CFileSource::Read(std::span<uint8_t> buffer) {
    const uint64_t wanted = std::min<uint64_t>(buffer.size(), m_size - m_position);
    if (wanted == 0) {
        return 0;
    }
    errno = 0;
    const size_t count = std::fread(buffer.data(), 1, static_cast<size_t>(wanted), m_file);
    if (count < wanted && std::ferror(m_file)) {
        throw CFileException::FromErrno(m_path, "cannot read", errno);
    }
    if (count < wanted) {
        // The file shrank after it was opened: nothing more will come.
        m_size = m_position + count;
    }
    m_position += count;
    return count;
}

// ---- CAtomicFileSink ----------------------------------------------------------------------------

CAtomicFileSink::CAtomicFileSink(std::filesystem::path target,
                                 std::optional<std::filesystem::perms> mode, Links links)
    : m_target(std::move(target)) {
    std::error_code error;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(m_target, error))) {
        if (links == Links::refuse) {
            throw CFileException(m_target, "cannot write: it is a symbolic link, where none "
                                           "belongs");
        }
        if (!IsOwnLink(m_target)) {
            throw CFileException(m_target,
                                 "cannot write: it is a symbolic link of another user");
        }
        const auto resolved = std::filesystem::canonical(m_target, error);
        if (!error) {
            m_target = resolved;
        }
    }
    // The old file's permissions, unless the caller chose them.
    const auto targetStatus = std::filesystem::status(m_target, error);
    if (!mode && !error && std::filesystem::is_regular_file(targetStatus)) {
        mode = targetStatus.permissions();
    }
    // A few tries cover the unlikely clash with another save's temporary name.
    for (int attempt = 0; attempt < 8 && m_file == nullptr; ++attempt) {
        m_temporary = TemporaryName(m_target);
        errno = 0;
        m_file = CreateExclusively(m_temporary, mode);
        if (m_file == nullptr && errno != EEXIST) {
            throw CFileException::FromErrno(m_target, "cannot create a temporary file beside it",
                                            errno);
        }
    }
    if (m_file == nullptr) {
        throw CFileException(m_target, "cannot create a temporary file beside it");
    }
#ifdef _WIN32
    if (mode) {
        std::filesystem::permissions(m_temporary, *mode, std::filesystem::perm_options::replace,
                                     error);
        if (error) {
            const std::string reason = "cannot copy its permissions: " + error.message();
            Discard();
            throw CFileException(m_target, reason);
        }
    }
#endif
}

CAtomicFileSink::~CAtomicFileSink() {
    if (!m_committed) {
        Discard();
    }
}

void CAtomicFileSink::Discard() noexcept {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    std::error_code ignored;
    std::filesystem::remove(m_temporary, ignored);
}

void CAtomicFileSink::Write(std::span<const uint8_t> bytes) {
    if (m_file == nullptr) {
        throw std::logic_error("CAtomicFileSink::Write after Commit");
    }
    if (bytes.empty()) {
        return;
    }
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) {
        throw CFileException::FromErrno(m_target, "cannot write", errno);
    }
}

void CAtomicFileSink::Flush() {
    if (m_file == nullptr) {
        throw std::logic_error("CAtomicFileSink::Flush after Commit");
    }
    errno = 0;
    if (std::fflush(m_file) != 0) {
        throw CFileException::FromErrno(m_target, "cannot write", errno);
    }
}

void CAtomicFileSink::Commit(bool toDisk) {
    Flush();
    errno = 0;
    if (toDisk && SyncToDisk(m_file) != 0) {
        throw CFileException::FromErrno(m_target, "cannot flush to disk", errno);
    }
    std::FILE* file = m_file;
    m_file = nullptr;
    errno = 0;
    if (std::fclose(file) != 0) {
        throw CFileException::FromErrno(m_target, "cannot write", errno);
    }
    std::error_code error;
    std::filesystem::rename(m_temporary, m_target, error);
    if (error) {
        throw CFileException(m_target, "cannot replace the file: " + error.message());
    }
    m_committed = true;
    if (toDisk) {
        SyncFolderToDisk(m_target.parent_path());
    }
}

} // namespace dv
