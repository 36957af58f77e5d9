// The online screens' text.
#include "online/message_screen.h"

#include <algorithm>
#include <cstdio>

#include "frontend/menu_drawing.h"
#include "frontend/menu_frame.h"
#include "game/Game.h"
#include "game/keys.h"

namespace {

constexpr int MessageMs = 3000;      // a message stays this long (Enter, Space or Esc go on)
constexpr float MessageScale = 0.15f;
constexpr float LineWidth = 984;     // pixels a line may take across

}  // namespace

void drawFittedLine(const std::string& text, float y, float scale) {
    const int width = TextWidth(text);
    drawCentred(text, y, width > 0 ? std::min(scale, LineWidth / static_cast<float>(width)) : scale);
}

void showMessage(Game& game, const std::string& text) {
    beginMenuFrame(game);
    useTitleColour(game);
    drawFittedLine(text, 384 - 20, MessageScale);
    SetScale(1, 1);
    presentFrame();
}

void holdMessage(Game& game, const std::string& text) {
    drainInput();
    const int start = MilliSecs();
    while (MilliSecs() - start < MessageMs && !KeyHit(key::Enter) && !KeyHit(key::Esc) && !KeyHit(key::Space))
        showMessage(game, text);
}

void say(const std::string& line) { std::fprintf(stderr, "tumblebout: %s\n", line.c_str()); }
