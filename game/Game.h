#pragma once
// The one Game object: resources, options, campaign and match state, the fighters,
// the particle bursts, the camera and the animated palette. Every screen and every
// fighter reaches shared state through it. Its methods are implemented across files
// by subsystem (game/, fighter/, combat/, frontend/), each file one topic.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "combat/dotburst.h"
#include "fighter/man.h"
#include "frontend/score_entry.h"
#include "game/input_record.h"
#include "platform/platform.h"

using PaletteRow = std::array<int, 4>;   // elements 1..3 = red, green, blue
using GateTable = std::array<std::array<int, 10>, 10>;

enum class MenuChoice { Play = 1, Options, Controls, Scores, Quit };

class Game {
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

    // ---- Match flow --------------------------------------------------------------
    int matchResult = 0;             // 1 player side won, 2 lost, 3 quit
    std::string matchState = "game";
    int stateStartFrame = 0;         // frameCounter at the last change of matchState

    // ---- Name entry ----------------------------------------------------------------
    int nameCursor = 1;              // next slot 1..16 of nameChars
    std::string playerName;
    std::array<std::string, 30> nameChars;

    // ---- Camera and arena (world units) ----------------------------------------------
    float cameraX = 0, cameraY = 0;
    float arenaRight = 0, arenaLeft = 0, arenaTop = 0, arenaFloor = 0;

    // ---- Hit-test gates, per pair of fighter numbers; open at 0 or below ---------------
    GateTable blowGate{};
    GateTable contactGate{};
    GateTable sparkGate{};

    float zoom = 0.3f;               // screen pixels per world unit
    int levelStartScore = 0;         // totalScore (low 32 bits) when the match began
    std::array<int, 3> wins{};       // versus wins: 1 player 1, 2 player 2

    // ---- Options (defaults, ranges and storage in frontend/options.cpp) -----------------
    int prefsHeader = 0;
    int plasmaEffects = 0;
    int fullscreen = 0;
    int slowMotion = 0;

    ScoreTable highScores;
    ScoreTable scoresOnDisk;         // the table as this copy last read or wrote its file

    // ---- Campaign and match score ---------------------------------------------------------
    int maxCombo = 0;
    int level = 0;                   // 1..20
    int64_t comboScore = 0;
    int64_t totalScore = 0;
    int combo = 0;                   // > 0 player side's streak, < 0 the other side's
    int lastPacedFrame = 0;          // MilliSecs of the last paced slow-motion frame
    int nextBurst = 1;               // next slot 1..100 of bursts
    std::array<std::unique_ptr<dotburst>, BurstSlots + 1> bursts;

    // ---- More options -------------------------------------------------------------------------
    int playersSpeed = 0;
    int flexibility = 0;
    int spareOption = 0;
    int blowPower = 0;
    int soundVolume = 0;
    int musicVolume = 0;
    int gravity = 0;
    int aiLevel = 0;
    int blood = 0;

    float timeStep = 1.0f;           // physics step of the current frame (< 1 in slow motion)
    std::string gameMode = "1";      // "1", "2vs", "2coop", or "goback"
    int winner = 0;                  // 0 undecided, 1 or 2
    int frameCounter = 0;            // frames since the match began

    // ---- Animated palette: rows 1..11, components 1..3 --------------------------------------------
    int lastPaletteRow = 11;
    std::array<std::array<float, 4>, 12> paletteStep{};
    std::array<PaletteRow, 12> palette{};

    // ---- The fighters of the current match -------------------------------------------------------------
    int fighterCount = 6;
    std::array<std::unique_ptr<man>, 7> fighters;  // 1..fighterCount
    float slowMotionTimer = 0;       // frames of slow motion left; negative = off
    std::string bannerText;
    int bannerTimer = 0;

    // ---- The match's input: this frame's record and what waits from earlier ones -------------------------
    InputRecord frameInput;          // the record of the frame being stepped
    std::string typedQueue;          // typed characters the name entry has not taken yet
    int pendingPauseHits = 0;        // presses of P not yet taken by the pause

    // ---- How a match is driven (not part of play) -----------------------------------------------------------
    bool quiet = false;              // steps only simulate: nothing drawn or heard, no hit freeze
    bool pausesOnKeyboard = true;    // a pause waits for P or Esc on the keyboard (local play)
    bool savesScores = true;         // a new high score is written to scores.txt
    std::string replayFolder;        // every match played is saved here as a replay; "" = none

    // ---- Where the game runs (not part of play) ---------------------------------------------------------
    std::string dataFolder;          // holds images/, sounds/, music/; "" = working folder
    std::optional<bool> fullscreenThisRun;  // from the command line; unset = the fullscreen option
    std::string screen;              // screen now showing: splash, menu, modes, controls, options, scores, match
    int selection = 0;               // selected entry of the menu on screen, else 0

    // ---- Operations, by subsystem -------------------------------------------------------------------------
    // Shell (game/run.cpp, game/music.cpp, game/palette.cpp)
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
    void animatePalette();
    std::string dataPath(const std::string& relative) const;

    // Levels, camera, slow motion (game/levels.cpp, game/camera.cpp)
    void setupMatch();
    int chooseTarget(const man& enemy);
    void updateCamera();
    void updateTimeStep();
    void paceSlowMotion();

    // Match flow (game/match.cpp, game/pause_notice.cpp)
    int playMatch();
    void stepMatch(const InputRecord& input);
    int finishMatch();
    void beginSeries();
    bool countMatchResult(int result);
    void stepSeries(const InputRecord& input);
    void announce();
    void drawBanner();
    void addEnergyBonus();
    void updateMatchState();
    void pauseIfRequested();
    uint16_t waitWhilePaused();
    void drawPauseNotice() const;
    void countFrame();

    // The match's own input queue (game/match_input.cpp)
    void takeFrameInput(const InputRecord& input);
    void drainMatchInput();
    int nextTypedChar();

    // Player control (fighter/control.cpp)
    void controlPlayer1();
    void controlPlayer2();

    // Combat and effects (combat/hits.cpp, combat/bursts.cpp, combat/arena.cpp)
    void collideFighters();
    void testHit(ball& a, ball& b, man& fa, man& fb);
    void registerBlow(int firstNo, int secondNo, int kind);
    void advanceBurst();
    void updateBursts(float zoom);
    void drawArena();

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

    // High scores (frontend/highscores.cpp)
    void defaultHighScores();
    void loadHighScores();
    void saveHighScores();
    int64_t lowestHighScore();
    void addHighScore(const std::string& name, int64_t score);
    void nameEntryStep(int frame);
    void showHighScores();
    void drawHighScores(int t);

    // End-of-level and game-over screens (frontend/end_screens.cpp)
    void levelCompleteScreen(int f);
    void gameOverScreen(int f);
};

// Empties the typed characters and the pending presses of P, Enter, Esc, Space and
// the arrows, so that no press made before a screen counts on it.
void drainInput();
// Ends the program (End) when the window was asked to close; nothing is saved.
void checkWindowClose();
