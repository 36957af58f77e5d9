#pragma once
// One body node of a fighter: a point with a position, a velocity, a physical radius
// (sticks rest at the sum of two radii), a mass (only ever used as a ratio) and a drawn
// size (also its wall margin and hit radius).

#include <array>

class Game;
class MatchState;
class man;

using Colour = std::array<int, 4>;  // elements 1..3 = red, green, blue; 0 carries nothing

// Direction codes shared by wall contacts, computer control and the head push.
enum Direction : int {
    DirUp = 1, DirDown = 2, DirLeft = 3, DirRight = 4,
    DirDownRight = 5, DirUpLeft = 6, DirUpRight = 7, DirDownLeft = 8
};

class ball {
public:
    int hitTimer = 0;   // frames of hit flash left (60 after a blow)
    int index = 0;      // 1..26 inside its fighter
    int fighterNo = 0;  // copy of the owner's fighterNo
    float x = 0, y = 0;        // world units, y downward
    float oldX = 0, oldY = 0;  // position at the start of the frame
    float vx = 0, vy = 0;      // world units per time unit
    float radius = 0;
    float mass = 0;
    float size = 20.0f;

    // `isRobot`: the owner's, whose blood is yellow squares.
    void emitBlood(MatchState& match, int isRobot, float t) const;
    void tick(MatchState& match, int isRobot);
    void updateVelocity(float timeStep);
    void saveOldPosition();
    void draw(const Game& game, const man& owner, const Colour& colour) const;
    void drawSquare(const Game& game, const man& owner) const;
    void move(float timeStep);
    void applyGravity(int gravity);
    int collideWalls(const MatchState& match);
};

// World-to-screen projection used by every drawing of a match.
inline float projectX(float x, float cameraX, float zoom) { return 512 + zoom * (x - cameraX); }
inline float projectY(float y, float cameraY, float zoom) { return 384 + zoom * (y - cameraY); }

float wrap360(float a);
float wrap180(float a);
int intPower(int base, int exponent);
int nearestInt(float v);
