// The host's side of the invite service.
#include "net/invite_host.h"

#include "lobby/random_bits.h"
#include "net/local_address.h"

namespace {

constexpr double registerRetryMs = 500;  // until the service first answers
constexpr size_t maxJoiners = 4;         // introductions punched for at once
constexpr double joinerPunchMs = 20000;  // a joiner connects well within this

}  // namespace

InviteHost::InviteHost(ENetHost* socket, const Endpoint& service, double nowMs)
    : tap_(socket), service_(service), secret_(randomBits()), startMs_(nowMs) {}

void InviteHost::poll(double nowMs) {
    for (const TappedMessage& tapped : tap_.take()) take(tapped, nowMs);
    if (closed_) return;
    if (state_ == InviteHostState::Registering && nowMs - startMs_ > kServiceAnswerMs)
        state_ = InviteHostState::Unreachable;
    const double interval = state_ == InviteHostState::Registering ? registerRetryMs : kRefreshIntervalMs;
    if (nowMs - lastRegisterMs_ >= interval) {
        lastRegisterMs_ = nowMs;
        const Endpoint privateAddress{localAddressToward(service_).value_or(0), tap_.port()};
        tap_.send(service_, lobby::Register{secret_, privateAddress});
    }
    while (!joiners_.empty() && nowMs - joiners_.front().sinceMs > joinerPunchMs) joiners_.pop_front();
    for (Joiner& joiner : joiners_) joiner.probe.punch(tap_, nowMs);
}

void InviteHost::take(const TappedMessage& tapped, double nowMs) {
    if (const auto* punch = std::get_if<lobby::Punch>(&tapped.message)) {
        for (Joiner& joiner : joiners_) joiner.probe.take(tap_, tapped.from, *punch, nowMs);
        return;
    }
    if (tapped.from != service_ || closed_) return;
    if (const auto* registered = std::get_if<lobby::Registered>(&tapped.message)) {
        code_ = registered->code;
        state_ = InviteHostState::Registered;
    } else if (const auto* introduction = std::get_if<lobby::Introduction>(&tapped.message)) {
        if (introduction->nonce == secret_) introduced(*introduction, nowMs);
    } else if (const auto* offer = std::get_if<lobby::RelayOffer>(&tapped.message)) {
        for (Joiner& joiner : joiners_)
            if (joiner.probe.token() == offer->token) joiner.probe.addRelay({service_.ip, offer->port});
    } else if (std::holds_alternative<lobby::OtherVersion>(tapped.message)) {
        state_ = InviteHostState::OtherVersion;
    }
}

void InviteHost::introduced(const lobby::Introduction& introduction, double nowMs) {
    for (const Joiner& joiner : joiners_)
        if (joiner.probe.token() == introduction.token) return;  // told again
    if (joiners_.size() >= maxJoiners) joiners_.pop_front();
    Joiner& joiner = joiners_.emplace_back(Joiner{PathProbe(introduction.token, lobby::RelaySide::Host), nowMs});
    joiner.probe.addCandidate(introduction.peerPublic);
    joiner.probe.addCandidate(introduction.peerPrivate);
}

void InviteHost::close(lobby::CloseReason reason) {
    if (closed_) return;
    closed_ = true;
    tap_.send(service_, lobby::Close{secret_, reason});
    for (Joiner& joiner : joiners_) joiner.probe.stop();
}

std::optional<double> InviteHost::roundTripTo(const Endpoint& address) const {
    for (const Joiner& joiner : joiners_)
        if (const std::optional<double> roundTrip = joiner.probe.roundTripTo(address)) return roundTrip;
    return std::nullopt;
}
