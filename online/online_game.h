#pragma once
// An online series in the window, as the command line asks for it: start-up, the
// wait for the other side ("WAITING FOR AN OPPONENT ON PORT 27615", Esc cancels), the
// series at the display's pace with each frame drawn as first shown, and its end.
// Esc leaves the series for both sides; F3 shows or hides a corner line with the
// round trip and the rollback frames. The end's message ("OPPONENT LEFT", "CONNECTION
// LOST", "DESYNC") is shown centred and printed once on stderr; then the program ends.
// The start of play is said on stderr too ("playing online as player 1").

#include "online/online_options.h"

class Game;

// The exit status: 0 when the series ended or a player left, 1 when the connection
// was lost or the two sides went out of step, 2 when no link was made.
int playOnline(Game& game, const OnlineOptions& options);
