#pragma once
// One fighter: 26 nodes held together by 25 sticks and 25 angle joints, plus its size,
// colour, energy and status. Players, enemies, bosses and robots share the skeleton;
// they differ only in scale, colour, isRobot and team.

#include <array>

#include "fighter/ball.h"

class Game;
class MatchState;

constexpr int NodeCount = 26;
constexpr int StickCount = 25;
constexpr int JointCount = 25;
constexpr int HeadNode = 16;
constexpr int HipsNode = 6;
constexpr int ShouldersNode = 14;

struct Correction4 { float dxa, dya, dxb, dyb; };
struct Correction6 { float dxA, dyA, dxB, dyB, dxC, dyC; };

class man {
public:
    man();

    float strength = 0.0f;     // damage factor of this fighter's blows (1, robots 2)
    int isRobot = 0;
    float cameraWeight = 0.0f; // 1 while standing, fades to 0 after a knock-out
    int knockedOut = 0;
    int team = 0;              // equal teams never hit each other; players are 1
    float maxEnergy = 0.0f;
    int nodeMass = 1;
    Colour colour{0, 0, 0, 0};
    float energy = 20.0f;
    int fighterNo = 0;         // slot 1..fighterCount in the Game's fighters
    float scale = 2.0f;
    float stickWidth = 4.0f;   // 2 * scale
    float nodeRadius = 8.0f;   // 4 * scale
    float nodeSize = 8.0f;     // 4 * scale
    float headSize = 18.0f;    // 9 * scale
    int nodeCount = NodeCount;
    std::array<std::array<int, 2>, StickCount> sticks;
    int stickCount = StickCount;
    std::array<std::array<int, 3>, JointCount> joints;
    std::array<float, JointCount> jointAngle;      // rest angle, degrees
    std::array<float, JointCount> jointStiffness;  // 0..1
    int jointCount = JointCount;
    int lastContact = 1;       // direction code 1..8
    std::array<ball, NodeCount + 1> nodes;  // 1..26; element 0 unused

    void fadeOut();
    void setup(int fighterCount);
    void draw(const Game& game, float alpha) const;
    void moveNodes(float timeStep);
    void tickNodes(MatchState& match);
    void applyGravity(int gravity);
    void collideWalls(const MatchState& match);
    void updateVelocities(float timeStep);
    void saveOldPositions();
    Correction4 stickCorrection(const ball& a, const ball& b) const;
    void solveSticks();
    Correction6 jointCorrection(const ball& a, const ball& b, const ball& c, float restAngle,
                                float stiffness, float timeStep, int flexibility) const;
    void solveJoints(float timeStep, int flexibility);
    void think(int aiLevel, int speed, float tx, float ty, float tvx, float tvy);
    void relax(float timeStep, int flexibility);
    void drawStick(const Game& game, int k, const Colour& colour) const;
};
