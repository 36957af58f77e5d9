// Combat figures: the hit test of six fighters (15 fighter pairs of 676 node pairs),
// and whole match frames stepped and drawn on the real OpenGL backend offscreen, for a heavy fight
// and for the worst case the options allow (100 bursts of 300 particles), each on the
// renderer's fast surface and on its plain fallback. Per frame: median_ms and p99_ms
// of the wall time, and the process's CPU time (the software rasteriser's threads too).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/Game.h"
#include "platform/gl_renderer.h"
#include "platform/headless.h"
#include "platform/png_write.h"
#include "tools/bench/frame_times.h"

namespace {

namespace fs = std::filesystem;

// Level 9 of the co-operative campaign: two players and four enemies in the widest
// arena but one, with the game's default options.
struct SixFighterMatch {
    Game game;
    FrameEvents events;

    explicit SixFighterMatch(const headless::Options& options) {
        headless::start(options);
        SeedRnd(2024);
        game.setDefaultOptions();
        game.musicVolume = 0;
        game.soundVolume = 0;
        game.gameMode = "2coop";
        game.level = 9;
        game.setupMatch();
        // Nobody falls while we measure.
        for (int i = 1; i <= game.fighterCount; ++i) game.fighters[i].maxEnergy = game.fighters[i].energy = 1e9f;
        // Let the bodies form and the enemies close in before measuring.
        for (int i = 0; i < 240; ++i) step(false);
    }

    // One frame of the match without keys; shown only when asked.
    void step(bool draw) {
        game.stepMatch(InputRecord{}, events);
        if (!draw) return;
        game.drawMatchFrame(events);
        Flip();
    }
};

void BM_CombatHitTestSixFighters(benchmark::State& state) {
    SixFighterMatch match({0, false, false});
    for (auto _ : state) {
        match.game.collideFighters(match.events);
        benchmark::DoNotOptimize(match.game.contactGate);
    }
    state.SetLabel("15 x 676 node pairs");
}

// With TUMBLEBOUT_BENCH_SHOTS set to a folder, the frame after the warm-up (the same
// in every run) is saved there as a PNG named after the case, to compare what two
// builds of the renderer draw.
void saveShotWhenAsked(GlRenderer& gl, const std::string& name) {
    const char* folder = std::getenv("TUMBLEBOUT_BENCH_SHOTS");
    if (!folder) return;
    std::vector<unsigned char> rgba(static_cast<size_t>(SurfaceWidth) * SurfaceHeight * 4);
    gl.finishFrame();
    if (!gl.readPixels(rgba.data())) return;
    writePng((fs::path(folder) / (name + ".png")).string(), rgba.data(), SurfaceWidth, SurfaceHeight);
}

// A drawn match: the game's pictures and font from beside the program, a banner
// always showing, and `blood` blood bursts of `particles` plus `sparks` spark bursts
// kept alive by restarting each one as it fades, at the fighters' nodes.
void runDrawnFrames(benchmark::State& state, int bloodBursts, int particles, int sparkBursts) {
    const SurfaceKind surface = state.range(0) ? SurfaceKind::Fast : SurfaceKind::Plain;
    GlRenderer::preferSurface(surface);
    SixFighterMatch match({0, false, true});
    GlRenderer::preferSurface(SurfaceKind::Fast);
    Game& g = match.game;
    auto* gl = dynamic_cast<GlRenderer*>(currentBackend().renderer());
    if (!Graphics(1024, 768) || !gl) {
        state.SkipWithError("no offscreen OpenGL");
        return;
    }
    if (gl->surfaceKind() != surface) {
        state.SkipWithError("the driver refused the fast surface");
        return;
    }
    g.dataFolder = fs::read_symlink("/proc/self/exe").parent_path().string();
    AutoImageFlags(7);
    g.quadImage = LoadImage(g.dataPath("images/quad280.png"));
    MidHandleImage(g.quadImage);
    g.ballImage = LoadImage(g.dataPath("images/ballimage280.png"));
    MidHandleImage(g.ballImage);
    g.sparkImage = LoadImage(g.dataPath("images/spark.png"));
    SetImageFont(LoadImageFont(g.dataPath("images/font.ttf"), 200, 4));
    SetBlend(3);
    if (!g.ballImage || !g.sparkImage) {
        state.SkipWithError("the game's pictures are missing: build the gamedata target");
        return;
    }
    // The fight's own blows add blood; the bursts below come on top of them.
    g.blood = particles / 10;

    int frame = 0;
    auto keepBurstsAlive = [&] {
        for (int slot = 1; slot <= bloodBursts + sparkBursts; ++slot) {
            dotburst& burst = g.bursts[slot];
            if (burst.active) continue;
            const man& fighter = g.fighters[1 + slot % g.fighterCount];
            const ball& node = fighter.nodes[1 + (slot * 7 + frame) % NodeCount];
            if (slot <= bloodBursts)
                burst.start(node.x, node.y, node.vx / 35, node.vy / 35, particles, BurstBlood, 3.0f, 0, 8);
            else
                burst.start(node.x, node.y, 0, 0, 20, BurstPlasma, 2.0f, 0, 0);
            // Staggered ages, as in a fight, rather than all fading together.
            for (int age = 0; age < (slot * 5) % 50; ++age) burst.update();
        }
        // The fight's own bursts use the other slots.
        if (g.nextBurst <= bloodBursts + sparkBursts) g.nextBurst = bloodBursts + sparkBursts + 1;
        if (g.nextBurst > BurstSlots) g.nextBurst = 1;
    };
    auto drawFrame = [&] {
        keepBurstsAlive();
        g.bannerText = "3 HIT COMBO!";
        g.bannerTimer = 60;
        match.step(true);
        ++frame;
    };
    // The software rasteriser compiles its shaders on the first frames: not measured.
    for (int i = 0; i < 60; ++i) drawFrame();
    saveShotWhenAsked(*gl, std::to_string(bloodBursts) + "-blood-bursts-" + (state.range(0) ? "fast" : "plain"));
    FrameTimes times;
    for (auto _ : state) {
        const double start = nowMs();
        drawFrame();
        times.add(nowMs() - start);
    }
    times.report(state);
    state.SetLabel("per frame, offscreen on " + glDescription());
}

void BM_CombatHeavyFightFrame(benchmark::State& state) { runDrawnFrames(state, 20, 100, 10); }
void BM_CombatWorstCaseFrame(benchmark::State& state) { runDrawnFrames(state, 100, 300, 0); }

}  // namespace

BENCHMARK(BM_CombatHitTestSixFighters)->Unit(benchmark::kMicrosecond);
// Argument 1: the fast surface; 0: the plain fallback.
BENCHMARK(BM_CombatHeavyFightFrame)->ArgName("fast_surface")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(3.0)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_CombatWorstCaseFrame)->ArgName("fast_surface")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(3.0)->MeasureProcessCPUTime()->UseRealTime();
