#pragma once
// The thirteen stored options: their fields, ranges and defaults, in the order of the
// preferences file. The options screen, the file and the state dumps all walk it.

#include <array>

#include "game/Game.h"

struct StoredOption {
    const char* name;   // the field's name
    int Game::*field;
    int minimum;        // the options screen's range (also applied on load)
    int maximum;
    int defaultValue;
    bool clamped;       // false only for prefsHeader, which no screen edits
    bool steersPlay;    // a field of the match state: it changes how a match plays
};

inline constexpr std::array<StoredOption, 13> storedOptions = {{
    {"prefsHeader", &Game::prefsHeader, 0, 0, 1, false, false},
    {"playersSpeed", &Game::playersSpeed, 1, 10, 4, true, true},
    {"flexibility", &Game::flexibility, 1, 20, 5, true, true},
    {"spareOption", &Game::spareOption, 1, 7, 1, true, false},
    {"blowPower", &Game::blowPower, 1, 10, 5, true, true},
    {"plasmaEffects", &Game::plasmaEffects, 0, 1, 1, true, true},
    {"slowMotion", &Game::slowMotion, 0, 10, 3, true, true},
    {"fullscreen", &Game::fullscreen, 0, 1, 0, true, false},
    {"soundVolume", &Game::soundVolume, 0, 10, 6, true, false},
    {"musicVolume", &Game::musicVolume, 0, 10, 6, true, false},
    {"gravity", &Game::gravity, 0, 10, 1, true, true},
    {"aiLevel", &Game::aiLevel, 1, 10, 1, true, true},
    {"blood", &Game::blood, 0, 30, 10, true, true},
}};

// Raises or lowers every clamped option into its range.
void clampOptions(Game& game);
