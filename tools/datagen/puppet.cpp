#include "tools/datagen/puppet.h"

#include <array>
#include <cmath>

namespace datagen {

namespace {

// The pose in a 200 x 200 frame whose centre is the emblem's centre; y grows down.
struct Point {
    float x, y;
};

enum Joint {
    Head, Neck, Chest, Waist, Hips,
    StandKnee, StandAnkle, StandToe,
    KickHip, KickKnee, KickAnkle, KickToe,
    GuardShoulder, GuardElbow, GuardFist,
    BackShoulder, BackElbow, BackFist,
    JointCount
};

constexpr std::array<Point, JointCount> kPose = {{
    {64, 40},    // head
    {73, 60},    // neck
    {81, 76},    // chest
    {89, 95},    // waist
    {95, 112},   // hips
    {80, 144},   // standing knee
    {68, 176},   // standing ankle
    {86, 181},   // standing toe
    {99, 110},   // kicking hip
    {133, 96},   // kicking knee
    {170, 79},   // kicking ankle
    {190, 70},   // kicking toe
    {79, 67},    // guard shoulder
    {101, 80},   // guard elbow
    {104, 56},   // guard fist
    {77, 67},    // back shoulder
    {53, 86},    // back elbow
    {33, 76},    // back fist
}};

struct Stick {
    Joint a, b;
};

// Drawn in this order: the far limbs first, the near kicking leg and guard arm last.
constexpr std::array<Stick, 16> kSticks = {{
    {BackShoulder, BackElbow}, {BackElbow, BackFist},
    {Hips, StandKnee}, {StandKnee, StandAnkle}, {StandAnkle, StandToe},
    {Neck, Chest}, {Chest, Waist}, {Waist, Hips}, {Head, Neck},
    {Hips, KickHip}, {KickHip, KickKnee}, {KickKnee, KickAnkle}, {KickAnkle, KickToe},
    {GuardShoulder, GuardElbow}, {GuardElbow, GuardFist}, {Chest, GuardShoulder},
}};

float nodeRadius(Joint j) {
    switch (j) {
        case Head: return 17.0f;
        case GuardFist: case BackFist: return 9.5f;
        case StandToe: case KickToe: return 8.5f;
        default: return 7.0f;
    }
}

constexpr float kStickRadius = 5.0f;
constexpr float kOutline = 2.6f;  // dark rim around the whole figure, in frame units

const Colour kInk{0.04f, 0.04f, 0.10f, 1};
const Colour kBodyLight{0.80f, 1.00f, 1.00f, 1};
const Colour kBody{0.10f, 0.78f, 1.00f, 1};
const Colour kBodyDeep{0.05f, 0.35f, 0.85f, 1};
const Colour kRingHot{1.00f, 0.85f, 0.20f, 1};
const Colour kRingDeep{1.00f, 0.25f, 0.05f, 1};

// A disc lit from the upper left: bright spot, body colour, deeper at the far rim.
Paint shadedDisc(float cx, float cy, float r) {
    return [=](float x, float y) {
        float d = std::hypot(x - (cx - r * 0.35f), y - (cy - r * 0.35f)) / (r * 1.35f);
        if (d < 0.5f) return mix(kBodyLight, kBody, d / 0.5f);
        return mix(kBody, kBodyDeep, std::fmin((d - 0.5f) / 0.5f, 1.0f));
    };
}

}  // namespace

void drawEmblem(Canvas& canvas, float cx, float cy, float radius) {
    const float s = radius / 100.0f;  // frame units to pixels
    auto px = [&](Point p) { return Point{cx + (p.x - 100) * s, cy + (p.y - 100) * s}; };
    const float ringWidth = 7.0f * s;

    // Backdrop: a deep blue disc, brighter behind the figure, so the puppet reads
    // on any background.
    canvas.fill([&](float x, float y) { return circleDistance(x, y, cx, cy, radius - ringWidth * 0.5f); },
                [&](float x, float y) {
                    float t = std::fmin(std::hypot(x - cx, y - cy) / radius, 1.0f);
                    return mix(Colour{0.16f, 0.20f, 0.45f, 1}, Colour{0.03f, 0.03f, 0.12f, 1}, t);
                });
    // The ring, hot at the top and deep red at the bottom.
    canvas.fill([&](float x, float y) {
                    return std::fabs(std::hypot(x - cx, y - cy) - (radius - ringWidth * 0.5f)) - ringWidth * 0.5f;
                },
                [&](float, float y) { return mix(kRingHot, kRingDeep, std::fmin(std::fmax((y - (cy - radius)) / (2 * radius), 0.0f), 1.0f)); });

    // A swoosh trailing the kick: a fading crescent under the kicking leg.
    Point arcCentre = px(kPose[KickHip]);
    float arcRadius = 62 * s;
    canvas.fill(
        [&](float x, float y) {
            float angle = std::atan2(y - arcCentre.y, x - arcCentre.x);  // 0 points right, y down
            float t = (0.75f - angle) / 1.15f;  // 0 where the swing began, 1 at the foot
            float width = 1.0f + 5.0f * t * s;
            float band = std::fabs(std::hypot(x - arcCentre.x, y - arcCentre.y) - arcRadius) - width;
            return (t > 0.0f && t < 1.0f) ? band : 1e9f;
        },
        [&](float x, float y) {
            float angle = std::atan2(y - arcCentre.y, x - arcCentre.x);
            float t = std::fmin(std::fmax((0.75f - angle) / 1.15f, 0.0f), 1.0f);
            return Colour{1.0f, 0.80f, 0.30f, 0.9f * t};
        });

    // The figure: first its dark outline (every part grown by the rim), then the body.
    for (int pass = 0; pass < 2; ++pass) {
        float grow = pass == 0 ? kOutline * s : 0.0f;
        for (const Stick& stick : kSticks) {
            Point a = px(kPose[stick.a]), b = px(kPose[stick.b]);
            float r = kStickRadius * s + grow;
            Paint paint = pass == 0 ? Paint([](float, float) { return kInk; })
                                    : Paint([](float, float) { return kBody; });
            canvas.fill([=](float x, float y) { return capsuleDistance(x, y, a.x, a.y, b.x, b.y, r); }, paint);
        }
        for (int j = 0; j < JointCount; ++j) {
            Point c = px(kPose[j]);
            float r = nodeRadius(Joint(j)) * s;
            Paint paint = pass == 0 ? Paint([](float, float) { return kInk; }) : shadedDisc(c.x, c.y, r);
            canvas.fill([=](float x, float y) { return circleDistance(x, y, c.x, c.y, r + grow); }, paint);
        }
    }
}

}  // namespace datagen
