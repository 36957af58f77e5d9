#pragma once
// The online screens' text: lines in the menus' look, made smaller where they would
// not fit across (a refusal names the host and the reason), a message screen, and
// the same lines on the terminal.

#include <string>

class Game;

// Draws `text` centred at y at `scale`, or smaller if it would not fit across.
void drawFittedLine(const std::string& text, float y, float scale);
// One frame of a text screen with `text` in the middle.
void showMessage(Game& game, const std::string& text);
// The message for three seconds, or until Enter, Space or Esc.
void holdMessage(Game& game, const std::string& text);
// "tumblebout: " and the line, on stderr.
void say(const std::string& line);
