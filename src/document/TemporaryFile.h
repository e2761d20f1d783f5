#pragma once

#include <filesystem>
#include <string_view>

namespace dv {

/// An empty file of our own in the system's temporary folder, removed with the object. Used by
/// the synchronisation cycle for its downloads and the files it uploads.
class TemporaryFile {
public:
    /// Creates "dayvault-<random>.<kind>" exclusively (up to the first 8 characters of `kind`).
    /// When no name could be created, IsOpen is false and Path is empty.
    explicit TemporaryFile(std::string_view kind);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool IsOpen() const { return !m_path.empty(); }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace dv
