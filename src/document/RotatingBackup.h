#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace dv {

/// What MakeRotatingBackup did.
struct RotatingBackupResult {
    bool succeeded = false;       ///< a copy was made, or none was due
    int64_t secondsUntilNext = 0; ///< when the next call is worth making; 0 after a failure
};

/// Keeps up to `depth` backup copies of `file` beside it, named like its side files with ".b00",
/// ".b01" ... (the file name from its last "." replaced). Looks at the numbers 0 .. depth - 1
/// (inclusive) in order: the first missing one is the slot; when none is missing, the one with
/// the oldest modification time. Modification times more than `hours` in the future (a clock
/// that was set back) are set to `now` first. When the newest copy is younger than `hours`, no
/// copy is made and the seconds until it reaches that age are returned; otherwise `file` is
/// copied over the slot with `file`'s permissions (through a temporary file and a rename, so a slot never holds half a
/// copy), the copy's time is set to `now` and `hours` * 3600 is returned. `file` itself is only
/// read. A depth below 1 makes no copy and succeeds. A failure (the file missing or unreadable,
/// the folder not writable) returns {false, 0} and leaves every existing copy as it was.
/// `now` is in the file system's clock, in which the modification times are kept.
RotatingBackupResult MakeRotatingBackup(
    const std::filesystem::path& file, int depth, int hours,
    std::filesystem::file_time_type now = std::filesystem::file_time_type::clock::now());

/// Copies `from` over `to` whole or not at all (a temporary file beside `to`, renamed over it).
/// The copy gets `mode` when given, else the permissions `to` had, else those of any new file.
/// Throws CFileException naming the file that failed; `to` then keeps its old content.
void CopyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to,
                        std::optional<std::filesystem::perms> mode = std::nullopt);

} // namespace dv
