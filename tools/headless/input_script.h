#pragma once
// The runner's input scripts: one event per line, "FRAME down KEY", "FRAME up KEY",
// "FRAME tap KEY" (down at FRAME, up at FRAME + 1), "FRAME type TEXT" and
// "FRAME close". A line whose first non-blank character is '#' is a comment, and
// '#' ends the other lines too, except a type line: its text is the rest of the line
// after one space, taken byte for byte, with \b for a backspace and \\ for a
// backslash. Blank lines are skipped.
//
// KEY: a single letter A-Z (either case) or digit 0-9 is that key; a longer number is
// a virtual-key code 0..255; or LEFT, RIGHT, UP, DOWN, ENTER, ESC, SPACE.

#include <optional>
#include <string>
#include <vector>

#include "platform/headless.h"

// The key code of a script's KEY word, or nothing when it names no key.
std::optional<int> scriptKeyCode(const std::string& word);

struct ScriptResult {
    std::vector<headless::ScriptEvent> events;  // by frame; in the script's order within one
    std::string error;  // "line N: ..." when a line cannot be read; events are then empty
};

ScriptResult parseInputScript(const std::string& text);
