// Connecting two machines: the link and the handshake.
#include "online/online_link.h"

#include "game/fingerprint.h"
#include "net/handshake.h"
#include "platform/backend.h"

namespace {

void impair(OnlineLink& link, const Impairment& impairment) {
    if (impairment.delayMs > 0 || impairment.lossPercent > 0)
        link.impaired = std::make_unique<ImpairedTransport>(*link.enet, impairment);
}

LinkResult host(const OnlineOptions& options, const Impairment& impairment, std::vector<uint8_t> settings,
                const std::function<bool(uint16_t)>& waiting) {
    LinkResult result;
    auto link = std::make_unique<OnlineLink>();
    link->enet = EnetTransport::host(options.address, options.port, sessionFullRefusal(), result.error);
    if (!link->enet) return result;
    impair(*link, impairment);
    link->inputDelay = options.inputDelay;
    HostHandshake handshake(link->transport(), simulationFingerprint(), settings, options.inputDelay);
    const uint16_t port = link->enet->port();
    while (handshake.poll(systemMilliseconds()) != HandshakeState::Ready) {
        if (!waiting(port)) {
            result.cancelled = true;
            return result;
        }
    }
    link->settings = std::move(settings);
    result.link = std::move(link);
    return result;
}

LinkResult join(const OnlineOptions& options, const Impairment& impairment,
                const std::function<bool(uint16_t)>& waiting) {
    LinkResult result;
    auto link = std::make_unique<OnlineLink>();
    link->enet = EnetTransport::join(options.address, options.port, result.error);
    if (!link->enet) return result;
    impair(*link, impairment);
    JoinHandshake handshake(link->transport(), simulationFingerprint(), systemMilliseconds());
    HandshakeState state = HandshakeState::Waiting;
    while ((state = handshake.poll(systemMilliseconds())) == HandshakeState::Waiting) {
        if (!waiting(0)) {
            result.cancelled = true;
            return result;
        }
    }
    if (state == HandshakeState::Failed) {
        result.error = std::string("cannot join ") + options.address + ": " + describeJoinFailure(handshake.failure());
        return result;
    }
    link->inputDelay = handshake.welcome().inputDelay;
    link->settings = handshake.welcome().settings;
    result.link = std::move(link);
    return result;
}

}  // namespace

LinkResult connectOnline(const OnlineOptions& options, const Impairment& impairment, std::vector<uint8_t> settings,
                         const std::function<bool(uint16_t)>& waiting) {
    if (options.role == OnlineRole::Host) return host(options, impairment, std::move(settings), waiting);
    return join(options, impairment, waiting);
}

std::string waitingMessage(uint16_t port) { return "WAITING FOR AN OPPONENT ON PORT " + std::to_string(port); }
