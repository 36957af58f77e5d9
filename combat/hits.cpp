// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

void Game::collideFighters() {}
void Game::testHit(ball&, ball&, man&, man&) {}
void Game::registerBlow(int, int, int) {}
