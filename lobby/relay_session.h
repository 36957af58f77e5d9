#pragma once
// One relayed match, on a port of its own: what arrives there from one side goes on,
// unchanged, to the other, so ENet runs over the relay as over any path. Each side
// names its address with a RelayHello carrying the session's token (sent from the
// game's own socket, so through that side's router as the match's datagrams will be);
// the first address to do so is that side's for the relay's life. Anything else is
// dropped: datagrams from other addresses, from a side whose partner has not said
// hello yet, or past the bandwidth cap. The relay ends after a silence.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "lobby/endpoint.h"
#include "lobby/token_bucket.h"

struct RelayLimits {
    // Bytes each way: a match sends about 4 KB/s, and its start (the host's welcome) a
    // few kilobytes at once.
    RateLimit bandwidth{128 * 1024, 64 * 1024};
    double silenceMs = 15000;                   // no datagram from either side: the relay ends
};

class RelaySession {
public:
    RelaySession(uint64_t token, double nowMs, const RelayLimits& limits);

    // Where the datagram from `from` goes on to, if anywhere.
    std::optional<Endpoint> route(const Endpoint& from, std::span<const uint8_t> bytes, double nowMs);
    bool expired(double nowMs) const { return nowMs - lastHeardMs_ > limits_.silenceMs; }
    uint64_t token() const { return token_; }
    // The log line of its end: the two sides, how long, how much went each way.
    std::string summary(uint16_t port, double nowMs) const;

private:
    uint64_t token_;
    RelayLimits limits_;
    double startMs_;
    double lastHeardMs_;
    std::optional<Endpoint> sides_[2];   // the host's, the joiner's
    TokenBucket budgets_[2];            // bytes from each side
    uint64_t forwarded_[2] = {0, 0};    // bytes from each side
    uint64_t dropped_ = 0;              // datagrams over the cap
};
