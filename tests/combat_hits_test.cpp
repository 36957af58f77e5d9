// The hit test between fighters: contacts, gates, blows, combos, damage and scores.
#include <cmath>

#include "tests/combat_fixture.h"

namespace {
constexpr int Foot = 25, Chest = 13, Fist = 20, OtherFist = 24, Shin = 2, OtherShin = 10;
}

using CombatHits = CombatScene;

TEST_F(CombatHits, HeadsMeetingMakeADoubleBlow) {
    place(1, HeadNode, 2, HeadNode, 0, 0, 30);  // sizes 18 + 18 reach 36
    const int before = MilliSecs();
    const Channel mark = soundMark();
    frame();
    const int after = MilliSecs();
    const SoundsHeard heard = soundsSince(mark);
    EXPECT_EQ(heard.blow, 1);
    EXPECT_EQ(heard.block, 0);
    EXPECT_EQ(heard.silent, 0);

    EXPECT_EQ(g.bannerText, "DOUBLE BLOW!");
    EXPECT_EQ(g.bannerTimer, 60);
    EXPECT_EQ(g.combo, 0);
    EXPECT_FLOAT_EQ(fighter(1).energy, 19.0f);
    EXPECT_FLOAT_EQ(fighter(2).energy, 19.0f);
    EXPECT_EQ(g.comboScore, 0);
    EXPECT_EQ(node(1, HeadNode).hitTimer, 60);
    EXPECT_EQ(node(2, HeadNode).hitTimer, 60);
    EXPECT_EQ(g.blowGate[1][2], 10);
    EXPECT_EQ(g.blowGate[2][1], 10);
    // Two passing checks, two freezes: slow motion was not running.
    EXPECT_EQ(after - before, 400);
    EXPECT_FLOAT_EQ(g.slowMotionTimer, 30.0f);

    // Pushed apart to 0.1 beyond touching and kicked apart with 250 each (equal masses).
    EXPECT_FLOAT_EQ(node(1, HeadNode).x, -3.05f);
    EXPECT_FLOAT_EQ(node(2, HeadNode).x, 33.05f);
    EXPECT_FLOAT_EQ(node(1, HeadNode).vx, -250.0f);
    EXPECT_FLOAT_EQ(node(2, HeadNode).vx, 250.0f);

    // Sparks in slot 1 at the midpoint, blood from the second fighter's head in slot 2.
    const dotburst& sparks = g.bursts[1];
    EXPECT_EQ(sparks.active, 1);
    EXPECT_EQ(sparks.kind, BurstPlasma);
    EXPECT_EQ(sparks.count, 20);
    EXPECT_FLOAT_EQ(sparks.xs[1], 15.0f);
    const dotburst& blood = g.bursts[2];
    EXPECT_EQ(blood.active, 1);
    EXPECT_EQ(blood.kind, BurstBlood);
    EXPECT_EQ(blood.count, 100);
    EXPECT_EQ(blood.yellow, 0);
    for (int i = 1; i <= blood.count; ++i) {
        EXPECT_LE(std::hypot(blood.xs[i] - 33.05f, blood.ys[i]), 8.0f + 1e-3f);  // spread Int(radius 8)
        EXPECT_LE(std::hypot(blood.vxs[i] - 250.0f / 35, blood.vys[i]), 3.0f + 1e-3f);
    }
    EXPECT_EQ(g.nextBurst, 3);
}

