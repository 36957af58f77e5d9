// Particle bursts and the Game's ring of them: start, motion, fade, colour drift,
// and the drawing order and state seen through the recording backend.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "game/Game.h"
#include "platform/headless.h"
#include "platform/image.h"

namespace {

ImageRef picture(int width, int height) {
    auto image = std::make_shared<Image>();
    image->width = width;
    image->height = height;
    image->rgba.assign(static_cast<size_t>(width) * height * 4, 255);
    return image;
}

class CombatBursts : public ::testing::Test {
protected:
    Game g;

    void SetUp() override {
        headless::start();
        SetBlend(3);  // the game's normal mode, set at start-up
        SeedRnd(12345);
        g.ballImage = picture(280, 280);
        g.ballImage->handleX = g.ballImage->handleY = 140;
        g.sparkImage = picture(33, 41);
        g.cameraX = 100;
        g.cameraY = -50;
        g.zoom = 0.5f;
        }
    void TearDown() override { headless::stop(); }

    std::vector<headless::DrawCall> imagesOf(const ImageRef& image) const {
        std::vector<headless::DrawCall> calls;
        for (const auto& c : headless::currentFrame())
            if (c.op == headless::DrawOp::Image && c.image == image.get()) calls.push_back(c);
        return calls;
    }
};

}  // namespace

TEST_F(CombatBursts, NewBurstIsInactivePlasmaWithRisingColourSteps) {
    dotburst burst;
    EXPECT_EQ(burst.active, 0);
    EXPECT_EQ(burst.kind, BurstPlasma);
    EXPECT_EQ(burst.count, 0);
    EXPECT_EQ(burst.colourStep, (std::array<int, 4>{2, 2, 2, 2}));
    EXPECT_FLOAT_EQ(burst.alpha, 0.0f);
}

TEST_F(CombatBursts, RingAdvancesAndWrapsFrom100To1) {
    g.nextBurst = 99;
    g.advanceBurst();
    EXPECT_EQ(g.nextBurst, 100);
    g.advanceBurst();
    EXPECT_EQ(g.nextBurst, 1);
}

TEST_F(CombatBursts, RingSlotIsReusedAfterAHundredStartsEvenWhileShowing) {
    for (int n = 0; n < 101; ++n) {
        g.bursts[g.nextBurst].start(static_cast<float>(n), 0, 0, 0, 5, BurstBlood, 3.0f, 0, 0);
        g.advanceBurst();
    }
    EXPECT_EQ(g.nextBurst, 2);
    EXPECT_FLOAT_EQ(g.bursts[1].xs[1], 100.0f);  // the 101st start took slot 1 again
    EXPECT_FLOAT_EQ(g.bursts[2].xs[1], 1.0f);
    // Two quick bleeds of one node land in different slots.
    g.bursts[g.nextBurst].start(7, 7, 0, 0, 5, BurstBlood, 3.0f, 0, 0);
    g.advanceBurst();
    g.bursts[g.nextBurst].start(7, 7, 0, 0, 5, BurstBlood, 3.0f, 0, 0);
    EXPECT_EQ(g.nextBurst, 3);
    EXPECT_FLOAT_EQ(g.bursts[2].xs[1], 7.0f);
    EXPECT_FLOAT_EQ(g.bursts[3].xs[1], 7.0f);
}

TEST_F(CombatBursts, StartDrawsColourThenAngleAndRadiusPerParticle) {
    SeedRnd(777);
    dotburst burst;
    burst.start(10, 20, 1.5f, -2, 8, BurstPlasma, 2.0f, 0, 6);

    SeedRnd(777);
    EXPECT_EQ(burst.colour[0], Rand(0, 255));
    EXPECT_EQ(burst.colour[1], Rand(0, 255));
    EXPECT_EQ(burst.colour[2], Rand(0, 255));
    for (int i = 1; i <= 8; ++i) {
        const float angle = RndFloat() * 360;
        const float r = RndFloat();
        const float s = r * 2.0f * 2 - 2.0f;
        EXPECT_FLOAT_EQ(burst.xs[i], 10 + Cos(angle) * 6 * r);
        EXPECT_FLOAT_EQ(burst.ys[i], 20 + Sin(angle) * 6 * r);
        EXPECT_FLOAT_EQ(burst.vxs[i], 1.5f + s * Cos(angle));
        EXPECT_FLOAT_EQ(burst.vys[i], -2 + s * Sin(angle));
    }
    EXPECT_EQ(burst.active, 1);
    EXPECT_FLOAT_EQ(burst.alpha, 1.0f);
    EXPECT_FLOAT_EQ(burst.size, 3.0f);
    EXPECT_FLOAT_EQ(burst.xs[0], 0.0f);  // element 0 is never touched
}

