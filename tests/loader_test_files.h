#pragma once
// Small files written by the loader, mixer and GL tests: PNGs through libpng, WAVs
// byte by byte, an Ogg Vorbis tone through libvorbisenc, in a per-test folder.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testfiles {

// A fresh empty folder under the system's temporary folder.
std::filesystem::path freshFolder(const std::string& name);

void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readBytes(const std::filesystem::path& path);

// rgba or rgb pixel bytes, top row first.
void writePng(const std::filesystem::path& path, int width, int height, bool alpha,
              const std::vector<uint8_t>& pixels);

struct WavFormat {
    uint16_t formatTag = 1, channels = 1, bits = 16;
    uint32_t rate = 22050;
};
// A RIFF WAVE file with a fmt chunk and a data chunk holding the bytes as given.
std::vector<uint8_t> wavBytes(const WavFormat& format, const std::vector<uint8_t>& data);
std::vector<uint8_t> pcm16(const std::vector<int16_t>& samples);

// A sine tone encoded with libvorbisenc.
void writeOggTone(const std::filesystem::path& path, int rate, int channels, int frames, float hertz,
                  float amplitude);

}  // namespace testfiles
