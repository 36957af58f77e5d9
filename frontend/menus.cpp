// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

MenuChoice Game::mainMenu() { return MenuChoice::Quit; }
void Game::modeSelect() {}
void Game::controlsScreen() {}
