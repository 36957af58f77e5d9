// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

int Game::playMatch() { return 3; }
void Game::announce() {}
void Game::drawBanner() {}
void Game::addEnergyBonus() {}
void Game::updateMatchState() {}
void Game::pauseIfRequested() {}
void Game::countFrame() {}
