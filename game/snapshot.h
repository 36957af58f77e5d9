#pragma once
// The whole simulated state of a match as flat bytes: everything a step reads and
// changes (the match and campaign fields, the options that steer play, the high-score
// table, the fighters, the bursts, the gates, the palette, the match's input queue and
// the random generator). Restoring a snapshot and stepping the same input records
// gives the same state, bit for bit. What only shows or sounds (music, volumes, the
// slow-motion pacing clock, the screen on show) is left out, so two machines with
// different volumes still hold equal snapshots.
//
// Layout: a version number, then the fields in a fixed order, little-endian, floats
// as their bit patterns. Dead data (the particles of a spent burst) is not kept.

#include <cstddef>
#include <cstdint>
#include <vector>

class MatchState;

constexpr uint32_t SnapshotVersion = 1;

// Writes the snapshot into `out`, replacing its contents; the capacity is kept, so a
// buffer reused frame after frame allocates only while it grows.
void saveSnapshot(const MatchState& game, std::vector<uint8_t>& out);
std::vector<uint8_t> saveSnapshot(const MatchState& game);

// Restores a snapshot taken by saveSnapshot. A snapshot of another version, a short
// one, or one holding a value no match can reach (a hostile file) gives false; the
// game then holds only safe values but no meaningful match, and must be set up anew.
bool restoreSnapshot(MatchState& game, const uint8_t* data, std::size_t size);

// 64-bit FNV-1a: the checksum of a snapshot and the build's simulation fingerprint.
uint64_t hashBytes(const uint8_t* data, std::size_t size);