TEST_F(CombatBursts, OuterParticlesAreTheFastOnes) {
    // One random draw sets both the distance from the centre and the speed.
    dotburst burst;
    burst.start(0, 0, 0, 0, 300, BurstBlood, 3.0f, 0, 10);
    for (int i = 1; i <= burst.count; ++i) {
        const float r = std::hypot(burst.xs[i], burst.ys[i]) / 10;
        EXPECT_NEAR(std::hypot(burst.vxs[i], burst.vys[i]), std::fabs(r * 6 - 3), 1e-3f);
    }
}

TEST_F(CombatBursts, SparksWithoutSpreadStartOnThePointAndSomeFlyBackwards) {
    dotburst burst;
    burst.start(-40, 25, 0, 0, 20, BurstPlasma, 2.0f, 0, 0);
    int backwards = 0, forwards = 0;
    SeedRnd(12345);
    Rand(0, 255), Rand(0, 255), Rand(0, 255);
    for (int i = 1; i <= 20; ++i) {
        EXPECT_FLOAT_EQ(burst.xs[i], -40.0f);
        EXPECT_FLOAT_EQ(burst.ys[i], 25.0f);
        const float angle = RndFloat() * 360;
        RndFloat();
        // Speed along the particle's own angle: negative means it flies the other way.
        const float along = burst.vxs[i] * Cos(angle) + burst.vys[i] * Sin(angle);
        EXPECT_LE(std::fabs(along), 2.0f);
        (along < 0 ? backwards : forwards) += 1;
    }
    EXPECT_GT(backwards, 0);
    EXPECT_GT(forwards, 0);
}

TEST_F(CombatBursts, CountAbove300NeverWritesPastTheArrays) {
    dotburst burst;
    burst.start(0, 0, 0, 0, 500, BurstBlood, 3.0f, 0, 0);
    EXPECT_EQ(burst.count, MaxParticles);
    burst.update();  // moves exactly the particles that exist
    burst.start(0, 0, 0, 0, -4, BurstBlood, 3.0f, 0, 0);
    EXPECT_EQ(burst.count, 0);
    EXPECT_EQ(burst.active, 1);
}

TEST_F(CombatBursts, LivesFor51UpdatesAndFallsUnderGravity) {
    dotburst burst;
    burst.start(0, 0, 0, 0, 3, BurstBlood, 3.0f, 0, 0);
    const float vx = burst.vxs[1], vy = burst.vys[1];
    burst.update();
    EXPECT_FLOAT_EQ(burst.alpha, 0.98f);
    EXPECT_FLOAT_EQ(burst.xs[1], vx);          // moved before gravity
    EXPECT_FLOAT_EQ(burst.ys[1], vy);
    EXPECT_FLOAT_EQ(burst.vys[1], vy + 0.04f);
    EXPECT_FLOAT_EQ(burst.vxs[1], vx);
    for (int n = 2; n <= 50; ++n) burst.update();
    EXPECT_EQ(burst.active, 1);
    burst.update();
    EXPECT_EQ(burst.active, 0);
}

TEST_F(CombatBursts, ColourDriftsBy2AndBouncesOffTheEnds) {
    dotburst burst;
    burst.colour = {254, 1, 100};
    burst.colourStep = {2, -2, -2, 2};
    SeedRnd(1);
    burst.driftColour();
    // A reversal draw above 990 could flip a step first; the ends override it anyway.
    EXPECT_EQ(burst.colour[0], 252);
    EXPECT_EQ(burst.colour[1], 3);
    EXPECT_EQ(std::abs(burst.colour[2] - 100), 2);
    EXPECT_EQ(burst.colourStep[3], 2);  // element 3 is not used

    // Over many frames a component turns round about once in a hundred.
    int turns = 0;
    burst.colour = {128, 128, 128};
    int last = burst.colourStep[0];
    for (int f = 0; f < 2000; ++f) {
        burst.driftColour();
        for (int c : burst.colour) EXPECT_TRUE(c >= -1 && c <= 256);
        if (burst.colour[0] > 3 && burst.colour[0] < 252 && burst.colourStep[0] != last) ++turns;
        last = burst.colourStep[0];
    }
    EXPECT_GT(turns, 5);
    EXPECT_LT(turns, 60);
}

