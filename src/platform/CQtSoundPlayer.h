#pragma once

#include "platform/ISoundPlayer.h"

#include <filesystem>
#include <memory>

class QSoundEffect;

namespace dv {

/// Sounds through QSoundEffect. One sound plays at a time: a new one replaces one still playing.
class CQtSoundPlayer final : public ISoundPlayer {
public:
    /// `defaultSound` is the program's own sound (`<program folder>/sounds/chime.wav`).
    explicit CQtSoundPlayer(std::filesystem::path defaultSound);
    ~CQtSoundPlayer() override;
    CQtSoundPlayer(const CQtSoundPlayer&) = delete;
    CQtSoundPlayer& operator=(const CQtSoundPlayer&) = delete;

    void Play(const std::string& file) override;

    /// The file that Play(`file`) plays.
    std::filesystem::path Resolve(const std::string& file) const;

    /// The default sound below a program folder.
    static std::filesystem::path DefaultSound(const std::filesystem::path& programFolder);

private:
    std::filesystem::path m_defaultSound;
    std::unique_ptr<QSoundEffect> m_effect; // made at the first Play
};

} // namespace dv
