#pragma once
// Ogg Vorbis in memory: encoding with a fixed stream serial (so the same audio gives
// the same bytes) and decoding back, to check what the game will hear.

#include <cstdint>
#include <string>

#include "tools/datagen/instruments.h"

namespace datagen {

// Stereo 44.1 kHz at the given VBR quality (-0.1 .. 1). Empty on failure.
std::string encodeVorbis(const StereoBuffer& audio, uint32_t serial, float quality, const std::string& title);
// Decodes a whole stream; an empty buffer if it cannot.
StereoBuffer decodeVorbis(const std::string& bytes);

// Writes bytes to a file; returns an error message or "".
std::string writeBytes(const std::string& path, const std::string& bytes);

}  // namespace datagen
