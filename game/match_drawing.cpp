// Drawing a match's frame from its picture and the state: the arena, the centred
// message, the fighters and the bursts as the frame drew them, then the screens over
// the scene after the fight.
#include "game/Game.h"

namespace {

constexpr float BannerWidth = 824;   // every message is stretched from x = 100 to x = 924
constexpr float FadeInFrames = 120;  // fighters fade in over two seconds

}  // namespace

void Game::drawMatchFrame(const FrameEvents& frame) const {
    drawScene(frame);
    drawEndScreens(frame);
}

void Game::drawScene(const FrameEvents& frame) const {
    const FramePicture& picture = frame.picture;
    Cls();
    drawArena(picture.gridColour);
    drawBanner(picture);
    for (int i = 1; i <= fighterCount; ++i)
        picture.fighters[i].draw(*this, static_cast<float>(picture.fadeFrame) / FadeInFrames);
    drawBursts(picture);
    // What follows expects white at scale 1.
    SetColor(255, 255, 255);
    SetScale(1, 1);
}

void Game::drawBursts(const FramePicture& picture) const {
    // All blood under all sparks, each pass in slot order.
    for (int kind : {BurstBlood, BurstPlasma}) {
        for (int i = 1; i <= BurstSlots; ++i) {
            if (!picture.burstsDrawn.test(static_cast<std::size_t>(i))) continue;
            const dotburst& burst = picture.drawnBurst(i, *this);
            if (burst.kind == kind) burst.draw(*this);
        }
    }
}

void Game::drawEndScreens(const FrameEvents& frame) const {
    for (const EndScreen& shown : frame.picture.endScreens) {
        switch (shown.kind) {
            case EndScreen::Kind::Tally: drawLevelComplete(shown); break;
            case EndScreen::Kind::GameOver: drawGameOver(shown); break;
            case EndScreen::Kind::HighScores: drawHighScores(shown); break;
        }
    }
}

void Game::drawBanner(const FramePicture& picture) const {
    // A text without width (no glyphs) cannot be stretched: it is not drawn at all.
    const int w = picture.bannerTimer >= 0 ? TextWidth(picture.bannerText) : 0;
    if (w > 0) {
        SetAlpha(picture.bannerTimer / 60.0f);  // opaque until the last 60 frames, then fading
        const int h = TextHeight();
        const PaletteRow& colour = picture.titleColour;
        SetColor(colour[1], colour[2], colour[3]);
        const float s = BannerWidth / w;
        SetScale(s, s);
        DrawText(picture.bannerText, 100, static_cast<int>(384 - h / 2 * s));
    }
    SetScale(1, 1);
    SetAlpha(1);
}