TEST_F(CombatHits, FootOnChestBeforeFrame100OnlyPushesAndKicks) {
    g.frameCounter = 50;
    place(1, Foot, 2, Chest, 0, 0, 10);
    const int before = MilliSecs();
    const Channel mark = soundMark();
    frame();
    const int after = MilliSecs();
    const SoundsHeard heard = soundsSince(mark);
    EXPECT_EQ(heard.block, 1);
    EXPECT_EQ(heard.blow, 0);

    EXPECT_FLOAT_EQ(node(1, Foot).x, -3.05f);
    EXPECT_FLOAT_EQ(node(2, Chest).x, 13.05f);
    EXPECT_FLOAT_EQ(node(1, Foot).vx, -250.0f);
    EXPECT_FLOAT_EQ(node(2, Chest).vx, 250.0f);
    EXPECT_EQ(g.contactGate[1][2], 2);
    EXPECT_EQ(g.sparkGate[1][2], 10);
    EXPECT_EQ(g.bursts[1].active, 1);
    EXPECT_EQ(g.bursts[1].kind, BurstPlasma);
    EXPECT_EQ(g.bursts[2].active, 0);  // no blood
    EXPECT_EQ(g.nextBurst, 3);          // the sparks' advance and the contact's own
    EXPECT_FLOAT_EQ(fighter(2).energy, 20.0f);
    EXPECT_EQ(node(2, Chest).hitTimer, 0);
    EXPECT_EQ(g.bannerText, "");
    EXPECT_EQ(g.bannerTimer, 0);
    EXPECT_EQ(g.combo, 0);
    EXPECT_EQ(after - before, 0);  // no blow, no freeze
    EXPECT_FLOAT_EQ(g.slowMotionTimer, 30.0f);
}

TEST_F(CombatHits, NoBlowOnFrame100ItselfOnlyAfterIt) {
    g.frameCounter = 100;  // the frame of "FIGHT!": still too early
    place(1, Foot, 2, Chest, 0, 0, 10);
    frame();
    EXPECT_FLOAT_EQ(fighter(2).energy, 20.0f);
    EXPECT_EQ(node(2, Chest).hitTimer, 0);
    EXPECT_EQ(g.bannerText, "");
}

TEST_F(CombatHits, HeldContactHitsEverySecondFrameAndBlowsEveryTenth) {
    fighter(2).energy = 1000;
    std::vector<int> contacts, blows;
    const Channel mark = soundMark();
    for (int f = 0; f < 30; ++f) {
        place(1, Foot, 2, Chest, 0, 0, 10);  // the bodies keep pressing the foot back in
        node(2, Chest).hitTimer = 0;
        frame();
        if (node(2, Chest).vx == 250.0f) contacts.push_back(f);
        if (node(2, Chest).hitTimer == 60) blows.push_back(f);
    }
    // A blow sound with each blow; the contacts between blows are silent while the
    // spark gate is closed (it reopens every tenth frame, when the blow comes first).
    const SoundsHeard heard = soundsSince(mark);
    EXPECT_EQ(heard.blow, 3);
    EXPECT_EQ(heard.block, 0);
    EXPECT_EQ(contacts, (std::vector<int>{0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28}));
    EXPECT_EQ(blows, (std::vector<int>{0, 10, 20}));
    EXPECT_EQ(g.combo, 3);
    EXPECT_FLOAT_EQ(fighter(2).energy, 1000.0f - 1 - 2 - 3);
}

TEST_F(CombatHits, FistOnFistAndShinOnShinNeverBlow) {
    for (auto [ka, kb] : {std::pair{Fist, OtherFist}, std::pair{Shin, OtherShin}}) {
        park(1), park(2);
        for (int f = 0; f < 12; ++f) frame();  // every gate back to rest
        place(1, ka, 2, kb, 0, 0, 10);
        const Channel mark = soundMark();
        frame();
        const SoundsHeard heard = soundsSince(mark);
        EXPECT_EQ(heard.block, 1);
        EXPECT_EQ(heard.blow, 0);
        EXPECT_FLOAT_EQ(node(2, kb).vx, 250.0f) << ka << " on " << kb;
        EXPECT_EQ(node(1, ka).hitTimer, 0);
        EXPECT_EQ(node(2, kb).hitTimer, 0);
        EXPECT_EQ(g.blowGate[1][2], -1);
        EXPECT_EQ(g.blowGate[2][1], -1);
        EXPECT_EQ(g.sparkGate[1][2], 10);
    }
    EXPECT_FLOAT_EQ(fighter(1).energy, 20.0f);
    EXPECT_FLOAT_EQ(fighter(2).energy, 20.0f);
    EXPECT_EQ(g.bannerText, "");
}

