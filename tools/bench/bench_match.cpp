// Pure simulation speed of a whole match: every frame of playMatch in its real order
// (control, computer fighters, physics, hit test, bursts, state machine) on the
// headless backend with the draw-call recorder off, so drawing costs only its calls.
// Level 9 of the co-operative campaign: six fighters, the heaviest regular match.
#include <benchmark/benchmark.h>

#include "game/Game.h"
#include "platform/headless.h"

namespace {

constexpr int FramesPerMatch = 3000;  // 50 seconds of play: forming, fighting, the result

void matchFrames(benchmark::State& state) {
    headless::Options options;
    options.record = false;
    for (auto _ : state) {
        state.PauseTiming();
        headless::start(options);
        SeedRnd(2024);
        Game game;
        game.setDefaultOptions();
        game.musicVolume = 0;
        game.soundVolume = 0;
        game.gameMode = "2coop";
        game.level = 9;
        headless::setFrameHook([](int presented) {
            if (presented >= FramesPerMatch) throw ProgramEnd{0};
        });
        state.ResumeTiming();
        try {
            game.playMatch();
        } catch (const ProgramEnd&) {
        }
        state.PauseTiming();
        headless::setFrameHook(nullptr);
        if (game.fighterCount != 6) state.SkipWithError("the match did not have six fighters");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * FramesPerMatch);
    state.SetLabel("items = simulated frames (six fighters, level 9 co-op)");
    headless::start();
}

}  // namespace

BENCHMARK(matchFrames)->Unit(benchmark::kMillisecond)->MinTime(2.0);
