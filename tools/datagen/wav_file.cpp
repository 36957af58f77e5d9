#include "tools/datagen/wav_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace datagen {

namespace {

void put16(std::string& out, uint32_t v) {
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}
void put32(std::string& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

std::string writeWav(const std::string& path, const std::vector<float>& samples, int sampleRate) {
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    std::string out;
    out += "RIFF";
    put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, uint32_t(sampleRate));
    put32(out, uint32_t(sampleRate) * 2);
    put16(out, 2);  // bytes per frame
    put16(out, 16);
    out += "data";
    put32(out, dataBytes);
    for (float s : samples) {
        auto v = int16_t(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f));
        put16(out, uint16_t(v));
    }
    std::ofstream file(path, std::ios::binary);
    file.write(out.data(), std::streamsize(out.size()));
    file.close();
    if (!file) return "cannot write " + path;
    return {};
}

}  // namespace datagen
