#pragma once
// The invite service's tables and answers, apart from any socket: a datagram comes in
// with its source address and the time, answers go out. Hosts hold codes while they
// refresh them; a lookup of a live code introduces the two sides to each other and
// remembers the pair (a pairing) for a while, so that the joiner may ask for a relay
// between exactly those two. Every table is bounded, registrations and lookups are
// rate-limited per source address (so guessing codes is slow), and an answer never
// goes to anyone but the requester and the host that registered, nor is it larger than
// its request. One line is logged when a code ends.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "lobby/lobby_messages.h"
#include "lobby/rate_limiter.h"

struct LobbyLimits {
    size_t maxHosts = 20000;          // live codes
    size_t maxPairings = 20000;       // introductions remembered for a relay request
    size_t maxAddresses = 100000;     // sources tracked by each rate limit
    double codeLifeMs = 7000;         // a code dies this long after its last refresh
    double pairingLifeMs = 60000;     // an introduction may ask for a relay this long
    RateLimit registrations{30, 5};   // per source address: registrations and refreshes
    RateLimit lookups{10, 1};         // per source address: lookups and relay requests
};

struct Outgoing {
    Endpoint to;
    std::vector<uint8_t> bytes;
};

class LobbyService {
public:
    // The port of the relay for `token` (the same one when asked again), or nothing when
    // every relay is taken.
    using OpenRelay = std::function<std::optional<uint16_t>(uint64_t token)>;
    using Log = std::function<void(const std::string& line)>;
    using Random = std::function<uint64_t()>;  // never zero

    LobbyService(const LobbyLimits& limits, Random random, OpenRelay openRelay, Log log);

    // Takes one datagram from `from` and appends what goes out in answer.
    void receive(const Endpoint& from, std::span<const uint8_t> bytes, double nowMs, std::vector<Outgoing>& out);
    // Ends the codes and pairings whose time is up.
    void expire(double nowMs);

    size_t hostCount() const { return hosts_.size(); }
    size_t pairingCount() const { return pairings_.size(); }

private:
    struct Hosted {
        InviteCode code;
        Endpoint publicAddress;
        Endpoint privateAddress;
        double sinceMs = 0;
        double refreshedMs = 0;
        int lookups = 0;
    };
    struct Pairing {
        uint64_t nonce = 0;
        Endpoint hostPublic;
        Endpoint joinerPublic;
        lobby::Introduction toJoiner;
        lobby::Introduction toHost;
        double sinceMs = 0;
    };

    void take(const Endpoint& from, const lobby::Register& message, double nowMs, std::vector<Outgoing>& out);
    void take(const Endpoint& from, const lobby::Close& message, double nowMs);
    void take(const Endpoint& from, const lobby::Lookup& message, double nowMs, std::vector<Outgoing>& out);
    void take(const Endpoint& from, const lobby::RelayRequest& message, std::vector<Outgoing>& out);
    std::optional<InviteCode> freshCode();
    void introduce(const Pairing& pairing, std::vector<Outgoing>& out) const;
    void endHost(uint64_t secret, const char* why, double nowMs);

    LobbyLimits limits_;
    Random random_;
    OpenRelay openRelay_;
    Log log_;
    RateLimiter registrations_;
    RateLimiter lookups_;
    std::unordered_map<uint64_t, Hosted> hosts_;            // by the host's secret
    std::unordered_map<std::string, uint64_t> secretsByCode_;
    std::unordered_map<uint64_t, Pairing> pairings_;        // by token
    std::unordered_map<uint64_t, uint64_t> tokensByNonce_;  // a joiner's lookup asked again
};
