// Seed inputs made in memory.

#include "tools/fuzz/fuzz_seeds.h"

#include <png.h>
#include <vorbis/vorbisenc.h>

#include "game/Game.h"
#include "game/fingerprint.h"
#include "game/snapshot.h"
#include "replay/replay_file.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>

namespace {

using Bytes = std::vector<unsigned char>;

// ---- PNG ------------------------------------------------------------------------------

struct PngShape {
    const char* name;
    int colourType;   // PNG_COLOR_TYPE_*
    int bitDepth;
    bool interlaced;
    bool transparency;  // a tRNS chunk
};

void appendToBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

int channelsOf(int colourType) {
    switch (colourType) {
        case PNG_COLOR_TYPE_GRAY: return 1;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB: return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
        default: return 1;  // palette indices
    }
}

// A 5 x 4 picture with a black corner (for the mask) and a gradient elsewhere.
Bytes makePng(const PngShape& shape) {
    constexpr int width = 5, height = 4;
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendToBytes, nullptr);
    png_set_IHDR(png, info, width, height, shape.bitDepth, shape.colourType,
                 shape.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (shape.colourType == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {40, 80, 200}};
        png_set_PLTE(png, info, palette, 4);
        if (shape.transparency) {
            png_byte alpha[2] = {0, 128};
            png_set_tRNS(png, info, alpha, 2, nullptr);
        }
    } else if (shape.transparency) {
        png_color_16 key{};
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    const int bitsPerPixel = channelsOf(shape.colourType) * shape.bitDepth;
    const int rowBytes = (width * bitsPerPixel + 7) / 8;
    Bytes row(static_cast<size_t>(rowBytes));
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < height; ++y) {
            for (int i = 0; i < rowBytes; ++i) {
                const bool corner = y == 0 && i < (bitsPerPixel + 7) / 8;
                const int value = shape.colourType == PNG_COLOR_TYPE_PALETTE ? (i + y) % 4
                                                                              : (i * 37 + y * 61) % 256;
                row[i] = corner ? 0 : static_cast<unsigned char>(value);
            }
            png_write_row(png, row.data());
        }
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// ---- WAV ------------------------------------------------------------------------------

void put16(Bytes& out, int v) {
    out.push_back(static_cast<unsigned char>(v & 0xff));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xff));
}
void put32(Bytes& out, uint32_t v) {
    put16(out, static_cast<int>(v & 0xffff));
    put16(out, static_cast<int>(v >> 16));
}
// Byte by byte: GCC takes a range insert into the still empty vector for an overflow.
void putTag(Bytes& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(tag[i]));
}

// A short tone in RIFF WAVE PCM; `extraChunk` puts a LIST chunk before the data.
Bytes makeWav(int bits, int channels, int rate, int frames, bool extraChunk) {
    Bytes pcm;
    for (int f = 0; f < frames; ++f) {
        const double s = std::sin(f * 0.3);
        for (int c = 0; c < channels; ++c) {
            if (bits == 8) pcm.push_back(static_cast<unsigned char>(128 + 100 * s));
            else put16(pcm, static_cast<int>(20000 * s));
        }
    }
    Bytes out;
    putTag(out, "RIFF");
    put32(out, 0);  // patched below
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);
    put16(out, channels);
    put32(out, static_cast<uint32_t>(rate));
    put32(out, static_cast<uint32_t>(rate * channels * bits / 8));
    put16(out, channels * bits / 8);
    put16(out, bits);
    if (extraChunk) {
        putTag(out, "LIST");
        put32(out, 5);
        out.insert(out.end(), {'I', 'N', 'F', 'O', 'x', 0});  // odd size, one pad byte
    }
    putTag(out, "data");
    put32(out, static_cast<uint32_t>(pcm.size()));
    out.insert(out.end(), pcm.begin(), pcm.end());
    const uint32_t riffSize = static_cast<uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<unsigned char>(riffSize >> (8 * i));
    return out;
}

// ---- Ogg Vorbis ------------------------------------------------------------------------

