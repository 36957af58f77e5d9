#pragma once
// Waiting for an opponent, frame by frame and without blocking: the game's port open
// for ENet and the handshake that welcomes the first joiner that fits, and beside them
// the ways a joiner finds this host: a code from the invite service (when a service is
// named) and answers to LAN searches (when asked for). A screen polls it every frame
// and shows its status; once an opponent joined, takeLink() hands over the link.
//
// Where the round trip to the joiner is known before the welcome (it came by code, so
// its paths were timed while punching), the input delay follows it
// (net/input_delay_rule.h), unless the host fixed the delay.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/handshake.h"
#include "net/impaired_transport.h"
#include "net/invite_host.h"
#include "net/lan_discovery.h"
#include "net/name_lookup.h"
#include "net/peer_link.h"

struct HostingConfig {
    std::string bindAddress;        // "" every address, or one such as "127.0.0.1"
    uint16_t port = 0;              // 0: any free one
    std::string service;            // the invite service, "HOST[:PORT]"; "" for none
    bool answerLan = false;         // answer LAN searches
    uint8_t lanKind = 0;            // what is hosted, for LAN searches to show
    uint64_t fingerprint = 0;       // this build's simulation fingerprint
    std::vector<uint8_t> settings;  // what the welcome carries
    int inputDelay = 2;             // frames
    bool inputDelayFixed = false;   // false: the round trip decides where it is known
    Impairment impairment;          // this side's outgoing packets, for tests
};

enum class ServiceState : uint8_t {
    None,          // no service named
    Asking,        // looking up its name, or waiting for its answer
    Registered,    // the code is live
    Unreachable,   // no answer (it is still asked now and then)
    OtherVersion,  // it speaks another version of the messages
};

struct HostingStatus {
    uint16_t port = 0;              // the game's port
    std::string localAddress;       // "192.168.1.20:27615", for players on the same network; "" if none
    ServiceState service = ServiceState::None;
    std::string inviteCode;         // "HXK4-MW7P" once registered
    std::string serviceLine;        // one line when the service cannot be reached or used
    std::string lanLine;            // one line when LAN searches cannot be answered
    std::optional<RefusalReason> lastRefusal;  // why the latest joiner was turned away
    bool opponentJoined = false;    // welcomed: take the link
    int inputDelay = 0;             // frames, as the welcome carries (or will carry) it
    std::optional<double> roundTripMs;  // to the opponent, when known before play
};

class Hosting {
public:
    // Null, with `error` set, if the game's port cannot be had.
    static std::unique_ptr<Hosting> start(HostingConfig config, double nowMs, std::string& error);
    // Without an opponent, the code dies at the service at once.
    ~Hosting();

    const HostingStatus& poll(double nowMs);
    // Once an opponent joined: the link, for the session.
    PeerLink takeLink();

private:
    explicit Hosting(HostingConfig config);
    void pollService(double nowMs);
    void followRoundTrip();

    HostingConfig config_;
    HostingStatus status_;
    PeerLink link_;
    std::optional<HostHandshake> handshake_;
    std::unique_ptr<LanAnswerer> lan_;
    std::optional<NameLookup> serviceName_;
    std::optional<InviteHost> invite_;  // its tap on the link's socket goes before the link
};
