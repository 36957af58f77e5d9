#pragma once
// A particle burst: up to 300 particles that start at one point, fly apart, fall and
// fade together. Blood (red drops, or yellow squares for robots) or plasma (additive
// sparks in a drifting colour). The Game keeps a ring of 100 and reuses the slots.

#include <array>

class Game;

constexpr int MaxParticles = 300;
constexpr int BurstSlots = 100;
enum BurstKind : int { BurstBlood = 0, BurstPlasma = 1 };

class dotburst {
public:
    int yellow = 0;   // robot blood: yellow squares instead of red drops
    int kind = BurstPlasma;
    std::array<int, 4> colourStep{2, 2, 2, 2};
    float size = 0;
    float alpha = 0;
    int count = 0;    // particles 1..count
    std::array<float, MaxParticles + 1> xs{}, ys{}, vxs{}, vys{};
    std::array<int, 3> colour{};  // plasma colour r, g, b
    int active = 0;

    void driftColour();
    void start(float x, float y, float vx, float vy, int count, int kind, float speed, int yellow, int spread);
    void draw(const Game& game) const;
    void update();
};
