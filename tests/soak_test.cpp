// The short soak: matches of every mode, several levels and every ending, with random
// held keys for both players and random options, checked after every frame; and the
// checks themselves, shown to catch what they look for.

#include <cmath>
#include <limits>
#include <set>

#include "tests/match_test_support.h"
#include "tools/soak/game_checks.h"
#include "tools/soak/soak_match.h"

namespace {

using matchtest::MatchTest;
using matchtest::ScopedTempFolder;

class SoakChecks : public MatchTest {};

TEST_F(SoakChecks, ASoundMatchHasNoFault) {
    setUpMatch("2coop", 9);
    EXPECT_EQ(findFault(game), "");
    EXPECT_TRUE(isMatchState("level completed"));
    EXPECT_FALSE(isMatchState("paused"));
}

TEST_F(SoakChecks, NonFiniteNumbersAreNamed) {
    setUpMatch("1", 3);
    game.fighters[2].nodes[7].vy = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(findFault(game).rfind("fighter 2: node 7 vy is ", 0), 0u) << findFault(game);
    game.fighters[2].nodes[7].vy = 0;
    game.fighters[1].nodes[26].oldX = std::numeric_limits<float>::infinity();
    EXPECT_EQ(findFault(game).rfind("fighter 1: node 26 oldX is ", 0), 0u) << findFault(game);
    game.fighters[1].nodes[26].oldX = 0;
    game.zoom = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(findFault(game), "camera not finite or zoom not positive");
    game.zoom = 0.3f;
    game.bursts[40].start(0, 0, 0, 0, 20, BurstPlasma, 2.0f, 0, 0);
    game.bursts[40].vys[20] = -std::numeric_limits<float>::infinity();
    EXPECT_EQ(findFault(game), "burst 40: particle 20 not finite");
    game.bursts[40].vys[20] = 0;
    EXPECT_EQ(findFault(game), "");
}

TEST_F(SoakChecks, EnergiesAndStatesOutOfRangeAreNamed) {
    setUpMatch("2vs", 1);
    game.fighters[2].energy = game.fighters[2].maxEnergy + 0.5f;
    EXPECT_EQ(findFault(game), "fighter 2: energy 20.500000 outside 0..20.000000");
    game.fighters[2].energy = -0.25f;
    EXPECT_EQ(findFault(game), "fighter 2: energy -0.250000 outside 0..20.000000");
    game.fighters[2].energy = 0;
    game.matchState = "paused";
    EXPECT_EQ(findFault(game), "unknown match state 'paused'");
    game.matchState = "end";
    game.nextBurst = 101;
    EXPECT_EQ(findFault(game), "nextBurst 101");
}

// ---- Whole matches ------------------------------------------------------------------------------

class SoakShort : public ::testing::Test {
protected:
    void TearDown() override { headless::stop(); }
    ScopedTempFolder folder;  // level 20 ends on the score table, which is saved
};

TEST_F(SoakShort, EveryModeAndEndingEndsInAValidState) {
    const SoakEnding endings[] = {SoakEnding::KnockOut, SoakEnding::Quit, SoakEnding::Natural};
    const int levels[] = {1, 5, 9, 10, 14, 20};
    long frames = 0;
    int run = 0;
    for (const char* mode : {"1", "2coop", "2vs"}) {
        for (int level : levels) {
            const SoakEnding ending = endings[run % 3];
            SoakMatchPlan plan;
            plan.seed = 977u * static_cast<uint32_t>(run) + 5u;
            plan.mode = mode;
            plan.level = level;
            plan.fightFrames = 250 + 40 * run;
            plan.ending = ending;
            plan.undecidedFrames = 400;
            plan.randomOptions = run % 2 == 1;
            ++run;
            const SoakMatchReport report = soakMatch(plan);
            SCOPED_TRACE(std::string("mode ") + mode + " level " + std::to_string(level) + " seed " +
                         std::to_string(plan.seed));
            frames += report.frames;
            EXPECT_EQ(report.fault, "");
            EXPECT_EQ(report.lastState, "end");
            EXPECT_GE(report.frames, plan.fightFrames);
            if (ending == SoakEnding::KnockOut) {
                EXPECT_EQ(report.result, 1);  // 4 + 1 wins for player 1
            }
            if (ending == SoakEnding::Quit) {
                EXPECT_TRUE(report.result == 3 || report.winner != 0);
            }
            if (report.result != 3) {
                EXPECT_EQ(report.result, report.winner);
            }
        }
    }
    EXPECT_GT(frames, 8000);
}

TEST_F(SoakShort, TheSameSpecPlaysTheSameMatch) {
    const SoakMatchPlan plan = soakSpecFor(7, 3);
    const SoakMatchReport first = soakMatch(plan);
    const SoakMatchReport second = soakMatch(plan);
    EXPECT_EQ(first.fault, "");
    EXPECT_EQ(first.frames, second.frames);
    EXPECT_EQ(first.result, second.result);
    EXPECT_EQ(first.winner, second.winner);
}

TEST(SoakSpecs, EveryModeMeetsEveryLevel) {
    std::set<std::pair<std::string, int>> seen;
    for (uint32_t index = 0; index < 60; ++index) {
        const SoakMatchPlan plan = soakSpecFor(index, 1);
        seen.insert({plan.mode, plan.level});
        EXPECT_GE(plan.fightFrames, 200);
        EXPECT_LE(plan.fightFrames, 3000);
    }
    EXPECT_EQ(seen.size(), 60u);
    EXPECT_NE(soakSpecFor(0, 1).seed, soakSpecFor(0, 2).seed);
}

}  // namespace
