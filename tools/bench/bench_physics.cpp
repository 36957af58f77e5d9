// Fighter physics per frame: gravity, move, the 32 solver passes, velocities and walls,
// for one fighter and for the six of the largest levels. Bodies are pushed about by the
// head every frame so the solver always has work to do.
#include <benchmark/benchmark.h>


#include "game/Game.h"
#include "platform/headless.h"

namespace {

struct Arena {
    Game game;

    explicit Arena(int fighterCount) {
        headless::start({0, false, false});
        SeedRnd(2024);
        game.arenaRight = 768;
        game.arenaLeft = -768;
        game.arenaTop = -576;
        game.arenaFloor = 576;
        game.gravity = 1;
        game.flexibility = 5;
        game.fighterCount = fighterCount;
        for (int no = 1; no <= fighterCount; ++no) {
            man& m = game.fighters[no];
            m.fighterNo = no;
            m.scale = no == 1 ? 2.0f : 3.0f;
            m.isRobot = no > 3;
            m.setup(fighterCount);
        }
    }

    void frame(int counter) {
        for (int no = 1; no <= game.fighterCount; ++no) game.fighters[no].saveOldPositions();
        for (int no = 1; no <= game.fighterCount; ++no) {
            man& m = game.fighters[no];
            // A steady zigzag push on the head, as a player would steer.
            m.nodes[HeadNode].vx += (counter / 40 + no) % 2 ? 3.0f : -3.0f;
            m.nodes[HeadNode].vy -= counter % 30 < 10 ? 3.0f : 0.0f;
            m.applyGravity(game.gravity);
            m.moveNodes(game.timeStep);
            m.relax(game.timeStep, game.flexibility);
            m.updateVelocities(game.timeStep);
            m.collideWalls(game);
        }
    }
};

void runFrames(benchmark::State& state, int fighterCount) {
    Arena arena(fighterCount);
    int counter = 0;
    for (int i = 0; i < 120; ++i) arena.frame(counter++);  // let the bodies form first
    for (auto _ : state) {
        arena.frame(counter++);
        benchmark::DoNotOptimize(arena.game.fighters[1].nodes[HeadNode].x);
    }
    state.SetLabel("per frame");
}

void BM_PhysicsOneFighter(benchmark::State& state) { runFrames(state, 1); }
void BM_PhysicsSixFighters(benchmark::State& state) { runFrames(state, 6); }

}  // namespace

BENCHMARK(BM_PhysicsOneFighter)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PhysicsSixFighters)->Unit(benchmark::kMicrosecond);