TEST_F(CombatBursts, BloodIsDrawnUnderSparksWithTheirOwnBlendAndColour) {
    auto& sparks = g.bursts[1];
    auto& blood = g.bursts[2];
    auto& robotBlood = g.bursts[3];
    sparks.start(0, 0, 0, 0, 4, BurstPlasma, 2.0f, 0, 0);
    blood.start(50, 60, 0, 0, 5, BurstBlood, 3.0f, 0, 0);
    robotBlood.start(-30, 0, 0, 0, 6, BurstBlood, 3.0f, 1, 0);
    g.bursts[4].start(0, 0, 0, 0, 7, BurstBlood, 3.0f, 0, 0);
    g.bursts[4].active = 0;  // finished bursts neither move nor draw

    FrameEvents events;
    g.updateBursts(events);
    g.drawBursts(events.picture);
    const auto& calls = headless::currentFrame();
    ASSERT_EQ(calls.size(), 4u + 5u + 6u);

    // Slot order inside each pass: the red drops of slot 2, the yellow squares of slot 3,
    // then the sparks of slot 1.
    for (int i = 0; i < 5; ++i) {
        const auto& c = calls[i];
        EXPECT_EQ(c.op, headless::DrawOp::Image);
        EXPECT_EQ(c.image, g.ballImage.get());
        EXPECT_EQ(c.blend, 3);
        EXPECT_EQ(std::tie(c.r, c.g, c.b), std::make_tuple(222, 0, 0));
        EXPECT_FLOAT_EQ(c.alpha, 0.98f);
        EXPECT_FLOAT_EQ(c.scaleX, 3.0f * 2 * 0.5f / 300);
        EXPECT_FLOAT_EQ(c.x, projectX(blood.xs[i + 1], g.cameraX, g.zoom));
        EXPECT_FLOAT_EQ(c.y, projectY(blood.ys[i + 1], g.cameraY, g.zoom));
    }
    for (int i = 0; i < 6; ++i) {
        const auto& c = calls[5 + i];
        EXPECT_EQ(c.op, headless::DrawOp::Rect);
        EXPECT_EQ(c.blend, 3);
        EXPECT_EQ(std::tie(c.r, c.g, c.b), std::make_tuple(255, 255, 0));
        EXPECT_FLOAT_EQ(c.x2, 3.0f);  // 6 * zoom
        EXPECT_FLOAT_EQ(c.y2, 3.0f);
        EXPECT_FLOAT_EQ(c.x, projectX(robotBlood.xs[i + 1], g.cameraX, g.zoom));
    }
    for (int i = 0; i < 4; ++i) {
        const auto& c = calls[11 + i];
        EXPECT_EQ(c.image, g.sparkImage.get());
        EXPECT_EQ(c.blend, 4);
        EXPECT_EQ(std::tie(c.r, c.g, c.b), std::make_tuple(sparks.colour[0], sparks.colour[1], sparks.colour[2]));
        EXPECT_FLOAT_EQ(c.scaleX, 0.5f);
        // Centred on the particle: half the picture (integer halves) to the left and up.
        EXPECT_FLOAT_EQ(c.x, projectX(sparks.xs[i + 1] - 16, g.cameraX, g.zoom));
        EXPECT_FLOAT_EQ(c.y, projectY(sparks.ys[i + 1] - 20, g.cameraY, g.zoom));
    }
    EXPECT_FLOAT_EQ(g.bursts[4].alpha, 1.0f);  // not updated
    // Every burst moved exactly once.
    EXPECT_FLOAT_EQ(blood.alpha, 0.98f);
    EXPECT_FLOAT_EQ(sparks.alpha, 0.98f);

    // The drawing state is set back for whatever comes next.
    SetScale(1, 1);
    DrawRect(0, 0, 1, 1);
    const auto& after = headless::currentFrame().back();
    EXPECT_EQ(after.blend, 3);
    EXPECT_FLOAT_EQ(after.alpha, 1.0f);
}

TEST_F(CombatBursts, BurstsKeepFullSpeedInSlowMotion) {
    g.timeStep = 0.2f;
    g.slowMotionTimer = 20;
    auto& burst = g.bursts[5];
    burst.start(0, 0, 4, 0, 1, BurstBlood, 0.0f, 0, 0);
    FrameEvents events;
    g.updateBursts(events);
    EXPECT_FLOAT_EQ(burst.xs[1], 4.0f);
}

TEST_F(CombatBursts, EmptyBurstShowsNothingButLives) {
    auto& burst = g.bursts[9];
    burst.start(0, 0, 0, 0, 0, BurstBlood, 3.0f, 0, 0);
    FrameEvents events;
    for (int f = 0; f < 50; ++f) {
        events.clear();
        g.updateBursts(events);
        g.drawBursts(events.picture);
    }
    EXPECT_EQ(burst.active, 1);
    EXPECT_TRUE(headless::currentFrame().empty());
    g.updateBursts(events);
    EXPECT_EQ(burst.active, 0);
}
