#include "tests/loader_test_files.h"

#include <png.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>

namespace testfiles {

std::filesystem::path freshFolder(const std::string& name) {
    auto path = std::filesystem::temp_directory_path() / ("tumblebout-test-" + name + "-" +
                                                          std::to_string(std::random_device{}()));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writePng(const std::filesystem::path& path, int width, int height, bool alpha,
              const std::vector<uint8_t>& pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr);
}

namespace {
void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
void putTag(std::vector<uint8_t>& b, const char* tag) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(tag[i]));
}
}  // namespace

std::vector<uint8_t> wavBytes(const WavFormat& format, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> b;
    putTag(b, "RIFF");
    put32(b, static_cast<uint32_t>(4 + 8 + 16 + 8 + data.size()));
    putTag(b, "WAVE");
    putTag(b, "fmt ");
    put32(b, 16);
    put16(b, format.formatTag);
    put16(b, format.channels);
    put32(b, format.rate);
    put32(b, format.rate * format.channels * format.bits / 8);
    put16(b, format.channels * format.bits / 8);
    put16(b, format.bits);
    putTag(b, "data");
    put32(b, static_cast<uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

std::vector<uint8_t> pcm16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> b;
    for (int16_t s : samples) put16(b, static_cast<uint16_t>(s));
    return b;
}

void writeOggTone(const std::filesystem::path& path, int rate, int channels, int frames, float hertz,
                  float amplitude) {
    vorbis_info info;
    vorbis_info_init(&info);
    vorbis_encode_init_vbr(&info, channels, rate, 0.4f);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);
    FILE* out = std::fopen(path.c_str(), "wb");

    auto writePages = [&](bool force) {
        ogg_page page;
        while (force ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
            std::fwrite(page.header, 1, page.header_len, out);
            std::fwrite(page.body, 1, page.body_len, out);
        }
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    writePages(true);

    // Fed a second at a time: the encoder's end-of-stream analysis takes stack space in
    // proportion to the last piece written.
    ogg_packet packet;
    auto encodeReady = [&] {
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                writePages(false);
            }
        }
    };
    for (int start = 0; start < frames; start += rate) {
        const int count = std::min(rate, frames - start);
        float** buffer = vorbis_analysis_buffer(&dsp, count);
        for (int i = 0; i < count; ++i)
            for (int c = 0; c < channels; ++c)
                buffer[c][i] = amplitude * static_cast<float>(std::sin(2 * M_PI * hertz * (start + i) / rate));
        vorbis_analysis_wrote(&dsp, count);
        encodeReady();
    }
    vorbis_analysis_wrote(&dsp, 0);
    encodeReady();
    writePages(true);
    std::fclose(out);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
}

}  // namespace testfiles
