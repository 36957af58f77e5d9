// Rollback readiness: the size of a snapshot, the time to save and to restore it, a
// restore followed by eight steps (what a rollback of eight frames costs), and
// the online driver's whole tick at the most rollback the window allows, for a
// six-fighter fight as the game plays it and for every burst slot full of particles.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include "game/Game.h"
#include "game/fingerprint.h"
#include "game/snapshot.h"
#include "net/fake_link.h"
#include "online/online_match.h"
#include "platform/headless.h"

namespace {

constexpr int RollbackFrames = 8;

// The canonical fight (six fighters in one heap, every effect at its highest), stepped
// into the thick of it; with `fullBursts` every one of the 100 slots then holds 300
// live particles.
struct HeavyFight {
    Game game;
    FrameEvents events;
    int frame = 0;

    explicit HeavyFight(bool fullBursts) {
        headless::start({0, false, false});
        setUpCanonicalFight(game);
        while (frame < 30) step();
        if (!fullBursts) return;
        for (int slot = 1; slot <= BurstSlots; ++slot) {
            const ball& node = game.fighters[1 + slot % game.fighterCount].nodes[1 + slot % NodeCount];
            game.bursts[slot].start(node.x, node.y, 0, 0, MaxParticles, slot % 2, 3.0f, 0, 8);
        }
    }
    void step() { game.stepMatch(canonicalInput(frame++), events); }
};

// Nobody at the keys: the bench hands the session's requests in itself.
struct NoPlayer : OnlinePlayer {
    std::optional<PlayerInput> keysFor(int32_t) override { return PlayerInput{}; }
};

// Draws each frame first shown, as the window does.
struct Screen : FrameObserver {
    explicit Screen(const Game& game) : game(game) {}
    void stepped(const MatchState&, const SteppedFrame& frame) override {
        if (frame.firstShowing) game.drawMatchFrame(frame.events);
    }
    const Game& game;
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
    state.SetLabel("restore + 8 steps, six fighters");
}

SessionRequest request(SessionRequest::Kind kind, int32_t frame, bool quiet = false) {
    SessionRequest r;
    r.kind = kind;
    r.frame = frame;
    r.quiet = quiet;
    return r;
}

// What the online driver does on a tick that corrects kMaxRollbackFrames frames: load
// the first wrong one, run it and the rest again unseen (saving each), then save and
// run the new frame with its drawing. The counter is the slowest tick seen.
void BM_OnlineTickAtMostRollback(benchmark::State& state) {
    HeavyFight fight(state.range(0) != 0);
    FakeLink link;
    RollbackSession session(link.end(0), {}, 0);
    NoPlayer player;
    OnlineMatch match(fight.game, session, player, false, "");
    FrameDriver driver(fight.game, match);
    Screen screen(fight.game);
    driver.observe(screen);
    std::vector<SessionRequest> forward, rollback;
    for (int32_t f = 0; f <= kMaxRollbackFrames; ++f) {
        forward.push_back(request(SessionRequest::Kind::SaveState, f));
        forward.push_back(request(SessionRequest::Kind::Advance, f));
    }
    rollback.push_back(request(SessionRequest::Kind::LoadState, 0));
    for (int32_t f = 0; f <= kMaxRollbackFrames; ++f) {
        if (f > 0) rollback.push_back(request(SessionRequest::Kind::SaveState, f));
        rollback.push_back(request(SessionRequest::Kind::Advance, f, f < kMaxRollbackFrames));
    }
    match.carryOut(driver, forward);
    double worstMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        match.carryOut(driver, rollback);
        worstMs = std::max(worstMs, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["worst_ms"] = worstMs;
    state.SetLabel("load, 8 unseen frames, the new frame drawn; six fighters");
}

}  // namespace

// Argument 0: the fight as played (about 90 bursts of 300 or fewer); 1: all 100 slots full.
BENCHMARK(BM_SnapshotSave)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SnapshotRestore)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RollbackEightQuietFrames)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OnlineTickAtMostRollback)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
