// Pings, answers and round trips of the candidate paths to a peer.
#include "net/path_probe.h"

#include <algorithm>

namespace {

constexpr size_t maxPaths = 8;  // answers from more addresses than this are not timed

uint32_t stampOf(double nowMs) { return static_cast<uint32_t>(static_cast<int64_t>(nowMs)); }

}  // namespace

PathProbe::PathProbe(uint64_t token, lobby::RelaySide side) : token_(token), side_(side) {}

void PathProbe::addCandidate(const Endpoint& address) {
    if (address.ip != 0 && std::find(candidates_.begin(), candidates_.end(), address) == candidates_.end())
        candidates_.push_back(address);
}

void PathProbe::addRelay(const Endpoint& address) {
    relay_ = address;
    addCandidate(address);
    lastPunchMs_ = -1e18;  // greet it now
}

void PathProbe::punch(SocketTap& tap, double nowMs) {
    if (!punching_ || nowMs - lastPunchMs_ < kPunchIntervalMs) return;
    lastPunchMs_ = nowMs;
    if (relay_) tap.send(*relay_, lobby::RelayHello{token_, side_});
    for (const Endpoint& candidate : candidates_) tap.send(candidate, lobby::Punch{token_, false, stampOf(nowMs)});
}

void PathProbe::take(SocketTap& tap, const Endpoint& from, const lobby::Punch& punch, double nowMs) {
    if (punch.token != token_) return;
    if (!punch.answer) {
        tap.send(from, lobby::Punch{token_, true, punch.stampMs});
        return;
    }
    const uint32_t elapsed = stampOf(nowMs) - punch.stampMs;
    if (elapsed > 60000) return;  // not a stamp of ours
    if (answered_.size() >= maxPaths && std::none_of(answered_.begin(), answered_.end(),
                                                     [&](const Path& p) { return p.address == from; }))
        return;
    pathTo(from).roundTripMs = elapsed;
    if (!firstAnswered_) firstAnswered_ = from;
}

PathProbe::Path& PathProbe::pathTo(const Endpoint& address) {
    for (Path& path : answered_)
        if (path.address == address) return path;
    return answered_.emplace_back(Path{address});
}

std::optional<double> PathProbe::roundTripTo(const Endpoint& address) const {
    for (const Path& path : answered_)
        if (path.address == address && path.roundTripMs >= 0) return path.roundTripMs;
    return std::nullopt;
}
