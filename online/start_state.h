#pragma once
// How an online series starts alike on both machines: the host sets up the series'
// first bout with its own options and seed, and sends the whole state, compressed, as
// the handshake's settings; the joiner restores it. Nothing of the joiner's own
// options, prefs or scores plays a part.
//
// The settings' bytes: a format byte, the mode (0 versus, 1 co-op), the music track
// last started (so both machines play the same music), then the zlib stream of the
// snapshot.

#include <cstdint>
#include <span>
#include <vector>

class Game;

// Starts the series' first bout in `game` (versus, or the co-operative campaign) with
// an empty name entry and the palette as at start-up, and returns its settings bytes.
std::vector<uint8_t> beginOnlineSeries(Game& game, bool coop);
// The settings bytes of the state `game` holds.
std::vector<uint8_t> startSettings(const Game& game);

// Restores the host's start from its settings bytes; false, with the game holding no
// meaningful match, when they are not a versus or co-op start of this format.
bool adoptStartState(Game& game, std::span<const uint8_t> settings);
