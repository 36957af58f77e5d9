#pragma once
// Joining a host, frame by frame and without blocking: by address (a name is looked up
// on a thread), by invite code (the service introduces the two, they punch through
// their routers or fall back to the relay), or the first game a LAN search finds. Then
// ENet connects over the path found and the handshake asks the host's welcome. A
// screen polls it every frame and says what happens: each stage, and at the end
// connected (directly or through the relay, and the round trip) or why not.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "net/handshake.h"
#include "net/impaired_transport.h"
#include "net/invite_join.h"
#include "net/lan_discovery.h"
#include "net/name_lookup.h"
#include "net/peer_link.h"

struct JoinConfig {
    enum class Way : uint8_t { Address, Code, Lan };
    Way way = Way::Address;
    std::string host;             // Address: a name or a dotted number
    uint16_t port = 0;            // Address
    InviteCode code;              // Code
    std::string service;          // Code: the invite service, "HOST[:PORT]"
    uint64_t fingerprint = 0;     // this build's simulation fingerprint
    Impairment impairment;        // this side's outgoing packets, for tests
};

// The join of a game that a LAN search found (net/lan_discovery.h).
JoinConfig lanGameJoin(const LanGame& game, uint64_t fingerprint);

enum class JoinStage : uint8_t {
    Finding,     // looking up the name, asking the service, or searching the LAN
    Punching,    // trying the host's addresses
    Relaying,    // trying through the service's relay
    Connecting,  // ENet and the handshake
    Connected,   // welcomed: take the link
    Failed,
};

enum class JoinProblem : uint8_t {
    None,
    BadAddress,          // not HOST[:PORT], or the name is unknown
    NoSocket,            // no network socket could be had
    NoSuchCode,          // no live code of that name
    ServiceUnreachable,  // the invite service did not answer, or its name is unknown
    ServiceOtherVersion, // the invite service speaks another version
    HostDidNotAnswer,    // no path reached the host, or it never answered on one
    NoRelay,             // punching failed and the service had no relay free
    NoLanGame,           // the LAN search found nothing
    VersionMismatch,     // refused: another network protocol version
    DifferentBuild,      // refused: another build of the game
    SessionFull,         // refused: the host plays someone already
    BadReply,            // the host's answer makes no sense
};

struct JoinStatus {
    JoinStage stage = JoinStage::Finding;
    JoinProblem problem = JoinProblem::None;
    std::string line;                   // Failed: one line why
    std::string hostAddress;            // from Connecting on: where ENet connects
    bool throughRelay = false;          // that address is the service's relay
    std::optional<double> roundTripMs;  // Connected: as measured before play
};

class Joining {
public:
    explicit Joining(JoinConfig config, double nowMs);
    ~Joining();

    const JoinStatus& poll(double nowMs);
    // Once connected: the link, for the session.
    PeerLink takeLink();

private:
    void find(double nowMs);
    void connect(const Endpoint& host, double nowMs);
    void fail(JoinProblem problem, const std::string& line);
    bool openSocket();

    JoinConfig config_;
    JoinStatus status_;
    double startMs_;
    PeerLink link_;
    std::optional<NameLookup> name_;
    std::unique_ptr<LanSearch> lan_;
    std::optional<InviteJoin> invite_;  // its tap on the link's socket goes before the link
    std::optional<JoinHandshake> handshake_;
    std::vector<LinkEvent> unheard_;    // events while not connected: none matter
};
