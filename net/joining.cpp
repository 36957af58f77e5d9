// Joining a host.
#include "net/joining.h"

#include <enet/enet.h>

namespace {

constexpr double lanSearchMs = 5000;  // a hosted game answers within a second or two

JoinProblem problemOf(InviteJoinFailure failure) {
    switch (failure) {
        case InviteJoinFailure::NoSuchCode: return JoinProblem::NoSuchCode;
        case InviteJoinFailure::ServiceUnreachable: return JoinProblem::ServiceUnreachable;
        case InviteJoinFailure::ServiceOtherVersion: return JoinProblem::ServiceOtherVersion;
        case InviteJoinFailure::NoRelay: return JoinProblem::NoRelay;
        case InviteJoinFailure::None:
        case InviteJoinFailure::HostDidNotAnswer: break;
    }
    return JoinProblem::HostDidNotAnswer;
}

JoinProblem problemOf(JoinFailure failure) {
    switch (failure) {
        case JoinFailure::VersionMismatch: return JoinProblem::VersionMismatch;
        case JoinFailure::DifferentBuild: return JoinProblem::DifferentBuild;
        case JoinFailure::SessionFull: return JoinProblem::SessionFull;
        case JoinFailure::BadReply: return JoinProblem::BadReply;
        case JoinFailure::None:
        case JoinFailure::NoAnswer: break;
    }
    return JoinProblem::HostDidNotAnswer;
}

std::string describe(InviteJoinFailure failure, const std::string& service) {
    switch (failure) {
        case InviteJoinFailure::NoSuchCode: return "no game is hosted with that code";
        case InviteJoinFailure::ServiceUnreachable: return "the invite service at " + service + " cannot be reached";
        case InviteJoinFailure::ServiceOtherVersion: return "the invite service at " + service + " speaks another version";
        case InviteJoinFailure::NoRelay: return "the host cannot be reached directly and the invite service has no relay free";
        case InviteJoinFailure::None:
        case InviteJoinFailure::HostDidNotAnswer: break;
    }
    return describeJoinFailure(JoinFailure::NoAnswer);
}

}  // namespace

JoinConfig lanGameJoin(const LanGame& game, uint64_t fingerprint) {
    JoinConfig config;
    config.host = ipText(game.address.ip);
    config.port = game.address.port;
    config.fingerprint = fingerprint;
    return config;
}

Joining::Joining(JoinConfig config, double nowMs) : config_(std::move(config)), startMs_(nowMs) {
    switch (config_.way) {
        case JoinConfig::Way::Address:
            name_.emplace(config_.host, config_.port);
            break;
        case JoinConfig::Way::Code: {
            std::string host;
            uint16_t port = 0;
            if (!splitHostPort(config_.service, kDefaultLobbyPort, host, port))
                fail(JoinProblem::ServiceUnreachable, "not an invite service address: " + config_.service);
            else if (openSocket())
                name_.emplace(host, port);
            break;
        }
        case JoinConfig::Way::Lan: {
            std::string error;
            lan_ = LanSearch::open(config_.fingerprint, error);
            if (!lan_) fail(JoinProblem::NoSocket, error);
            break;
        }
    }
}

Joining::~Joining() = default;

bool Joining::openSocket() {
    std::string error;
    link_.enet = EnetTransport::open(error);
    if (!link_.enet) {
        fail(JoinProblem::NoSocket, error);
        return false;
    }
    link_.impair(config_.impairment);
    return true;
}

const JoinStatus& Joining::poll(double nowMs) {
    switch (status_.stage) {
        case JoinStage::Finding:
        case JoinStage::Punching:
        case JoinStage::Relaying:
            find(nowMs);
            break;
        case JoinStage::Connecting: {
            const HandshakeState state = handshake_->poll(nowMs);
            if (invite_) invite_->poll(nowMs);  // the host's pings time the path for its input delay
            if (state == HandshakeState::Failed) {
                fail(problemOf(handshake_->failure()), describeJoinFailure(handshake_->failure()));
            } else if (state == HandshakeState::Ready) {
                status_.stage = JoinStage::Connected;
                if (!status_.roundTripMs && link_.enet->enetHost()->peerCount > 0)
                    status_.roundTripMs = link_.enet->enetHost()->peers[0].roundTripTime;
            }
            break;
        }
        case JoinStage::Connected:
        case JoinStage::Failed:
            break;
    }
    return status_;
}

void Joining::find(double nowMs) {
    if (link_.enet) link_.transport().poll(nowMs, unheard_);  // brings in the tapped datagrams
    unheard_.clear();
    if (lan_) {
        lan_->poll(nowMs);
        if (!lan_->games().empty()) return connect(lan_->games().front().address, nowMs);
        if (nowMs - startMs_ > lanSearchMs) fail(JoinProblem::NoLanGame, "no game is hosted on the local network");
        return;
    }
    if (name_ && name_->poll() != NameLookup::State::Looking) {
        if (name_->poll() == NameLookup::State::Failed) {
            if (config_.way == JoinConfig::Way::Code)
                return fail(JoinProblem::ServiceUnreachable, "the invite service " + config_.service + " cannot be found");
            return fail(JoinProblem::BadAddress, "unknown host: " + config_.host);
        }
        const Endpoint found = name_->address();
        name_.reset();
        if (config_.way == JoinConfig::Way::Address) return connect(found, nowMs);
        invite_.emplace(link_.enet->enetHost(), found, config_.code, nowMs);
    }
    if (!invite_) return;
    invite_->poll(nowMs);
    switch (invite_->stage()) {
        case InviteJoinStage::AskingService: break;
        case InviteJoinStage::Punching: status_.stage = JoinStage::Punching; break;
        case InviteJoinStage::Relaying: status_.stage = JoinStage::Relaying; break;
        case InviteJoinStage::Found:
            status_.throughRelay = invite_->throughRelay();
            status_.roundTripMs = invite_->roundTripMs();
            connect(invite_->hostAddress(), nowMs);
            break;
        case InviteJoinStage::Failed:
            fail(problemOf(invite_->failure()), describe(invite_->failure(), config_.service));
            break;
    }
}

void Joining::connect(const Endpoint& host, double nowMs) {
    if (!link_.enet && !openSocket()) return;
    if (!link_.enet->connect(host.ip, host.port)) return fail(JoinProblem::NoSocket, "cannot open a network socket");
    status_.stage = JoinStage::Connecting;
    status_.hostAddress = toString(host);
    handshake_.emplace(link_.transport(), config_.fingerprint, nowMs);
}

void Joining::fail(JoinProblem problem, const std::string& line) {
    status_.stage = JoinStage::Failed;
    status_.problem = problem;
    status_.line = line;
}

PeerLink Joining::takeLink() {
    invite_.reset();
    link_.inputDelay = handshake_->welcome().inputDelay;
    link_.settings = handshake_->welcome().settings;
    handshake_.reset();
    return std::move(link_);
}
