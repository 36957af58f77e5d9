#pragma once
// One soak match: a match of any mode and level played on the headless backend with
// random held keys for both players (and now and then a pause, the 1 + 8 keys, a
// typed name), checked after every frame, then brought to its end by a chosen
// ending so every match passes through the states after the fight.

#include <cstdint>
#include <string>

enum class SoakEnding {
    KnockOut,  // the 4 + 1 keys: the player side wins (a bout to player 1 in versus)
    Quit,      // Esc in the middle of the fight
    Natural,   // random keys go on until the fight is decided (or a cap is reached)
};

struct SoakMatchPlan {
    uint32_t seed = 1;        // the game's generator and the random keys
    std::string mode = "1";   // "1", "2coop" or "2vs"
    int level = 1;            // 1..20
    int fightFrames = 600;    // frames of random keys before the ending
    SoakEnding ending = SoakEnding::KnockOut;
    int undecidedFrames = 5000;  // Natural: more random keys before an undecided fight is quit
    bool randomOptions = false;  // every option drawn from its range, else the defaults
};

struct SoakMatchReport {
    long frames = 0;          // frames presented (pause frames included)
    int result = 0;           // what playMatch returned
    std::string lastState;    // matchState when playMatch returned
    int winner = 0;
    std::string fault;        // the first fault found; empty when every check held
};

// Runs one match; installs (and leaves installed) a fresh headless backend. The
// working folder receives "scores.txt" when a campaign match ends on its table.
SoakMatchReport soakMatch(const SoakMatchPlan& plan);

// A plan from a running number: walks the modes and the 20 levels so that every
// mode meets every level, with endings, fight lengths and options drawn from it.
SoakMatchPlan soakSpecFor(uint32_t index, uint32_t baseSeed);
