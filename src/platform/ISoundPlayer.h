#pragma once

#include <string>

namespace dv {

/// Plays reminder sounds without waiting for them to end.
class ISoundPlayer {
public:
    virtual ~ISoundPlayer() = default;

    /// Starts `file` (a WAV file) and returns at once; an empty name, or a file that does not
    /// exist, plays the program's own reminder sound. A machine without sound output is no
    /// error: nothing is heard.
    virtual void Play(const std::string& file) = 0;

protected:
    ISoundPlayer() = default;
    ISoundPlayer(const ISoundPlayer&) = default;
    ISoundPlayer& operator=(const ISoundPlayer&) = default;
};

} // namespace dv
