// LoadSound: the file's first bytes pick the decoder.

#include <cstring>
#include <fstream>

#include "platform/platform.h"
#include "platform/sound.h"

namespace {

constexpr std::streamoff maxWavBytes = std::streamoff{1} << 30;
constexpr int loopFlag = 1;

bool readWhole(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    if (size <= 0 || size > maxWavBytes) return false;
    bytes.resize(static_cast<size_t>(size));
    in.seekg(0);
    return static_cast<bool>(in.read(reinterpret_cast<char*>(bytes.data()), size));
}

bool startsWith(const std::vector<uint8_t>& bytes, const char* magic) {
    const size_t n = std::strlen(magic);
    return bytes.size() >= n && std::memcmp(bytes.data(), magic, n) == 0;
}

}  // namespace

SoundRef LoadSound(const std::string& path, int flags) {
    std::vector<uint8_t> head;
    {
        std::ifstream in(path, std::ios::binary);
        char magic[4];
        if (!in.read(magic, 4)) return nullptr;
        head.assign(magic, magic + 4);
    }
    SoundRef sound;
    if (startsWith(head, "OggS")) {
        sound = decodeOggFile(path.c_str());
    } else if (startsWith(head, "RIFF")) {
        std::vector<uint8_t> bytes;
        if (readWhole(path, bytes)) sound = decodeWav(bytes);
    }
    if (sound) sound->loop = (flags & loopFlag) != 0;
    return sound;
}
