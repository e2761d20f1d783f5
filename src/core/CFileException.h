#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace dv {

/// A file that could not be opened, read, written, flushed or renamed. Thrown at the point of
/// failure and caught by the operation that opened the file, which shows what() to the user.
class CFileException : public std::runtime_error {
public:
    /// `reason` says what failed in this program's words, e.g. "cannot open for reading: No such
    /// file or directory". what() is "<path>: <reason>".
    CFileException(std::filesystem::path path, std::string reason);

    /// Builds the reason from what was attempted and the system's text for `errorNumber` (an errno
    /// value): "<action>: <system text>".
    static CFileException FromErrno(std::filesystem::path path, const std::string& action,
                                    int errorNumber);

    const std::filesystem::path& GetPath() const noexcept { return m_path; }
    const std::string& GetReason() const noexcept { return m_reason; }

private:
    std::filesystem::path m_path;
    std::string m_reason;
};

} // namespace dv
