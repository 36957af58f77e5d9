// The invite service's answers.
#include "lobby/lobby_service.h"


namespace {

constexpr int codeDraws = 16;  // a free code is found at once while the table is far from 19^8

std::string key(const InviteCode& code) { return std::string(code.letters.begin(), code.letters.end()); }

void send(std::vector<Outgoing>& out, const Endpoint& to, const LobbyMessage& message) {
    out.push_back({to, encodeLobbyMessage(message)});
}

}  // namespace

LobbyService::LobbyService(const LobbyLimits& limits, Random random, OpenRelay openRelay, Log log)
    : limits_(limits),
      random_(std::move(random)),
      openRelay_(std::move(openRelay)),
      log_(std::move(log)),
      registrations_(limits.registrations, limits.maxAddresses),
      lookups_(limits.lookups, limits.maxAddresses) {}

void LobbyService::receive(const Endpoint& from, std::span<const uint8_t> bytes, double nowMs,
                           std::vector<Outgoing>& out) {
    const std::optional<LobbyMessage> message = decodeLobbyMessage(bytes);
    if (!message) return;
    if (const auto* m = std::get_if<lobby::Register>(&*message)) {
        if (registrations_.allow(from.ip, nowMs)) take(from, *m, nowMs, out);
    } else if (const auto* m = std::get_if<lobby::Close>(&*message)) {
        take(from, *m, nowMs);
    } else if (const auto* m = std::get_if<lobby::Lookup>(&*message)) {
        if (lookups_.allow(from.ip, nowMs)) take(from, *m, nowMs, out);
    } else if (const auto* m = std::get_if<lobby::RelayRequest>(&*message)) {
        if (lookups_.allow(from.ip, nowMs)) take(from, *m, out);
    } else if (std::holds_alternative<lobby::OtherVersion>(*message)) {
        if (lookups_.allow(from.ip, nowMs)) send(out, from, lobby::OtherVersion{});
    }
}

void LobbyService::take(const Endpoint& from, const lobby::Register& message, double nowMs,
                        std::vector<Outgoing>& out) {
    if (message.secret == 0) return;
    auto found = hosts_.find(message.secret);
    if (found == hosts_.end()) {
        if (hosts_.size() >= limits_.maxHosts) return;
        const std::optional<InviteCode> code = freshCode();
        if (!code) return;
        found = hosts_.emplace(message.secret, Hosted{*code, from, message.privateAddress, nowMs, nowMs, 0}).first;
        secretsByCode_.emplace(key(*code), message.secret);
    }
    Hosted& hosted = found->second;
    hosted.publicAddress = from;  // a router may have given the host a new mapping
    hosted.privateAddress = message.privateAddress;
    hosted.refreshedMs = nowMs;
    send(out, from, lobby::Registered{hosted.code, from});
}

void LobbyService::take(const Endpoint&, const lobby::Close& message, double nowMs) {
    if (hosts_.count(message.secret) == 0) return;
    endHost(message.secret, message.reason == lobby::CloseReason::MatchStarted ? "the match started" : "hosting ended",
            nowMs);
}

void LobbyService::take(const Endpoint& from, const lobby::Lookup& message, double nowMs,
                        std::vector<Outgoing>& out) {
    if (const auto asked = tokensByNonce_.find(message.nonce); asked != tokensByNonce_.end()) {
        const Pairing& pairing = pairings_.at(asked->second);
        if (pairing.joinerPublic == from) introduce(pairing, out);
        return;
    }
    const auto secret = secretsByCode_.find(key(message.code));
    if (secret == secretsByCode_.end()) {
        send(out, from, lobby::NoSuchCode{message.nonce});
        return;
    }
    if (pairings_.size() >= limits_.maxPairings || message.nonce == 0) return;
    Hosted& hosted = hosts_.at(secret->second);
    ++hosted.lookups;
    const uint64_t token = random_();
    Pairing pairing;
    pairing.nonce = message.nonce;
    pairing.hostPublic = hosted.publicAddress;
    pairing.joinerPublic = from;
    pairing.toJoiner = {message.nonce, token, hosted.publicAddress, hosted.privateAddress};
    // The host's copy carries its secret: nobody else can make it punch anywhere.
    pairing.toHost = {secret->second, token, from, message.privateAddress};
    pairing.sinceMs = nowMs;
    introduce(pairing, out);
    tokensByNonce_.emplace(message.nonce, token);
    pairings_.emplace(token, pairing);
}

void LobbyService::take(const Endpoint& from, const lobby::RelayRequest& message, std::vector<Outgoing>& out) {
    const auto found = pairings_.find(message.token);
    // Only the joiner of that pairing may ask: nobody else learns where the relay is.
    const std::optional<uint16_t> port =
        found != pairings_.end() && found->second.joinerPublic == from ? openRelay_(message.token) : std::nullopt;
    if (!port) {
        send(out, from, lobby::RelayRefused{message.token});
        return;
    }
    send(out, from, lobby::RelayOffer{message.token, *port});
    send(out, found->second.hostPublic, lobby::RelayOffer{message.token, *port});
}

std::optional<InviteCode> LobbyService::freshCode() {
    for (int draw = 0; draw < codeDraws; ++draw) {
        // 35 bits cover 19^8 about twice: half the draws land in range.
        const std::optional<InviteCode> code = inviteCodeFromNumber(random_() & ((uint64_t{1} << 35) - 1));
        if (code && secretsByCode_.count(key(*code)) == 0) return code;
    }
    return std::nullopt;
}

void LobbyService::introduce(const Pairing& pairing, std::vector<Outgoing>& out) const {
    send(out, pairing.joinerPublic, pairing.toJoiner);
    send(out, pairing.hostPublic, pairing.toHost);
}

void LobbyService::endHost(uint64_t secret, const char* why, double nowMs) {
    const Hosted& hosted = hosts_.at(secret);
    log_("code " + toString(hosted.code) + " hosted from " + toString(hosted.publicAddress) + " (private " +
         toString(hosted.privateAddress) + "): looked up " + std::to_string(hosted.lookups) + " times in " +
         std::to_string(static_cast<long>((nowMs - hosted.sinceMs) / 1000)) + " s; ended: " + why);
    secretsByCode_.erase(key(hosted.code));
    hosts_.erase(secret);
}

void LobbyService::expire(double nowMs) {
    std::vector<uint64_t> silent;
    for (const auto& [secret, hosted] : hosts_)
        if (nowMs - hosted.refreshedMs > limits_.codeLifeMs) silent.push_back(secret);
    for (const uint64_t secret : silent) endHost(secret, "no refresh", nowMs);
    std::erase_if(pairings_, [&](const auto& entry) {
        const bool old = nowMs - entry.second.sinceMs > limits_.pairingLifeMs;
        if (old) tokensByNonce_.erase(entry.second.nonce);
        return old;
    });
}
