// The computer fighter's think: roam sectors and their strict bounds, the roam range,
// the spin table for both sides, the look-ahead, the order of the random draws and the
// capped head push. Positions are fixed; the generator is seeded so that each draw's
// value is known before think runs.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <utility>

#include "game/Game.h"
#include "platform/headless.h"

namespace {

constexpr double Pi = 3.14159265358979323846;

class ThinkTest : public ::testing::Test {
protected:
    void SetUp() override { headless::start(); }
    void TearDown() override { headless::stop(); }

    // Every node at rest at one point.
    void gather(float x, float y) {
        for (int k = 1; k <= NodeCount; ++k) {
            fighter.nodes[k].x = x;
            fighter.nodes[k].y = y;
            fighter.nodes[k].vx = 0;
            fighter.nodes[k].vy = 0;
        }
    }

    // An upright body: head at (0, 0), hips at (0, 100), the other nodes at (0, 50) so
    // that the centre is (0, 50) plus 1/26 of the shoulders' offset; the shoulders'
    // offset from the centre then has the signs of (sx, sy), and is exactly 0 where
    // sx or sy is 0.
    void uprightWithShoulders(float sx, float sy) {
        gather(0, 50);
        fighter.nodes[HeadNode].y = 0;
        fighter.nodes[HipsNode].y = 100;
        fighter.nodes[ShouldersNode].x = sx;
        fighter.nodes[ShouldersNode].y = 50 + sy;
    }

    void setAllVelocities(float vx, float vy) {
        for (int k = 1; k <= NodeCount; ++k) {
            fighter.nodes[k].vx = vx;
            fighter.nodes[k].vy = vy;
        }
    }

