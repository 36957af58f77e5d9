#include "tools/datagen/ogg_file.h"

#include <vorbis/codec.h>
#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>
#include <fstream>

namespace datagen {

namespace {

void appendPage(std::string& out, const ogg_page& page) {
    out.append(reinterpret_cast<const char*>(page.header), size_t(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), size_t(page.body_len));
}

struct MemoryReader {
    const std::string* bytes;
    size_t at = 0;
};

size_t readMemory(void* target, size_t size, size_t count, void* source) {
    auto* reader = static_cast<MemoryReader*>(source);
    const size_t wanted = size * count;
    const size_t available = std::min(wanted, reader->bytes->size() - reader->at);
    std::memcpy(target, reader->bytes->data() + reader->at, available);
    reader->at += available;
    return size ? available / size : 0;
}

}  // namespace

std::string encodeVorbis(const StereoBuffer& audio, uint32_t serial, float quality, const std::string& title) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, 44100, quality) != 0) {
        vorbis_info_clear(&info);
        return {};
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", title.c_str());
    vorbis_comment_add_tag(&comment, "ARTIST", "Tumblebout");

    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, int(serial));

    std::string out;
    ogg_page page;
    ogg_packet packet;
    {
        ogg_packet header, headerComment, headerCode;
        vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
        ogg_stream_packetin(&stream, &header);
        ogg_stream_packetin(&stream, &headerComment);
        ogg_stream_packetin(&stream, &headerCode);
        // The headers end on a page of their own, as the format asks.
        while (ogg_stream_flush(&stream, &page) != 0) appendPage(out, page);
    }

    constexpr size_t kChunk = 4096;
    size_t at = 0;
    bool finished = false;
    while (!finished) {
        const size_t count = std::min(kChunk, audio.size() - at);
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0);  // end of stream
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, int(count));
            std::copy_n(audio.left.begin() + long(at), count, buffer[0]);
            std::copy_n(audio.right.begin() + long(at), count, buffer[1]);
            vorbis_analysis_wrote(&dsp, int(count));
            at += count;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    appendPage(out, page);
                    if (ogg_page_eos(&page)) finished = true;
                }
            }
        }
        if (count == 0) finished = true;
    }
    while (ogg_stream_flush(&stream, &page) != 0) appendPage(out, page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

StereoBuffer decodeVorbis(const std::string& bytes) {
    StereoBuffer out;
    MemoryReader reader{&bytes};
    ov_callbacks callbacks{readMemory, nullptr, nullptr, nullptr};
    OggVorbis_File file;
    if (ov_open_callbacks(&reader, &file, nullptr, 0, callbacks) != 0) return out;
    const vorbis_info* info = ov_info(&file, -1);
    const int channels = info ? info->channels : 0;
    int section = 0;
    for (;;) {
        float** pcm = nullptr;
        const long frames = ov_read_float(&file, &pcm, 4096, &section);
        if (frames <= 0) break;
        for (long i = 0; i < frames; ++i) {
            out.left.push_back(pcm[0][i]);
            out.right.push_back(pcm[channels > 1 ? 1 : 0][i]);
        }
    }
    ov_clear(&file);
    return out;
}

std::string writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), std::streamsize(bytes.size()));
    file.close();
    if (!file) return "cannot write " + path;
    return {};
}

}  // namespace datagen
