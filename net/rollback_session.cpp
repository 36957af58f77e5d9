#include "net/rollback_session.h"

#include <algorithm>
#include <cassert>

namespace {

// With nothing new to say, the inputs are sent again this often: they stand in for a
// lost packet and keep the link from going silent while a side waits.
constexpr double resendMs = 15;
// Round-trip samples beyond this are stale echoes, not a measurement.
constexpr double longestRoundTripMs = 10000;

uint32_t millisecondStamp(double nowMs) { return static_cast<uint32_t>(static_cast<int64_t>(nowMs)); }

}  // namespace

RollbackSession::RollbackSession(Transport& transport, const SessionConfig& config, double nowMs)
    : transport_(transport),
      config_(config),
      // Frames before the delay run with no keys on both sides: known from the start.
      confirmed_(config.inputDelay - 1),
      peerReceived_(config.inputDelay),
      timeSync_(config.frameMs),
      lastProgressMs_(nowMs) {
    assert(config.localPlayer == 0 || config.localPlayer == 1);
    assert(config.inputDelay >= 0 && config.inputDelay <= kMaxInputDelay);
}

const std::vector<SessionRequest>& RollbackSession::tick(const PlayerInput& local, double nowMs) {
    requests_.clear();
    stats_.rollbackFrames = 0;
    if (status_ != SessionStatus::Running) return requests_;
    const int32_t confirmedBefore = confirmed_;
    receive(nowMs);
    if (confirmed_ > confirmedBefore) lastProgressMs_ = nowMs;
    // Once every frame to the end is confirmed no new input is due; the end has its own limit.
    if (status_ == SessionStatus::Running && !endConfirmed() && nowMs - lastProgressMs_ > kSilenceLimitMs)
        peerGone(SessionStatus::ConnectionLost);
    if (status_ == SessionStatus::Running) checkOverdueChecksum();
    if (status_ != SessionStatus::Running) return requests_;

    rollBack();
    advanceOrWait(local);
    reportConfirmed();
    requestDueChecksum();
    checkEnd(nowMs);
    sendInputs(nowMs);

    stats_.framesAhead = timeSync_.framesAhead();
    stats_.bytesSentPerSecond = sentRate_.update(nowMs);
    stats_.bytesReceivedPerSecond = receivedRate_.update(nowMs);
    return requests_;
}

// ---- Receiving ----------------------------------------------------------------------

void RollbackSession::receive(double nowMs) {
    events_.clear();
    transport_.poll(nowMs, events_);
    for (const LinkEvent& event : events_) {
        if (status_ != SessionStatus::Running) return;
        switch (event.kind) {
            case LinkEvent::Kind::Connected:
                break;
            case LinkEvent::Kind::Received:
                receivedRate_.add(event.bytes.size());
                handleDatagram(event.bytes, nowMs);
                break;
            case LinkEvent::Kind::Disconnected:
            case LinkEvent::Kind::TimedOut:
                // After its last word the peer is expected to go.
                if (!peerFinished_) peerGone(SessionStatus::ConnectionLost);
                break;
        }
    }
}

void RollbackSession::handleDatagram(const std::vector<uint8_t>& bytes, double nowMs) {
    const std::optional<Packet> packet = decodePacket(bytes);
    bool valid = packet.has_value();
    if (const auto* inputs = valid ? std::get_if<InputsPacket>(&*packet) : nullptr) {
        valid = takeInputs(*inputs);
        if (valid) measureRoundTrip(*inputs, nowMs);
    } else if (const auto* checksum = valid ? std::get_if<ChecksumPacket>(&*packet) : nullptr) {
        valid = takeChecksum(checksum->frame, checksum->checksum);
    } else if (const auto* leave = valid ? std::get_if<Leave>(&*packet) : nullptr) {
        takeLeave(leave->reason);
    } else {
        valid = false;  // garbage, or a handshake packet long after the handshake
    }
    if (!valid) end(SessionStatus::PeerMisbehaved);
}