TEST_F(CombatHits, BodyBlowsCountInBothDirections) {
    // Fighter 2's fist on fighter 1's chest: a body blow fighter 1 received.
    place(1, Chest, 2, Fist, 0, 0, 10);
    frame();
    EXPECT_EQ(g.bannerText, "BODY BLOW!");
    EXPECT_EQ(node(1, Chest).hitTimer, 60);
    EXPECT_EQ(g.blowGate[2][1], 10);
    EXPECT_EQ(g.combo, -1);
    EXPECT_FLOAT_EQ(fighter(1).energy, 19.0f);
    // The blood burst takes the slot after the sparks, at the struck node.
    EXPECT_EQ(g.bursts[2].kind, BurstBlood);
    EXPECT_EQ(g.bursts[2].active, 1);

    // Fighter 1's foot on fighter 2's head, after the contact gate reopened.
    frame();
    park(1), park(2);
    place(1, Foot, 2, HeadNode, 0, 0, 20);
    frame();
    EXPECT_EQ(g.bannerText, "HEAD BLOW!");
    EXPECT_EQ(node(2, HeadNode).hitTimer, 60);
    EXPECT_EQ(g.blowGate[1][2], 10);
    EXPECT_EQ(g.combo, 1);
    EXPECT_FLOAT_EQ(fighter(2).energy, 19.0f);
    EXPECT_EQ(g.comboScore, 1000);
}

TEST_F(CombatHits, OnlyTheFirstTouchingPairOfAFrameMakesTheHardContact) {
    // Two pairs touch in the same frame: fighter 1's node 1 meets fighter 2's chest
    // first in the loop order, so only that pair is kicked; the later pair bounces.
    place(1, 1, 2, Chest, 0, 0, 10);
    place(1, 5, 2, 12, 0, 500, 10);
    node(1, 5).vx = 3;
    frame();
    EXPECT_FLOAT_EQ(node(2, Chest).vx, 250.0f);
    EXPECT_EQ(node(2, Chest).hitTimer, 60);
    // The soft contact swaps the velocities along the line of centres (equal masses).
    EXPECT_NEAR(node(1, 5).vx, 0.0f, 1e-4f);
    EXPECT_NEAR(node(2, 12).vx, 3.0f, 1e-4f);
    EXPECT_FLOAT_EQ(node(2, 12).x, 13.05f);
    EXPECT_EQ(node(2, 12).hitTimer, 0);
}

TEST_F(CombatHits, GatesCountDownToMinusOneAndRest) {
    g.blowGate[1][2] = 3;
    g.contactGate[2][1] = 1;
    g.sparkGate[2][2] = 0;
    g.blowGate[3][3] = 5;  // outside the fighters in play: untouched
    frame();
    EXPECT_EQ(g.blowGate[1][2], 2);
    EXPECT_EQ(g.contactGate[2][1], 0);
    EXPECT_EQ(g.sparkGate[2][2], -1);
    EXPECT_EQ(g.blowGate[1][1], -1);
    EXPECT_EQ(g.blowGate[3][3], 5);
    for (int f = 0; f < 5; ++f) frame();
    EXPECT_EQ(g.blowGate[1][2], -1);
    EXPECT_EQ(g.contactGate[2][1], -1);
    EXPECT_EQ(g.sparkGate[2][2], -1);
    EXPECT_EQ(g.blowGate[0][0], 0);
}

TEST_F(CombatHits, OnePlayerEnemyStreakStaysAtMinusOne) {
    g.gameMode = "1";
    for (int blow = 1; blow <= 3; ++blow) {
        for (int f = 0; f < 10; ++f) frame();  // the blow gate reopens
        place(1, Chest, 2, Fist, 0, 0, 10);
        g.bannerText = "";
        frame();
        EXPECT_EQ(g.combo, -1);
        EXPECT_EQ(g.bannerText, "BODY BLOW!");  // never a combo banner
        EXPECT_FLOAT_EQ(fighter(1).energy, 20.0f - blow);
        park(1), park(2);
    }
    g.registerBlow(1, 2, 1);
    EXPECT_EQ(g.combo, 1);
    EXPECT_EQ(g.comboScore, 1000);
}

