// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

Correction4 man::stickCorrection(const ball&, const ball&) const { return {}; }
void man::solveSticks() {}
Correction6 man::jointCorrection(const ball&, const ball&, const ball&, float, float, float, int) const { return {}; }
void man::solveJoints(float, int) {}
void man::relax(float, int) {}
