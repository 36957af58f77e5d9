// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

void Game::setupMatch() {}
int Game::chooseTarget(const man&) { return 1; }
