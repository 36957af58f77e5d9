#pragma once
// An online series in the window, as the command line asks for it: start-up, the
// wait for the other side ("WAITING FOR AN OPPONENT ON PORT 27615", Esc cancels), the
// series at the display's pace with each frame drawn as first shown, and its end.
// Esc leaves the series for both sides; F3 shows or hides a corner line with the
// round trip and the rollback frames. The end's message ("OPPONENT LEFT", "CONNECTION
// LOST", "DESYNC") is shown centred and printed once on stderr. However it ends (a
// refusal, Esc while waiting, the series over or broken off), the game is then back
// at the player's own options and score table, ready for the main menu.
// The start of play is said on stderr too ("playing online as player 1").

#include <memory>

#include "online/online_link.h"
#include "online/online_options.h"

class Game;

void playOnline(Game& game, const OnlineOptions& options);

// The series over a link already made (from the command line or the online screen):
// the host's start state taken, the series played, the end's message shown.
void playLinkedSeries(Game& game, std::unique_ptr<OnlineLink> link, bool host, bool coop);
// After an online series, which ran on the host's options and score table: the
// player's own again.
void takeBackOwnSettings(Game& game);
