// The replay file format: records, header, compression, and the checks that refuse a
// file this build cannot play exactly or that is not a replay at all.
#include "replay/replay_file.h"

#include <unistd.h>
#include <zlib.h>

#include <array>
#include <cstring>

#include "platform/regular_file.h"

namespace {

constexpr char Magic[8] = {'T', 'B', 'R', 'E', 'P', 'L', 'A', 'Y'};
constexpr std::size_t HeaderBytes = 38;
constexpr std::size_t MaxFileBytes = 16u << 20;        // hours of play compress to well under this
constexpr uint32_t MaxSnapshotBytes = 1u << 20;        // a full snapshot is about half of this
constexpr uint32_t MaxRecordBytes = 64u << 20;
constexpr uint32_t MaxInflateRatio = 1032;             // zlib's best compression ratio

// Record flags: what follows the held keys.
constexpr uint8_t PausedFlag = 1;     // heldAfterPause differs: two more bytes
constexpr uint8_t PressesFlag = 2;    // presses of P: one byte
constexpr uint8_t TypedFlag = 4;      // typed characters: a two-byte length, then the bytes

const std::array<const char*, 4> ModeNames = {"", "1", "2coop", "2vs"};

void put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}
void put64(std::vector<uint8_t>& out, uint64_t v) {
    for (int shift = 0; shift < 64; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}
uint64_t getBytes(const uint8_t* at, int count) {
    uint64_t v = 0;
    for (int i = count - 1; i >= 0; --i) v = (v << 8) | at[i];
    return v;
}

int modeCode(const std::string& mode) {
    for (std::size_t code = 1; code < ModeNames.size(); ++code)
        if (mode == ModeNames[code]) return static_cast<int>(code);
    return 0;
}

ReplayResult refused(const std::string& why) {
    ReplayResult result;
    result.error = why;
    return result;
}

// Inflates exactly `expected` bytes; false when the stream is corrupt, short or longer.
bool inflateExactly(const uint8_t* data, std::size_t size, std::size_t expected, std::vector<uint8_t>& out) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return false;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    constexpr std::size_t Chunk = 64 * 1024;
    int status = Z_OK;
    while (status == Z_OK) {
        // Grow only as output actually arrives, never to a size the header merely claims.
        const std::size_t used = out.size();
        if (used > expected) break;
        out.resize(used + Chunk);
        stream.next_out = out.data() + used;
        stream.avail_out = static_cast<uInt>(Chunk);
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(used + Chunk - stream.avail_out);
        if (status == Z_OK && stream.avail_in == 0 && stream.avail_out != 0) break;  // ran out of input
    }
    const bool whole = status == Z_STREAM_END && stream.avail_in == 0 && out.size() == expected;
    inflateEnd(&stream);
    return whole;
}

}  // namespace

void appendRecord(std::vector<uint8_t>& records, const InputRecord& input) {
    uint8_t flags = 0;
    if (input.heldAfterPause != input.held) flags |= PausedFlag;
    if (input.pauseHits != 0) flags |= PressesFlag;
    if (!input.typed.empty()) flags |= TypedFlag;
    records.push_back(flags);
    put16(records, input.held);
    if (flags & PausedFlag) put16(records, input.heldAfterPause);
    if (flags & PressesFlag) records.push_back(input.pauseHits);
    if (flags & TypedFlag) {
        put16(records, static_cast<uint16_t>(input.typed.size()));
        records.insert(records.end(), input.typed.begin(), input.typed.end());
    }
}

