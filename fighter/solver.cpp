// The body solver: sticks keep neighbouring nodes touching, joints keep each bend near
// its rest angle. Both run as Jacobi passes - every constraint is evaluated against the
// same positions, and only then are the summed corrections applied - in table order.
// That order and the 32 passes per frame shape how the bodies move, so they are fixed.

#include <algorithm>
#include <array>

#include "fighter/man.h"
#include "platform/platform.h"

namespace {

constexpr int RelaxPasses = 32;

struct Shift { float dx = 0, dy = 0; };
using Accumulator = std::array<Shift, NodeCount + 1>;  // per node 1..26

void applyShifts(std::array<ball, NodeCount + 1>& nodes, const Accumulator& shifts) {
    for (int i = 1; i <= NodeCount; ++i) {
        nodes[i].x += shifts[i].dx;
        nodes[i].y += shifts[i].dy;
    }
}

// Direction of the segment from one node to the next, as the joints measure it.
float segmentAngle(float dx, float dy) { return ATan2(dy, -dx); }

// The bend correction of a joint from its two segments d1 = B - A and d2 = C - B and
// their directions t1 and t2.
Correction6 bendCorrection(float d1x, float d1y, float t1, float d2x, float d2y, float t2,
                           float restAngle, float stiffness, float timeStep, int flexibility) {
    // A straight A-B-C measures 180.
    const float err = wrap180(wrap360(t1 - t2 + 180.0f) - restAngle);
    const float w = std::min(0.7f, 4.0f * stiffness / static_cast<float>(flexibility));
    const float k = w * err / 8.0f / 100.0f * 2.0f * timeStep;
    // The outer nodes move at right angles to their segments, the middle one by the
    // opposite of their sum, so a joint never shifts the mass centre (equal masses).
    const float dxA = k * d1y, dyA = -k * d1x;
    const float dxC = k * d2y, dyC = -k * d2x;
    return {dxA, dyA, -k * d1y - k * d2y, k * d1x + k * d2x, dxC, dyC};
}

}  // namespace

Correction4 man::stickCorrection(const ball& a, const ball& b) const {
    // Rest length is the sum of the radii. One call removes half of the error, shared
    // in inverse proportion to mass: equal masses move each end a quarter of it.
    const float dx = a.x - b.x;
    const float dy = a.y - b.y;
    const float d = Sqr(dx * dx + dy * dy);
    const float err = d - (a.radius + b.radius);
    // Two nodes on top of each other have no direction to be pushed apart along.
    if (d == 0.0f) return {0, 0, 0, 0};
    const float ux = dx / d;
    const float uy = dy / d;
    return {
        -err / (1.0f + a.mass / b.mass) * ux * 0.5f,
        -err / (1.0f + a.mass / b.mass) * uy * 0.5f,
        err / (1.0f + b.mass / a.mass) * ux * 0.5f,
        err / (1.0f + b.mass / a.mass) * uy * 0.5f,
    };
}

void man::solveSticks() {
    Accumulator shifts{};
    for (int s = 0; s < stickCount; ++s) {
        const int p = sticks[s][0];
        const int q = sticks[s][1];
        const Correction4 c = stickCorrection(nodes[p], nodes[q]);
        shifts[p].dx += c.dxa;
        shifts[p].dy += c.dya;
        shifts[q].dx += c.dxb;
        shifts[q].dy += c.dyb;
    }
    applyShifts(nodes, shifts);
}

Correction6 man::jointCorrection(const ball& a, const ball& b, const ball& c, float restAngle,
                                 float stiffness, float timeStep, int flexibility) const {
    const float d1x = b.x - a.x, d1y = b.y - a.y;
    const float d2x = c.x - b.x, d2y = c.y - b.y;
    return bendCorrection(d1x, d1y, segmentAngle(d1x, d1y), d2x, d2y, segmentAngle(d2x, d2y),
                          restAngle, stiffness, timeStep, flexibility);
}

void man::solveJoints(float timeStep, int flexibility) {
    Accumulator shifts{};
    // Along a limb each joint's first segment is the previous joint's second one, and
    // within a pass every joint sees the same positions, so that segment's direction
    // (the costly part) is reused rather than measured again.
    int previousB = 0, previousC = 0;
    float previousT2 = 0.0f;
    for (int j = 0; j < jointCount; ++j) {
        const int a = joints[j][0];
        const int b = joints[j][1];
        const int c = joints[j][2];
        const float d1x = nodes[b].x - nodes[a].x, d1y = nodes[b].y - nodes[a].y;
        const float d2x = nodes[c].x - nodes[b].x, d2y = nodes[c].y - nodes[b].y;
        const bool sharesSegment = a == previousB && b == previousC;
        const float t1 = sharesSegment ? previousT2 : segmentAngle(d1x, d1y);
        const float t2 = segmentAngle(d2x, d2y);
        const Correction6 r = bendCorrection(d1x, d1y, t1, d2x, d2y, t2, jointAngle[j],
                                             jointStiffness[j], timeStep, flexibility);
        shifts[a].dx += r.dxA;
        shifts[a].dy += r.dyA;
        shifts[b].dx += r.dxB;
        shifts[b].dy += r.dyB;
        shifts[c].dx += r.dxC;
        shifts[c].dy += r.dyC;
        previousB = b;
        previousC = c;
        previousT2 = t2;
    }
    applyShifts(nodes, shifts);
}

void man::relax(float timeStep, int flexibility) {
    // A knocked-out body is no longer held together: its nodes fly as loose balls.
    if (knockedOut) return;
    for (int pass = 0; pass < RelaxPasses; ++pass) {
        solveJoints(timeStep, flexibility);
        solveSticks();
    }
}