void appendPage(Bytes& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

// A tenth of a second of a tone, at the encoder's lowest quality.
Bytes makeOgg(int channels, int rate) {
    vorbis_info info;
    vorbis_info_init(&info);
    Bytes out;
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.0f) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);  // fixed serial: the same bytes every time

    ogg_packet header, commentHeader, codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codebooks);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) appendPage(out, page);

    const int frames = rate / 10;
    float** buffer = vorbis_analysis_buffer(&dsp, frames);
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c) buffer[c][f] = 0.5f * std::sin(f * 0.05f * (c + 1));
    vorbis_analysis_wrote(&dsp, frames);
    vorbis_analysis_wrote(&dsp, 0);

    ogg_packet packet;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
            ogg_stream_packetin(&stream, &packet);
            while (ogg_stream_pageout(&stream, &page) != 0) appendPage(out, page);
        }
    }
    while (ogg_stream_flush(&stream, &page) != 0) appendPage(out, page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

// ---- Text files and the font ------------------------------------------------------------

Bytes textBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string scoresText(const char* lineEnd) {
    std::string text;
    for (int i = 1; i <= 20; ++i)
        text += (i % 3 == 0 ? "nobody" : "PLAYER " + std::to_string(i)) + lineEnd +
                std::to_string((21 - i) * 1000) + lineEnd;
    return text;
}

Bytes fileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// ---- Replays -------------------------------------------------------------------------

// A match played quietly in memory, both players pushing and typing now and then, and
// a pause taken; recorded and encoded as the game writes it, or with `contents` only
// what the file compresses: the snapshot's length, the snapshot and the records.
Bytes makeReplay(const char* mode, int level, int frames, bool contents = false) {
    const int generator = RndState();
    SeedRnd(777);
    Game game;
    game.setDefaultOptions();
    game.gameMode = mode;
    game.level = level;
    game.setupMatch();
    Replay replay;
    replay.fingerprint = simulationFingerprint();
    replay.mode = mode;
    replay.level = level;
    replay.snapshot = saveSnapshot(game);
    FrameEvents events;
    for (int frame = 0; frame < frames; ++frame) {
        InputRecord input;
        input.held = static_cast<uint16_t>((frame / 20 % 2 ? KeyP1Right | KeyP2Up : KeyP1Up | KeyP2Left));
        input.heldAfterPause = input.held;
        if (frame == 50) {
            input.pauseHits = 1;
            input.heldAfterPause = KeyP1Down;
        }
        if (frame % 70 == 3) input.typed = "ok";
        game.stepMatch(input, events);
        appendRecord(replay.records, game.frameInput);
        replay.frames += 1;
    }
    SeedRnd(generator);
    if (!contents) return encodeReplay(replay);
    const auto length = static_cast<uint32_t>(replay.snapshot.size());
    Bytes bytes(reinterpret_cast<const unsigned char*>(&length), reinterpret_cast<const unsigned char*>(&length) + 4);
    bytes.insert(bytes.end(), replay.snapshot.begin(), replay.snapshot.end());
    bytes.insert(bytes.end(), replay.records.begin(), replay.records.end());
    return bytes;
}

}  // namespace

std::vector<FuzzSeed> makeFuzzSeeds(std::string_view reader) {
    if (reader == "options")
        return {
            {"defaults", textBytes("1\r\n4\r\n5\r\n1\r\n5\r\n1\r\n3\r\n0\r\n6\r\n6\r\n1\r\n1\r\n10\r\n")},
            {"lf-out-of-range", textBytes("1\n99\n0\n-5\n5\n1\n3\n0\n6\n6\n1\n12\n40\n")},
            {"short-junk", textBytes("1\r\n7x\r\n\r\n")},
        };
    if (reader == "scores")
        return {
            {"crlf", textBytes(scoresText("\r\n"))},
            {"lf", textBytes(scoresText("\n"))},
            {"short-odd", textBytes("ANNA\r\n500\r\nBERT\r\n12abc\r\nODD\r\n")},
        };
    if (reader == "png") {
        const PngShape shapes[] = {
            {"rgba8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false},
            {"rgb8", PNG_COLOR_TYPE_RGB, 8, false, false},
            {"rgb8-trns", PNG_COLOR_TYPE_RGB, 8, false, true},
            {"gray8", PNG_COLOR_TYPE_GRAY, 8, false, false},
            {"gray-alpha8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false},
            {"gray16", PNG_COLOR_TYPE_GRAY, 16, false, false},
            {"palette-trns", PNG_COLOR_TYPE_PALETTE, 2, false, true},
            {"rgba16-interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 16, true, false},
        };
        std::vector<FuzzSeed> seeds;
        for (const PngShape& shape : shapes) seeds.push_back({shape.name, makePng(shape)});
        return seeds;
    }
    if (reader == "wav")
        return {
            {"pcm8-mono", makeWav(8, 1, 8000, 40, false)},
            {"pcm16-stereo", makeWav(16, 2, 22050, 30, true)},
            {"pcm16-mono-44k", makeWav(16, 1, 44100, 25, false)},
        };
    if (reader == "ogg")
        return {
            {"mono-22k", makeOgg(1, 22050)},
            {"stereo-44k", makeOgg(2, 44100)},
        };
    if (reader == "ttf") return {{"game-font", fileBytes(TUMBLEBOUT_FUZZ_FONT)}};
    if (reader == "replay")
        return {
            {"versus", makeReplay("2vs", 1, 240)},
            {"coop-level-9", makeReplay("2coop", 9, 150)},
            {"versus-contents", makeReplay("2vs", 1, 200, true)},
        };
    if (reader == "packets") return makePacketSeeds();
    if (reader == "lobby") return makeLobbySeeds();
    return {};
}
