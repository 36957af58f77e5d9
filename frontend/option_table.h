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
};

inline constexpr std::array<StoredOption, 13> storedOptions = {{
    {"prefsHeader", &Game::prefsHeader, 0, 0, 1, false},
    {"playersSpeed", &Game::playersSpeed, 1, 10, 4, true},
    {"flexibility", &Game::flexibility, 1, 20, 5, true},
    {"spareOption", &Game::spareOption, 1, 7, 1, true},
    {"blowPower", &Game::blowPower, 1, 10, 5, true},
    {"plasmaEffects", &Game::plasmaEffects, 0, 1, 1, true},
    {"slowMotion", &Game::slowMotion, 0, 10, 3, true},
    {"fullscreen", &Game::fullscreen, 0, 1, 0, true},
    {"soundVolume", &Game::soundVolume, 0, 10, 6, true},
    {"musicVolume", &Game::musicVolume, 0, 10, 6, true},
    {"gravity", &Game::gravity, 0, 10, 1, true},
    {"aiLevel", &Game::aiLevel, 1, 10, 1, true},
    {"blood", &Game::blood, 0, 30, 10, true},
}};

// Raises or lowers every clamped option into its range.
void clampOptions(Game& game);