// Checks the packet against the window, then keeps the inputs that extend the
// confirmed run. The honest peer's numbers follow from the rules both sides keep:
// it acknowledges only inputs we sent, never runs more than the window past its
// acknowledgement, and resends from the first input we have not acknowledged.
bool RollbackSession::takeInputs(const InputsPacket& packet) {
    const int32_t delay = config_.inputDelay;
    const int32_t localNewest = frame_ + delay - 1;
    if (packet.received > localNewest + 1) return false;
    if (packet.senderFrame > packet.received + kMaxRollbackFrames) return false;
    if (!packet.inputs.empty()) {
        const int32_t first = packet.firstFrame;
        const int32_t last = first + static_cast<int32_t>(packet.inputs.size()) - 1;
        if (first < delay || first > confirmed_ + 1 || last > packet.senderFrame + delay - 1) return false;
        for (int32_t f = first; f <= last; ++f) {
            const PlayerInput& input = packet.inputs[static_cast<size_t>(f - first)];
            if (f <= confirmed_) {
                // A resent input must not change; beyond the ring it is not checked.
                if (f > confirmed_ - kRingSize && remoteInputs_[slot(f)] != input) return false;
                continue;
            }
            remoteInputs_[slot(f)] = input;
            if (f < frame_ && usedRemote_[slot(f)] != input && firstWrong_ < 0) firstWrong_ = f;
            confirmed_ = f;
            sendDue_ = true;  // a new acknowledgement to give
        }
    }
    peerReceived_ = std::max(peerReceived_, packet.received);
    peerFrame_ = std::max(peerFrame_, packet.senderFrame);
    timeSync_.heard(frame_, packet.senderFrame, packet.advantage, stats_.roundTripMs);
    return true;
}

void RollbackSession::measureRoundTrip(const InputsPacket& packet, double nowMs) {
    // Stamps rise on the peer's clock; a reordered packet carries an older one.
    if (!haveRemoteStamp_ || static_cast<int32_t>(packet.stampMs - remoteStampMs_) > 0) {
        haveRemoteStamp_ = true;
        remoteStampMs_ = packet.stampMs;
        remoteStampHeardMs_ = nowMs;
    }
    if (packet.echoHeldMs == kNoEcho) return;
    const double sample =
        static_cast<double>(millisecondStamp(nowMs) - packet.echoStampMs) - packet.echoHeldMs;
    if (sample < 0 || sample > longestRoundTripMs) return;
    const float sampleMs = static_cast<float>(sample);
    stats_.roundTripMs = stats_.roundTripMs == 0 ? sampleMs : stats_.roundTripMs + (sampleMs - stats_.roundTripMs) / 8;
}

bool RollbackSession::takeChecksum(int32_t frame, uint64_t checksum) {
    // The peer can only have confirmed a frame it had all our inputs before.
    if (frame > frame_ + config_.inputDelay) return false;
    if (!ledger_.addRemote(frame, checksum)) return false;
    if (ledger_.mismatchFrame() >= 0) endInDesync(ledger_.mismatchFrame());
    return true;
}

void RollbackSession::takeLeave(LeaveReason reason) {
    switch (reason) {
        case LeaveReason::Quit:
            end(SessionStatus::OpponentLeft);
            break;
        case LeaveReason::Desync:
            end(SessionStatus::Desync);
            break;
        case LeaveReason::Finished:
            // The peer had all our inputs to the end, and we had its: this side runs on
            // alone to the end frame. A peer that stops short of it has left.
            if (endConfirmed()) peerFinished_ = true;
            else end(SessionStatus::OpponentLeft);
            break;
    }
}

// ---- Running frames -----------------------------------------------------------------

void RollbackSession::rollBack() {
    if (firstWrong_ < 0) return;
    const int32_t from = firstWrong_;
    firstWrong_ = -1;
    assert(frame_ - from <= kMaxRollbackFrames);
    push(SessionRequest::Kind::LoadState, from);
    for (int32_t f = from; f < frame_; ++f) {
        // The state at `from` is the one just loaded; later ones have changed.
        if (f != from) push(SessionRequest::Kind::SaveState, f);
        pushAdvance(f, true);
    }
    stats_.rollbackFrames = frame_ - from;
    stats_.maxRollbackFrames = std::max(stats_.maxRollbackFrames, stats_.rollbackFrames);
}