TEST_F(CombatHits, TwoPlayerStreakOfPlayerTwoBuildsButDoesNotScore) {
    g.gameMode = "2vs";
    fighter(2).strength = 2.0f;
    fighter(1).energy = 100.0f;
    const char* banners[] = {"", "2 HIT COMBO!", "3 HIT COMBO!"};
    float energy = 100.0f;
    for (int streak = 1; streak <= 3; ++streak) {
        g.bannerText = "";
        g.registerBlow(1, 2, 10);
        EXPECT_EQ(g.combo, -streak);
        EXPECT_EQ(g.bannerText, banners[streak - 1]);
        energy -= streak * 2.0f;
        EXPECT_FLOAT_EQ(fighter(1).energy, energy);
    }
    EXPECT_EQ(g.comboScore, 0);
    EXPECT_EQ(g.maxCombo, 0);
}

TEST_F(CombatHits, PlayerOneStreakOfFour) {
    fighter(1).strength = 2.0f;
    fighter(2).energy = 100.0f;
    const int64_t scores[] = {1000, 5000, 14000, 30000};
    float energy = 100.0f;
    for (int streak = 1; streak <= 4; ++streak) {
        g.registerBlow(1, 2, 1);
        EXPECT_EQ(g.combo, streak);
        energy -= streak * 2.0f;
        EXPECT_FLOAT_EQ(fighter(2).energy, energy);
        EXPECT_EQ(g.comboScore, scores[streak - 1]);
    }
    EXPECT_EQ(g.bannerText, "4 HIT COMBO!");
    EXPECT_EQ(g.bannerTimer, 60);
    EXPECT_EQ(g.maxCombo, 4);
    // A blow of the other side ends the streak; maxCombo keeps the best.
    g.registerBlow(1, 2, 10);
    EXPECT_EQ(g.combo, -1);
    EXPECT_EQ(g.maxCombo, 4);
}

TEST_F(CombatHits, DamageNeverLeavesEnergyBelowZero) {
    g.fighterCount = 3;
    addFighter(3, 0).energy = -5.0f;
    fighter(2).energy = 1.5f;
    g.combo = 4;
    g.registerBlow(1, 2, 1);
    EXPECT_FLOAT_EQ(fighter(2).energy, 0.0f);
    EXPECT_FLOAT_EQ(fighter(3).energy, 0.0f);  // every fighter is clamped
    fighter(1).energy = std::nanf("");
    g.registerBlow(1, 2, 11);
    EXPECT_FLOAT_EQ(fighter(1).energy, 0.0f);
}

TEST_F(CombatHits, TeammatesOnlyBounce) {
    fighter(2).team = 1;
    place(1, Chest, 2, Fist, 0, 0, 10);
    node(1, Chest).vx = 5, node(1, Chest).vy = 1;
    node(2, Fist).vx = -3, node(2, Fist).vy = 2;
    frame();
    EXPECT_FLOAT_EQ(node(1, Chest).x, -3.05f);
    EXPECT_FLOAT_EQ(node(2, Fist).x, 13.05f);
    // Equal masses swap the components along the line of centres and keep the rest.
    EXPECT_NEAR(node(1, Chest).vx, -3.0f, 1e-4f);
    EXPECT_NEAR(node(2, Fist).vx, 5.0f, 1e-4f);
    EXPECT_NEAR(node(1, Chest).vy, 1.0f, 1e-4f);
    EXPECT_NEAR(node(2, Fist).vy, 2.0f, 1e-4f);
    EXPECT_EQ(g.contactGate[1][2], -1);
    EXPECT_EQ(node(1, Chest).hitTimer, 0);
    EXPECT_EQ(g.nextBurst, 1);
    EXPECT_FLOAT_EQ(g.slowMotionTimer, -1.0f);
}

TEST_F(CombatHits, SoftContactOfUnequalMassesKeepsTheMomentum) {
    fighter(2).team = 1;
    node(2, Fist).mass = 12;  // three times the chest's mass
    place(1, Chest, 2, Fist, 0, 0, 10);
    node(1, Chest).vx = 5, node(1, Chest).vy = 1;
    node(2, Fist).vx = -3, node(2, Fist).vy = 2;
    frame();
    // A head-on elastic exchange: 4 * 5 + 12 * -3 = 4 * -7 + 12 * 1; the light node
    // rebounds, the heavy one is only slowed.
    EXPECT_NEAR(node(1, Chest).vx, -7.0f, 1e-4f);
    EXPECT_NEAR(node(2, Fist).vx, 1.0f, 1e-4f);
    EXPECT_NEAR(node(1, Chest).vy, 1.0f, 1e-4f);
    EXPECT_NEAR(node(2, Fist).vy, 2.0f, 1e-4f);
}

