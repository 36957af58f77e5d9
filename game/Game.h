#pragma once
// The one Game object: the match state (game/match_state.h, its base: campaign and
// match, fighters, bursts, camera, palette), and around it the resources, the options
// that do not steer play, the presentation of matches and the shell. Every screen
// reaches shared state through it. Its methods are implemented across files by
// subsystem (game/, fighter/, combat/, frontend/), each file one topic.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/frame_events.h"
#include "game/match_state.h"
#include "platform/platform.h"

enum class MenuChoice { Play = 1, Options, Controls, Scores, Quit };

// Slow-motion frames are shown at most 30 a second: each lasts at least this long.
constexpr float SlowMotionFrameMs = 33.333332f;

class FrameObserver;

class Game : public MatchState {
public:
    Game() = default;
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // ---- Resources ------------------------------------------------------------
    Channel musicChannel = 0;        // channel of the track now playing
    ImageRef quadImage;              // sticks and robot squares, mid-handled
    ImageRef ballImage;              // body nodes and blood drops, mid-handled
    SoundRef blowSound;
    std::array<SoundRef, 5> musicTracks;  // 1..4
    SoundRef blockSound;
    ImageRef logoImage;              // splash picture, top-left handle
    ImageRef sparkImage;             // plasma particle, top-left handle
    int musicTrack = static_cast<int>(Rnd(1, 4));  // 1..4, track last started

    // ---- Options that only show, sound or wait in the file --------------------------
    // (those that steer play are the match state's; all are in frontend/options.cpp)
    int prefsHeader = 0;
    int fullscreen = 0;
    int spareOption = 0;
    int soundVolume = 0;
    int musicVolume = 0;

    // ---- Presentation and persistence of the match ------------------------------------
    ScoreTable scoresOnDisk;         // the table as this copy last read or wrote its file
    int lastPacedFrame = 0;          // MilliSecs of the last paced slow-motion frame
    std::vector<FrameObserver*> matchObservers;  // see every match played (the replay recorder)
    std::function<void()> onlineScreen;  // "2 PLAYERS ONLINE", where the program plays online

    // ---- Where the game runs (not part of play) ---------------------------------------------------------
    std::string dataFolder;          // holds images/, sounds/, music/; "" = working folder
    std::optional<bool> fullscreenThisRun;  // from the command line; unset = the fullscreen option
    std::string screen;              // screen now showing: splash, menu, modes, controls, options, scores, match
    int selection = 0;               // selected entry of the menu on screen, else 0

    // ---- Operations, by subsystem -------------------------------------------------------------------------
    // Shell (game/run.cpp, game/music.cpp)
    void run();          // startUp, showSplash, mainLoop
    void startUp();      // resources, scores, options, the generator's seed, the display
    void showSplash();   // two seconds, while the music loads
    void mainLoop();     // the menus and the games they start, until QUIT
    void loadResources();
    void openDisplay();
    void loadMusic();
    void startMusic();
    void keepMusic();
    void stopMusic();
    std::string dataPath(const std::string& relative) const;

    // A match played from the keyboard, start to end (game/match_play.cpp)
    int playMatch();

    // Showing a match's frames (game/match_drawing.cpp, game/pause_notice.cpp,
    // combat/arena.cpp, frontend/end_screens.cpp, frontend/highscores.cpp)
    void drawMatchFrame(const FrameEvents& frame) const;   // the scene, then the end screens
    void drawScene(const FrameEvents& frame) const;        // up to the pause point
    void drawEndScreens(const FrameEvents& frame) const;
    void drawArena(const PaletteRow& gridColour) const;
    void drawBanner(const FramePicture& picture) const;
    void drawBursts(const FramePicture& picture) const;
    void drawPauseNotice() const;
    void drawLevelComplete(const EndScreen& screen) const;
    void drawGameOver(const EndScreen& screen) const;
    void drawHighScores(const EndScreen& screen) const;
    void paceSlowMotion();

    // Menus (frontend/menus.cpp)
    MenuChoice mainMenu();
    void modeSelect();
    void controlsScreen();

    // Options (frontend/options.cpp)
    void setDefaultOptions();
    void resetOptions();
    void loadPrefs();
    void savePrefs();
    void optionsScreen();

    // High scores on disk and on screen (frontend/highscores.cpp)
    void defaultHighScores();
    void loadHighScores();
    // Writes `table` to scores.txt, merged with what another copy saved meanwhile; the
    // merged table becomes scoresOnDisk. False when the file could not be written.
    bool saveHighScores(const ScoreTable& table);
    void showHighScores();
};

// Empties the typed characters and the pending presses of P, Enter, Esc, Space and
// the arrows, so that no press made before a screen counts on it.
void drainInput();
// Ends the program (End) when the window was asked to close; nothing is saved.
void checkWindowClose();
