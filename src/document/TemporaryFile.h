#pragma once

#include <filesystem>
#include <string_view>

namespace dv {

/// Read and write for the owner alone: the mode of files that hold the user's entries in a
/// place of the program's own choosing.
inline constexpr std::filesystem::perms kPrivateFile =
    std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

/// An empty file of our own, removed with the object. Used by the synchronisation cycle for its
/// downloads and the files it uploads. It lies in a folder of its own in the system's temporary
/// folder that only this user may enter (mode 0700), and is itself readable by this user only
/// (mode 0600), whatever the umask: the system's temporary folder is shared with every user,
/// who could otherwise read the entries or put a link in the file's place.
class TemporaryFile {
public:
    /// Creates "dayvault-<random>/<kind>" (up to the first 8 characters of `kind`). When no
    /// folder or file could be created, IsOpen is false and Path is empty.
    explicit TemporaryFile(std::string_view kind);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool IsOpen() const { return !m_path.empty(); }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_path;
};

} // namespace dv
