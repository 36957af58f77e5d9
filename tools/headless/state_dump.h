#pragma once
// The Game's state as JSON, for the headless runner's dumps and for tests. Floats are
// written with nine significant digits, so they read back to the same single-precision
// value; a NaN or an infinity is written as the string "nan", "inf" or "-inf".
// Strings are JSON-escaped; bytes above 127 are written as \u00XX (read as Latin-1).

#include <string>

class Game;

// `frame` is the number of frames presented since start-up.
std::string stateJson(const Game& game, int frame);
// Writes stateJson to `path`; false when the file cannot be written.
bool writeStateJson(const Game& game, int frame, const std::string& path);
