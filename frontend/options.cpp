// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

void Game::setDefaultOptions() {}
void Game::resetOptions() {}
void Game::loadPrefs() {}
void Game::savePrefs() {}
void Game::optionsScreen() {}
