#pragma once
// The game's difficulty as seen by a player who does nothing: a one-player match with
// the default options and a chosen AI LEVEL, no key ever pressed, run until the player
// is knocked out or a time limit passes.

#include <cstdint>

struct IdleMatch {
    int frames = 0;            // match frames run (60 per second of game time)
    bool knockedOut = false;   // the player was knocked out within the limit
    bool enemiesOut = false;   // the enemies fell first, to blows they ran into
    int blowsTaken = 0;        // blows the enemies landed on the player
    float damageTaken = 0;     // energy the player lost
    int blowsLanded = 0;       // blows the idle player's limbs landed by chance
};

// From the match's first frame; blows can only land after its first 100 frames.
IdleMatch playIdle(uint32_t seed, int aiLevel, int level, int frameLimit);
