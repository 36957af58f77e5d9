#pragma once
// The one skeleton every fighter shares: which nodes the sticks join, which triples
// bend at a joint, each joint's rest angle and stiffness. Nodes are numbered 1..26,
// sticks and joints from 0; the order of the tables is the solver's order.
//
// Node roles: 6 hips; 5-4-3-2-1-25 first leg (3 knee, 1 ankle, 25 foot); 7-8-9-10-11-26
// second leg (9 knee, 11 ankle, 26 foot); 12-13-14 spine up to the shoulders; 15 neck,
// 16 head; 17-18-19-20 first arm (18 elbow, 20 fist); 21-22-23-24 second arm.

#include <array>

#include "fighter/man.h"

namespace skeleton {

constexpr std::array<std::array<int, 2>, StickCount> sticks{{
    {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6},            // 0-4   first leg up to the hips
    {6, 7}, {7, 8}, {8, 9}, {9, 10}, {10, 11},         // 5-9   second leg down from the hips
    {6, 12}, {12, 13}, {13, 14}, {14, 15}, {15, 16},   // 10-14 spine, neck, head
    {14, 17}, {17, 18}, {18, 19}, {19, 20},            // 15-18 first arm
    {14, 21}, {21, 22}, {22, 23}, {23, 24},            // 19-22 second arm
    {1, 25}, {11, 26},                                 // 23-24 feet
}};

constexpr std::array<std::array<int, 3>, JointCount> joints{{
    {1, 2, 3}, {2, 3, 4}, {3, 4, 5}, {4, 5, 6}, {5, 6, 7},
    {6, 7, 8}, {7, 8, 9}, {8, 9, 10}, {9, 10, 11},
    {5, 6, 12}, {7, 6, 12},
    {6, 12, 13}, {12, 13, 14}, {13, 14, 15}, {14, 15, 16},
    {13, 14, 17}, {14, 17, 18}, {17, 18, 19}, {18, 19, 20},
    {13, 14, 21}, {14, 21, 22}, {21, 22, 23}, {22, 23, 24},
    {25, 1, 2}, {10, 11, 26},
}};

// Degrees; 180 is straight. The legs leave the hips at 200 and 160, the arms leave
// the spine at right angles to either side.
constexpr std::array<float, JointCount> restAngles{
    180, 180, 180, 180, 180,
    180, 180, 180, 180,
    200, 160,
    180, 180, 180, 180,
    90, 180, 180, 180,
    -90, 180, 180, 180,
    180, 180,
};

// Soft knees (0.1) and elbows (0.05), a bendy spine and neck; the hips (joint 4) never
// correct at all.
constexpr std::array<float, JointCount> stiffness{
    1.0f, 0.1f, 1.0f, 1.0f, 0.0f,
    1.0f, 1.0f, 0.1f, 1.0f,
    0.3f, 0.3f,
    0.4f, 0.4f, 0.4f, 0.1f,
    0.1f, 1.0f, 0.05f, 1.0f,
    0.1f, 1.0f, 0.05f, 1.0f,
    1.0f, 1.0f,
};

// Robots: rigid knees, elbows, spine and neck; looser hips.
constexpr std::array<float, JointCount> robotStiffness{
    1.0f, 1.0f, 1.0f, 1.0f, 0.0f,
    1.0f, 1.0f, 1.0f, 1.0f,
    0.2f, 0.2f,
    1.0f, 1.0f, 1.0f, 1.0f,
    0.1f, 1.0f, 1.0f, 1.0f,
    0.1f, 1.0f, 1.0f, 1.0f,
    1.0f, 1.0f,
};

}  // namespace skeleton
