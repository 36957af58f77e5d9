// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

void ball::emitBlood(float) {}
void ball::tick() {}
void ball::updateVelocity(float) {}
void ball::saveOldPosition() {}
void ball::move(float) {}
void ball::applyGravity(int) {}
int ball::collideWalls() { return 0; }
float wrap360(float a) { return a; }
float wrap180(float a) { return a; }
int intPower(int, int) { return 1; }
int nearestInt(float) { return 0; }
