// The upload lock on an FTP server: its folder and owner file, and giving it back.

#include "document/FtpUploadLock.h"

#include "document/EventFile.h"
#include "document/TemporaryFile.h"

#include <fstream>
#include <iterator>
#include <utility>

namespace dv {

FtpUploadLock::FtpUploadLock(IFtpSession& session, const std::string& remote,
                             std::string& leftoverMark)
    : m_session(session),
      m_folder(SidePath(std::filesystem::path(remote), ".lock").generic_string()),
      m_owner(m_folder + "/owner"), m_leftoverMark(leftoverMark) {}

FtpUploadLock::~FtpUploadLock() {
    Release();
}

void FtpUploadLock::SetHeld(std::string ownerText) {
    m_held = true;
    m_ownerText = std::move(ownerText);
}

bool FtpUploadLock::Release(const std::filesystem::path& scratch) {
    if (!m_held) {
        return true;
    }
    m_held = false;
    // A lock of ours that someone broke as stale and took over is theirs now.
    const FtpResult read = m_session.Download(m_owner, scratch);
    if (read == FtpResult::ok && ReadAll(scratch) != m_ownerText) {
        return true;
    }
    const FtpResult deleted = read == FtpResult::failed ? read : m_session.Delete(m_owner);
    if (deleted != FtpResult::failed && m_session.RemoveDirectory(m_folder) != FtpResult::failed) {
        return true;
    }
    m_leftoverMark = MarkOf(m_ownerText);
    return false;
}

std::string FtpUploadLock::ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string FtpUploadLock::MarkOf(const std::string& ownerText) {
    return ownerText.substr(0, ownerText.find_first_of("\r\n"));
}

void FtpUploadLock::Release() {
    if (m_held) {
        const TemporaryFile scratch("lock");
        if (scratch.IsOpen()) {
            Release(scratch.Path());
        } else {
            m_leftoverMark = MarkOf(m_ownerText);
        }
    }
}

} // namespace dv
