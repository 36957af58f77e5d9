// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

void dotburst::driftColour() {}
void dotburst::start(float, float, float, float, int, int, float, Game*, int, int) {}
void dotburst::draw(float) {}
void dotburst::update() {}
