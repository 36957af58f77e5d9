#pragma once
// What one step of a match hands to those who watch it: the effects a player should
// hear and feel, in the order they happened, and the frame's picture.
//
// The picture is what the frame shows, taken at the moments the frame is drawn. Most
// of it is the state after the step, but not all: the arena and the banner take the
// palette as the frame began, the fighters stand where their own moves left them,
// before the hit test parted them and their flashes counted down, and a burst the hit
// test restarted still shows the particles it had. Drawing reads the picture and the
// state, and changes neither.

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "combat/dotburst.h"
#include "fighter/man.h"
#include "game/match_state.h"

enum class MatchEffect : uint8_t {
    HitFreeze,     // a blow landed while slow motion was armed: the picture holds 200 ms
    Blow,          // a blow landed: its sound
    Block,         // a hard contact dealt no blow and made sparks: the block sound
    ScoreEntered,  // a name and score joined the high-score table: keep it on disk
};

// One of the screens drawn over the scene after the fight.
struct EndScreen {
    enum class Kind : uint8_t { Tally, GameOver, HighScores };
    Kind kind = Kind::Tally;
    int frame = 0;            // frames in the state (the table's t)
    PaletteRow titleColour{}; // palette row 1 as the screen stepped it
    bool namePrompt = false;  // game over: the score qualifies and the prompt shows
};

struct FramePicture {
    PaletteRow titleColour{};  // palette rows 1 and 3 as the frame began:
    PaletteRow gridColour{};   // the banner's and the arena grid's colours
    std::string bannerText;
    int bannerTimer = -1;      // after this frame's count down
    int fadeFrame = 0;         // frameCounter as the fighters were drawn (they fade in)
    std::array<man, 7> fighters;
    std::bitset<BurstSlots + 1> burstsDrawn;
    // Bursts the hit test restarted after they were drawn, as they were drawn.
    std::vector<std::pair<int, dotburst>> burstsBeforeRestart;
    std::vector<EndScreen> endScreens;  // in the order drawn; none before the pause point

    // Keeps slot `slot` as it was drawn, before the hit test restarts it.
    void keepBeforeRestart(int slot, const dotburst& burst);
    // The burst of `slot` as this frame drew it.
    const dotburst& drawnBurst(int slot, const MatchState& state) const;
};

struct FrameEvents {
    std::vector<MatchEffect> effects;
    bool paused = false;      // P paused the match at this frame's pause point
    bool slowMotion = false;  // the frame runs in slow motion: shown at most 30 a second
    FramePicture picture;

    bool has(MatchEffect effect) const;
    void clear();
};
