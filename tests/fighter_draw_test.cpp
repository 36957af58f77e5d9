// Fighter drawing through the recording backend: back-to-front order, stick and disc
// geometry, forearm damage tint, hit flash, alpha, robot squares, knocked-out bodies,
// and the drawing state left behind.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "platform/image.h"
#include "tests/fighter_test_support.h"

using namespace fightertest;
using headless::DrawCall;
using headless::DrawOp;

namespace {

ImageRef midHandledPicture() {
    auto image = std::make_shared<Image>();
    image->width = 280;
    image->height = 280;
    image->handleX = 140;
    image->handleY = 140;
    image->rgba.assign(280 * 280 * 4, 255);
    return image;
}

// The back-to-front list as the game's design gives it; walked from its last entry.
constexpr std::array<int, 51> Order{
    -23, 25, 1, 2, 0, 3, -1, 4, -2, 5, -3, -24, 26, 11, 10, -9, 9, -8, 8, -7, 7, -6, -22, 24, 23, 22,
    -21, 21, -20, -18, 20, 19, 18, -17, 17, -16, 16, 15, -14, 14, -13, 13, -12, 12, -11, 6, -4, -5,
    -10, -15, -19};

class FighterDraw : public ::testing::Test {
protected:
    void SetUp() override {
        headless::start();
        SeedRnd(99);
        setLevelOneWalls(game);
        setDefaultPhysicsOptions(game);
        game.quadImage = midHandledPicture();
        game.ballImage = midHandledPicture();
        game.cameraX = 40;
        game.cameraY = -30;
    }

    // The calls made by one man::draw, nothing else.
    std::vector<DrawCall> drawFighter(man& m, float alpha, float zoom) {
        const size_t before = headless::currentFrame().size();
        game.zoom = zoom;
        m.draw(game, alpha);
        const auto& frame = headless::currentFrame();
        return std::vector<DrawCall>(frame.begin() + static_cast<long>(before), frame.end());
    }

    // The drawing state now in force, read through one more recorded call.
    DrawCall stateAfter() {
        DrawRect(0, 0, 1, 1);
        return headless::currentFrame().back();
    }

    void expectStateReset() {
        const DrawCall state = stateAfter();
        EXPECT_EQ(state.r, 255);
        EXPECT_EQ(state.g, 255);
        EXPECT_EQ(state.b, 255);
        EXPECT_EQ(state.alpha, 1.0f);
        EXPECT_EQ(state.rotation, 0.0f);
        EXPECT_EQ(state.scaleX, 1.0f);
        EXPECT_EQ(state.scaleY, 1.0f);
    }

    float sx(const ball& n, float zoom) const { return projectX(n.x, game.cameraX, zoom); }
    float sy(const ball& n, float zoom) const { return projectY(n.y, game.cameraY, zoom); }

