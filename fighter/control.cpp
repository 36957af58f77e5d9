// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

void Game::controlPlayer1() {}
void Game::controlPlayer2() {}
