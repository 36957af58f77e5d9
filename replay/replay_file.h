#pragma once
// A replay: one match as the snapshot of its first frame and the input record of each
// of its frames. On disk: a small header (magic, format version, the simulation
// fingerprint of the build that played it, mode, level, frame count, sizes and a CRC)
// then the snapshot and the records, compressed together with zlib.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/input_record.h"

constexpr uint32_t ReplayFormatVersion = 1;

struct Replay {
    uint64_t fingerprint = 0;        // simulationFingerprint() of the build that played it
    std::string mode;                // "1", "2coop" or "2vs"
    int level = 1;                   // 1..20 (versus bouts are level 1)
    int frames = 0;                  // input records, one per frame of the match
    std::vector<uint8_t> snapshot;   // the match's first frame
    std::vector<uint8_t> records;    // the records, encoded one after another
};

// Appends one record to `records` (2 to 261 bytes; most frames take 3).
void appendRecord(std::vector<uint8_t>& records, const InputRecord& input);
// Reads the record at `offset` and moves past it; false when the bytes there are not a
// whole, valid record.
bool readRecord(const std::vector<uint8_t>& records, std::size_t& offset, InputRecord& input);

std::vector<uint8_t> encodeReplay(const Replay& replay);

struct ReplayResult {
    Replay replay;
    std::string error;  // one line when the bytes are refused; empty when all is well
};
// Refuses a replay of another build (fingerprint), another format, and a truncated,
// corrupt or hostile file. Memory grows only with data actually inflated, and no more
// than zlib's own limit of about 1032 bytes out per byte in.
ReplayResult decodeReplay(const uint8_t* data, std::size_t size, uint64_t fingerprint);
// Reads only a regular file of at most a few megabytes.
ReplayResult readReplayFile(const std::string& path, uint64_t fingerprint);
// True for a regular file that begins with a replay's header, of whatever build or
// format version: a file the game wrote, not merely one with the name of one.
bool beginsWithReplayHeader(const std::string& path);
