// The joiner's side of the invite service.
#include "net/invite_join.h"

#include "lobby/random_bits.h"
#include "net/local_address.h"

namespace {

constexpr double askAgainMs = 500;  // a lookup whose answer was lost
// A relay request goes again, even once offered, in case the host's copy of the offer
// was lost; slowly, since requests count against the joiner's rate limit.
constexpr double askRelayAgainMs = 1000;

}  // namespace

InviteJoin::InviteJoin(ENetHost* socket, const Endpoint& service, const InviteCode& code, double nowMs)
    : tap_(socket), service_(service), code_(code), nonce_(randomBits()), stageStartMs_(nowMs) {}

void InviteJoin::poll(double nowMs) {
    for (const TappedMessage& tapped : tap_.take()) take(tapped, nowMs);
    const bool asking = stage_ == InviteJoinStage::AskingService || stage_ == InviteJoinStage::Relaying;
    const double interval = stage_ == InviteJoinStage::Relaying ? askRelayAgainMs : askAgainMs;
    if (asking && nowMs - lastAskedMs_ >= interval) {
        lastAskedMs_ = nowMs;
        if (stage_ == InviteJoinStage::AskingService) {
            const Endpoint privateAddress{localAddressToward(service_).value_or(0), tap_.port()};
            tap_.send(service_, lobby::Lookup{nonce_, code_, privateAddress});
        } else {
            tap_.send(service_, lobby::RelayRequest{probe_->token()});
        }
    }
    const double inStage = nowMs - stageStartMs_;
    switch (stage_) {
        case InviteJoinStage::AskingService:
            if (inStage > kServiceAnswerMs) fail(InviteJoinFailure::ServiceUnreachable);
            break;
        case InviteJoinStage::Punching:
            if (inStage > kPunchingMs) {
                stage_ = InviteJoinStage::Relaying;
                stageStartMs_ = nowMs;
                lastAskedMs_ = -1e18;
            }
            break;
        case InviteJoinStage::Relaying:
            if (inStage > kRelayingMs) fail(InviteJoinFailure::HostDidNotAnswer);
            break;
        case InviteJoinStage::Found:
        case InviteJoinStage::Failed:
            break;
    }
    if (probe_ && (stage_ == InviteJoinStage::Punching || stage_ == InviteJoinStage::Relaying))
        probe_->punch(tap_, nowMs);
}

void InviteJoin::take(const TappedMessage& tapped, double nowMs) {
    if (const auto* punch = std::get_if<lobby::Punch>(&tapped.message)) {
        if (!probe_) return;
        probe_->take(tap_, tapped.from, *punch, nowMs);
        const std::optional<Endpoint> answered = probe_->firstAnswered();
        if (answered && (stage_ == InviteJoinStage::Punching || stage_ == InviteJoinStage::Relaying)) {
            stage_ = InviteJoinStage::Found;
            hostAddress_ = *answered;
            throughRelay_ = probe_->isRelay(*answered);
            roundTripMs_ = probe_->roundTripTo(*answered).value_or(0);
            probe_->stop();
        }
        return;
    }
    if (tapped.from != service_) return;
    if (const auto* introduction = std::get_if<lobby::Introduction>(&tapped.message)) {
        if (stage_ != InviteJoinStage::AskingService || introduction->nonce != nonce_) return;
        probe_.emplace(introduction->token, lobby::RelaySide::Joiner);
        probe_->addCandidate(introduction->peerPublic);
        probe_->addCandidate(introduction->peerPrivate);
        stage_ = InviteJoinStage::Punching;
        stageStartMs_ = nowMs;
    } else if (const auto* unknown = std::get_if<lobby::NoSuchCode>(&tapped.message)) {
        if (stage_ == InviteJoinStage::AskingService && unknown->nonce == nonce_) fail(InviteJoinFailure::NoSuchCode);
    } else if (const auto* offer = std::get_if<lobby::RelayOffer>(&tapped.message)) {
        if (stage_ == InviteJoinStage::Relaying && offer->token == probe_->token())
            probe_->addRelay({service_.ip, offer->port});
    } else if (const auto* refused = std::get_if<lobby::RelayRefused>(&tapped.message)) {
        if (stage_ == InviteJoinStage::Relaying && refused->token == probe_->token()) fail(InviteJoinFailure::NoRelay);
    } else if (std::holds_alternative<lobby::OtherVersion>(tapped.message)) {
        if (stage_ == InviteJoinStage::AskingService) fail(InviteJoinFailure::ServiceOtherVersion);
    }
}

void InviteJoin::fail(InviteJoinFailure failure) {
    stage_ = InviteJoinStage::Failed;
    failure_ = failure;
    if (probe_) probe_->stop();
}
