#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace dv {

/// Where a loading archive takes its bytes from. Read errors throw CFileException.
class CByteSource {
public:
    virtual ~CByteSource() = default;

    /// Copies up to buffer.size() of the next bytes into `buffer` and returns how many it copied.
    /// Returns 0 only when no bytes remain (or for an empty buffer).
    virtual size_t Read(std::span<uint8_t> buffer) = 0;

    /// Bytes that Read (or TakeAll) has not handed out yet.
    virtual uint64_t GetRemaining() const = 0;

    /// A source whose bytes already lie in memory hands out all remaining bytes at once, so that
    /// the archive reads them in place; the span stays valid as long as that memory does. Other
    /// sources return nullopt and are read with Read.
    virtual std::optional<std::span<const uint8_t>> TakeAll() { return std::nullopt; }

protected:
    CByteSource() = default;
    CByteSource(const CByteSource&) = default;
    CByteSource& operator=(const CByteSource&) = default;
};

/// Where a storing archive puts its bytes. Write errors throw CFileException.
class CByteSink {
public:
    virtual ~CByteSink() = default;

    /// Appends all of `bytes`.
    virtual void Write(std::span<const uint8_t> bytes) = 0;

    /// Passes everything written so far on to the sink's destination.
    virtual void Flush() = 0;

protected:
    CByteSink() = default;
    CByteSink(const CByteSink&) = default;
    CByteSink& operator=(const CByteSink&) = default;
};

/// Bytes in memory owned by someone else; they must outlive the source and any archive over it.
class CMemorySource final : public CByteSource {
public:
    explicit CMemorySource(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    size_t Read(std::span<uint8_t> buffer) override;
    uint64_t GetRemaining() const override { return m_bytes.size() - m_position; }
    std::optional<std::span<const uint8_t>> TakeAll() override;

private:
    std::span<const uint8_t> m_bytes;
    size_t m_position = 0; // 0..m_bytes.size()
};

/// Collects the bytes in a vector of its own.
class CMemorySink final : public CByteSink {
public:
    CMemorySink() = default;

    void Write(std::span<const uint8_t> bytes) override;
    void Flush() override {}

    const std::vector<uint8_t>& GetData() const noexcept { return m_data; }
    /// Hands the bytes over and leaves the sink empty.
    std::vector<uint8_t> TakeData() noexcept { return std::move(m_data); }

private:
    std::vector<uint8_t> m_data;
};

/// A whole file, read from the start in chunks. Its size is taken when it is opened; bytes that
/// are appended later are not read, and a file that shrinks meanwhile simply ends early.
class CFileSource final : public CByteSource {
public:
    /// Opens the file for reading; throws CFileException naming the path when it is missing, is
    /// not a regular file or cannot be opened.
    explicit CFileSource(const std::filesystem::path& path);
    ~CFileSource() override;
    CFileSource(const CFileSource&) = delete;
    CFileSource& operator=(const CFileSource&) = delete;

    size_t Read(std::span<uint8_t> buffer) override;
    uint64_t GetRemaining() const override { return m_size - m_position; }

    const std::filesystem::path& GetPath() const noexcept { return m_path; }

private:
    std::filesystem::path m_path;
    std::FILE* m_file = nullptr;
    uint64_t m_size = 0;
    uint64_t m_position = 0; // 0..m_size
};

/// Writes a file so that it is replaced whole or not at all: the bytes go to a temporary file in
/// the target's folder, and Commit puts that file in the target's place. Until Commit succeeds the
/// target is untouched; an abandoned sink (destroyed without Commit, e.g. after an exception)
/// removes its temporary file.
class CAtomicFileSink final : public CByteSink {
public:
    /// How the sink treats a target that is a symbolic link.
    enum class Links {
        followOwn, ///< replace the file a link of this user points to; refuse another user's link
        refuse,    ///< refuse any link (files in folders of our own, where no link belongs)
    };

    /// Creates the temporary file beside `target` (exclusively, never through a link). It gets
    /// `mode` when given, otherwise the permissions of an existing target, otherwise the usual
    /// ones of a new file (the umask applies). When `target` is a symbolic link of this user
    /// pointing to a file, the file it points to is the one replaced; a link of another user (a
    /// trap in a shared folder) or, with Links::refuse, any link is refused. Throws
    /// CFileException naming `target` when the folder is missing or not writable, or for a
    /// refused link.
    explicit CAtomicFileSink(std::filesystem::path target,
                             std::optional<std::filesystem::perms> mode = std::nullopt,
                             Links links = Links::followOwn);
    ~CAtomicFileSink() override;
    CAtomicFileSink(const CAtomicFileSink&) = delete;
    CAtomicFileSink& operator=(const CAtomicFileSink&) = delete;

    void Write(std::span<const uint8_t> bytes) override;
    void Flush() override;

    /// Flushes the bytes to the disk and renames the temporary file over the target. Throws
    /// CFileException when any step fails; the target then keeps its old content. Writing after
    /// Commit, or committing twice, is a programming error (std::logic_error). `toDisk` false
    /// skips waiting for the disk, for scratch files whose content is stored durably elsewhere
    /// (the replacement is still whole or nothing for every reader).
    void Commit(bool toDisk = true);

    const std::filesystem::path& GetTarget() const noexcept { return m_target; }
    const std::filesystem::path& GetTemporaryPath() const noexcept { return m_temporary; }

private:
    void Discard() noexcept;

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::FILE* m_file = nullptr;
    bool m_committed = false;
};

} // namespace dv
