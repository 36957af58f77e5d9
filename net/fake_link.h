#pragma once
// Two ends of a perfect link inside one process: a datagram sent on one end arrives at
// the other on its next poll, in order, none lost. Delay and loss come from wrapping
// an end in an ImpairedTransport, as for a real link. For tests and the fuzzer: fast,
// no sockets, driven by whatever clock the caller passes.

#include <array>
#include <deque>

#include "net/transport.h"

class FakeLink {
public:
    FakeLink() = default;
    FakeLink(const FakeLink&) = delete;
    FakeLink& operator=(const FakeLink&) = delete;

    // Side 0 or 1.
    Transport& end(int side) { return ends_[side]; }
    // The cable is pulled: nothing more arrives either way, and no event says so.
    void cut() { cut_ = true; }

private:
    class End final : public Transport {
    public:
        End(FakeLink& link, int side) : link_(link), side_(side) {}
        void send(std::span<const uint8_t> bytes, Delivery delivery) override;
        void poll(double nowMs, std::vector<LinkEvent>& events) override;
        void disconnect() override;

    private:
        FakeLink& link_;
        int side_;
        bool connectedSaid_ = false;
        bool disconnectedSaid_ = false;
    };

    std::array<std::deque<std::vector<uint8_t>>, 2> waitingFor_;  // datagrams for each side
    int closedBy_ = -1;  // the side that disconnected, or -1
    bool cut_ = false;
    std::array<End, 2> ends_{End(*this, 0), End(*this, 1)};
};
