// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

void sortDescending(ScoreTable&) {}
std::string charForKey(int) { return "nope"; }
void Game::defaultHighScores() {}
void Game::loadHighScores() {}
void Game::saveHighScores() {}
int64_t Game::lowestHighScore() { return 0; }
void Game::addHighScore(const std::string&, int64_t) {}
void Game::nameEntryStep(int) {}
void Game::showHighScores() {}
void Game::drawHighScores(int) {}
