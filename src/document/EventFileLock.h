#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace dv {

/// Who holds an event file open, as its lock file says.
struct LockHolder {
    std::string user;
    std::string host;
    long pid = 0;
    std::string since; ///< "YYYY-MM-DD HH:MM:SS", local time of the holder
};

/// The lock file beside an event file that tells a second program, or another user of a file
/// on a network folder, that the file is open, as office programs do: ".~lock.<file name>#" in
/// the event file's folder, one line "user,host,pid,since". It only warns; whether to open the
/// file anyway is the user's choice, and the save's check of the file on disk keeps two
/// programs from writing over each other's entries either way.
class EventFileLock {
public:
    EventFileLock() = default;
    ~EventFileLock() { Release(); }
    EventFileLock(const EventFileLock&) = delete;
    EventFileLock& operator=(const EventFileLock&) = delete;

    /// The lock file's path for `eventFile`.
    static std::filesystem::path PathFor(const std::filesystem::path& eventFile);

    /// Who else holds `eventFile`: nothing when there is no lock file, when it is this program's
    /// own, or when it is stale (written on this computer by a process that no longer runs, or
    /// unreadable), in which case it is removed.
    static std::optional<LockHolder> OtherHolder(const std::filesystem::path& eventFile);

    /// Writes the lock file for `eventFile` (releasing one held before), exclusively and with the
    /// event file's permissions. False when another program's lock file is in the way or the
    /// folder cannot be written; the file is then not locked by us.
    bool Acquire(const std::filesystem::path& eventFile);
    /// Removes the lock file, when it is still the one this object wrote.
    void Release();
    bool IsHeld() const { return !m_path.empty(); }

    /// This program's own entry.
    static LockHolder Self();

private:
    std::filesystem::path m_path;
    std::string m_content;
};

} // namespace dv
