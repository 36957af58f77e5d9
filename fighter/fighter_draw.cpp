// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

void man::draw(float, float) {}
void man::drawStick(int, const Colour&, float) {}
void ball::draw(const Colour&, float) {}
void ball::drawSquare(float) {}
