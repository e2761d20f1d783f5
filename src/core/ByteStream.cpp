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
#include <unistd.h>
#endif

namespace dv {

namespace {

// ---- File helpers -------------------------------------------------------------------------------

std::FILE* OpenFile(const std::filesystem::path& path, bool exclusiveWrite) {
#ifdef _WIN32
    return _wfopen(path.c_str(), exclusiveWrite ? L"wbx" : L"rb");
#else
    return std::fopen(path.c_str(), exclusiveWrite ? "wbx" : "rb");
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
    m_file = OpenFile(path, false);
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

CAtomicFileSink::CAtomicFileSink(std::filesystem::path target) : m_target(std::move(target)) {
    std::error_code error;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(m_target, error))) {
        const auto resolved = std::filesystem::canonical(m_target, error);
        if (!error) {
            m_target = resolved;
        }
    }
    // A few tries cover the unlikely clash with another save's temporary name.
    for (int attempt = 0; attempt < 8 && m_file == nullptr; ++attempt) {
        m_temporary = TemporaryName(m_target);
        errno = 0;
        m_file = OpenFile(m_temporary, true);
        if (m_file == nullptr && errno != EEXIST) {
            throw CFileException::FromErrno(m_target, "cannot create a temporary file beside it",
                                            errno);
        }
    }
    if (m_file == nullptr) {
        throw CFileException(m_target, "cannot create a temporary file beside it");
    }
    // Give the new file the old one's permissions now, before any data is in it.
    const auto targetStatus = std::filesystem::status(m_target, error);
    if (!error && std::filesystem::is_regular_file(targetStatus)) {
        std::filesystem::permissions(m_temporary, targetStatus.permissions(),
                                     std::filesystem::perm_options::replace, error);
        if (error) {
            const std::string reason = "cannot copy its permissions: " + error.message();
            Discard();
            throw CFileException(m_target, reason);
        }
    }
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
