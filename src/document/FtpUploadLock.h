#pragma once

#include "document/FtpSession.h"

#include <filesystem>
#include <string>

namespace dv {

/// The upload lock on an FTP server, held from SetHeld to Release or destruction. FTP cannot
/// create a file exclusively, but creating a folder that exists fails atomically on every server,
/// so the lock is the folder "<shared file>.lock" with one file "owner" in it naming the holder:
/// the holder's mark (new for every cycle) on the first line, its time on the second. Taking the
/// lock (creating the folder, breaking a stale one) is the cycle's part; this object names the
/// files and gives the lock back.
class FtpUploadLock {
public:
    /// `remote` is the shared file's path on the server. `leftoverMark` receives the mark of a
    /// lock of ours that could not be released, so that a later cycle knows to break it.
    FtpUploadLock(IFtpSession& session, const std::string& remote, std::string& leftoverMark);
    ~FtpUploadLock();
    FtpUploadLock(const FtpUploadLock&) = delete;
    FtpUploadLock& operator=(const FtpUploadLock&) = delete;

    const std::string& Folder() const { return m_folder; }
    const std::string& OwnerFile() const { return m_owner; }

    /// The folder was created by us: from now on it is ours to remove.
    void SetHeld(std::string ownerText);

    /// Removes the owner file and the folder, using `scratch` to read the owner file back. False
    /// when the server could not be reached; the lock then stays until this worker's next cycle
    /// or another user's stale rule breaks it. True when nothing was held.
    bool Release(const std::filesystem::path& scratch);

    /// The whole content of a local file; empty when it cannot be read.
    static std::string ReadAll(const std::filesystem::path& path);
    /// The holder's mark: the owner text up to its first line end.
    static std::string MarkOf(const std::string& ownerText);

private:
    void Release();

    IFtpSession& m_session;
    std::string m_folder;
    std::string m_owner;
    std::string& m_leftoverMark;
    std::string m_ownerText;
    bool m_held = false;
};

} // namespace dv