bool readRecord(const std::vector<uint8_t>& records, std::size_t& offset, InputRecord& input) {
    const auto left = [&] { return records.size() - offset; };
    if (offset > records.size() || left() < 3) return false;
    const uint8_t flags = records[offset];
    input.held = static_cast<uint16_t>(getBytes(&records[offset + 1], 2));
    offset += 3;
    if ((flags & ~(PausedFlag | PressesFlag | TypedFlag)) != 0 || (input.held & ~AllMatchKeys) != 0) return false;
    input.heldAfterPause = input.held;
    input.pauseHits = 0;
    input.typed.clear();
    if (flags & PausedFlag) {
        if (left() < 2) return false;
        input.heldAfterPause = static_cast<uint16_t>(getBytes(&records[offset], 2));
        offset += 2;
        if ((input.heldAfterPause & ~AllMatchKeys) != 0 || input.heldAfterPause == input.held) return false;
    }
    if (flags & PressesFlag) {
        if (left() < 1 || records[offset] == 0) return false;
        input.pauseHits = records[offset++];
    }
    if (flags & TypedFlag) {
        if (left() < 2) return false;
        const std::size_t length = getBytes(&records[offset], 2);
        offset += 2;
        if (length == 0 || length > TypedQueueCapacity || left() < length) return false;
        input.typed.assign(records.begin() + static_cast<std::ptrdiff_t>(offset),
                           records.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
    }
    return true;
}

std::vector<uint8_t> encodeReplay(const Replay& replay) {
    std::vector<uint8_t> payload = replay.snapshot;
    payload.insert(payload.end(), replay.records.begin(), replay.records.end());
    uLongf packedSize = compressBound(static_cast<uLong>(payload.size()));
    std::vector<uint8_t> packed(packedSize);
    compress2(packed.data(), &packedSize, payload.data(), static_cast<uLong>(payload.size()), Z_BEST_COMPRESSION);
    packed.resize(packedSize);

    std::vector<uint8_t> out(Magic, Magic + sizeof Magic);
    put32(out, ReplayFormatVersion);
    put64(out, replay.fingerprint);
    out.push_back(static_cast<uint8_t>(modeCode(replay.mode)));
    out.push_back(static_cast<uint8_t>(replay.level));
    put32(out, static_cast<uint32_t>(replay.frames));
    put32(out, static_cast<uint32_t>(replay.snapshot.size()));
    put32(out, static_cast<uint32_t>(replay.records.size()));
    put32(out, static_cast<uint32_t>(crc32(0, payload.data(), static_cast<uInt>(payload.size()))));
    out.insert(out.end(), packed.begin(), packed.end());
    return out;
}

ReplayResult decodeReplay(const uint8_t* data, std::size_t size, uint64_t fingerprint) {
    if (size < HeaderBytes || std::memcmp(data, Magic, sizeof Magic) != 0) return refused("not a Tumblebout replay");
    if (getBytes(data + 8, 4) != ReplayFormatVersion) return refused("a replay format this version cannot read");
    if (getBytes(data + 12, 8) != fingerprint)
        return refused("recorded by another build of the game, whose matches would play out differently");
    const int mode = data[20], level = data[21];
    const uint64_t frames = getBytes(data + 22, 4);
    const uint64_t snapshotBytes = getBytes(data + 26, 4);
    const uint64_t recordBytes = getBytes(data + 30, 4);
    const uint32_t crc = static_cast<uint32_t>(getBytes(data + 34, 4));
    const std::size_t packedBytes = size - HeaderBytes;
    const uint64_t payloadBytes = snapshotBytes + recordBytes;
    if (mode < 1 || mode > 3 || level < 1 || level > 20 || snapshotBytes > MaxSnapshotBytes ||
        recordBytes > MaxRecordBytes || frames * 3 > recordBytes || payloadBytes > packedBytes * MaxInflateRatio)
        return refused("a damaged replay (its header does not add up)");

    std::vector<uint8_t> payload;
    if (!inflateExactly(data + HeaderBytes, packedBytes, payloadBytes, payload) ||
        crc32(0, payload.data(), static_cast<uInt>(payload.size())) != crc)
        return refused("a damaged replay (its contents are cut short or corrupt)");

    ReplayResult result;
    Replay& replay = result.replay;
    replay.fingerprint = fingerprint;
    replay.mode = ModeNames[static_cast<std::size_t>(mode)];
    replay.level = level;
    replay.frames = static_cast<int>(frames);
    replay.snapshot.assign(payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(snapshotBytes));
    replay.records.assign(payload.begin() + static_cast<std::ptrdiff_t>(snapshotBytes), payload.end());
    // Every record must read, and together they must fill the records exactly.
    std::size_t offset = 0;
    InputRecord input;
    for (uint64_t frame = 0; frame < frames; ++frame) {
        if (!readRecord(replay.records, offset, input)) return refused("a damaged replay (a frame's input is unreadable)");
    }
    if (offset != replay.records.size()) return refused("a damaged replay (input beyond its last frame)");
    return result;
}

ReplayResult readReplayFile(const std::string& path, uint64_t fingerprint) {
    // Only a regular file, opened without blocking: a FIFO given by mistake cannot hang.
    std::vector<uint8_t> bytes;
    if (!readRegularFile(path, MaxFileBytes, bytes))
        return refused("cannot read " + path + " as a replay (missing, empty, not a regular file or far too large)");
    ReplayResult result = decodeReplay(bytes.data(), bytes.size(), fingerprint);
    if (!result.error.empty()) result.error = path + ": " + result.error;
    return result;
}

bool beginsWithReplayHeader(const std::string& path) {
    const int fd = openRegularDescriptor(path, false);
    if (fd < 0) return false;
    uint8_t header[HeaderBytes];
    const ssize_t got = read(fd, header, sizeof header);
    close(fd);
    return got == static_cast<ssize_t>(sizeof header) && std::memcmp(header, Magic, sizeof Magic) == 0;
}
