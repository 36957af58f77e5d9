#include "platform/sdl_audio.h"

#include <SDL.h>

#include "platform/mixer.h"

namespace {

void feedDevice(void*, Uint8* stream, int bytes) {
    soundMixer().mix(reinterpret_cast<int16_t*>(stream), bytes / static_cast<int>(2 * sizeof(int16_t)));
}

}  // namespace

SdlAudio::SdlAudio() {
    started_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!started_) return;
    SDL_AudioSpec want{}, have{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;  // about 23 ms: short enough for a blow to sound with its frame
    want.callback = feedDevice;
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device_ == 0) return;
    soundMixer().attachDevice(have.freq);
    SDL_PauseAudioDevice(device_, 0);
}

SdlAudio::~SdlAudio() {
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        soundMixer().attachDevice(0);
    }
    if (started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
