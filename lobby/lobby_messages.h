#pragma once
// The invite service's datagrams, and the few the two games send each other around it
// (punching, the LAN search). Each starts with the magic "TBLB", the version and a type
// byte, then fixed-width little-endian fields: every type has exactly one size, and
// anything else is dropped. A request carries zero padding up to the size of the
// service's answer, so no answer is larger than what asked for it: the service cannot
// amplify a flood sent from a forged address.
//
// The conversation:
//   host -> service    Register (every kRefreshIntervalMs)  -> Registered: the code
//   joiner -> service  Lookup (the code)                    -> Introduction, to both sides,
//                                                              or NoSuchCode
//   both, each other   Punch pings and answers, to the other's public and private address
//   joiner -> service  RelayRequest, when no path answered  -> RelayOffer, to both sides
//   both -> relay port RelayHello; then the relay forwards everything else between them
//   host -> service    Close, once its match started
// A datagram of another version gets OtherVersion back.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "lobby/endpoint.h"
#include "lobby/invite_code.h"

inline constexpr uint8_t kLobbyVersion = 1;
inline constexpr uint16_t kDefaultLobbyPort = 27616;
inline constexpr uint16_t kLanDiscoveryPort = 27617;  // where hosts answer LAN searches
inline constexpr size_t kLanNameBytes = 24;           // a hosted game's name in a LAN answer
inline constexpr double kRefreshIntervalMs = 2000;    // a host registers again this often
inline constexpr double kServiceAnswerMs = 3000;      // a client's wait before "cannot be reached"

namespace lobby {

// Host -> service: a new code, or the same one again (a refresh), keyed by the secret
// the host drew; `privateAddress` is the host's own idea of its address.
struct Register {
    uint64_t secret = 0;
    Endpoint privateAddress;
};

// Service -> host: its code, and its address as the service saw it.
struct Registered {
    InviteCode code;
    Endpoint publicAddress;
};

enum class CloseReason : uint8_t { MatchStarted = 1, Cancelled };

// Host -> service: the code dies now.
struct Close {
    uint64_t secret = 0;
    CloseReason reason = CloseReason::MatchStarted;
};

// Joiner -> service: who hosts this code? `nonce` comes back in the answer.
struct Lookup {
    uint64_t nonce = 0;
    InviteCode code;
    Endpoint privateAddress;
};

// Service -> joiner (with its nonce) and host (with its secret): the other side's
// addresses, and the token both put in their punches and relay hellos.
struct Introduction {
    uint64_t nonce = 0;
    uint64_t token = 0;
    Endpoint peerPublic;
    Endpoint peerPrivate;
};

// Service -> joiner: no live code is that one.
struct NoSuchCode {
    uint64_t nonce = 0;
};

// Joiner -> service: punching found no path; relay us.
struct RelayRequest {
    uint64_t token = 0;
};

// Service -> both: the relay for `token` listens on the service's address at `port`.
struct RelayOffer {
    uint64_t token = 0;
    uint16_t port = 0;
};

// Service -> joiner: no relay for that token (unknown, or every relay is taken).
struct RelayRefused {
    uint64_t token = 0;
};

enum class RelaySide : uint8_t { Host = 0, Joiner = 1 };

// Either side -> the relay's port: this address is my side of `token`'s relay.
struct RelayHello {
    uint64_t token = 0;
    RelaySide side = RelaySide::Host;
};

// Game <-> game, from the game's own socket: a ping, or the answer to one (which
// echoes its stamp, so the pinging side learns the round trip of that path).
struct Punch {
    uint64_t token = 0;
    bool answer = false;
    uint32_t stampMs = 0;
};

// Joiner -> broadcast: who hosts on this network?
struct LanQuery {
    uint64_t nonce = 0;
};

// Host -> joiner: a game hosted at the answer's source address and `gamePort`.
struct LanAnswer {
    uint64_t nonce = 0;
    uint16_t gamePort = 0;
    uint8_t kind = 0;     // what is hosted, the game's own number
    uint64_t build = 0;   // the host's build fingerprint: another build cannot join
    std::string name;     // printable ASCII, at most kLanNameBytes
};

// A datagram of another version (decoded from one), or the service's answer to one.
struct OtherVersion {
    uint8_t version = kLobbyVersion;
};

}  // namespace lobby

using LobbyMessage =
    std::variant<lobby::Register, lobby::Registered, lobby::Close, lobby::Lookup, lobby::Introduction,
                 lobby::NoSuchCode, lobby::RelayRequest, lobby::RelayOffer, lobby::RelayRefused, lobby::RelayHello,
                 lobby::Punch, lobby::LanQuery, lobby::LanAnswer, lobby::OtherVersion>;

// The message's bytes. OtherVersion always encodes as this version's own answer.
std::vector<uint8_t> encodeLobbyMessage(const LobbyMessage& message);
// The message those bytes hold, or nothing if they are not exactly one valid message.
// Any datagram with the magic and another version decodes as OtherVersion.
std::optional<LobbyMessage> decodeLobbyMessage(std::span<const uint8_t> bytes);
