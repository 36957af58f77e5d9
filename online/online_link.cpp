// Connecting two machines from the command line.
#include "online/online_link.h"

#include <cmath>

#include "game/fingerprint.h"
#include "online/last_join.h"
#include "platform/backend.h"

namespace {

std::string roundTripText(const std::optional<double>& roundTripMs) {
    if (!roundTripMs) return "";
    return " (ROUND TRIP " + std::to_string(std::lround(*roundTripMs)) + " MS)";
}

LinkResult host(const OnlineOptions& options, const Impairment& impairment, std::vector<uint8_t> settings,
                const std::function<bool(const LinkProgress&)>& waiting) {
    LinkResult result;
    HostingConfig config = hostingConfig(options, std::move(settings));
    config.impairment = impairment;
    const std::unique_ptr<Hosting> hosting = Hosting::start(config, systemMilliseconds(), result.error);
    if (!hosting) return result;
    for (const HostingStatus* status = &hosting->poll(systemMilliseconds()); !status->opponentJoined;
         status = &hosting->poll(systemMilliseconds())) {
        if (!waiting({status, nullptr})) {
            result.cancelled = true;
            return result;
        }
    }
    const HostingStatus& status = hosting->poll(systemMilliseconds());
    result.made = "AN OPPONENT JOINED" + roundTripText(status.roundTripMs) + ": INPUT DELAY " +
                  std::to_string(status.inputDelay);
    result.link = std::make_unique<OnlineLink>(hosting->takeLink());
    return result;
}

LinkResult join(const OnlineOptions& options, const Impairment& impairment,
                const std::function<bool(const LinkProgress&)>& waiting) {
    LinkResult result;
    JoinConfig config = joinConfig(options);
    config.impairment = impairment;
    Joining joining(config, systemMilliseconds());
    const JoinStatus* status = &joining.poll(systemMilliseconds());
    for (; status->stage != JoinStage::Connected && status->stage != JoinStage::Failed;
         status = &joining.poll(systemMilliseconds())) {
        if (!waiting({nullptr, status})) {
            result.cancelled = true;
            return result;
        }
    }
    if (status->stage == JoinStage::Failed) {
        result.error = "cannot join " + (options.inviteCode || options.lan ? joinTargetText(options) : options.address) +
                       ": " + status->line;
        return result;
    }
    rememberJoin(options.lan ? status->hostAddress : joinTargetText(options));
    result.made = connectedMessage(*status);
    result.link = std::make_unique<OnlineLink>(joining.takeLink());
    return result;
}

}  // namespace

HostingConfig hostingConfig(const OnlineOptions& options, std::vector<uint8_t> settings) {
    HostingConfig config;
    config.bindAddress = options.address;
    config.port = options.port;
    config.service = options.lobby;
    config.answerLan = options.lan;
    config.lanKind = options.coop ? 1 : 0;
    config.fingerprint = simulationFingerprint();
    config.settings = std::move(settings);
    config.inputDelay = options.inputDelay;
    config.inputDelayFixed = options.inputDelayGiven;
    return config;
}

JoinConfig joinConfig(const OnlineOptions& options) {
    JoinConfig config;
    config.way = options.lan ? JoinConfig::Way::Lan : options.inviteCode ? JoinConfig::Way::Code : JoinConfig::Way::Address;
    config.host = options.address;
    config.port = options.port;
    if (options.inviteCode) config.code = *options.inviteCode;
    config.service = options.lobby;
    config.fingerprint = simulationFingerprint();
    return config;
}

LinkResult connectOnline(const OnlineOptions& options, const Impairment& impairment, std::vector<uint8_t> settings,
                         const std::function<bool(const LinkProgress&)>& waiting) {
    if (options.role == OnlineRole::Host) return host(options, impairment, std::move(settings), waiting);
    return join(options, impairment, waiting);
}

std::string waitingMessage(uint16_t port) { return "WAITING FOR AN OPPONENT ON PORT " + std::to_string(port); }

std::string inviteMessage(const std::string& code) { return "INVITE CODE " + code; }

std::string hostingMessage(const HostingStatus& status) {
    const std::string waiting = waitingMessage(status.port);
    return status.inviteCode.empty() ? waiting : inviteMessage(status.inviteCode) + "   " + waiting;
}

std::vector<std::string> HostingLines::fresh(const HostingStatus& status) {
    std::vector<std::string> lines;
    const auto once = [&](const std::string& line, std::string& said) {
        if (!line.empty() && line != said) lines.push_back(line);
        said = line;
    };
    once(waitingMessage(status.port), port_);
    once(status.inviteCode.empty() ? "" : inviteMessage(status.inviteCode), code_);
    once(status.serviceLine, service_);
    once(status.lanLine, lan_);
    return lines;
}

std::string connectedMessage(const JoinStatus& status) {
    return std::string(status.throughRelay ? "CONNECTED THROUGH THE RELAY TO " : "CONNECTED DIRECTLY TO ") +
           status.hostAddress + roundTripText(status.roundTripMs);
}
