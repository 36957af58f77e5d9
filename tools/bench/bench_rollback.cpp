// Rollback readiness: the size of a snapshot, the time to save and to restore it, and a
// restore followed by eight quiet steps (what a rollback of eight frames costs), for a
// six-fighter fight as the game plays it and for every burst slot full of particles.
#include <benchmark/benchmark.h>

#include "game/Game.h"
#include "game/fingerprint.h"
#include "game/snapshot.h"
#include "platform/headless.h"

namespace {

constexpr int RollbackFrames = 8;

// The canonical fight (six fighters in one heap, every effect at its highest), stepped
// quietly into the thick of it; with `fullBursts` every one of the 100 slots then holds
// 300 live particles.
struct HeavyFight {
    Game game;
    int frame = 0;

    explicit HeavyFight(bool fullBursts) {
        headless::start({0, false, false});
        game.quiet = true;
        setUpCanonicalFight(game);
        while (frame < 30) step();
        if (!fullBursts) return;
        for (int slot = 1; slot <= BurstSlots; ++slot) {
            const ball& node = game.fighters[1 + slot % game.fighterCount]->nodes[1 + slot % NodeCount];
            game.bursts[slot]->start(node.x, node.y, 0, 0, MaxParticles, slot % 2, 3.0f, &game, 0, 8);
        }
    }
    void step() { game.stepMatch(canonicalInput(frame++)); }
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

// Argument 0: the fight as played (about 90 bursts of 300 or fewer); 1: all 100 slots full.
BENCHMARK(BM_SnapshotSave)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SnapshotRestore)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RollbackEightQuietFrames)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
