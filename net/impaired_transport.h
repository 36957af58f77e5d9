#pragma once
// A bad network on demand: wraps a transport and delays and drops the datagrams this
// side sends (--net-delay, --net-loss), to try the netcode on the loopback interface.
// Only unreliable datagrams are dropped; reliable ones are only delayed, since the real
// transport resends those. Loss draws from a generator of its own, never the game's.

#include <cstdint>
#include <vector>

#include "net/transport.h"

struct Impairment {
    double delayMs = 0;   // added to every datagram sent
    double jitterMs = 0;  // plus up to this much more, so unreliable datagrams may overtake each other
    int lossPercent = 0;  // of unreliable datagrams, 0 to 100
    uint64_t seed = 1;    // of the loss and jitter draws
};

class ImpairedTransport final : public Transport {
public:
    ImpairedTransport(Transport& inner, const Impairment& impairment);
    // What is still held back is sent at once, so a last leave packet is not lost.
    ~ImpairedTransport() override;

    void send(std::span<const uint8_t> bytes, Delivery delivery) override;
    void poll(double nowMs, std::vector<LinkEvent>& events) override;
    void disconnect() override;

private:
    struct Held {
        double dueMs;
        Delivery delivery;
        std::vector<uint8_t> bytes;
    };

    uint32_t draw();  // the next 32 random bits
    void release(double nowMs);

    Transport& inner_;
    Impairment impairment_;
    uint64_t state_;
    double nowMs_ = 0;               // the time of the latest poll; sends are stamped with it
    double lastReliableDueMs_ = 0;   // reliable datagrams keep their order
    std::vector<Held> held_;         // in the order sent
    bool disconnectAfterRelease_ = false;
};
