#pragma once
// The whole game from start-up on the headless backend, as tumblebout-headless runs it
// (same backend settings, same seeding from the start time), driven by script events,
// with a look at the Game after every presented frame.

#include <functional>
#include <string>
#include <vector>

#include "platform/headless.h"

class Game;

struct ScriptedGame {
    std::string dataFolder;  // holds images/, sounds/, music/
    int startMs = 0;
    std::vector<headless::ScriptEvent> events;
};

// `watch` gets the Game and the number of frames presented so far after every frame;
// returning false stops the run. Returns the game's exit status (0 when stopped).
int playScripted(const ScriptedGame& run, const std::function<bool(const Game&, int)>& watch);