void RollbackSession::advanceOrWait(const PlayerInput& local) {
    if (config_.endFrame >= 0 && frame_ >= config_.endFrame) return;
    if (frame_ > confirmed_ + kMaxRollbackFrames) {
        ++stats_.framesWaitedForInputs;
        return;
    }
    if (timeSync_.shouldWait()) {
        ++stats_.framesWaitedForSync;
        return;
    }
    localInputs_[slot(frame_ + config_.inputDelay)] = local;
    push(SessionRequest::Kind::SaveState, frame_);
    pushAdvance(frame_, false);
    ++frame_;
    sendDue_ = true;
}

void RollbackSession::pushAdvance(int32_t frame, bool quiet) {
    const bool confirmed = frame <= confirmed_;
    const PlayerInput remote = confirmed ? remoteInput(frame) : predictFrom(remoteInput(confirmed_));
    usedRemote_[slot(frame)] = remote;
    push(SessionRequest::Kind::Advance, frame, inPlayerOrder(localInput(frame), remote));
    requests_.back().quiet = quiet;
    requests_.back().confirmed = confirmed;
}

void RollbackSession::reportConfirmed() {
    int32_t upTo = std::min(confirmed_, frame_ - 1);
    if (config_.endFrame >= 0) upTo = std::min(upTo, config_.endFrame - 1);
    for (; nextToConfirm_ <= upTo; ++nextToConfirm_)
        push(SessionRequest::Kind::Confirmed, nextToConfirm_,
             inPlayerOrder(localInput(nextToConfirm_), remoteInput(nextToConfirm_)));
}

// A checkpoint's snapshot was saved before its frame first ran (and again on every
// re-run); once the inputs of every frame before it are confirmed and corrections
// made, that snapshot is the confirmed state.
void RollbackSession::requestDueChecksum() {
    const int32_t checkpoint = nextCheckpoint_;
    if (checkpoint >= frame_ || confirmed_ < checkpoint - 1) return;
    if (config_.endFrame >= 0 && checkpoint >= config_.endFrame) return;
    push(SessionRequest::Kind::Checksum, checkpoint);
    nextCheckpoint_ += kChecksumInterval;
}

// A peer that never sends its checksums would never be found out of step. At the end
// frame, see checkEnd.
void RollbackSession::checkOverdueChecksum() {
    const int32_t checkpoint = (ledger_.lastComparedFrame() / kChecksumInterval + 1) * kChecksumInterval;
    if (config_.endFrame >= 0 && checkpoint >= config_.endFrame) return;
    if (confirmed_ >= checkpoint + kChecksumOverdueFrames) endInDesync(checkpoint);
}

PlayerInput RollbackSession::localInput(int32_t frame) const {
    return frame < config_.inputDelay ? PlayerInput{} : localInputs_[slot(frame)];
}

PlayerInput RollbackSession::remoteInput(int32_t frame) const {
    assert(frame <= confirmed_);
    return frame < config_.inputDelay ? PlayerInput{} : remoteInputs_[slot(frame)];
}

std::array<PlayerInput, 2> RollbackSession::inPlayerOrder(const PlayerInput& local, const PlayerInput& remote) const {
    if (config_.localPlayer == 0) return {local, remote};
    return {remote, local};
}

void RollbackSession::push(SessionRequest::Kind kind, int32_t frame, const std::array<PlayerInput, 2>& inputs) {
    SessionRequest request;
    request.kind = kind;
    request.frame = frame;
    request.inputs = inputs;
    requests_.push_back(request);
}

// ---- Sending and ending -------------------------------------------------------------

void RollbackSession::setChecksum(int32_t frame, uint64_t checksum) {
    // A checkpoint asked for before an end was found short of it: the other side, which
    // found the same end first, never checks it.
    if (status_ != SessionStatus::Running || (config_.endFrame >= 0 && frame > config_.endFrame)) return;
    ledger_.addLocal(frame, checksum);
    sendPacket(ChecksumPacket{frame, checksum}, Delivery::Reliable);
    if (ledger_.mismatchFrame() >= 0) endInDesync(ledger_.mismatchFrame());
}

void RollbackSession::leave() {
    if (status_ == SessionStatus::Running) leaveWith(LeaveReason::Quit, SessionStatus::Left);
}

