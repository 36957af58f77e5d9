// The hit test between fighters: hard and soft contacts, blows, damage and combos.
#include <algorithm>
#include <array>
#include <cmath>

#include "game/frame_events.h"
#include "game/match_state.h"
#include "platform/platform.h"

namespace {

// Arms, legs and the head deal blows; the body (hips, spine, shoulders, neck and the
// upper joints of the limbs) only takes them. The head both deals and takes.
constexpr std::array<bool, NodeCount + 1> Damaging = [] {
    std::array<bool, NodeCount + 1> table{};
    for (int node : {1, 2, 3, 9, 10, 11, 25, 26, 18, 19, 20, 22, 23, 24, HeadNode}) table[node] = true;
    return table;
}();

constexpr int ContactCooldown = 2;   // frames: a pair makes a hard contact at most every second frame
constexpr int BlowCooldown = 10;     // frames between blows of one fighter on the same opponent
constexpr int SparkCooldown = 10;    // frames between spark bursts (and block sounds) of a pair
constexpr int BannerFrames = 60;
constexpr int HitFlashFrames = 60;
constexpr float SlowMotionFrames = 30.0f;
constexpr int BlowsCountAfterFrame = 100;  // nothing counts before "FIGHT!"
constexpr float SeparationMargin = 0.1f;   // pushed nodes end this far beyond touching

// Blow kinds, seen from the first fighter of a pair: 10 per blow it received plus 1 per
// blow it landed. Both at once only happens when the two heads meet.
constexpr int BlowLanded = 1;
constexpr int BlowReceived = 10;
constexpr int DoubleBlow = BlowLanded + BlowReceived;

bool touching(const ball& a, const ball& b) {
    float dx = a.x - b.x, dy = a.y - b.y;
    float reach = a.size + b.size;
    return dx * dx + dy * dy < reach * reach;
}

// Share of an exchange taken by node a: the heavier node moves less. Two massless
// nodes (never built by a fighter's setup) share equally instead of dividing by zero.
float shareOfA(const ball& a, const ball& b) {
    float total = a.mass + b.mass;
    return total != 0 ? 2 * b.mass / total : 1.0f;
}

// Moves both nodes apart along (ux, uy) until they are just beyond touching.
void separate(ball& a, ball& b, float d, float ux, float uy) {
    float s = (a.size + b.size - d + SeparationMargin) * 0.5f;
    a.x -= s * ux;
    a.y -= s * uy;
    b.x += s * ux;
    b.y += s * uy;
}

}  // namespace

void MatchState::collideFighters(FrameEvents& events) {
    for (int i = 1; i <= fighterCount; ++i) {
        for (int j = 1; j <= fighterCount; ++j) {
            // Cells count down to -1 and rest there.
            for (GateTable* gate : {&blowGate, &sparkGate, &contactGate}) {
                if ((*gate)[i][j] >= 0) (*gate)[i][j] -= 1;
            }
        }
    }
    // The first touching node pair of two fighters in this order takes the frame's hard
    // contact; later pairs of the same fighters find the contact gate closed.
    for (int i = 1; i <= fighterCount; ++i) {
        man& fi = fighters[i];
        for (int j = i + 1; j <= fighterCount; ++j) {
            man& fj = fighters[j];
            for (int k = 1; k <= fi.nodeCount; ++k) {
                for (int l = 1; l <= fj.nodeCount; ++l) testHit(fi.nodes[k], fj.nodes[l], fi, fj, events);
            }
        }
    }
}

