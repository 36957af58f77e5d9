// A fighter's construction, its set-up for a match, the knock-out fade of its camera
// weight, and the per-node steps of the frame applied to nodes 1..26 in order.

#include "fighter/skeleton.h"
#include "game/match_state.h"
#include "platform/platform.h"

man::man()
    : sticks(skeleton::sticks),
      joints(skeleton::joints),
      jointAngle(skeleton::restAngles),
      jointStiffness(skeleton::stiffness) {}

void man::fadeOut() {
    if (!knockedOut) return;
    cameraWeight -= 0.01f;
    if (cameraWeight < 0.0f) cameraWeight = 0.0f;
}

void man::setup(int fighterCount) {
    cameraWeight = 1.0f;
    knockedOut = 0;
    stickWidth = 2.0f * scale;
    nodeRadius = 4.0f * scale;
    nodeSize = 4.0f * scale;
    headSize = 9.0f * scale;
    nodeMass = static_cast<int>(scale * scale);
    maxEnergy = 5.0f * scale * scale;
    energy = maxEnergy;

    // Nodes start scattered in a 200-unit column per fighter, anywhere in height; the
    // solver pulls each body together over the first frames while it fades in.
    const float column = (static_cast<float>(fighterNo) - static_cast<float>(fighterCount) / 2.0f) * 1024.0f / 4.0f;
    for (int i = 1; i <= nodeCount; ++i) {
        ball node;
        node.radius = nodeRadius;
        node.size = nodeSize;
        node.index = i;
        node.fighterNo = fighterNo;
        node.x = RndFloat() * 200.0f - 100.0f + column;  // x is drawn before y
        node.y = static_cast<float>(Rand(0, 768));
        node.vx = 1.0f;
        node.vy = 1.0f;
        node.mass = static_cast<float>(nodeMass);
        nodes[i] = node;
    }
    nodes[HeadNode].size = headSize;

    strength = 1.0f;
    if (isRobot) {
        strength = 2.0f;
        maxEnergy = 2.0f * maxEnergy;
        energy = maxEnergy;
        jointStiffness = skeleton::robotStiffness;
        colour = {0, 70, 70, 90};
    }
}

void man::moveNodes(float timeStep) {
    for (int i = 1; i <= nodeCount; ++i) nodes[i].move(timeStep);
}

void man::tickNodes(MatchState& match) {
    for (int i = 1; i <= nodeCount; ++i) nodes[i].tick(match, isRobot);
}

void man::applyGravity(int gravity) {
    for (int i = 1; i <= nodeCount; ++i) nodes[i].applyGravity(gravity);
}

void man::collideWalls(const MatchState& match) {
    // The last node to touch a wall sets the direction the fighter is sent next.
    for (int i = 1; i <= nodeCount; ++i) {
        const int code = nodes[i].collideWalls(match);
        if (code != 0) lastContact = code;
    }
}

void man::updateVelocities(float timeStep) {
    for (int i = 1; i <= nodeCount; ++i) nodes[i].updateVelocity(timeStep);
}

void man::saveOldPositions() {
    for (int i = 1; i <= nodeCount; ++i) nodes[i].saveOldPosition();
}
