#pragma once
// The SDL audio device that plays the game's mixer. Without a device the mixer keeps
// time on the clock and the game runs silently.

#include <SDL_audio.h>

class SdlAudio {
public:
    // Opens the default device (16-bit stereo, any rate) and starts it; stays silent
    // when there is none.
    SdlAudio();
    ~SdlAudio();
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    bool open() const { return device_ != 0; }

private:
    bool started_ = false;
    SDL_AudioDeviceID device_ = 0;
};
