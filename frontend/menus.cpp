// The main menu, the game-mode selection and the controls screen, with the drawing
// and frame helpers that every text screen shares.
#include <array>

#include "frontend/after_match_notice.h"
#include "frontend/menu_drawing.h"
#include "frontend/menu_frame.h"
#include "game/Game.h"
#include "game/keys.h"

// ---- Shared drawing ------------------------------------------------------------------

void usePaletteColour(const PaletteRow& colour) { SetColor(colour[1], colour[2], colour[3]); }

void usePaletteColour(const Game& game, int row) { usePaletteColour(game.palette[row]); }

void useTitleColour(const Game& game) { usePaletteColour(game, TitleRow); }

void useNormalGrey() { SetColor(NormalGrey, NormalGrey, NormalGrey); }

void drawCentred(const std::string& text, float y, float scale) {
    SetScale(scale, scale);
    DrawText(text, (ScreenWidth - static_cast<float>(TextWidth(text)) * scale) / 2, y);
}

void drawCentredWhole(const std::string& text, float y, float scale) {
    SetScale(scale, scale);
    const int width = static_cast<int>(static_cast<float>(TextWidth(text)) * scale);
    DrawText(text, static_cast<float>((ScreenWidth - width) / 2), y);
}

void drawTitle(const Game& game) {
    useTitleColour(game);
    drawCentred("TUMBLEBOUT", TitleY, TitleScale);
}

void drawEntry(const Game& game, const std::string& label, float y, float scale, bool selected) {
    useNormalGrey();
    if (selected) usePaletteColour(game, HighlightRow);
    drawCentred(label, y, scale);
}

// ---- Shared frame ----------------------------------------------------------------------

void beginMenuFrame(Game& game) {
    Cls();
    game.animatePalette();
}

void presentFrame() {
    drawAfterMatchNotice();
    Flip(-1);
    checkWindowClose();
}

int navigateMenu(int selection, int count) {
    if (KeyHit(key::Up)) selection -= 1;
    if (KeyHit(key::Down)) selection += 1;
    if (selection < 1) selection = count;
    if (selection > count) selection = 1;
    return selection;
}

// ---- Screens ---------------------------------------------------------------------------

MenuChoice Game::mainMenu() {
    static constexpr std::array<const char*, 5> labels = {"PLAY", "OPTIONS", "CONTROLS", "SCORES",
                                                          "QUIT"};
    drainInput();
    screen = "menu";
    selection = 1;
    while (true) {
        beginMenuFrame(*this);
        drawTitle(*this);
        for (int k = 1; k <= 5; ++k) {
            drawEntry(*this, labels[k - 1], static_cast<float>(20 + 80 * (k + 1)), 0.45f,
                      k == selection);
        }
        SetScale(1, 1);
        selection = navigateMenu(selection, 5);
        presentFrame();
        if (KeyHit(key::Esc)) End();
        if (KeyHit(key::Enter) || KeyHit(key::Space)) return static_cast<MenuChoice>(selection);
    }
}

void Game::modeSelect() {
    struct ModeEntry {
        const char* label;
        float y;
        const char* mode;
    };
    static constexpr std::array<ModeEntry, 4> entries = {{
        {"1 PLAYER", 260, "1"},
        {"2 PLAYERS VS", 340, "2vs"},
        {"2 PLAYERS CO-OP", 420, "2coop"},
        {"2 PLAYERS ONLINE", 500, "online"},
    }};
    FlushKeys();
    screen = "modes";
    selection = 1;
    while (true) {
        beginMenuFrame(*this);
        for (int k = 1; k <= static_cast<int>(entries.size()); ++k) {
            drawEntry(*this, entries[k - 1].label, entries[k - 1].y, 0.3f, k == selection);
        }
        SetScale(1, 1);
        selection = navigateMenu(selection, static_cast<int>(entries.size()));
        presentFrame();
        bool leave = false;
        if (KeyHit(key::Enter) || KeyHit(key::Space)) {
            gameMode = entries[selection - 1].mode;
            leave = true;
        }
        // Tested after the choice, so Esc in the same frame wins.
        if (KeyHit(key::Esc)) {
            gameMode = "goback";
            leave = true;
        }
        if (leave) return;
    }
}

void Game::controlsScreen() {
    struct Line {
        float scale;
        float y;
        const char* text;
    };
    static constexpr std::array<Line, 14> lines = {{
        {0.225f, 175, "PLAYER 1: ARROW KEYS   PLAYER 2: W,A,S,D"},
        {0.225f, 250, "PAUSE: P          QUIT: ESC"},
        {0.15f, 320, "IF EVERYTHING ELSE FAILS, READ THE INSTRUCTIONS:"},
        {0.105f, 400, "TO DEAL DAMAGE, YOU MUST HIT A DAMAGEABLE PART OF OPPONENT WITH A DAMAGING PART"},
        {0.105f, 430, "DAMAGING PARTS ARE ARMS, LEGS AND HEAD"},
        {0.105f, 460, "DAMAGEABLE PARTS ARE BODY (EXCLUDED ARMS AND LEGS) AND HEAD"},
        {0.105f, 490, "HEAD IS BOTH DAMAGING AND DAMAGEABLE"},
        {0.105f, 520, "EVERY TIME YOU LAND A SUCCESFUL BLOW YOUR COMBO COUNTER INCREASES BY 1"},
        {0.105f, 550, "EVERY BLOW DEALS A DAMAGE EQUAL TO THE COMBO COUNTER"},
        {0.105f, 580, "YOUR COMBO COUNTER IS RESET TO 1 IF YOU GET HIT"},
        {0.105f, 610, "THROUGH COMBOS YOU WILL DO MORE DAMAGE AND ALSO GET A HIGHER SCORE"},
        {0.105f, 640, "THE REMAINING ENERGY OF EACH PLAYER IS INDICATED ON THE WRISTBANDS"},
        {0.105f, 670, "IT IS GENERALLY A BAD IDEA TO RUSH AGAINST THE OPPONENT"},
        {0.105f, 700, "IT IS A GOOD IDEA TO TRY TO HIT YOUR OPPONENT'S HEAD WITH YOUR LEGS"},
    }};
    drainInput();
    screen = "controls";
    selection = 0;
    while (true) {
        beginMenuFrame(*this);
        drawTitle(*this);
        for (const Line& line : lines) drawCentred(line.text, line.y, line.scale);
        SetScale(1, 1);
        presentFrame();
        if (KeyHit(key::Enter) || KeyHit(key::Space) || KeyHit(key::Esc)) return;
    }
}
