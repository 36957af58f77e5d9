#pragma once
// The figures the level tally shows on a frame of its state: the maximum combo, then
// the combo score and the energy bonus counting down while the total counts up.

#include <cstdint>

class MatchState;

struct TallyFigures {
    int64_t maxCombo = 0;
    int64_t comboScore = 0;
    int64_t energyBonus = 0;
    int64_t totalScore = 0;
};

// On frame f of the state "level completed" (f = 0 on its first frame).
TallyFigures tallyFigures(const MatchState& match, int f);
