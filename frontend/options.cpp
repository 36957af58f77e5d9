// The options: defaults, the options screen and the preferences file "prefs.tbt"
// (one decimal value per line, CR LF, in the order of storedOptions).
#include "frontend/menu_drawing.h"
#include "frontend/menu_frame.h"
#include "frontend/option_table.h"
#include "game/keys.h"

namespace {

const char* const PrefsFile = "prefs.tbt";

struct OptionRow {
    const char* label;
    int Game::*field;   // null for RESET OPTIONS
    const char* suffix;
};

// The screen's rows 1..12, top to bottom.
constexpr std::array<OptionRow, 12> rows = {{
    {"GRAVITY  ", &Game::gravity, ""},
    {"PLAYERS SPEED  ", &Game::playersSpeed, ""},
    {"FLEXIBILITY  ", &Game::flexibility, ""},
    {"BLOWPOWER  ", &Game::blowPower, ""},
    {"AI LEVEL  ", &Game::aiLevel, ""},
    {"SLOW MOTION  ", &Game::slowMotion, ""},
    {"BLOOD  ", &Game::blood, ""},
    {"PLASMA EFFECTS  ", &Game::plasmaEffects, ""},
    {"FULLSCREEN  ", &Game::fullscreen, "  [AT RESTART]"},
    {"SOUNDS VOLUME  ", &Game::soundVolume, ""},
    {"MUSIC VOLUME  ", &Game::musicVolume, ""},
    {"RESET OPTIONS", nullptr, ""},
}};
constexpr int ResetRow = 12;

std::string rowText(const Game& game, const OptionRow& row) {
    if (row.field == nullptr) return row.label;
    return row.label + String(game.*row.field) + row.suffix;
}

}  // namespace

void clampOptions(Game& game) {
    for (const StoredOption& option : storedOptions) {
        if (!option.clamped) continue;
        int& value = game.*option.field;
        if (value < option.minimum) value = option.minimum;
        if (value > option.maximum) value = option.maximum;
    }
}

void Game::setDefaultOptions() {
    for (const StoredOption& option : storedOptions) this->*option.field = option.defaultValue;
}

void Game::resetOptions() { setDefaultOptions(); }

void Game::loadPrefs() {
    StreamRef stream = ReadFile(PrefsFile);
    // Only a missing file is made anew: one that exists but cannot be read keeps the
    // player's options for when it can.
    if (!stream && FileMissing(PrefsFile)) {
        savePrefs();
        stream = ReadFile(PrefsFile);
    }
    if (!stream) return;
    for (const StoredOption& option : storedOptions) {
        if (Eof(*stream)) break;  // a short file leaves the rest as they are
        this->*option.field = StringToInt(ReadLine(*stream));
    }
    CloseStream(stream);
    // A hand-edited value out of range (a flexibility of 0 divides by zero in the
    // solver) is brought into range at once, as the options screen would.
    clampOptions(*this);
}

void Game::savePrefs() {
    std::string content;
    for (const StoredOption& option : storedOptions) content += String(this->*option.field) + "\r\n";
    // Whole or not at all: a crash mid-write must not leave a cut file behind.
    ReplaceFileAtomically(PrefsFile, content);
}

void Game::optionsScreen() {
    drainInput();
    screen = "options";
    selection = 1;
    while (true) {
        beginMenuFrame(*this);
        drawTitle(*this);
        for (int k = 1; k <= ResetRow; ++k) {
            drawEntry(*this, rowText(*this, rows[k - 1]), static_cast<float>(170 + 40 * k),
                      0.1875f, k == selection);
        }
        SetScale(1, 1);
        // Held, not pressed: the defaults are set again on every frame the key is down.
        if (selection == ResetRow && (KeyDown(key::Enter) || KeyDown(key::Space))) {
            setDefaultOptions();
        }
        // Read on every frame, so a press made on RESET OPTIONS is spent there and
        // does not change a value once another row is selected.
        const bool lower = KeyHit(key::Left) != 0;
        const bool raise = KeyHit(key::Right) != 0;
        if (selection < ResetRow) this->*rows[selection - 1].field += int{raise} - int{lower};
        clampOptions(*this);
        selection = navigateMenu(selection, ResetRow);
        presentFrame();
        // Both confirmations are read on every frame, so a press made on RESET OPTIONS
        // is used up there and does not leave the screen once another row is selected.
        const bool enter = KeyHit(key::Enter) != 0;
        const bool space = KeyHit(key::Space) != 0;
        const bool escaped = KeyHit(key::Esc) != 0;
        if (((enter || space) && selection != ResetRow) || escaped) break;
    }
    savePrefs();
}
