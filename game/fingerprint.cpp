// The canonical fight and the run behind the fingerprint: its first 150 frames, stepped
// quietly.
#include "game/fingerprint.h"

#include "game/Game.h"
#include "game/snapshot.h"

namespace {

constexpr int CanonicalSeed = 20261208;
constexpr int CanonicalFrames = 150;

uint64_t canonicalRun() {
    Game game;
    setUpCanonicalFight(game);
    FrameEvents events;
    for (int frame = 0; frame < CanonicalFrames; ++frame) game.stepMatch(canonicalInput(frame), events);
    const std::vector<uint8_t> state = saveSnapshot(game);
    return hashBytes(state.data(), state.size());
}

}  // namespace

void setUpCanonicalFight(Game& game) {
    game.setDefaultOptions();
    game.gravity = 3;
    game.slowMotion = 5;
    game.blood = 30;
    game.blowPower = 8;
    game.aiLevel = 10;
    game.gameMode = "2coop";
    game.level = 9;
    for (auto& row : game.paletteStep) row.fill(2.0f);
    SeedRnd(CanonicalSeed);
    game.setupMatch();
    for (int i = 1; i <= game.fighterCount; ++i) {
        man& fighter = game.fighters[i];
        const float shift = fighter.nodes[HipsNode].x;
        for (int n = 1; n <= NodeCount; ++n) fighter.nodes[n].x -= shift;
    }
    game.frameCounter = 101;
}

InputRecord canonicalInput(int frame) {
    // Each player pushes a direction for 40 (30) frames, then the next one.
    constexpr uint16_t playerOne[4] = {KeyP1Right, KeyP1Up, KeyP1Left, KeyP1Down};
    constexpr uint16_t playerTwo[4] = {KeyP2Left, KeyP2Down, KeyP2Right, KeyP2Up};
    InputRecord input;
    input.held = static_cast<uint16_t>(playerOne[frame / 40 % 4] | playerTwo[frame / 30 % 4]);
    input.heldAfterPause = input.held;
    return input;
}

uint64_t simulationFingerprint() {
    static const uint64_t fingerprint = [] {
        const int generator = RndState();
        const uint64_t value = canonicalRun();
        SeedRnd(generator);
        return value;
    }();
    return fingerprint;
}