void MatchState::testHit(ball& a, ball& b, man& fa, man& fb, FrameEvents& events) {
    // Nothing happens to nodes that do not touch; this is the path almost every pair takes.
    if (!touching(a, b)) return;
    const int A = fa.fighterNo, B = fb.fighterNo;

    const bool opponents = fa.team != fb.team && !fa.knockedOut && !fb.knockedOut;
    if (opponents && contactGate[A][B] <= 0) {
        contactGate[A][B] = ContactCooldown;
        const bool sparkGateOpen = sparkGate[A][B] <= 0;

        if (plasmaEffects == 1 && sparkGateOpen) {
            sparkGate[A][B] = SparkCooldown;
            events.picture.keepBeforeRestart(nextBurst, bursts[nextBurst]);
            startBurst((a.x + b.x) / 2, (a.y + b.y) / 2, 0, 0, 20, BurstPlasma, 2.0f, 0, 0);
        }

        // Blows: the four checks in this order, each only while its gate is open.
        int count = 0;
        ball* struck = nullptr;
        if (frameCounter > BlowsCountAfterFrame && winner == 0) {
            auto land = [&](int& gate, const char* banner, ball& victim, int weight) {
                gate = BlowCooldown;
                bannerTimer = BannerFrames;
                bannerText = banner;
                victim.hitTimer = HitFlashFrames;
                struck = &victim;
                count += weight;
                if (slowMotion > 0 && slowMotionTimer <= 0) events.effects.push_back(MatchEffect::HitFreeze);
            };
            const bool aDamaging = Damaging[a.index], bDamaging = Damaging[b.index];
            if (bDamaging && !aDamaging && blowGate[B][A] <= 0) land(blowGate[B][A], "BODY BLOW!", a, BlowReceived);
            if (a.index == HeadNode && bDamaging && blowGate[B][A] <= 0) land(blowGate[B][A], "HEAD BLOW!", a, BlowReceived);
            if (aDamaging && !bDamaging && blowGate[A][B] <= 0) land(blowGate[A][B], "BODY BLOW!", b, BlowLanded);
            if (b.index == HeadNode && aDamaging && blowGate[A][B] <= 0) land(blowGate[A][B], "HEAD BLOW!", b, BlowLanded);
        }

        if (slowMotion > 0) slowMotionTimer = SlowMotionFrames;

        if (count > 0) events.effects.push_back(MatchEffect::Blow);
        else if (sparkGateOpen) events.effects.push_back(MatchEffect::Block);

        if (count > 0) registerBlow(A, B, count);

        // Push and kick along the line between the nodes. Two nodes exactly on top of
        // each other have no such line: they are parted along the x axis instead.
        float dx = b.x - a.x, dy = b.y - a.y;
        float d = Sqr(dx * dx + dy * dy);
        float ux = 1.0f, uy = 0.0f;
        if (d > 0) {
            ux = dx / d;
            uy = dy / d;
        }
        separate(a, b, d, ux, uy);
        const float kick = 250 * blowPower / 5;
        const float wa = shareOfA(a, b), wb = 2 - wa;
        a.vx -= kick * ux * wa;
        a.vy -= kick * uy * wa;
        b.vx += kick * ux * wb;
        b.vy += kick * uy * wb;

        if (count > 0) {
            // In a double blow the struck node is b, the one found last.
            const man& victim = struck == &a ? fa : fb;
            events.picture.keepBeforeRestart(nextBurst, bursts[nextBurst]);
            bursts[nextBurst].start(struck->x, struck->y, struck->vx / 35, struck->vy / 35, blood * 10, BurstBlood,
                                    3.0f, victim.isRobot, static_cast<int>(struck->radius));
        }
        advanceBurst();
    }

    // Soft contact: teammates, knocked-out fighters and a pair still cooling down (the
    // pair just pushed apart above included) only bounce off each other.
    if ((!opponents || contactGate[A][B] > 0) && touching(a, b)) {
        float dx = b.x - a.x, dy = b.y - a.y;
        if (dx == 0) dx = 0.00000001f;
        if (dy == 0) dy = 0.00000001f;
        float d = Sqr(dx * dx + dy * dy);
        if (d == 0) d = 0.00001f;
        float ux = dx / d, uy = dy / d;
        separate(a, b, d, ux, uy);

        // Exchange the velocity components along the line of centres (slope m).
        const float m = dy / dx;
        const float dvx = b.vx - a.vx, dvy = b.vy - a.vy;
        float along = -(dvy + dvx / m) / (m + 1 / m);
        float alongY = m * along;
        if (!std::isfinite(along) || !std::isfinite(alongY)) {
            // A slope so steep or so flat that it overflows float: the same exchange
            // written with the unit vector, which stays finite.
            float approach = dvx * ux + dvy * uy;
            along = -ux * approach;
            alongY = -uy * approach;
        }
        const float wa = shareOfA(a, b), wb = 2 - wa;
        a.vx -= along * wa;
        a.vy -= alongY * wa;
        b.vx += along * wb;
        b.vy += alongY * wb;
    }
}

void MatchState::registerBlow(int firstNo, int secondNo, int kind) {
    man& first = fighters[firstNo];
    man& second = fighters[secondNo];
    // Against the computer only the player side builds a streak: every enemy blow
    // deals exactly the enemy's strength.
    if (gameMode == "1" || gameMode == "2coop") combo = std::max(0, combo);

    auto comboBanner = [&](int streak) {
        bannerText = String(streak) + " HIT COMBO!";
        bannerTimer = BannerFrames;
    };
    if (kind == DoubleBlow) {
        combo = 0;
        bannerText = "DOUBLE BLOW!";
        bannerTimer = BannerFrames;
        first.energy -= 1.0f * second.strength;
        second.energy -= 1.0f * first.strength;
    } else if (kind == BlowReceived) {
        if (combo <= 0) combo -= 1;
        if (combo > 0) combo = -1;
        if (combo <= -2) comboBanner(-combo);
        first.energy += combo * second.strength;
    } else if (kind == BlowLanded) {
        if (combo >= 0) combo += 1;
        if (combo < 0) combo = 1;
        if (combo >= 2) comboBanner(combo);
        second.energy -= combo * first.strength;
        comboScore += combo * combo * 1000;
        maxCombo = std::max(maxCombo, combo);
    }
    for (int i = 1; i <= fighterCount; ++i) {
        if (!(fighters[i].energy >= 0)) fighters[i].energy = 0.0f;
    }
}
