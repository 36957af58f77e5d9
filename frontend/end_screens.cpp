// The level tally and the game-over screen. Neither has a loop of its own: the match
// steps them once per frame, and they are drawn over its scene.

#include <cstdint>
#include <string>

#include "frontend/end_screens.h"
#include "frontend/menu_drawing.h"
#include "game/Game.h"
#include "game/energy_bonus.h"

namespace {

// The tally counts down from here ...
constexpr int CountStart = 300;
// ... to here, two seconds later.
constexpr int CountEnd = 420;
constexpr int CountFrames = CountEnd - CountStart;

constexpr float LabelX = 100;
constexpr float ValueX = 724;

// A figure counting down to 0 over the counting frames. 64-bit products: a large
// combo score must not wrap on the way.
int64_t countingDown(int64_t value, int t) {
    if (t < CountStart) return value;
    if (t > CountEnd) return 0;
    return value * (CountEnd - t) / CountFrames;
}

// The total sliding from the score at the start of the level to the new total,
// interpolated in double so that tens of millions neither overflow nor jump.
int64_t countingUp(int64_t from, int64_t to, int t) {
    if (t < CountStart) return from;
    if (t > CountEnd) return to;
    return static_cast<int64_t>(static_cast<double>(to) * (t - CountStart) / CountFrames +
                                static_cast<double>(from) * (CountEnd - t) / CountFrames);
}

struct TallyRow {
    const char* label;
    float y;
    int labelAfter;  // the label shows once t exceeds this; the value 30 frames later
};

constexpr TallyRow maxComboRow{"MAX COMBO: ", 240, 60};
constexpr TallyRow comboScoreRow{"COMBO SCORE: ", 340, 120};
constexpr TallyRow energyBonusRow{"ENERGY BONUS: ", 440, 180};
constexpr TallyRow totalScoreRow{"TOTAL SCORE: ", 540, 240};

void drawTallyRow(const TallyRow& row, int64_t value, int t) {
    if (t > row.labelAfter) DrawText(row.label, LabelX, row.y);
    if (t > row.labelAfter + 30) DrawText(String(value), ValueX, row.y);
}

}  // namespace

TallyFigures tallyFigures(const MatchState& match, int f) {
    const int t = f + 1;
    return {match.maxCombo, countingDown(match.comboScore, t), countingDown(energyBonus(match.fighters[1]), t),
            countingUp(match.levelStartScore, match.totalScore, t)};
}

void MatchState::levelCompleteScreen(int f, FrameEvents& events) {
    drainMatchInput();
    animatePalette();
    events.picture.endScreens.push_back({EndScreen::Kind::Tally, f, palette[TitleRow], false});
}

void MatchState::gameOverScreen(int f, FrameEvents& events) {
    // The name is typed on every frame, whether or not the prompt shows yet.
    nameEntryStep(f);
    animatePalette();
    // Asking for the lowest score sorts the table, on every frame the total is above 0:
    // the order of equal scores is the match's, whoever watches.
    const bool qualifies = totalScore > 0 && totalScore > lowestHighScore();
    events.picture.endScreens.push_back({EndScreen::Kind::GameOver, f, palette[TitleRow], qualifies && f + 1 > 120});
}

void Game::drawLevelComplete(const EndScreen& shown) const {
    const TallyFigures figures = tallyFigures(*this, shown.frame);
    const int t = shown.frame + 1;
    usePaletteColour(shown.titleColour);
    if (t > 0) drawCentredWhole("LEVEL " + String(level) + " COMPLETED", 50, 0.525f);
    SetScale(0.375f, 0.375f);
    drawTallyRow(maxComboRow, figures.maxCombo, t);
    drawTallyRow(comboScoreRow, figures.comboScore, t);
    drawTallyRow(energyBonusRow, figures.energyBonus, t);
    drawTallyRow(totalScoreRow, figures.totalScore, t);
    SetScale(1, 1);
}

void Game::drawGameOver(const EndScreen& shown) const {
    const int t = shown.frame + 1;
    usePaletteColour(shown.titleColour);
    drawCentredWhole("GAME OVER", 20, 0.975f);
    if (t > 60) drawCentredWhole("SCORE: " + String(totalScore), 200, 0.6f);
    if (shown.namePrompt) {
        drawCentredWhole("ENTER YOUR NAME:", 450, 0.3f);
        if (!playerName.empty()) drawCentredWhole(playerName, 542, 0.6f);
    }
    SetScale(1, 1);
}
