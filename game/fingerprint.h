#pragma once
// The simulation fingerprint of this build: the hash of the states a few short, fixed
// matches reach (a heavy fight, a campaign's end with its tally and score table, a
// versus bout and the next). Two builds that would play the same keys differently (another compiler,
// other flags, a changed rule) almost surely differ here, so replays and online peers
// of another build are refused rather than replayed wrongly.

#include <cstdint>

#include "game/input_record.h"

class Game;

// The canonical fight behind the fingerprint, also the heavy fight of tests and
// benchmarks: six fighters of the co-operative level 9, every option that changes play
// away from its default, all in one heap in the middle and past "FIGHT!" already, so
// blows, bursts and slow motion start at once. Seeds the generator.
void setUpCanonicalFight(Game& game);
// Its keys on each frame: both players pushing a direction in turn.
InputRecord canonicalInput(int frame);

// Computed once, on first use (some tens of milliseconds); the random generator is
// left as it was.
uint64_t simulationFingerprint();
