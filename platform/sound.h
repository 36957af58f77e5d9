#pragma once
// A whole decoded sample, as LoadSound makes it and the mixer plays it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Sound {
    int rate = 44100;              // frames per second
    int channels = 1;              // 1 mono, 2 stereo (interleaved)
    std::vector<int16_t> samples;  // frames * channels
    bool loop = false;

    int frames() const { return channels > 0 ? static_cast<int>(samples.size() / channels) : 0; }
};

// Decoders behind LoadSound; each yields null for a file it cannot read.
std::shared_ptr<Sound> decodeWav(const std::vector<uint8_t>& bytes);
std::shared_ptr<Sound> decodeOggFile(const std::string& path);
