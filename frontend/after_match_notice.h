#pragma once
// A line for the screens that follow a match, such as a replay that could not be
// saved: drawn at the foot of every frame presented over the next few seconds, in the
// game's font and title colour, whatever screen comes next. Nobody waits for it.

#include <string>

class Game;

constexpr int AfterMatchNoticeMs = 4000;

// Shows `text` on the frames presented from now on, for AfterMatchNoticeMs; a newer
// notice takes the place of one still showing. `game` gives the title colour and must
// outlive the notice.
void showAfterMatchNotice(const Game& game, const std::string& text);
// Draws the notice, while it lasts, over the frame about to be presented.
void drawAfterMatchNotice();
