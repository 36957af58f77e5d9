#pragma once
// Punching toward one peer: a ping to each of its candidate addresses at once, every
// kPunchIntervalMs, from the game's socket. Sending opens this side's router for the
// peer's answers; once both sides have sent, a ping gets through and is answered with
// its stamp. An answer proves a path that works both ways through both routers, and
// times its round trip. A relay's address joins the candidates once offered: it is
// greeted with RelayHello before each ping, so the relay knows this side's address.

#include <cstdint>
#include <optional>
#include <vector>

#include "lobby/lobby_messages.h"
#include "net/socket_tap.h"

inline constexpr double kPunchIntervalMs = 100;

class PathProbe {
public:
    PathProbe(uint64_t token, lobby::RelaySide side);

    uint64_t token() const { return token_; }
    void addCandidate(const Endpoint& address);
    void addRelay(const Endpoint& address);
    // Sends the pings (and hellos) that are due; stop() ends them.
    void punch(SocketTap& tap, double nowMs);
    void stop() { punching_ = false; }
    // Takes a punch with this probe's token: answers a ping; times an answer.
    void take(SocketTap& tap, const Endpoint& from, const lobby::Punch& punch, double nowMs);

    // The first address whose answer came, if any.
    std::optional<Endpoint> firstAnswered() const { return firstAnswered_; }
    bool isRelay(const Endpoint& address) const { return relay_ == address; }
    // The latest round trip measured to `address`, in milliseconds.
    std::optional<double> roundTripTo(const Endpoint& address) const;

private:
    struct Path {
        Endpoint address;
        double roundTripMs = -1;  // -1: no answer yet
    };

    Path& pathTo(const Endpoint& address);

    uint64_t token_;
    lobby::RelaySide side_;
    std::vector<Endpoint> candidates_;
    std::optional<Endpoint> relay_;
    std::vector<Path> answered_;  // answers may come from an address not pinged: a router's new port
    std::optional<Endpoint> firstAnswered_;
    double lastPunchMs_ = -1e18;
    bool punching_ = true;
};
