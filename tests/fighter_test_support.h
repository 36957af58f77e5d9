#pragma once
// A bare match world for fighter tests: a Game with level-1 walls and default options,
// fighters placed by hand, and the per-fighter physics step in the match's frame order.

#include <cmath>

#include "game/Game.h"
#include "platform/headless.h"

namespace fightertest {

// Level 1's arena scale 1.5: 1536 x 1152 world units centred on (0, 0).
inline void setLevelOneWalls(Game& game) {
    game.arenaRight = 768;
    game.arenaLeft = -768;
    game.arenaTop = -576;
    game.arenaFloor = 576;
}

inline void setDefaultPhysicsOptions(MatchState& game) {
    game.gravity = 1;
    game.flexibility = 5;
    game.playersSpeed = 4;
    game.blood = 10;
    game.timeStep = 1.0f;
}

// Places a fresh fighter in slot `no` and sets it up for a match of `count` fighters.
inline man& addFighter(Game& game, int no, int count, float scale = 2.0f, int isRobot = 0) {
    game.fighters[no] = man{};
    man& m = game.fighters[no];
    m.fighterNo = no;
    m.scale = scale;
    m.isRobot = isRobot;
    m.colour = {0, 65, 65, 65};
    m.setup(count);
    return m;
}

// One fighter's share of a match frame, from saving positions to the walls.
inline void physicsFrame(Game& game, man& m) {
    m.saveOldPositions();
    m.applyGravity(game.gravity);
    m.moveNodes(game.timeStep);
    m.relax(game.timeStep, game.flexibility);
    m.updateVelocities(game.timeStep);
    m.collideWalls(game);
}

inline float stickLength(const man& m, int s) {
    const ball& a = m.nodes[m.sticks[s][0]];
    const ball& b = m.nodes[m.sticks[s][1]];
    return std::hypot(a.x - b.x, a.y - b.y);
}

// How far joint j is bent away from its rest angle, in degrees (-180..180).
inline float jointError(const man& m, int j) {
    const ball& a = m.nodes[m.joints[j][0]];
    const ball& b = m.nodes[m.joints[j][1]];
    const ball& c = m.nodes[m.joints[j][2]];
    const float t1 = ATan2(b.y - a.y, -(b.x - a.x));
    const float t2 = ATan2(c.y - b.y, -(c.x - b.x));
    return wrap180(wrap360(t1 - t2 + 180.0f) - m.jointAngle[j]);
}

inline bool allNodesFinite(const man& m) {
    for (int i = 1; i <= NodeCount; ++i) {
        const ball& n = m.nodes[i];
        if (!std::isfinite(n.x) || !std::isfinite(n.y) || !std::isfinite(n.vx) ||
            !std::isfinite(n.vy))
            return false;
    }
    return true;
}

}  // namespace fightertest