TEST_F(CombatHits, KnockedOutFightersOnlyBounce) {
    fighter(2).knockedOut = 1;
    place(1, Foot, 2, HeadNode, 0, 0, 20);
    node(1, Foot).vx = 4;
    frame();
    EXPECT_NEAR(node(1, Foot).vx, 0.0f, 1e-4f);
    EXPECT_NEAR(node(2, HeadNode).vx, 4.0f, 1e-4f);
    EXPECT_EQ(node(2, HeadNode).hitTimer, 0);
    EXPECT_FLOAT_EQ(fighter(2).energy, 20.0f);
    EXPECT_EQ(g.nextBurst, 1);
}

TEST_F(CombatHits, HeavierNodeIsKickedLess) {
    node(2, Chest).mass = 12;  // a quarter of the kick for it, the rest for the foot
    place(1, Foot, 2, Chest, 0, 0, 10);
    frame();
    EXPECT_FLOAT_EQ(node(1, Foot).vx, -250.0f * 1.5f);
    EXPECT_FLOAT_EQ(node(2, Chest).vx, 250.0f * 0.5f);
}

TEST_F(CombatHits, BlowPowerScalesTheKick) {
    g.blowPower = 10;
    place(1, Foot, 2, Chest, 0, 0, 10);
    frame();
    EXPECT_FLOAT_EQ(node(2, Chest).vx, 500.0f);
}

TEST_F(CombatHits, NoBlowsOnceTheMatchIsDecided) {
    g.winner = 1;
    place(1, Foot, 2, Chest, 0, 0, 10);
    frame();
    EXPECT_FLOAT_EQ(node(2, Chest).vx, 250.0f);
    EXPECT_EQ(node(2, Chest).hitTimer, 0);
    EXPECT_FLOAT_EQ(fighter(2).energy, 20.0f);
}

TEST_F(CombatHits, NoFreezeWhileSlowMotionRunsOrIsOff) {
    g.slowMotionTimer = 5;
    place(1, Foot, 2, Chest, 0, 0, 10);
    int before = MilliSecs();
    frame();
    EXPECT_EQ(node(2, Chest).hitTimer, 60);
    EXPECT_EQ(MilliSecs() - before, 0);
    EXPECT_FLOAT_EQ(g.slowMotionTimer, 30.0f);

    g.slowMotion = 0;
    g.slowMotionTimer = -1;
    for (int f = 0; f < 10; ++f) frame();
    place(1, Foot, 2, Chest, 0, 0, 10);
    before = MilliSecs();
    frame();
    EXPECT_EQ(g.combo, 2);
    EXPECT_EQ(MilliSecs() - before, 0);
    EXPECT_FLOAT_EQ(g.slowMotionTimer, -1.0f);
}

TEST_F(CombatHits, PlasmaOffMakesNoSparksButTheContactStillAdvancesTheRing) {
    g.plasmaEffects = 0;
    place(1, Foot, 2, Chest, 0, 0, 10);
    frame();
    EXPECT_EQ(g.bursts[1].active, 1);  // only the blood
    EXPECT_EQ(g.bursts[1].kind, BurstBlood);
    EXPECT_EQ(g.sparkGate[1][2], -1);
    EXPECT_EQ(g.nextBurst, 2);
}

TEST_F(CombatHits, WithoutSparksTheBlockSoundComesWithEveryHardContact) {
    g.plasmaEffects = 0;
    g.frameCounter = 10;  // no blows yet
    const Channel mark = soundMark();
    for (int f = 0; f < 10; ++f) {
        place(1, Foot, 2, Chest, 0, 0, 10);
        frame();
    }
    EXPECT_EQ(soundsSince(mark).block, 5);

    g.plasmaEffects = 1;
    const Channel again = soundMark();
    for (int f = 0; f < 20; ++f) {
        place(1, Foot, 2, Chest, 0, 0, 10);
        frame();
    }
    EXPECT_EQ(soundsSince(again).block, 2);  // once per ten frames, with the sparks
}

