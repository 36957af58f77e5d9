// Computer control: each frame an enemy may re-aim at a distant target (roam) or spin
// its body through a target about to come within reach (spin), then pushes its head in
// the direction code held in lastContact. The code persists between frames and wall
// contacts overwrite it later in the frame, so an enemy keeps flying about, rebounding,
// until a rule sends it elsewhere.

#include "fighter/man.h"
#include "platform/platform.h"

namespace {

constexpr float RoamRange = 400.0f;   // closer than this an enemy no longer re-aims
constexpr int RoamChance = 10;        // a roll of 0..10 out of 0..100 re-aims
constexpr float SpinMargin = 20.0f;   // degrees off the own axis before a side is chosen
constexpr float ReachRange = 250.0f;  // predicted distance that counts as close
constexpr int LookAheadSteps = 6;     // i = 0..6, i.e. 0, 3, ..., 18 frames ahead
constexpr int FramesPerStep = 3;
constexpr int SpinDieExponent = 10;   // spin roll in 1..2^10

// Eight sectors of 45 degrees centred on the direction codes. Bounds are strict: a
// bearing exactly on a bound matches no sector and leaves the code as it was.
struct Sector { float low, high; int code; };
constexpr Sector BearingSectors[] = {
    {22.5f, 67.5f, DirUpRight},   {67.5f, 112.5f, DirUp},
    {112.5f, 157.5f, DirUpLeft},  {157.5f, 202.5f, DirLeft},
    {202.5f, 247.5f, DirDownLeft}, {247.5f, 292.5f, DirDown},
    {292.5f, 337.5f, DirDownRight},
};

int sectorCode(float bearing, int current) {
    // The right-pointing sector wraps through 0.
    if (bearing > 337.5f || bearing < 22.5f) return DirRight;
    for (const Sector& s : BearingSectors)
        if (bearing > s.low && bearing < s.high) return s.code;
    return current;
}

// Spin direction by the shoulders' quadrant about the body's centre, for side -1 and
// side 1; always at right angles to the offset, one turning sense per side.
// Index: [dx > 0][dy > 0] (screen y: dy > 0 means the shoulders are below the centre).
constexpr int SpinCodes[2][2][2] = {
    // side -1
    {{DirDownLeft, DirDownRight},  // dx < 0: dy < 0, dy > 0
     {DirUpLeft, DirUpRight}},     // dx > 0: dy < 0, dy > 0
    // side 1
    {{DirUpRight, DirUpLeft},
     {DirDownRight, DirDownLeft}},
};

// Sign of the change of the head's velocity per direction code: {vx, vy}.
constexpr int PushSigns[9][2] = {
    {0, 0},
    {0, -1}, {0, 1}, {-1, 0}, {1, 0},   // up, down, left, right
    {1, 1}, {-1, -1}, {1, -1}, {-1, 1}, // down-right, up-left, up-right, down-left
};

// Pushes one velocity component in the given sense while it is inside the cap; the
// last push may carry it past the cap.
void pushComponent(float& v, int sign, float push, float cap) {
    if (sign > 0 && v < cap) v = v + push;
    if (sign < 0 && v > -cap) v = v - push;
}

}  // namespace

void man::think(int aiLevel, int speed, float tx, float ty, float tvx, float tvy) {
    const ball& hips = nodes[HipsNode];
    const ball& head = nodes[HeadNode];
    const ball& shoulders = nodes[ShouldersNode];

    // Rule 1, roam. Screen y grows downward, so the y difference is negated to make
    // 90 degrees point up. The roll is drawn every call, fired or not, so the
    // generator's sequence does not depend on positions.
    const float toTargetX = tx - hips.x;
    const float toTargetY = ty - hips.y;
    const float bearing = wrap360(ATan2(-toTargetY, toTargetX));
    const int roamRoll = Rand(0, 100);
    if (roamRoll <= RoamChance &&
        toTargetX * toTargetX + toTargetY * toTargetY > RoamRange * RoamRange)
        lastContact = sectorCode(bearing, lastContact);

    // Rule 2, spin. U is the angle between the own axis (head to hips) and the line
    // from the head to the target's hips.
    const float axis = ATan2(-(hips.y - head.y), hips.x - head.x);
    const float sight = ATan2(-(ty - head.y), tx - head.x);
    const float offAxis = wrap180(axis - sight);
    const int side = offAxis > SpinMargin ? 1 : (offAxis < -SpinMargin ? -1 : 0);

    float sumX = 0, sumY = 0, sumVx = 0, sumVy = 0;
    for (int k = 1; k <= NodeCount; ++k) {
        sumX = sumX + nodes[k].x;
        sumY = sumY + nodes[k].y;
        sumVx = sumVx + nodes[k].vx;
        sumVy = sumVy + nodes[k].vy;
    }
    const float centreX = sumX / NodeCount, centreY = sumY / NodeCount;
    const float meanVx = sumVx / NodeCount, meanVy = sumVy / NodeCount;

    // Both bodies are extrapolated along straight lines, 0, 3, ..., 18 frames ahead.
    bool close = false;
    for (int i = 0; i <= LookAheadSteps; ++i) {
        const float ahead = static_cast<float>(FramesPerStep * i);
        const float dx = (hips.x + meanVx * ahead) - (tx + tvx * ahead);
        const float dy = (hips.y + meanVy * ahead) - (ty + tvy * ahead);
        if (dx * dx + dy * dy < ReachRange * ReachRange) close = true;
    }

    const int spinRoll = Rand(1, intPower(2, SpinDieExponent));
    if (spinRoll <= intPower(2, aiLevel) && close && side != 0) {
        const float dx = shoulders.x - centreX;
        const float dy = shoulders.y - centreY;
        if (dx != 0 && dy != 0)
            lastContact = SpinCodes[side > 0][dx > 0][dy > 0];
    }

    // Push the head along the current code, whichever rule (or wall) set it. The
    // computer's push is a whole s (3 * s / 3 in integers), not the player's
    // 3 * s * 0.33333334.
    if (lastContact < 1 || lastContact > 8) return;
    ball& h = nodes[HeadNode];
    const float push = static_cast<float>(3 * speed / 3);
    const float cap = static_cast<float>(2 * speed);
    pushComponent(h.vx, PushSigns[lastContact][0], push, cap);
    pushComponent(h.vy, PushSigns[lastContact][1], push, cap);
}
