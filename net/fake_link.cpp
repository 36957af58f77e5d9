#include "net/fake_link.h"

void FakeLink::End::send(std::span<const uint8_t> bytes, Delivery) {
    if (link_.closedBy_ >= 0 || link_.cut_) return;
    link_.waitingFor_[1 - side_].emplace_back(bytes.begin(), bytes.end());
}

void FakeLink::End::poll(double, std::vector<LinkEvent>& events) {
    if (link_.cut_) return;
    if (!connectedSaid_) {
        connectedSaid_ = true;
        events.push_back({LinkEvent::Kind::Connected, {}});
    }
    // What the peer sent before it disconnected still arrives, then the notice.
    auto& waiting = link_.waitingFor_[side_];
    for (std::vector<uint8_t>& bytes : waiting) events.push_back({LinkEvent::Kind::Received, std::move(bytes)});
    waiting.clear();
    if (link_.closedBy_ == 1 - side_ && !disconnectedSaid_) {
        disconnectedSaid_ = true;
        events.push_back({LinkEvent::Kind::Disconnected, {}});
    }
}

void FakeLink::End::disconnect() {
    if (link_.closedBy_ < 0) link_.closedBy_ = side_;
}
