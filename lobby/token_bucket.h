#pragma once
// A token bucket: up to `burst` at once, refilled at `perSecond`. Counts requests for
// the rate limits and bytes for the relay's bandwidth cap.

#include <algorithm>

struct RateLimit {
    double burst = 10;      // taken at once, at most
    double perSecond = 1;   // refill rate
};

class TokenBucket {
public:
    TokenBucket(const RateLimit& limit, double nowMs) : tokens_(limit.burst), updatedMs_(nowMs) {}

    // Takes `amount` if the bucket holds that much now.
    bool take(const RateLimit& limit, double amount, double nowMs) {
        refill(limit, nowMs);
        if (tokens_ < amount) return false;
        tokens_ -= amount;
        return true;
    }
    // Whether the bucket would be full now: its owner is as good as new.
    bool full(const RateLimit& limit, double nowMs) const { return level(limit, nowMs) >= limit.burst; }

private:
    double level(const RateLimit& limit, double nowMs) const {
        return std::min(limit.burst, tokens_ + std::max(0.0, nowMs - updatedMs_) / 1000 * limit.perSecond);
    }
    void refill(const RateLimit& limit, double nowMs) {
        tokens_ = level(limit, nowMs);
        updatedMs_ = std::max(updatedMs_, nowMs);
    }

    double tokens_;
    double updatedMs_;
};
