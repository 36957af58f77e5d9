// Player control: the keys push the head (node 16) and the body follows through the
// solver. Player 1 (arrows) is capped at twice the speed per velocity component;
// player 2 (W, A, S, D) is not.

#include "game/Game.h"
#include "game/keys.h"

namespace {

constexpr int KeyA = 65, KeyD = 68, KeyS = 83, KeyW = 87;

// One push per frame: 3 * speed * (nearest float to one third).
float headPush(int speed) { return 3 * speed * 0.33333334f; }

}  // namespace

void Game::controlPlayer1() {
    ball& head = fighters[1]->nodes[HeadNode];
    const int s = playersSpeed;
    const float push = headPush(s);
    // A push is made while the component is still below the cap, so only the last
    // push may carry it past.
    if (KeyDown(key::Right) && head.vx < 2 * s) head.vx += push;
    if (KeyDown(key::Left) && head.vx > -2 * s) head.vx -= push;
    if (KeyDown(key::Down) && head.vy < 2 * s) head.vy += push;
    if (KeyDown(key::Up) && head.vy > -2 * s) head.vy -= push;
}

void Game::controlPlayer2() {
    ball& head = fighters[2]->nodes[HeadNode];
    const float push = headPush(playersSpeed);
    if (KeyDown(KeyD)) head.vx += push;
    if (KeyDown(KeyA)) head.vx -= push;
    if (KeyDown(KeyS)) head.vy += push;
    if (KeyDown(KeyW)) head.vy -= push;
}