    Game game;
};

TEST_F(FighterDraw, FiftyOneEntriesBackToFrontWithTheirGeometry) {
    man& m = addFighter(game, 1, 1);
    const float zoom = 0.4f;
    const auto calls = drawFighter(m, 1.0f, zoom);
    ASSERT_EQ(calls.size(), 51u);
    for (size_t i = 0; i < calls.size(); ++i) {
        const int entry = Order[Order.size() - 1 - i];
        const DrawCall& call = calls[i];
        ASSERT_EQ(call.op, DrawOp::Image);
        if (entry > 0) {
            const ball& n = m.nodes[entry];
            EXPECT_EQ(call.image, game.ballImage.get()) << "entry " << entry;
            EXPECT_FLOAT_EQ(call.x, sx(n, zoom)) << "node " << entry;
            EXPECT_FLOAT_EQ(call.y, sy(n, zoom)) << "node " << entry;
            const float disc = 2 * n.size * zoom / 300;
            EXPECT_FLOAT_EQ(call.scaleX, disc);
            EXPECT_FLOAT_EQ(call.scaleY, disc);
            EXPECT_EQ(call.rotation, 0.0f);
        } else {
            const ball& a = m.nodes[m.sticks[-entry][0]];
            const ball& b = m.nodes[m.sticks[-entry][1]];
            EXPECT_EQ(call.image, game.quadImage.get()) << "stick " << -entry;
            EXPECT_FLOAT_EQ(call.x, (sx(a, zoom) + sx(b, zoom)) / 2) << "stick " << -entry;
            EXPECT_FLOAT_EQ(call.y, (sy(a, zoom) + sy(b, zoom)) / 2) << "stick " << -entry;
            const float length = std::hypot(b.x - a.x, b.y - a.y);
            EXPECT_FLOAT_EQ(call.scaleX, length * zoom / 280) << "stick " << -entry;
            EXPECT_FLOAT_EQ(call.scaleY, 4.0f * zoom / 70);  // stickWidth 4
            EXPECT_NEAR(call.rotation, std::atan2(b.y - a.y, b.x - a.x) * 180 / M_PI, 1e-3);
        }
    }
    expectStateReset();
}

TEST_F(FighterDraw, StickIsAQuadStretchedBetweenItsEnds) {
    man& m = addFighter(game, 1, 1, 3.0f);
    game.cameraX = 0;
    game.cameraY = 0;
    m.nodes[14].x = 0;
    m.nodes[14].y = 0;
    m.nodes[15].x = 30;
    m.nodes[15].y = 40;
    game.zoom = 0.5f;
    m.drawStick(game, 13, Colour{0, 10, 20, 30});
    const DrawCall& call = headless::currentFrame().back();
    EXPECT_EQ(call.image, game.quadImage.get());
    EXPECT_FLOAT_EQ(call.x, 519.5f);
    EXPECT_FLOAT_EQ(call.y, 394.0f);
    EXPECT_FLOAT_EQ(call.scaleX, 50 * 0.5f / 280);
    EXPECT_FLOAT_EQ(call.scaleY, 6 * 0.5f / 70);
    EXPECT_NEAR(call.rotation, 53.130102f, 1e-3f);
    EXPECT_EQ(call.r, 10);
    EXPECT_EQ(call.g, 20);
    EXPECT_EQ(call.b, 30);
    const DrawCall state = stateAfter();
    EXPECT_EQ(state.rotation, 0.0f);
    EXPECT_EQ(state.scaleX, 1.0f);
    EXPECT_EQ(state.scaleY, 1.0f);
}

// Index into one man::draw's calls of the given draw-order entry.
size_t callOf(int entry) {
    for (size_t i = 0; i < Order.size(); ++i)
        if (Order[Order.size() - 1 - i] == entry) return i;
    return Order.size();
}

TEST_F(FighterDraw, ForearmsTurnFromBodyColourToTheDamageTint) {
    man& m = addFighter(game, 1, 1);
    m.colour = {0, 0, 0, 255};

    auto forearmColours = [&](float energy) {
        m.energy = energy;
        const auto calls = drawFighter(m, 1.0f, 0.3f);
        const DrawCall& left = calls[callOf(-18)];
        const DrawCall& right = calls[callOf(-22)];
        EXPECT_EQ(left.r, right.r);
        EXPECT_EQ(left.g, right.g);
        EXPECT_EQ(left.b, right.b);
        // Every other stick keeps the body colour.
        const DrawCall& upperArm = calls[callOf(-17)];
        EXPECT_EQ(upperArm.r, 0);
        EXPECT_EQ(upperArm.b, 255);
        return std::array<int, 3>{left.r, left.g, left.b};
    };
    EXPECT_EQ(forearmColours(20), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(forearmColours(10), (std::array<int, 3>{127, 0, 127}));
    EXPECT_EQ(forearmColours(0), (std::array<int, 3>{255, 0, 0}));

    man& robot = addFighter(game, 2, 2, 2.0f, 1);
    robot.energy = 0;
    const auto calls = drawFighter(robot, 1.0f, 0.3f);
    EXPECT_EQ(calls[callOf(-18)].r, 255);
    EXPECT_EQ(calls[callOf(-18)].g, 255);
    EXPECT_EQ(calls[callOf(-18)].b, 0);
}

TEST_F(FighterDraw, HitNodeFlashesAndFadesBackToTheBodyColour) {
    man& m = addFighter(game, 1, 1);
    m.colour = {0, 100, 100, 100};
    m.nodes[12].hitTimer = 30;
    m.nodes[13].hitTimer = 60;
    const auto calls = drawFighter(m, 1.0f, 0.3f);
    const DrawCall& half = calls[callOf(12)];
    EXPECT_EQ(half.r, 161);
    EXPECT_EQ(half.g, 50);
    EXPECT_EQ(half.b, 50);
    const DrawCall& full = calls[callOf(13)];
    EXPECT_EQ(full.r, 222);
    EXPECT_EQ(full.g, 0);
    EXPECT_EQ(full.b, 0);
    const DrawCall& unhit = calls[callOf(14)];
    EXPECT_EQ(unhit.r, 100);
    EXPECT_EQ(unhit.g, 100);
    EXPECT_EQ(unhit.b, 100);
}

TEST_F(FighterDraw, RobotNodesFlashYellow) {
    man& robot = addFighter(game, 1, 1, 2.0f, 1);
    robot.colour = {0, 100, 100, 100};
    robot.nodes[12].hitTimer = 30;
    const auto calls = drawFighter(robot, 1.0f, 0.3f);
    const DrawCall& call = calls[callOf(12)];
    EXPECT_EQ(call.r, 177);  // 100 - 50 + 127.5
    EXPECT_EQ(call.g, 177);
    EXPECT_EQ(call.b, 50);
}

TEST_F(FighterDraw, AlphaAppliesToTheWholeFighterAndIsSetBack) {
    man& m = addFighter(game, 1, 1);
    for (const DrawCall& call : drawFighter(m, 0.5f, 0.3f)) EXPECT_EQ(call.alpha, 0.5f);
    expectStateReset();
    for (const DrawCall& call : drawFighter(m, 130.0f / 120.0f, 0.3f)) EXPECT_EQ(call.alpha, 1.0f);
}

TEST_F(FighterDraw, KnockedOutFighterShowsOnlyItsNodes) {
    man& m = addFighter(game, 1, 1);
    m.knockedOut = 1;
    m.colour = {0, 100, 100, 100};
    m.nodes[20].hitTimer = 60;
    const auto calls = drawFighter(m, 1.0f, 0.3f);
    ASSERT_EQ(calls.size(), 26u);
    std::vector<int> nodeOrder;
    for (auto entry = Order.rbegin(); entry != Order.rend(); ++entry)
        if (*entry > 0) nodeOrder.push_back(*entry);
    for (size_t i = 0; i < calls.size(); ++i) {
        const ball& n = m.nodes[nodeOrder[i]];
        EXPECT_EQ(calls[i].image, game.ballImage.get());
        EXPECT_FLOAT_EQ(calls[i].x, sx(n, 0.3f));
        if (nodeOrder[i] == 20) {
            EXPECT_EQ(calls[i].r, 222);
        }
    }
    expectStateReset();
}

TEST_F(FighterDraw, RobotHeadFistsAndFeetAreSquaresTurnedAlongTheirLimbs) {
    man& robot = addFighter(game, 1, 1, 2.0f, 1);
    const float zoom = 0.6f;
    const auto calls = drawFighter(robot, 1.0f, zoom);
    ASSERT_EQ(calls.size(), 51u);
    const int neighbours[][2] = {{16, 15}, {20, 19}, {24, 23}, {25, 1}, {26, 11}};
    for (const auto& [part, neighbour] : neighbours) {
        const ball& n = robot.nodes[part];
        const ball& towards = robot.nodes[neighbour];
        const DrawCall& call = calls[callOf(part)];
        EXPECT_EQ(call.image, game.quadImage.get()) << "node " << part;
        const float side = n.size * 0.886f * 2 * zoom / 280;
        EXPECT_FLOAT_EQ(call.scaleX, side) << "node " << part;
        EXPECT_FLOAT_EQ(call.scaleY, side) << "node " << part;
        EXPECT_NEAR(call.rotation,
                    std::atan2(n.y - towards.y, n.x - towards.x) * 180 / M_PI, 1e-3)
            << "node " << part;
        EXPECT_NEAR(call.x, sx(n, zoom), 1e-3f) << "node " << part;
        EXPECT_NEAR(call.y, sy(n, zoom), 1e-3f) << "node " << part;
    }
    // The other nodes stay discs.
    EXPECT_EQ(calls[callOf(19)].image, game.ballImage.get());
    EXPECT_EQ(calls[callOf(6)].image, game.ballImage.get());
    expectStateReset();
}

TEST_F(FighterDraw, RobotPartOnItsNeighbourIsDrawnUnrotated) {
    man& robot = addFighter(game, 1, 1, 2.0f, 1);
    robot.nodes[16].x = robot.nodes[15].x;
    robot.nodes[16].y = robot.nodes[15].y;
    game.zoom = 0.5f;
    robot.nodes[16].draw(game, robot, robot.colour);
    const DrawCall& call = headless::currentFrame().back();
    EXPECT_EQ(call.image, game.quadImage.get());
    EXPECT_EQ(call.rotation, 0.0f);
    EXPECT_FLOAT_EQ(call.x, sx(robot.nodes[16], 0.5f));
    EXPECT_FLOAT_EQ(call.y, sy(robot.nodes[16], 0.5f));
    EXPECT_TRUE(std::isfinite(call.scaleX));
    expectStateReset();
}

}  // namespace
