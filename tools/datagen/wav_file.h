#pragma once
// Writes 16-bit PCM RIFF WAVE files.

#include <string>
#include <vector>

namespace datagen {

// `samples` are mono floats in -1..1 (clamped). Returns an error message, or "".
std::string writeWav(const std::string& path, const std::vector<float>& samples, int sampleRate);

}  // namespace datagen
