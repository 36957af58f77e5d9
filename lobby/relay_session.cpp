// Forwarding between the two sides of a relay.
#include "lobby/relay_session.h"

#include "lobby/lobby_messages.h"

RelaySession::RelaySession(uint64_t token, double nowMs, const RelayLimits& limits)
    : token_(token),
      limits_(limits),
      startMs_(nowMs),
      lastHeardMs_(nowMs),
      budgets_{TokenBucket(limits.bandwidth, nowMs), TokenBucket(limits.bandwidth, nowMs)} {}

std::optional<Endpoint> RelaySession::route(const Endpoint& from, std::span<const uint8_t> bytes, double nowMs) {
    const std::optional<LobbyMessage> message = decodeLobbyMessage(bytes);
    const auto* hello = message ? std::get_if<lobby::RelayHello>(&*message) : nullptr;
    if (hello != nullptr && hello->token == token_) {
        const int side = static_cast<int>(hello->side);
        if (!sides_[side] && sides_[1 - side] != from) sides_[side] = from;
        if (sides_[side] == from) lastHeardMs_ = nowMs;
        return std::nullopt;
    }
    for (int side = 0; side < 2; ++side) {
        if (sides_[side] != from || !sides_[1 - side]) continue;
        lastHeardMs_ = nowMs;
        if (!budgets_[side].take(limits_.bandwidth, static_cast<double>(bytes.size()), nowMs)) {
            ++dropped_;
            return std::nullopt;
        }
        forwarded_[side] += bytes.size();
        return sides_[1 - side];
    }
    return std::nullopt;
}

std::string RelaySession::summary(uint16_t port, double nowMs) const {
    const auto side = [](const std::optional<Endpoint>& e) { return e ? toString(*e) : std::string("nobody"); };
    return "relay on port " + std::to_string(port) + " between " + side(sides_[0]) + " and " + side(sides_[1]) +
           ": " + std::to_string(static_cast<long>((nowMs - startMs_) / 1000)) + " s, " +
           std::to_string(forwarded_[0]) + " B from the host, " + std::to_string(forwarded_[1]) +
           " B from the joiner, " + std::to_string(dropped_) + " datagrams over the cap";
}
