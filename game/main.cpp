// PLACEHOLDER: program entry.
#include "game/Game.h"

int main() {
    Game game;
    try {
        game.run();
    } catch (const ProgramEnd& end) {
        return end.exitCode;
    }
    return 0;
}
