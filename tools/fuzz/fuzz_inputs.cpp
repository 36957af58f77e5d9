// Feeding one input to each file reader and checking what came out.

#include "tools/fuzz/fuzz_inputs.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "frontend/option_table.h"
#include "game/Game.h"
#include "game/fingerprint.h"
#include "platform/font.h"
#include "platform/image.h"
#include "platform/sound.h"
#include "replay/replay_file.h"
#include "replay/replay_player.h"

namespace fs = std::filesystem;

namespace {

// One private folder per process for the files the readers open, removed at exit.
const fs::path& scratchFolder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "tumblebout-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("tumblebout fuzz: cannot make a scratch folder");
            std::abort();
        }
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(scratchFolder(), ignored);
        });
        return fs::path(pattern);
    }();
    return folder;
}

fs::path writeInput(const std::string& name, const uint8_t* data, size_t size) {
    const fs::path path = scratchFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) {
        std::fprintf(stderr, "tumblebout fuzz: cannot write %s\n", path.c_str());
        std::abort();
    }
    return path;
}

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "tumblebout fuzz: invariant broken: %s\n", what);
    std::abort();
}

// The game reads its options and scores from the working folder; the reader runs
// there and the caller's folder is restored afterwards.
class InScratchFolder {
public:
    InScratchFolder() : previous_(fs::current_path()) { fs::current_path(scratchFolder()); }
    ~InScratchFolder() { fs::current_path(previous_); }

private:
    fs::path previous_;
};

}  // namespace

bool feedOptionsFile(const uint8_t* data, size_t size) {
    InScratchFolder here;
    writeInput("prefs.tbt", data, size);
    Game game;
    game.setDefaultOptions();
    game.loadPrefs();
    for (const StoredOption& option : storedOptions) {
        const int value = game.*option.field;
        if (option.clamped && (value < option.minimum || value > option.maximum))
            broken("an option outside its range after loading");
    }
    return true;
}

bool feedScoresFile(const uint8_t* data, size_t size) {
    InScratchFolder here;
    writeInput("scores.txt", data, size);
    Game game;
    game.defaultHighScores();
    game.loadHighScores();
    if (game.highScores.size() != 20) broken("the table does not hold 20 entries");
    // The loaded rows go through the sort and an insertion as at the end of a campaign.
    const int64_t lowest = game.lowestHighScore();
    if (lowest < INT64_MAX) game.addHighScore("FUZZ", lowest + 1);
    if (game.highScores.size() != 20) broken("an insertion changed the table's length");
    return true;
}

bool feedPicture(const uint8_t* data, size_t size) {
    const std::string path = writeInput("input.png", data, size).string();
    // As loaded (alpha kept), and masked, which fills transparent black pixels.
    bool accepted = false;
    for (const int flags : {FILTEREDIMAGE, MASKEDIMAGE | FILTEREDIMAGE | MIPMAPPEDIMAGE}) {
        const ImageRef image = LoadImage(path, flags);
        if (!image) continue;
        if (image->width <= 0 || image->height <= 0) broken("a picture without pixels");
        if (image->rgba.size() != static_cast<size_t>(image->width) * image->height * 4)
            broken("a picture whose pixel buffer does not match its size");
        accepted = true;
    }
    return accepted;
}

bool feedSound(const uint8_t* data, size_t size) {
    const SoundRef sound = LoadSound(writeInput("input.snd", data, size).string());
    if (!sound) return false;
    if (sound->rate <= 0) broken("a sound without a rate");
    if (sound->channels != 1 && sound->channels != 2) broken("a sound neither mono nor stereo");
    if (sound->samples.size() % sound->channels != 0) broken("a sound with a partial frame");
    return true;
}

bool feedFont(const uint8_t* data, size_t size) {
    constexpr int pixels = 64;
    const FontRef font = LoadImageFont(writeInput("input.ttf", data, size).string(), pixels);
    if (!font) return false;
    if (fontHeight(font) < 0) broken("a font of negative height");
    // Every character the game can draw, rasterised on first use.
    for (int c = 0; c < 256; ++c) {
        const Glyph* glyph = fontGlyph(font, static_cast<unsigned char>(c));
        if (glyph == nullptr || glyph->image == nullptr) continue;
        const Image& image = *glyph->image;
        if (image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4)
            broken("a glyph whose pixel buffer does not match its size");
        if (image.width > 2 * pixels || image.height > 2 * pixels) broken("a glyph far larger than the font");
    }
    return true;
}

// A replay file; or, for inputs not starting with the file's magic, its contents before
// compression (four bytes of snapshot length, the snapshot, the records), packed here
// into a file of this build, so that mutations reach the snapshot and the records
// rather than dying at the checksum.
bool feedReplay(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(data, data + size);
    if (size < 8 || std::memcmp(data, "TBREPLAY", 8) != 0) {
        uint32_t snapshotBytes = 0;
        if (size >= 4) std::memcpy(&snapshotBytes, data, 4);
        if (size < 4 || snapshotBytes > size - 4) return false;
        Replay packed;
        packed.fingerprint = simulationFingerprint();
        packed.mode = "2vs";
        packed.snapshot.assign(data + 4, data + 4 + snapshotBytes);
        packed.records.assign(data + 4 + snapshotBytes, data + size);
        std::size_t offset = 0;
        InputRecord input;
        while (readRecord(packed.records, offset, input)) packed.frames += 1;
        file = encodeReplay(packed);
    }
    const ReplayResult read =
        readReplayFile(writeInput("input.tbr", file.data(), file.size()).string(), simulationFingerprint());
    if (!read.error.empty()) return false;
    // A replay that reads is played: whatever state it restores must step safely.
    MatchState match;
    ReplayPlayback playback;
    if (!playback.begin(match, read.replay)) return false;
    FrameEvents events;
    for (int frame = 0; frame < 120 && !playback.finished(); ++frame) match.stepMatch(playback.next(), events);
    for (int i = 1; i <= match.fighterCount; ++i) {
        if (match.fighters[i].energy < 0) broken("a fighter's energy below 0 after a step");
    }
    return true;
}

const FuzzReader* findFuzzReader(std::string_view name) {
    for (const FuzzReader& reader : fuzzReaders)
        if (reader.name == name) return &reader;
    return nullptr;
}
