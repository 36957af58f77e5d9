#pragma once
// A Game on the headless backend with the default options, set up for a match of a
// given mode and level, plus small helpers for placing fighters and reading the texts
// a frame drew.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "game/Game.h"
#include "platform/headless.h"

namespace matchtest {

inline void setDefaultOptions(Game& game) {
    game.playersSpeed = 4;
    game.gravity = 1;
    game.flexibility = 5;
    game.blowPower = 5;
    game.slowMotion = 3;
    game.aiLevel = 1;
    game.blood = 10;
    game.plasmaEffects = 1;
    game.soundVolume = 0;
    game.musicVolume = 0;
}

// Puts every node of the fighter on one point.
inline void placeFighter(man& fighter, float x, float y) {
    for (int n = 1; n <= fighter.nodeCount; ++n) {
        fighter.nodes[n].x = x;
        fighter.nodes[n].y = y;
    }
}

inline void knockOut(Game& game, int i) { game.fighters[i].energy = 0; }

// The texts drawn since the last present.
inline std::vector<headless::DrawCall> textsDrawn() {
    std::vector<headless::DrawCall> texts;
    for (const auto& call : headless::currentFrame())
        if (call.op == headless::DrawOp::Text) texts.push_back(call);
    return texts;
}

// The first text drawn at (x, y) since the last present, or nullptr.
inline const headless::DrawCall* textAt(const std::vector<headless::DrawCall>& texts, float x,
                                        float y) {
    for (const auto& call : texts)
        if (call.x == x && call.y == y) return &call;
    return nullptr;
}

inline bool drewText(const std::vector<headless::DrawCall>& texts, const std::string& text) {
    for (const auto& call : texts)
        if (call.text == text) return true;
    return false;
}

// Runs the test in a fresh temporary folder, so saved score and option files land there.
class ScopedTempFolder {
public:
    ScopedTempFolder() : previous_(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "matchtest-XXXXXX").string();
        folder_ = mkdtemp(pattern.data());
        std::filesystem::current_path(folder_);
    }
    ~ScopedTempFolder() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }

private:
    std::filesystem::path previous_;
    std::filesystem::path folder_;
};

// A headless Game with default options; SetUp starts the backend, each test sets the
// mode and level and calls setupMatch itself (or through `setUpMatch`).
class MatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::start();
        setDefaultOptions(game);
    }
    void TearDown() override {
        headless::setFrameHook(nullptr);
        headless::stop();
    }

    void setUpMatch(const std::string& mode, int level) {
        game.gameMode = mode;
        game.level = level;
        game.setupMatch();
    }

    // Takes the keyboard into the frame's input record, as the match loop does at the
    // start of every frame.
    void readKeyboard() { game.takeFrameInput(readKeyboardInput()); }

    // The match's state machine for one frame, and the screens after the fight drawn
    // over the scene as that frame shows them.
    void updateState() {
        events.clear();
        game.updateMatchState(events);
        game.drawEndScreens(events);
    }

    // Advances the frame counter as the match loop would and runs the state machine.
    void runStateFrames(int frames) {
        for (int i = 0; i < frames; ++i) {
            readKeyboard();
            game.frameCounter += 1;
            updateState();
        }
    }

    int framesInState() const { return game.frameCounter - game.stateStartFrame; }

    Game game;
    FrameEvents events;
};

}  // namespace matchtest
