#pragma once
// The packets two Tumblebout instances exchange, and their bytes: a type byte, then
// fixed-width little-endian fields. Every datagram from the network is untrusted:
// decodePacket accepts exactly one well-formed packet of a known type, with its size,
// counts, enumerations and frame numbers in range, and refuses anything else. Whether
// a frame number fits the rollback window is the session's check, since it knows it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <variant>
#include <vector>

#include "net/player_input.h"

// Raised whenever the packets or their meaning change; peers of different versions
// are refused in the handshake.
inline constexpr uint16_t kProtocolVersion = 1;

inline constexpr size_t kMaxSettingsBytes = 16 * 1024;  // the host's settings blob in the welcome (a start state)
inline constexpr int kMaxInputDelay = 8;          // frames
inline constexpr int kMaxInputsPerPacket = 48;    // more than the window ever leaves unacknowledged
inline constexpr size_t kMaxPacketBytes = 4 + kMaxSettingsBytes;  // the largest welcome
inline constexpr uint16_t kNoEcho = 0xFFFF;       // InputsPacket::echoHeldMs before any stamp

enum class PacketType : uint8_t { JoinRequest = 1, Welcome, Refusal, Inputs, Checksum, Leave };

enum class RefusalReason : uint8_t {
    VersionMismatch = 1,  // another protocol version
    DifferentBuild,       // another simulation build: the two would diverge
    SessionFull,          // the host already plays an opponent
};

enum class LeaveReason : uint8_t {
    Quit = 1,  // the player left (Esc)
    Desync,    // the confirmed states differ
    Finished,  // the agreed last frame is confirmed on both sides
};

// The joiner's first packet.
struct JoinRequest {
    uint16_t protocolVersion = kProtocolVersion;
    uint64_t buildFingerprint = 0;
};

// The host's answer when it accepts: what both sides play with.
struct Welcome {
    uint8_t inputDelay = 0;         // frames, at most kMaxInputDelay
    std::vector<uint8_t> settings;  // opaque to the net core, at most kMaxSettingsBytes
};

struct Refusal {
    RefusalReason reason = RefusalReason::VersionMismatch;
};

// The sender's inputs not yet acknowledged, sent every frame so a lost packet is
// covered by the next, plus what the receiver needs for acks, time sync and the
// round trip.
struct InputsPacket {
    int32_t senderFrame = 0;   // the next frame the sender will run for the first time
    int8_t advantage = 0;      // the sender's estimate of how many frames it runs ahead
    int32_t received = 0;      // how many of the receiver's frames the sender holds (an ack)
    uint32_t stampMs = 0;      // the sender's clock when sending
    uint32_t echoStampMs = 0;  // the newest stamp the sender has received from the receiver
    uint16_t echoHeldMs = kNoEcho;  // how long it held that stamp before this packet
    int32_t firstFrame = 0;    // the frame of inputs[0]; the others follow in order
    std::vector<PlayerInput> inputs;  // at most kMaxInputsPerPacket
};

// A checksum of the confirmed state at the start of `frame`.
struct ChecksumPacket {
    int32_t frame = 0;
    uint64_t checksum = 0;
};

struct Leave {
    LeaveReason reason = LeaveReason::Quit;
};

using Packet = std::variant<JoinRequest, Welcome, Refusal, InputsPacket, ChecksumPacket, Leave>;

// The packet's bytes. Fields out of range (too many inputs or settings, a negative
// frame) are a programmer error.
std::vector<uint8_t> encodePacket(const Packet& packet);
// The packet those bytes hold, or nothing if they are not exactly one valid packet.
std::optional<Packet> decodePacket(std::span<const uint8_t> bytes);
