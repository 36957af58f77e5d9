#pragma once
// The points a won level gives for the energy player 1 has left: the share of energy
// squared, times 100000, truncated. Full energy gives 100000, half a quarter of that.
// Shared by the score update and the level tally, which must agree to the point.

#include <cmath>

#include "fighter/man.h"

inline int energyBonus(const man& player) {
    const float share = player.energy / player.maxEnergy;
    return static_cast<int>(std::pow(static_cast<double>(share), 2.0) * 100000.0);
}
