// Start-up, the splash screen and the main loop over the menus and the three game
// modes; plus the input drain and the close check that every screen uses.
#include <cstdio>
#include <filesystem>
#include <string>

#include "frontend/menu_frame.h"
#include "game/Game.h"
#include "game/elapsed.h"
#include "game/fingerprint.h"
#include "game/keys.h"

namespace {

// The splash screen's line under the logo.
const char* const SplashLine = "PUSH THE HEAD. SWING THE LIMBS.";
constexpr int SplashMs = 2000;

void drawSplash(const Game& game) {
    DrawImage(game.logoImage, 409, 196, 0);
    SetColor(255, 255, 255);
    SetScale(0.1875f, 0.1875f);
    const float width = static_cast<float>(TextWidth(SplashLine)) * 2.5f * 0.075f;
    DrawText(SplashLine, (1024 - width) / 2, 500);
}

// One match with its music and without the pointer; no menu entry is selected while it runs.
int playMatchWithMusic(Game& game) {
    game.selection = 0;
    game.startMusic();
    HideMouse();
    const int result = game.playMatch();
    ShowMouse();
    game.stopMusic();
    return result;
}

// A data file that cannot be loaded leaves the game running without it, as it always
// has, but no longer in silence: one line names the file and the folder searched.
template <typename Loader, typename... Args>
auto loadData(const Game& game, const std::string& relative, Loader load, Args... args) {
    auto loaded = load(game.dataPath(relative), args...);
    if (!loaded) {
        std::error_code error;
        const std::string folder = game.dataFolder.empty() ? std::filesystem::current_path(error).string()
                                                           : game.dataFolder;
        std::fprintf(stderr, "tumblebout: cannot read %s in %s\n", relative.c_str(), folder.c_str());
    }
    return loaded;
}

// A campaign (a level per match until a loss, a quit, or the win of level 20) or a
// versus series (bouts until one is quit with Esc).
void playSeries(Game& game) {
    game.beginSeries();
    while (game.countMatchResult(playMatchWithMusic(game))) {
    }
}

}  // namespace

std::string Game::dataPath(const std::string& relative) const {
    return dataFolder.empty() ? relative : dataFolder + "/" + relative;
}

void drainInput() {
    while (GetChar() != 0) {
    }
    for (int code : {key::P, key::Enter, key::Esc, key::Space, key::Left, key::Right, key::Up,
                     key::Down}) {
        while (KeyHit(code) != 0) {
        }
    }
}

void checkWindowClose() {
    if (AppTerminate()) End();
}

void Game::loadResources() {
    AppTitle("Tumblebout");
    AppIcon(loadData(*this, "images/icon.png", LoadImage, 0));
    for (auto& row : paletteStep) row.fill(2.0f);

    AutoImageFlags(MASKEDIMAGE | FILTEREDIMAGE | MIPMAPPEDIMAGE);
    quadImage = loadData(*this, "images/quad280.png", LoadImage, -1);
    MidHandleImage(quadImage);
    ballImage = loadData(*this, "images/ballimage280.png", LoadImage, -1);
    MidHandleImage(ballImage);
    blowSound = loadData(*this, "sounds/blow.wav", LoadSound, 0);
    blockSound = loadData(*this, "sounds/block.wav", LoadSound, 0);
    logoImage = loadData(*this, "images/205275.png", LoadImage, -1);
    sparkImage = loadData(*this, "images/spark.png", LoadImage, -1);
}

void Game::openDisplay() {
    const int depth = fullscreenThisRun.value_or(fullscreen == 1) ? 32 : 0;
    if (!Graphics(1024, 768, depth, 60, 0)) {
        std::fprintf(stderr, "tumblebout: cannot open a 1024 x 768 %s with OpenGL\n",
                     depth == 32 ? "full screen" : "window");
        throw ProgramEnd{1};
    }
    SetImageFont(loadData(*this, "images/font.ttf", LoadImageFont, 200, 4));
    SetBlend(3);
}

void Game::loadMusic() {
    for (int track = 1; track <= 4; ++track) {
        musicTracks[track] = loadData(*this, "music/tt" + std::to_string(track) + ".ogg", LoadSound, 0);
    }
}

void Game::run() {
    startUp();
    showSplash();
    mainLoop();
}

void Game::startUp() {
    screen = "splash";
    selection = 0;
    loadResources();
    defaultHighScores();
    loadHighScores();
    resetOptions();
    loadPrefs();
    // Replays and online peers compare against it; worked out now rather than at the
    // end of the first match.
    simulationFingerprint();
    SeedRnd(MilliSecs());
    openDisplay();
}

void Game::showSplash() {
    // The first splash frame shows while the music loads; the two seconds include it.
    drawSplash(*this);
    presentFrame();
    const int splashStart = MilliSecs();
    loadMusic();
    while (true) {
        Cls();
        SetScale(1, 1);
        drawSplash(*this);
        const int elapsed = millisecondsSince(splashStart);
        presentFrame();
        if (elapsed > SplashMs || KeyDown(key::Space) || KeyDown(key::Enter) || KeyDown(key::Esc)) {
            break;
        }
    }
    SetScale(1, 1);
}

void Game::mainLoop() {
    while (true) {
        const MenuChoice choice = mainMenu();
        if (choice == MenuChoice::Quit) return;
        if (choice == MenuChoice::Options) optionsScreen();
        if (choice == MenuChoice::Controls) controlsScreen();
        if (choice == MenuChoice::Scores) showHighScores();
        if (choice == MenuChoice::Play) {
            modeSelect();
            if (gameMode == "2vs" || gameMode == "1" || gameMode == "2coop") playSeries(*this);
            if (gameMode == "online" && onlineScreen) onlineScreen();
        }
    }
}
