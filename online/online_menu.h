#pragma once
// "2 PLAYERS ONLINE": the online screen of the mode selection, in the menus' look.
// HOST VERSUS and HOST CO-OP wait for an opponent, showing large the invite code
// (copied to the clipboard at once) and the address for players on the same network;
// JOIN takes a typed code or address (Backspace edits, Ctrl+V pastes, the last one
// joined is offered again) and says what happens while it connects; below them, the
// games hosted on the local network, each joined by choosing it. A series played from
// here ends back on this screen, with the player's own options and scores; so does a
// join that fails, with its reason. Esc goes back.

#include "online/online_options.h"

class Game;

// `settings`: the invite service, whether to search and answer the local network, and
// where a host listens.
void onlineMenu(Game& game, const OnlineOptions& settings);
