#pragma once
// The keys one player sends online, and the match's input record made from both
// players'. Each side steers with its own arrows, whatever its seat: the host's become
// player 1's arrows, the joiner's player 2's W, A, S, D. Enter and Space count from
// either side; Esc is never sent (it leaves the session), P is not read online (a pause
// cannot stop the other machine), and only the host types (the co-operative name entry).

#include <array>

#include "game/input_record.h"
#include "net/player_input.h"

// The bits of PlayerInput::held, laid out as player 1's MatchKey bits.
constexpr uint16_t OnlineKeys = KeyP1Up | KeyP1Down | KeyP1Left | KeyP1Right | KeyEnter | KeySpace;

// The local player's keys now: the arrows (and the first controller, which presses
// them), Enter and Space.
PlayerInput readLocalPlayerInput();

// The host's typed characters, one a frame: a character read from the keyboard stays
// on offer until a frame has taken it, so none is lost while the session waits.
class TypedCharacters {
public:
    // The character for the next frame, 0 for none.
    uint8_t offer();
    // The offered character went into a frame.
    void taken() { pending_ = 0; }

private:
    uint8_t pending_ = 0;
};

// Empties the keyboard's queue of typed characters (the joiner types nothing).
void dropTypedCharacters();

// The record of a frame from player 1's and player 2's inputs. Bits a peer has no
// business sending (Esc, the digit keys) are dropped.
InputRecord matchInputFromPlayers(const std::array<PlayerInput, 2>& inputs);
