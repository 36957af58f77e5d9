// The Game's ring of 100 particle bursts: taking the next slot, and the per-frame pass.
#include "game/Game.h"

void Game::advanceBurst() {
    nextBurst += 1;
    if (nextBurst > BurstSlots) nextBurst = 1;
}

// Two passes so that all blood lies under all sparks; every burst moves once a frame,
// and only while it is active.
void Game::updateBursts(float zoom) {
    for (int kind : {BurstBlood, BurstPlasma}) {
        for (int i = 1; i <= BurstSlots; ++i) {
            dotburst* burst = bursts[i].get();
            if (burst && burst->active == 1 && burst->kind == kind) {
                burst->update();
                if (!quiet) burst->draw(zoom);
            }
        }
    }
}
