// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

void Game::run() {}
std::string Game::dataPath(const std::string& relative) const { return relative; }
void drainInput() {}
void checkWindowClose() {}
