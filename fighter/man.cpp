// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

man::man() {}
void man::fadeOut() {}
void man::setup(int) {}
void man::moveNodes(float) {}
void man::tickNodes() {}
void man::applyGravity(int) {}
void man::collideWalls() {}
void man::updateVelocities(float) {}
void man::saveOldPositions() {}
