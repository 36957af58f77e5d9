// Camera and slow motion: framing the fighters that still count, the shrunken
// physics step after a hard contact, and the pacing of slow-motion frames.

#include <algorithm>
#include <array>

#include "game/Game.h"
#include "game/elapsed.h"

namespace {

// Margins in world units around the framed fighters, in the screen's 4:3 shape.
constexpr float marginX = 444;
constexpr float marginY = 333;

struct Point {
    float x = 0, y = 0;
};

Point centreOf(const man& fighter) {
    Point sum;
    for (int n = 1; n <= fighter.nodeCount; ++n) {
        sum.x += fighter.nodes[n].x;
        sum.y += fighter.nodes[n].y;
    }
    return {sum.x / fighter.nodeCount, sum.y / fighter.nodeCount};
}

}  // namespace

void MatchState::updateCamera() {
    for (int i = 1; i <= fighterCount; ++i) fighters[i].fadeOut();

    std::array<Point, 7> centres{};
    for (int i = 1; i <= fighterCount; ++i) centres[i] = centreOf(fighters[i]);

    float maxX = -1000000, minX = 100000, maxY = -100000, minY = 1000000;
    for (int i = 1; i <= fighterCount; ++i) {
        // As a knocked-out fighter's weight falls, its point slides onto fighter 1
        // and stops widening the view.
        const float w = fighters[i].cameraWeight;
        const float px = centres[i].x * w + centres[1].x * (1 - w);
        const float py = centres[i].y * w + centres[1].y * (1 - w);
        maxX = std::max(px, maxX);
        minX = std::min(px, minX);
        maxY = std::max(py, maxY);
        minY = std::min(py, minY);
    }
    cameraX = (maxX + minX) / 2;
    cameraY = (maxY + minY) / 2;
    zoom = std::min(1024 / (maxX - minX + marginX), 768 / (maxY - minY + marginY));
}

void MatchState::updateTimeStep() {
    timeStep = 1.0f;
    if (slowMotionTimer >= 0) {
        slowMotionTimer -= 1.0f;
        timeStep = 1.0f / (1.0f + slowMotion / 2.5f);
    }
}

void Game::paceSlowMotion() {
    if (slowMotionTimer < 0) return;
    // Sleep in single milliseconds rather than spin: never returns before the frame
    // has lasted its full share.
    while (true) {
        const int elapsed = millisecondsSince(lastPacedFrame);
        // Negative only when the mark is over 24 days old: long past, no wait.
        if (elapsed < 0 || static_cast<float>(elapsed) >= SlowMotionFrameMs) break;
        Delay(1);
    }
    lastPacedFrame = MilliSecs();
}
