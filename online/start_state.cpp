// The online series' first state, as the host sends it and the joiner takes it.
#include "online/start_state.h"

#include <zlib.h>

#include <cassert>

#include "game/Game.h"
#include "game/snapshot.h"
#include "net/protocol.h"

namespace {

constexpr uint8_t StartFormat = 1;
constexpr std::size_t HeaderBytes = 3;
// A fresh bout's state is a few kilobytes; inflating stops well before anything a
// hostile host could make larger.
constexpr uLongf MaxSnapshotBytes = 256 * 1024;

}  // namespace

std::vector<uint8_t> beginOnlineSeries(Game& game, bool coop) {
    game.gameMode = coop ? "2coop" : "2vs";
    game.beginSeries();
    game.nameCursor = 1;
    game.playerName.clear();
    game.nameChars.fill("");
    game.palette = {};
    for (auto& row : game.paletteStep) row.fill(2.0f);
    game.setupMatch();
    return startSettings(game);
}

std::vector<uint8_t> startSettings(const Game& game) {
    const bool coop = game.gameMode == "2coop";
    const std::vector<uint8_t> snapshot = saveSnapshot(game);
    uLongf packedSize = compressBound(static_cast<uLong>(snapshot.size()));
    std::vector<uint8_t> settings(HeaderBytes + packedSize);
    settings[0] = StartFormat;
    settings[1] = coop ? 1 : 0;
    settings[2] = static_cast<uint8_t>(game.musicTrack);
    compress2(settings.data() + HeaderBytes, &packedSize, snapshot.data(), static_cast<uLong>(snapshot.size()),
              Z_BEST_COMPRESSION);
    settings.resize(HeaderBytes + packedSize);
    assert(settings.size() <= kMaxSettingsBytes);
    return settings;
}

bool adoptStartState(Game& game, std::span<const uint8_t> settings) {
    if (settings.size() <= HeaderBytes || settings[0] != StartFormat || settings[1] > 1 || settings[2] < 1 ||
        settings[2] > 4)
        return false;
    std::vector<uint8_t> snapshot(MaxSnapshotBytes);
    uLongf size = MaxSnapshotBytes;
    if (uncompress(snapshot.data(), &size, settings.data() + HeaderBytes,
                   static_cast<uLong>(settings.size() - HeaderBytes)) != Z_OK)
        return false;
    if (!restoreSnapshot(game, snapshot.data(), size)) return false;
    game.musicTrack = settings[2];
    return game.gameMode == (settings[1] == 1 ? "2coop" : "2vs") && game.matchState == "game" &&
           game.frameCounter == 0;
}
