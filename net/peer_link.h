#pragma once
// A link to the other machine once the handshake is done: the ENet transport (with
// this side's outgoing packets impaired on demand, for tests) and what the host's
// welcome said.

#include <cstdint>
#include <memory>
#include <vector>

#include "net/enet_transport.h"
#include "net/impaired_transport.h"

struct PeerLink {
    std::unique_ptr<EnetTransport> enet;
    std::unique_ptr<ImpairedTransport> impaired;  // wraps enet when asked for
    int inputDelay = 0;              // frames, the host's
    std::vector<uint8_t> settings;   // the host's, opaque here

    Transport& transport() { return impaired ? static_cast<Transport&>(*impaired) : *enet; }
    // Wraps the transport when `impairment` delays or drops anything.
    void impair(const Impairment& impairment) {
        if (impairment.delayMs > 0 || impairment.lossPercent > 0)
            impaired = std::make_unique<ImpairedTransport>(*enet, impairment);
    }
};
