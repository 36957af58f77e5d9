// "PAUSED" over the frozen picture of a paused match, so that a pause never looks like
// a hang. It is drawn once, as the pause begins: the pause only presents what is there.
#include "frontend/menu_drawing.h"
#include "game/Game.h"

namespace {

constexpr float NoticeScale = 0.375f;  // letters about 75 pixels high
constexpr float CentreY = 384;
constexpr float BandHeight = 120;      // a dimmed band across the screen behind the word
constexpr float BandAlpha = 0.5f;

}  // namespace

void Game::drawPauseNotice() const {
    SetColor(0, 0, 0);
    SetAlpha(BandAlpha);
    DrawRect(0, CentreY - BandHeight / 2, ScreenWidth, BandHeight);
    SetAlpha(1);
    useTitleColour(*this);
    drawCentred("PAUSED", CentreY - TextHeight() * NoticeScale / 2, NoticeScale);
    // The rest of the frame expects what countFrame left: white at scale 1.
    SetColor(255, 255, 255);
    SetScale(1, 1);
}
