// The animated palette: every colour component takes a slow random walk between
// about 0 and 255, so titles, highlights and the arena grid keep shifting.
#include "game/match_state.h"
#include "platform/platform.h"

void MatchState::animatePalette() {
    for (int row = 1; row <= lastPaletteRow; ++row) {
        for (int c = 1; c <= 3; ++c) {
            float& step = paletteStep[row][c];
            int& value = palette[row][c];
            if (Rnd(0, 1000) > 990) step = -step;  // about one frame in a hundred
            if (value > 253) step = -2.0f;
            if (value < 2) step = 2.0f;
            value = static_cast<int>(static_cast<float>(value) + step);
        }
    }
}
