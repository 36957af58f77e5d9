#pragma once
// The shared look of the text screens (menus, options, scores, end screens): palette
// colours, centred text and the title. All text is the one font rasterised at 200
// pixels, sized with SetScale.

#include <string>

#include "game/match_state.h"

class Game;

constexpr int ScreenWidth = 1024;
constexpr int TitleRow = 1;      // palette row of titles and running text
constexpr int HighlightRow = 2;  // palette row of the selected menu entry
constexpr int NormalGrey = 100;  // grey level of unselected entries
constexpr float TitleScale = 0.6075f;
constexpr float TitleY = 20;

// SetColor with a palette colour, or with palette row `row` of the game.
void usePaletteColour(const PaletteRow& colour);
void usePaletteColour(const Game& game, int row);
void useTitleColour(const Game& game);
void useNormalGrey();

// Sets the scale s and draws the text centred: x = (1024 - TextWidth(text) * s) / 2,
// x may be fractional.
void drawCentred(const std::string& text, float y, float scale);
// Sets the scale s and draws the text centred on a whole-pixel width: w =
// Int(TextWidth(text) * s), x = (1024 - w) / 2 in whole numbers, as the high-score and
// end screens place their texts.
void drawCentredWhole(const std::string& text, float y, float scale);

// "TUMBLEBOUT" in the title colour at the title scale, centred at y = 20.
void drawTitle(const Game& game);
// A selectable entry: grey, or the highlight colour when selected; centred.
void drawEntry(const Game& game, const std::string& label, float y, float scale, bool selected);
