#pragma once
// Everything a match's step reads and changes, as one value: the match and campaign
// fields, the options that steer play, the high-score table (a campaign reaches it),
// the world (arena, camera, gates, palette), the fighters, the bursts, the input
// waiting from earlier frames and the random generator's state. The step is a function
// of this value and one input record: it draws nothing, plays nothing, waits for
// nothing and writes no file; what a player should see or hear of a frame it hands
// back as that frame's events (game/frame_events.h). Copies are independent matches.
//
// The Game holds its match state as its base, so that every screen and every Part
// reaches these fields under their own names (game.matchState, game.fighters, ...).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "combat/dotburst.h"
#include "fighter/man.h"
#include "frontend/score_entry.h"
#include "game/input_record.h"

struct FrameEvents;

using PaletteRow = std::array<int, 4>;   // elements 1..3 = red, green, blue
using GateTable = std::array<std::array<int, 10>, 10>;

class MatchState {
public:
    MatchState();

    // ---- Match flow ------------------------------------------------------------------
    std::string gameMode = "1";      // "1", "2vs", "2coop"; or "online", "goback" from the menu
    int level = 0;                   // 1..20
    int matchResult = 0;             // 1 player side won, 2 lost, 3 quit
    std::string matchState = "game";
    int stateStartFrame = 0;         // frameCounter at the last change of matchState
    int frameCounter = 0;            // frames since the match began
    int winner = 0;                  // 0 undecided, 1 or 2
    std::string bannerText;
    int bannerTimer = 0;

    // ---- Campaign and match score --------------------------------------------------------
    int maxCombo = 0;
    int combo = 0;                   // > 0 player side's streak, < 0 the other side's
    int64_t comboScore = 0;
    int64_t totalScore = 0;
    int levelStartScore = 0;         // totalScore (low 32 bits) when the match began
    std::array<int, 3> wins{};       // versus wins: 1 player 1, 2 player 2

    // ---- Name entry and the table it goes into ---------------------------------------------
    int nameCursor = 1;              // next slot 1..16 of nameChars
    std::string playerName;
    std::array<std::string, 30> nameChars;
    ScoreTable highScores;

    // ---- Options that steer play (defaults, ranges and storage in frontend/options.cpp) --------
    int playersSpeed = 0;
    int flexibility = 0;
    int blowPower = 0;
    int plasmaEffects = 0;
    int slowMotion = 0;
    int gravity = 0;
    int aiLevel = 0;
    int blood = 0;

    // ---- Arena, camera and time step (world units) -----------------------------------------------
    float arenaRight = 0, arenaLeft = 0, arenaTop = 0, arenaFloor = 0;
    float cameraX = 0, cameraY = 0;
    float zoom = 0.3f;               // screen pixels per world unit
    float timeStep = 1.0f;           // physics step of the current frame (< 1 in slow motion)
    float slowMotionTimer = 0;       // frames of slow motion left; negative = off

    // ---- Hit-test gates, per pair of fighter numbers; open at 0 or below ---------------------------
    GateTable blowGate{};
    GateTable contactGate{};
    GateTable sparkGate{};

    // ---- Animated palette: rows 1..11, components 1..3 -----------------------------------------------
    int lastPaletteRow = 11;
    std::array<std::array<float, 4>, 12> paletteStep{};
    std::array<PaletteRow, 12> palette{};

    // ---- The fighters and the ring of bursts -----------------------------------------------------------
    int fighterCount = 6;
    std::array<man, 7> fighters;     // 1..fighterCount
    int nextBurst = 1;               // next slot 1..100 of bursts
    std::vector<dotburst> bursts;    // 1..100; on the heap, as a fight's state is half a megabyte

    // ---- The match's input: this frame's record and what waits from earlier ones -----------------------
    InputRecord frameInput;          // the record of the frame being stepped
    std::string typedQueue;          // typed characters the name entry has not taken yet
    int pendingPauseHits = 0;        // presses of P not yet taken by the pause

    // ---- The random generator between steps --------------------------------------------------------------
    // The platform's one generator draws every number; a step starts it from here and
    // leaves its state here, so a copy of the match replays its own numbers.
    int randomState = 0;

    // ---- The step (game/match.cpp) ------------------------------------------------------------------------
    // One frame: stepToPausePoint, then finishStep.
    void stepMatch(const InputRecord& input, FrameEvents& events);
    // The frame up to its pause point (the fight, the bursts, the palette, the hit
    // test, the frame count and the pause request) and the rest (the match's state
    // machine and its screens). A driver that pauses on P waits between the two and
    // sets frameInput.heldAfterPause to the keys held when the pause ended.
    void stepToPausePoint(const InputRecord& input, FrameEvents& events);
    void finishStep(FrameEvents& events);
    // After each step of a series played without leaving the match (online): a match
    // that ended is counted at once and the next one set up, so the following frame is
    // the new match's first. A series over stays at "end", and is not stepped again.
    void continueSeries();
    void beginSeries();
    bool countMatchResult(int result);
    int finishMatch();
    void announce();
    void countDownBanner();
    void addEnergyBonus();
    void updateMatchState(FrameEvents& events);
    void pauseIfRequested(FrameEvents& events);
    void countFrame();

    // The match's own input queue (game/match_input.cpp)
    void takeFrameInput(const InputRecord& input);
    void drainMatchInput();
    int nextTypedChar();

    // Levels, camera, slow motion (game/levels.cpp, game/camera.cpp)
    void setupMatch();
    int chooseTarget(const man& enemy) const;
    void updateCamera();
    void updateTimeStep();

    // Player control (fighter/control.cpp)
    void controlPlayer1();
    void controlPlayer2();

    // Combat and effects (combat/hits.cpp, combat/bursts.cpp)
    void collideFighters(FrameEvents& events);
    void testHit(ball& a, ball& b, man& fa, man& fb, FrameEvents& events);
    void registerBlow(int firstNo, int secondNo, int kind);
    // Starts a burst in the ring's next slot and moves on to the following one.
    void startBurst(float x, float y, float vx, float vy, int count, int kind, float speed, int yellow, int spread);
    void advanceBurst();
    void updateBursts(FrameEvents& events);

    // The palette (game/palette.cpp)
    void animatePalette();

    // The high-score table and the screens after a campaign (frontend/highscores.cpp,
    // frontend/end_screens.cpp): each screen's frame as the match steps it.
    int64_t lowestHighScore();
    void addHighScore(const std::string& name, int64_t score);
    void nameEntryStep(int frame);
    void levelCompleteScreen(int f, FrameEvents& events);
    void gameOverScreen(int f, FrameEvents& events);
    void highScoresScreen(int t, FrameEvents& events);
};
