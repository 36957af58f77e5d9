// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

void Game::advanceBurst() {}
void Game::updateBursts(float) {}
