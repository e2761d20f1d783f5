#include "platform/CQtSoundPlayer.h"

#include <QSoundEffect>
#include <QUrl>

#include <system_error>
#include <utility>

namespace dv {

CQtSoundPlayer::CQtSoundPlayer(std::filesystem::path defaultSound)
    : m_defaultSound(std::move(defaultSound)) {}

CQtSoundPlayer::~CQtSoundPlayer() = default;

std::filesystem::path CQtSoundPlayer::DefaultSound(const std::filesystem::path& programFolder) {
    return programFolder / "sounds" / "chime.wav";
}

std::filesystem::path CQtSoundPlayer::Resolve(const std::string& file) const {
    if (file.empty()) {
        return m_defaultSound;
    }
    const std::filesystem::path path(std::u8string(file.begin(), file.end()));
    std::error_code error;
    // A sound file that went missing should still be heard as a reminder.
    return std::filesystem::is_regular_file(path, error) ? path : m_defaultSound;
}

void CQtSoundPlayer::Play(const std::string& file) {
    const std::filesystem::path path = Resolve(file);
    if (path.empty()) {
        return;
    }
    if (!m_effect) {
        m_effect = std::make_unique<QSoundEffect>();
    }
    const QUrl url = QUrl::fromLocalFile(QString::fromStdU16String(path.u16string()));
    m_effect->stop();
    if (m_effect->source() != url) {
        m_effect->setSource(url); // loads asynchronously and plays once loaded
    }
    m_effect->play();
}

} // namespace dv
