#pragma once

// Temporary folders and whole-file reads and writes, for every test that touches the disk.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dv::test {

/// A fresh folder below the system's temporary folder, removed with everything in it at the end.
/// The label names the folder so that a leftover tells whose it was.
class TemporaryFolder {
public:
    explicit TemporaryFolder(std::string_view label = "test");
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

    /// The names of the files and folders directly in the folder, sorted.
    std::vector<std::string> FileNames() const;

private:
    std::filesystem::path m_path;
};

/// The whole file; empty when it is missing or cannot be read.
std::string ReadFile(const std::filesystem::path& path);
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);

/// Replaces the file's content; throws when the file cannot be written.
void WriteFile(const std::filesystem::path& path, std::string_view text);
void WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

} // namespace dv::test