    man fighter;
};

// The first seed whose two draws, taken as think takes them (roam in 0..100, then spin
// in 1..1024), satisfy `wanted`. Leaves the generator seeded with it.
int seedWhere(const std::function<bool(int roam, int spin)>& wanted) {
    for (int seed = 1; seed < 2'000'000; ++seed) {
        SeedRnd(seed);
        const int roam = Rand(0, 100);
        const int spin = Rand(1, 1024);
        if (wanted(roam, spin)) {
            SeedRnd(seed);
            return seed;
        }
    }
    ADD_FAILURE() << "no seed gives the wanted draws";
    return 0;
}

float bearingFrom(float fromX, float fromY, float x, float y) {
    return wrap360(ATan2(-(y - fromY), x - fromX));
}

// A target about `distance` from `from` in the direction `degrees` (0 right, 90 up) at
// which `angleOf(dx, dy)` gives exactly `wanted`; searched over neighbouring float
// positions, since a computed angle rarely lands on a round value by chance.
bool findExactAngle(float fromX, float fromY, float degrees, float distance, float wanted,
                    const std::function<float(float dx, float dy)>& angleOf, float& tx,
                    float& ty) {
    const double rad = degrees * Pi / 180.0;
    const float up = std::numeric_limits<float>::max();
    float x = static_cast<float>(fromX + distance * std::cos(rad));
    const float y0 = static_cast<float>(fromY - distance * std::sin(rad));
    for (int i = 0; i < 300; ++i, x = std::nextafter(x, up)) {
        float y = y0;
        for (int j = 0; j < 150; ++j) y = std::nextafter(y, -up);
        for (int j = 0; j < 300; ++j, y = std::nextafter(y, up)) {
            if (angleOf(x - fromX, y - fromY) == wanted) {
                tx = x;
                ty = y;
                return true;
            }
        }
    }
    return false;
}

bool findExactBearing(float degrees, float& tx, float& ty) {
    return findExactAngle(0, 0, degrees, 1000, degrees,
                          [](float dx, float dy) { return bearingFrom(0, 0, dx, dy); }, tx, ty);
}

// A code other than both given ones, so a change to either is visible.
int codeOtherThan(int a, int b) {
    for (int code = 1; code <= 8; ++code)
        if (code != a && code != b) return code;
    return 0;
}

// ---- Rule 1: roam ----------------------------------------------------------------------

TEST_F(ThinkTest, RoamAimsByTheSectorOfTheBearing) {
    // Bearing (0 right, 90 up) -> code.
    const std::pair<float, int> sectors[] = {
        {0, DirRight},      {45, DirUpRight}, {90, DirUp},     {135, DirUpLeft},
        {180, DirLeft},     {225, DirDownLeft}, {270, DirDown}, {315, DirDownRight},
        {10, DirRight},     {350, DirRight},  {100, DirUp},    {260, DirDown},
    };
    for (const auto& [degrees, code] : sectors) {
        // Hips away from the origin: the bearing is measured from the hips.
        gather(100, -50);
        fighter.nodes[HeadNode].x = -300;  // the head plays no part in roaming
        fighter.lastContact = code == DirUp ? DirDown : DirUp;
        const double rad = degrees * Pi / 180.0;
        const float tx = static_cast<float>(100 + 1000 * std::cos(rad));
        const float ty = static_cast<float>(-50 - 1000 * std::sin(rad));
        seedWhere([](int roam, int) { return roam <= 10; });
        fighter.think(1, 4, tx, ty, 0, 0);
        EXPECT_EQ(fighter.lastContact, code) << "bearing " << degrees;
    }
}

TEST_F(ThinkTest, BearingExactlyOnASectorBoundLeavesTheCode) {
    struct Bound { float degrees; int below, above; };
    const Bound bounds[] = {
        {22.5f, DirRight, DirUpRight},    {67.5f, DirUpRight, DirUp},
        {112.5f, DirUp, DirUpLeft},       {157.5f, DirUpLeft, DirLeft},
        {202.5f, DirLeft, DirDownLeft},   {247.5f, DirDownLeft, DirDown},
        {292.5f, DirDown, DirDownRight},  {337.5f, DirDownRight, DirRight},
    };
    for (const Bound& bound : bounds) {
        float tx = 0, ty = 0;
        ASSERT_TRUE(findExactBearing(bound.degrees, tx, ty)) << bound.degrees;
        const int before = codeOtherThan(bound.below, bound.above);

        gather(0, 0);
        fighter.lastContact = before;
        seedWhere([](int roam, int) { return roam <= 10; });
        fighter.think(1, 4, tx, ty, 0, 0);
        EXPECT_EQ(fighter.lastContact, before) << "bound " << bound.degrees;

        // A neighbouring float position falls on one side or the other of the bound.
        for (const float direction : {-1.0f, 1.0f}) {
            float y = ty;
            while (bearingFrom(0, 0, tx, y) == bound.degrees)
                y = std::nextafter(y, direction * std::numeric_limits<float>::max());
            const float bearing = bearingFrom(0, 0, tx, y);
            gather(0, 0);
            fighter.lastContact = before;
            seedWhere([](int roam, int) { return roam <= 10; });
            fighter.think(1, 4, tx, y, 0, 0);
            EXPECT_EQ(fighter.lastContact, bearing > bound.degrees ? bound.above : bound.below)
                << "bearing " << bearing << " beside bound " << bound.degrees;
        }
    }
}

TEST_F(ThinkTest, RoamOnlyBeyondFourHundredUnits) {
    gather(0, 0);
    fighter.lastContact = DirUp;
    seedWhere([](int roam, int) { return roam <= 10; });
    fighter.think(1, 4, 400, 0, 0, 0);  // exactly 400: not farther than the limit
    EXPECT_EQ(fighter.lastContact, DirUp);

    gather(0, 0);
    seedWhere([](int roam, int) { return roam <= 10; });
    fighter.think(1, 4, std::nextafter(400.0f, 1000.0f), 0, 0, 0);
    EXPECT_EQ(fighter.lastContact, DirRight);

    // The squared distance counts both components: (240, 320) is exactly 400 away.
    gather(0, 0);
    fighter.lastContact = DirUp;
    seedWhere([](int roam, int) { return roam <= 10; });
    fighter.think(1, 4, -240, 320, 0, 0);
    EXPECT_EQ(fighter.lastContact, DirUp);
    gather(0, 0);
    seedWhere([](int roam, int) { return roam <= 10; });
    fighter.think(1, 4, -241, 320, 0, 0);
    EXPECT_EQ(fighter.lastContact, DirDownLeft);
}

TEST_F(ThinkTest, RoamFiresOnARollOfTenAndNotEleven) {
    gather(0, 0);
    fighter.lastContact = DirUp;
    seedWhere([](int roam, int) { return roam == 11; });
    fighter.think(1, 4, 1000, 0, 0, 0);
    EXPECT_EQ(fighter.lastContact, DirUp);

    seedWhere([](int roam, int) { return roam == 100; });
    fighter.think(1, 4, 1000, 0, 0, 0);
    EXPECT_EQ(fighter.lastContact, DirUp);

    seedWhere([](int roam, int) { return roam == 10; });
    fighter.think(1, 4, 1000, 0, 0, 0);
    EXPECT_EQ(fighter.lastContact, DirRight);

    fighter.lastContact = DirUp;
    seedWhere([](int roam, int) { return roam == 0; });
    fighter.think(1, 4, 1000, 0, 0, 0);
    EXPECT_EQ(fighter.lastContact, DirRight);
}

// ---- Rule 2: spin ------------------------------------------------------------------------

// Upright body (head above hips). A target at (100, 100), right of the hips, lies 45
// degrees clockwise of the axis (U = -45): side -1. At (-100, 100): U = 45, side 1.
TEST_F(ThinkTest, SpinTableForBothSides) {
    struct Case { float targetX; float sx, sy; int code; };
    const Case cases[] = {
        // side -1
        {100, 10, 10, DirUpRight},   {100, 10, -10, DirUpLeft},
        {100, -10, 10, DirDownRight}, {100, -10, -10, DirDownLeft},
        // side 1
        {-100, 10, 10, DirDownLeft},  {-100, 10, -10, DirDownRight},
        {-100, -10, 10, DirUpLeft},   {-100, -10, -10, DirUpRight},
    };
    for (const Case& c : cases) {
        uprightWithShoulders(c.sx, c.sy);
        fighter.lastContact = DirDown;
        SeedRnd(7);
        fighter.think(10, 4, c.targetX, 100, 0, 0);  // level 10: every roll fires
        EXPECT_EQ(fighter.lastContact, c.code)
            << "target x " << c.targetX << " shoulders " << c.sx << "," << c.sy;
    }
}

TEST_F(ThinkTest, SpinLeavesTheCodeWhenAShoulderOffsetIsZero) {
    for (const auto& [sx, sy] : {std::pair{0.0f, 10.0f}, std::pair{10.0f, 0.0f},
                                 std::pair{0.0f, 0.0f}}) {
        for (const float targetX : {100.0f, -100.0f}) {
            uprightWithShoulders(sx, sy);
            fighter.lastContact = DirDown;
            SeedRnd(7);
            fighter.think(10, 4, targetX, 100, 0, 0);
            EXPECT_EQ(fighter.lastContact, DirDown) << sx << "," << sy << " target " << targetX;
        }
    }
}

TEST_F(ThinkTest, TargetExactlyTwentyDegreesOffTheAxisGivesNoSide) {
    // Axis head -> hips points straight down (-90). A sight line at -110 or -70 is
    // exactly 20 degrees off it.
    for (const float sight : {-110.0f, -70.0f}) {
        float tx = 0, ty = 0;
        ASSERT_TRUE(findExactAngle(0, 0, sight, 150, sight,
                                   [](float dx, float dy) { return ATan2(-dy, dx); }, tx, ty));
        uprightWithShoulders(10, 10);
        ASSERT_EQ(wrap180(ATan2(-100.0f, 0.0f) - ATan2(-ty, tx)), sight < -90 ? 20.0f : -20.0f);
        fighter.lastContact = DirDown;
        SeedRnd(7);
        fighter.think(10, 4, tx, ty, 0, 0);
        EXPECT_EQ(fighter.lastContact, DirDown) << "sight " << sight;
    }
    // Half a degree further off the axis, the spin fires.
    for (const auto& [sight, code] : {std::pair{-110.5f, DirDownLeft}, std::pair{-69.5f, DirUpRight}}) {
        const double rad = sight * Pi / 180.0;
        uprightWithShoulders(10, 10);
        fighter.lastContact = DirDown;
        SeedRnd(7);
        fighter.think(10, 4, static_cast<float>(150 * std::cos(rad)),
                      static_cast<float>(-150 * std::sin(rad)), 0, 0);
        EXPECT_EQ(fighter.lastContact, code) << "sight " << sight;
    }
}

TEST_F(ThinkTest, CloseNowWhateverTheVelocities) {
    // Target 200 to the right of the hips; both fly apart at great speed.
    uprightWithShoulders(10, 10);
    setAllVelocities(-500, 0);
    fighter.lastContact = DirDown;
    SeedRnd(7);
    fighter.think(10, 4, 200, 100, 500, 300);
    EXPECT_EQ(fighter.lastContact, DirUpRight);
}

TEST_F(ThinkTest, LookAheadReachesEighteenFramesAndNoFurther) {
    // Target 300 to the right of the hips, standing; the body moves right at v per frame.
    // Predicted gaps: 300 - 3 * i * v for i = 0..6.
    struct Case { float v; bool close; };
    const Case cases[] = {
        {0.0f, false},  // 300 apart now and later
        {3.0f, true},   // i = 6: 246
        {2.5f, false},  // i = 6: 255; i = 7 would give 247.5 but is not looked at
        {2.0f, false},  // i = 6: 264
    };
    for (const Case& c : cases) {
        uprightWithShoulders(10, 10);
        setAllVelocities(c.v, 0);
        fighter.lastContact = DirDown;
        SeedRnd(7);
        fighter.think(10, 4, 300, 100, 0, 0);
        EXPECT_EQ(fighter.lastContact, c.close ? DirUpRight : DirDown) << "v " << c.v;
    }
    // The target's own velocity counts the same way.
    uprightWithShoulders(10, 10);
    fighter.lastContact = DirDown;
    SeedRnd(7);
    fighter.think(10, 4, 300, 100, -3, 0);
    EXPECT_EQ(fighter.lastContact, DirUpRight);
}

TEST_F(ThinkTest, SpinRollAgainstTwoToTheAiLevel) {
    struct Case { int level; int roll; bool fires; };
    const Case cases[] = {
        {1, 2, true},    {1, 3, false},   {1, 1, true},
        {9, 512, true},  {9, 513, false}, {10, 1024, true},
        {5, 32, true},   {5, 33, false},
    };
    for (const Case& c : cases) {
        uprightWithShoulders(10, 10);
        fighter.lastContact = DirDown;
        seedWhere([&](int, int spin) { return spin == c.roll; });
        fighter.think(c.level, 4, 100, 100, 0, 0);
        EXPECT_EQ(fighter.lastContact, c.fires ? DirUpRight : DirDown)
            << "level " << c.level << " roll " << c.roll;
    }
}

TEST_F(ThinkTest, SpinWinsWhenBothRulesFire) {
    // Target 500 away to the right, rushing in: roam would aim right (4), the spin
    // (side -1, shoulders down-right of the centre) gives 7.
    uprightWithShoulders(10, 10);
    fighter.lastContact = DirDown;
    seedWhere([](int roam, int) { return roam <= 10; });
    fighter.think(10, 4, 500, 100, -20, 0);
    EXPECT_EQ(fighter.lastContact, DirUpRight);
}

TEST_F(ThinkTest, TwoDrawsEveryCallInOrder) {
    // Whether or not any rule can fire, think takes exactly two draws: 0..100, then
    // 1..1024.
    const float targets[][2] = {{1000, 0}, {300, 100}, {100, 100}};
    for (const auto& target : targets) {
        for (const int seed : {3, 99, 12345}) {
            SeedRnd(seed);
            Rand(0, 100);
            Rand(1, 1024);
            const int next = Rand(0, 1'000'000);

            uprightWithShoulders(10, 10);
            SeedRnd(seed);
            fighter.think(3, 4, target[0], target[1], 0, 0);
            EXPECT_EQ(Rand(0, 1'000'000), next) << "target " << target[0] << " seed " << seed;
        }
    }
}

// ---- The push ------------------------------------------------------------------------------

// Target 300 away, all at rest: neither rule can fire (too near to roam, too far to
// spin), so only the push acts.
TEST_F(ThinkTest, PushFollowsTheCodeForEveryDirection) {
    const int expected[9][2] = {
        {0, 0},
        {0, -4}, {0, 4}, {-4, 0}, {4, 0},   // up, down, left, right
        {4, 4}, {-4, -4}, {4, -4}, {-4, 4}, // down-right, up-left, up-right, down-left
    };
    for (int code = 1; code <= 8; ++code) {
        gather(0, 0);
        fighter.lastContact = code;
        SeedRnd(5);
        fighter.think(1, 4, 300, 0, 0, 0);
        EXPECT_EQ(fighter.lastContact, code);
        EXPECT_EQ(fighter.nodes[HeadNode].vx, static_cast<float>(expected[code][0])) << code;
        EXPECT_EQ(fighter.nodes[HeadNode].vy, static_cast<float>(expected[code][1])) << code;
        // Only the head is pushed.
        EXPECT_EQ(fighter.nodes[HipsNode].vx, 0.0f);
        EXPECT_EQ(fighter.nodes[HipsNode].vy, 0.0f);
    }
}

TEST_F(ThinkTest, PushIsCappedAtTwiceTheSpeed) {
    // Speed 4: cap 8. A component just inside the cap is still pushed (and passes it);
    // one at the cap is not.
    struct Case { int code; float vx, vy; float wantVx, wantVy; };
    const Case cases[] = {
        {DirRight, 7.5f, 0, 11.5f, 0},   {DirRight, 8.0f, 0, 8.0f, 0},
        {DirLeft, -7.5f, 0, -11.5f, 0},  {DirLeft, -8.0f, 0, -8.0f, 0},
        {DirDown, 0, 7.5f, 0, 11.5f},    {DirDown, 0, 8.0f, 0, 8.0f},
        {DirUp, 0, -7.5f, 0, -11.5f},    {DirUp, 0, -8.0f, 0, -8.0f},
        // Diagonals cap each component on its own.
        {DirDownRight, 8.0f, 7.0f, 8.0f, 11.0f},  {DirUpLeft, -3.0f, -8.0f, -7.0f, -8.0f},
        {DirUpRight, 9.0f, -9.0f, 9.0f, -9.0f},   {DirDownLeft, -7.75f, 7.75f, -11.75f, 11.75f},
        // Pushing against a fast motion is never capped.
        {DirLeft, 20.0f, 0, 16.0f, 0},            {DirUp, 0, 30.0f, 0, 26.0f},
    };
    for (const Case& c : cases) {
        gather(0, 0);
        fighter.nodes[HeadNode].vx = c.vx;
        fighter.nodes[HeadNode].vy = c.vy;
        fighter.lastContact = c.code;
        SeedRnd(5);
        fighter.think(1, 4, 300, 0, 0, 0);
        EXPECT_EQ(fighter.nodes[HeadNode].vx, c.wantVx) << "code " << c.code;
        EXPECT_EQ(fighter.nodes[HeadNode].vy, c.wantVy) << "code " << c.code;
    }
}

TEST_F(ThinkTest, PushIsAWholeSpeedStep) {
    // 3 * s / 3 in integers is exactly s, for every speed.
    for (int speed = 1; speed <= 10; ++speed) {
        gather(0, 0);
        fighter.lastContact = DirRight;
        SeedRnd(5);
        fighter.think(1, speed, 300, 0, 0, 0);
        EXPECT_EQ(fighter.nodes[HeadNode].vx, static_cast<float>(speed));
    }
}

}  // namespace
