#include "net/impaired_transport.h"

#include <algorithm>

ImpairedTransport::ImpairedTransport(Transport& inner, const Impairment& impairment)
    : inner_(inner), impairment_(impairment), state_(impairment.seed) {}

ImpairedTransport::~ImpairedTransport() {
    for (const Held& held : held_) inner_.send(held.bytes, held.delivery);
    if (disconnectAfterRelease_) inner_.disconnect();
}

// SplitMix64: small, fast and the same everywhere.
uint32_t ImpairedTransport::draw() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

void ImpairedTransport::send(std::span<const uint8_t> bytes, Delivery delivery) {
    if (disconnectAfterRelease_) return;
    if (delivery == Delivery::Unreliable && static_cast<int>(draw() % 100) < impairment_.lossPercent) return;
    double dueMs = nowMs_ + impairment_.delayMs;
    if (impairment_.jitterMs > 0) dueMs += impairment_.jitterMs * (draw() / 4294967296.0);
    if (delivery == Delivery::Reliable) {
        dueMs = std::max(dueMs, lastReliableDueMs_);
        lastReliableDueMs_ = dueMs;
    }
    // Due already (no delay): out now, not a poll later. Whatever is held is due later,
    // so reliable datagrams keep their order.
    if (dueMs <= nowMs_) inner_.send(bytes, delivery);
    else held_.push_back({dueMs, delivery, {bytes.begin(), bytes.end()}});
}

void ImpairedTransport::release(double nowMs) {
    // Due datagrams leave in the order of their due times; ties keep the order sent.
    std::stable_sort(held_.begin(), held_.end(), [](const Held& a, const Held& b) { return a.dueMs < b.dueMs; });
    auto firstNotDue = std::find_if(held_.begin(), held_.end(), [nowMs](const Held& h) { return h.dueMs > nowMs; });
    for (auto it = held_.begin(); it != firstNotDue; ++it) inner_.send(it->bytes, it->delivery);
    held_.erase(held_.begin(), firstNotDue);
    if (disconnectAfterRelease_ && held_.empty()) {
        disconnectAfterRelease_ = false;
        inner_.disconnect();
    }
}

void ImpairedTransport::poll(double nowMs, std::vector<LinkEvent>& events) {
    nowMs_ = nowMs;
    release(nowMs);
    inner_.poll(nowMs, events);
}

void ImpairedTransport::disconnect() {
    // As a real link would, the peer still gets what was sent before.
    if (held_.empty()) inner_.disconnect();
    else disconnectAfterRelease_ = true;
}