void RollbackSession::endAt(int32_t frame) {
    assert(frame <= frame_ && frame <= confirmed_ + 1);
    if (status_ != SessionStatus::Running || (config_.endFrame >= 0 && config_.endFrame <= frame)) return;
    config_.endFrame = frame;
    // A checkpoint on the end frame has had its checksum asked for already.
    if (frame > 0 && frame % kChecksumInterval == 0 && frame < nextCheckpoint_) endChecksumRequested_ = true;
}

void RollbackSession::sendInputs(double nowMs) {
    if (status_ != SessionStatus::Running) return;
    if (!sendDue_ && nowMs - lastSentMs_ < resendMs) return;
    InputsPacket packet;
    packet.senderFrame = frame_;
    packet.advantage = timeSync_.localAdvantage();
    packet.received = confirmed_ + 1;
    packet.stampMs = millisecondStamp(nowMs);
    if (haveRemoteStamp_) {
        packet.echoStampMs = remoteStampMs_;
        packet.echoHeldMs = static_cast<uint16_t>(std::clamp(nowMs - remoteStampHeardMs_, 0.0, kNoEcho - 1.0));
    }
    // Everything the peer has not acknowledged: a lost packet is covered by the next.
    packet.firstFrame = peerReceived_;
    const int32_t newest = frame_ + config_.inputDelay - 1;
    const int32_t count = std::min(newest - packet.firstFrame + 1, kMaxInputsPerPacket);
    for (int32_t i = 0; i < count; ++i) packet.inputs.push_back(localInputs_[slot(packet.firstFrame + i)]);
    sendPacket(packet, Delivery::Unreliable);
    lastSentMs_ = nowMs;
    sendDue_ = false;
}

void RollbackSession::sendPacket(const Packet& packet, Delivery delivery) {
    const std::vector<uint8_t> bytes = encodePacket(packet);
    sentRate_.add(bytes.size());
    transport_.send(bytes, delivery);
}

// At the end frame the last confirmed state is checked like a checkpoint; the session
// is over once the peer holds all our inputs and the checksums agree, or after
// kSilenceLimitMs at the end frame: then a peer that reached the end holding all our
// inputs has kept its checksum back.
void RollbackSession::checkEnd(double nowMs) {
    const int32_t endFrame = config_.endFrame;
    if (endFrame < 0 || frame_ < endFrame) return;
    if (endReachedMs_ < 0) endReachedMs_ = nowMs;
    if (endConfirmed() && !endChecksumRequested_) {
        // Frames past an end found late ran already, and saved the end frame's state.
        if (frame_ == endFrame) push(SessionRequest::Kind::SaveState, endFrame);
        push(SessionRequest::Kind::Checksum, endFrame);
        endChecksumRequested_ = true;
    }
    const bool peerHasAll = peerFinished_ || peerReceived_ >= endFrame;
    const bool checked = ledger_.lastComparedFrame() >= endFrame;
    if (endChecksumRequested_ && peerHasAll && checked) {
        leaveWith(LeaveReason::Finished, SessionStatus::Finished);
    } else if (nowMs - endReachedMs_ >= kSilenceLimitMs) {
        if (endChecksumRequested_ && peerHasAll && peerFrame_ >= endFrame) endInDesync(endFrame);
        else peerGone(SessionStatus::ConnectionLost);
    }
}

// The peer is gone or silent: still a proper finish if every frame to the end is
// confirmed here (the peer, if it still listens, is told so).
void RollbackSession::peerGone(SessionStatus otherwise) {
    if (config_.endFrame >= 0 && frame_ >= config_.endFrame && endConfirmed())
        leaveWith(LeaveReason::Finished, SessionStatus::Finished);
    else
        end(otherwise);
}

void RollbackSession::leaveWith(LeaveReason reason, SessionStatus status) {
    sendPacket(Leave{reason}, Delivery::Reliable);
    end(status);
}

void RollbackSession::endInDesync(int32_t frame) {
    desyncFrame_ = frame;
    leaveWith(LeaveReason::Desync, SessionStatus::Desync);
}

void RollbackSession::end(SessionStatus status) {
    status_ = status;
    transport_.disconnect();
}
