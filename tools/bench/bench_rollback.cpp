// Rollback readiness: the size of a snapshot, the time to save and to restore it, and a
// restore followed by eight quiet steps (what a rollback of eight frames costs), for a
// six-fighter fight as the game plays it and for every burst slot full of particles.
#include <benchmark/benchmark.h>

#include "game/Game.h"
#include "game/snapshot.h"
#include "platform/headless.h"

namespace {

constexpr int RollbackFrames = 8;

InputRecord pushing(int frame) {
    constexpr uint16_t one[4] = {KeyP1Right, KeyP1Up | KeyP1Right, KeyP1Left, KeyP1Down | KeyP1Left};
    constexpr uint16_t two[4] = {KeyP2Left, KeyP2Up, KeyP2Right | KeyP2Down, KeyP2Left | KeyP2Up};
    InputRecord input;
    input.held = static_cast<uint16_t>(one[frame / 17 % 4] | two[frame / 23 % 4]);
    input.heldAfterPause = input.held;
    return input;
}

// Level 9 of the co-operative campaign, every effect at its highest, stepped quietly
// into the fight; with `fullBursts` every one of the 100 slots then holds 300 live
// particles.
struct HeavyFight {
    Game game;
    int frame = 0;

    explicit HeavyFight(bool fullBursts) {
        headless::start({0, false, false});
        SeedRnd(99);
        game.quiet = true;
        game.setDefaultOptions();
        game.blood = 30;
        game.slowMotion = 5;
        game.aiLevel = 10;
        game.gameMode = "2coop";
        game.level = 9;
        for (auto& row : game.paletteStep) row.fill(2.0f);
        game.setupMatch();
        while (frame < 390) step();
        if (!fullBursts) return;
        for (int slot = 1; slot <= BurstSlots; ++slot) {
            const ball& node = game.fighters[1 + slot % game.fighterCount]->nodes[1 + slot % NodeCount];
            game.bursts[slot]->start(node.x, node.y, 0, 0, MaxParticles, slot % 2, 3.0f, &game, 0, 8);
        }
    }
    void step() { game.stepMatch(pushing(frame++)); }
};

void reportSize(benchmark::State& state, const std::vector<uint8_t>& snapshot) {
    state.counters["snapshot_bytes"] = static_cast<double>(snapshot.size());
}

void BM_SnapshotSave(benchmark::State& state) {
    HeavyFight fight(state.range(0) != 0);
    std::vector<uint8_t> snapshot;
    for (auto _ : state) {
        saveSnapshot(fight.game, snapshot);
        benchmark::DoNotOptimize(snapshot.data());
    }
    reportSize(state, snapshot);
}

void BM_SnapshotRestore(benchmark::State& state) {
    HeavyFight fight(state.range(0) != 0);
    const std::vector<uint8_t> snapshot = saveSnapshot(fight.game);
    for (auto _ : state) {
        if (!restoreSnapshot(fight.game, snapshot.data(), snapshot.size())) state.SkipWithError("restore refused");
    }
    reportSize(state, snapshot);
}

void BM_RollbackEightQuietFrames(benchmark::State& state) {
    HeavyFight fight(state.range(0) != 0);
    const std::vector<uint8_t> snapshot = saveSnapshot(fight.game);
    const int from = fight.frame;
    for (auto _ : state) {
        restoreSnapshot(fight.game, snapshot.data(), snapshot.size());
        fight.frame = from;
        for (int i = 0; i < RollbackFrames; ++i) fight.step();
    }
    reportSize(state, snapshot);
    state.SetLabel("restore + 8 quiet steps, six fighters");
}

}  // namespace

// Argument 0: the fight as played (a dozen bursts); 1: all 100 burst slots full.
BENCHMARK(BM_SnapshotSave)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SnapshotRestore)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RollbackEightQuietFrames)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
