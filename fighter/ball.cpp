// One body node: integration, wall response, hit-timer bleeding, and the small angle
// and rounding helpers that the solver, the computer fighters and the arena share.
// All arithmetic is single precision, in the order written, so that a seed and an
// input script replay a match exactly.

#include <cmath>

#include "game/match_state.h"

void ball::emitBlood(MatchState& match, int isRobot, float t) const {
    const int count = static_cast<int>(std::floor(static_cast<float>(match.blood * 10) * t));
    match.startBurst(x, y, vx / 35.0f, vy / 35.0f, count, BurstBlood, 3.0f, isRobot, static_cast<int>(radius));
}

void ball::tick(MatchState& match, int isRobot) {
    if (hitTimer > 0) hitTimer -= 1;
    // A fresh blow (timer 60) bleeds for nine frames, each burst smaller than the last.
    if (hitTimer > 50) emitBlood(match, isRobot, static_cast<float>(hitTimer - 50) / 50.0f);
}

void ball::updateVelocity(float timeStep) {
    vx = (x - oldX) / timeStep;
    vy = (y - oldY) / timeStep;
}

void ball::saveOldPosition() {
    oldX = x;
    oldY = y;
}

void ball::move(float timeStep) {
    x += vx * timeStep;
    y += vy * timeStep;
}

void ball::applyGravity(int gravity) { vy += 0.04f * static_cast<float>(gravity); }

int ball::collideWalls(const MatchState& match) {
    // Each wall reverses and halves the normal velocity and halves the tangential one.
    // The tests run in a fixed order and a later one overwrites the code, so a node in
    // a corner reports the floor or ceiling rather than the side wall.
    int code = 0;
    if (x > match.arenaRight - size) {
        x = match.arenaRight - size;
        vx = -0.5f * vx;
        vy = 0.5f * vy;
        code = DirLeft;
    }
    if (x < match.arenaLeft + size) {
        x = match.arenaLeft + size;
        vx = -0.5f * vx;
        vy = 0.5f * vy;
        code = DirRight;
    }
    if (y > match.arenaFloor - size) {
        y = match.arenaFloor - size;
        vy = -0.5f * vy;
        vx = 0.5f * vx;
        code = DirUp;
    }
    if (y < match.arenaTop + size) {
        y = match.arenaTop + size;
        vy = -0.5f * vy;
        vx = 0.5f * vx;
        code = DirDown;
    }
    return code;
}

// Far-off angles are first brought near the range with an exact remainder, so the
// turn-by-turn loops below always end; for angles below 720 in size the result is
// exactly that of the loops alone.
static float nearFullTurn(float a) { return std::fabs(a) > 720.0f ? std::fmod(a, 360.0f) : a; }

float wrap360(float a) {
    a = nearFullTurn(a);
    while (a >= 360.0f) a -= 360.0f;
    while (a < 0.0f) a += 360.0f;
    return a;
}

float wrap180(float a) {
    a = nearFullTurn(a);
    while (a > 180.0f) a -= 360.0f;
    while (a < -180.0f) a += 360.0f;
    return a;
}

int intPower(int base, int exponent) {
    // Unsigned so that an overflowing power wraps instead of being undefined.
    unsigned result = 1;
    for (int i = 0; i < exponent; ++i) result *= static_cast<unsigned>(base);
    return static_cast<int>(result);
}

int nearestInt(float v) {
    // Halves round up (towards +infinity): 2.5 gives 3, -2.5 gives -2.
    const float f = std::floor(v);
    return static_cast<int>(v - f >= 0.5f ? f + 1.0f : f);
}
