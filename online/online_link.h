#pragma once
// Reaching the other machine: the ENet link (with this side's outgoing packets
// impaired on demand, for tests), the handshake, and what it agreed on.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/enet_transport.h"
#include "net/impaired_transport.h"
#include "online/online_options.h"

struct OnlineLink {
    std::unique_ptr<EnetTransport> enet;
    std::unique_ptr<ImpairedTransport> impaired;  // wraps enet when asked for
    int inputDelay = 0;              // frames, the host's
    std::vector<uint8_t> settings;   // the host's start (see online/start_state.h)

    Transport& transport() { return impaired ? static_cast<Transport&>(*impaired) : *enet; }
};

struct LinkResult {
    std::unique_ptr<OnlineLink> link;  // null when none was made
    std::string error;                 // one line why, unless cancelled
    bool cancelled = false;            // `waiting` said to stop
};

// Hosts (waiting for one opponent, who is sent `settings`) or joins, as `options` say.
// `waiting` runs between polls, with the port listened on (0 for a joiner); returning
// false gives up. A joiner gives up by itself when the host does not answer.
LinkResult connectOnline(const OnlineOptions& options, const Impairment& impairment,
                         std::vector<uint8_t> settings, const std::function<bool(uint16_t port)>& waiting);

// "WAITING FOR AN OPPONENT ON PORT 27615"
std::string waitingMessage(uint16_t port);
