#pragma once
// Checks that a running match is in a sound state: every number of every node, burst
// particle and camera field finite, every energy within 0..maxEnergy, and the match
// state one of the known ones. Used after every frame by the soak runs.

#include <string>

class Game;

// The first fault found, as one line naming the fighter, node or field; empty when
// the game is sound.
std::string findFault(const Game& game);

// Whether `state` is one of the match loop's states.
bool isMatchState(const std::string& state);
