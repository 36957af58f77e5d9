#pragma once
// One frame's input to a match: the keys it reads as held, the presses of P and the
// characters typed since the frame before. The match reads nothing else from the
// keyboard, so a list of these records (from the keyboard, a replay file or the
// network) decides a whole match.

#include <cstdint>
#include <string>

// The keys a match reads as held, one bit each.
enum MatchKey : uint16_t {
    KeyP1Up = 1u << 0,     // arrows: player 1
    KeyP1Down = 1u << 1,
    KeyP1Left = 1u << 2,
    KeyP1Right = 1u << 3,
    KeyP2Up = 1u << 4,     // W, S, A, D: player 2
    KeyP2Down = 1u << 5,
    KeyP2Left = 1u << 6,
    KeyP2Right = 1u << 7,
    KeyEnter = 1u << 8,
    KeySpace = 1u << 9,
    KeyEsc = 1u << 10,
    KeyDigit1 = 1u << 11,  // 4 and 1 knock out the enemies; 1 and 8 stop the solver
    KeyDigit4 = 1u << 12,
    KeyDigit8 = 1u << 13,
};
constexpr uint16_t AllMatchKeys = (1u << 14) - 1;

// The virtual-key code of each MatchKey bit, bit 0 first.
constexpr int MatchKeyCodes[14] = {38, 40, 37, 39, 87, 83, 65, 68, 13, 32, 27, 49, 52, 56};

// The most characters that can wait for the name entry, as the keyboard queue holds.
constexpr int TypedQueueCapacity = 256;

struct InputRecord {
    uint16_t held = 0;            // MatchKey bits held as the frame began
    uint16_t heldAfterPause = 0;  // held when a pause begun in this frame ended; else = held
    uint8_t pauseHits = 0;        // presses of P since the frame before (at most 255)
    std::string typed;            // characters typed since the frame before, at most 256

    bool holds(uint16_t keys) const { return (held & keys) == keys; }
    bool operator==(const InputRecord&) const = default;
};

// The record of the frame about to run, taken from the keyboard (and the controllers,
// which press the same keys): held keys, presses of P and every typed character.
InputRecord readKeyboardInput();
// The keys held on the keyboard now, as MatchKey bits.
uint16_t heldMatchKeys();

class MatchState;
// On the name entry's first frame: keys held since before it (Space through the tally,
// say) do not type their auto-repeat into the name. Call before reading the next frame.
void ignoreKeysHeldIntoTheNameEntry(const MatchState& match);
