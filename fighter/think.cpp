// PLACEHOLDER: to be replaced by the real implementation.
#include "game/Game.h"

void man::think(int, int, float, float, float, float) {}