TEST_F(CombatHits, SoundVolumeZeroIsSilent) {
    g.soundVolume = 0;
    const Channel mark = soundMark();
    place(1, HeadNode, 2, HeadNode, 0, 0, 30);
    frame();
    for (int f = 0; f < 10; ++f) frame();
    place(1, Foot, 2, Chest, 0, 0, 10);
    frame();
    const SoundsHeard heard = soundsSince(mark);
    EXPECT_EQ(heard.blow + heard.block + heard.silent, 0);
    EXPECT_EQ(g.combo, 1);  // the blows themselves still counted
}

TEST_F(CombatHits, BloodZeroStillTakesARingSlot) {
    g.blood = 0;
    place(1, Foot, 2, Chest, 0, 0, 10);
    frame();
    EXPECT_EQ(g.bursts[2].active, 1);
    EXPECT_EQ(g.bursts[2].kind, BurstBlood);
    EXPECT_EQ(g.bursts[2].count, 0);
    EXPECT_EQ(g.nextBurst, 3);
}

TEST_F(CombatHits, RobotsBleedYellow) {
    fighter(2).isRobot = 1;
    node(2, Chest).radius = 12.7f;
    place(1, Foot, 2, Chest, 0, 0, 10);
    frame();
    EXPECT_EQ(g.bursts[2].yellow, 1);
    for (int i = 1; i <= g.bursts[2].count; ++i)  // spread Int(12.7) = 12
        EXPECT_LE(std::hypot(g.bursts[2].xs[i] - 13.05f, g.bursts[2].ys[i]), 12.0f + 1e-3f);
}

TEST_F(CombatHits, NodesOnTheSamePointArePartedWithoutNaN) {
    place(1, Foot, 2, Chest, 0, 0, 0);
    frame();
    for (const ball* n : {&node(1, Foot), &node(2, Chest)}) {
        EXPECT_TRUE(std::isfinite(n->x) && std::isfinite(n->y) && std::isfinite(n->vx) && std::isfinite(n->vy));
    }
    EXPECT_FLOAT_EQ(node(2, Chest).x - node(1, Foot).x, 16.1f);
    EXPECT_FLOAT_EQ(node(2, Chest).vx, 250.0f);

    // The same for a soft contact (teammates), on the next frames.
    fighter(2).team = 1;
    place(1, Foot, 2, Chest, 0, 0, 0);
    frame();
    // Parted along the diagonal the 1e-8 stand-ins give, to just beyond touching.
    EXPECT_NEAR(std::hypot(node(2, Chest).x - node(1, Foot).x, node(2, Chest).y - node(1, Foot).y), 16.1f, 1e-4f);
    EXPECT_TRUE(std::isfinite(node(1, Foot).vx) && std::isfinite(node(1, Foot).vy));
}

TEST_F(CombatHits, SoftContactStaysFiniteForExtremeSlopes) {
    fighter(2).team = 1;
    // A line of centres so steep, then so flat, that its slope overflows a float.
    const float tiny = 1e-40f;
    for (auto [ox, oy] : {std::pair{tiny, 10.0f}, std::pair{10.0f, tiny}}) {
        park(1), park(2);
        ball& a = node(1, Foot);
        ball& b = node(2, Chest);
        a.x = 0, a.y = 0, a.vx = 1, a.vy = 2;
        b.x = ox, b.y = oy, b.vx = -3, b.vy = 4;
        frame();
        for (const ball* n : {&a, &b}) {
            EXPECT_TRUE(std::isfinite(n->vx) && std::isfinite(n->vy)) << ox << "," << oy;
            EXPECT_TRUE(std::isfinite(n->x) && std::isfinite(n->y));
        }
        // The exchange along the line: the components along it swap.
        if (oy > 1) {
            EXPECT_NEAR(a.vy, 4.0f, 1e-4f);
            EXPECT_NEAR(b.vy, 2.0f, 1e-4f);
            EXPECT_NEAR(a.vx, 1.0f, 1e-4f);
        } else {
            EXPECT_NEAR(a.vx, -3.0f, 1e-4f);
            EXPECT_NEAR(b.vx, 1.0f, 1e-4f);
            EXPECT_NEAR(a.vy, 2.0f, 1e-4f);
        }
    }
}
