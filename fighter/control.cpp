// Player control: the keys push the head (node 16) and the body follows through the
// solver. Player 1 (arrows) is capped at twice the speed per velocity component;
// player 2 (W, A, S, D) is not. The keys come from the frame's input record.

#include "game/match_state.h"

namespace {

// One push per frame: 3 * speed * (nearest float to one third).
float headPush(int speed) { return 3 * speed * 0.33333334f; }

}  // namespace

void MatchState::controlPlayer1() {
    ball& head = fighters[1].nodes[HeadNode];
    const int s = playersSpeed;
    const float push = headPush(s);
    // A push is made while the component is still below the cap, so only the last
    // push may carry it past.
    const InputRecord& keys = frameInput;
    if (keys.holds(KeyP1Right) && head.vx < 2 * s) head.vx += push;
    if (keys.holds(KeyP1Left) && head.vx > -2 * s) head.vx -= push;
    if (keys.holds(KeyP1Down) && head.vy < 2 * s) head.vy += push;
    if (keys.holds(KeyP1Up) && head.vy > -2 * s) head.vy -= push;
}

void MatchState::controlPlayer2() {
    ball& head = fighters[2].nodes[HeadNode];
    const float push = headPush(playersSpeed);
    const InputRecord& keys = frameInput;
    if (keys.holds(KeyP2Right)) head.vx += push;
    if (keys.holds(KeyP2Left)) head.vx -= push;
    if (keys.holds(KeyP2Down)) head.vy += push;
    if (keys.holds(KeyP2Up)) head.vy -= push;
}
