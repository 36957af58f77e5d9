// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

void Game::levelCompleteScreen(int) {}
void Game::gameOverScreen(int) {}
