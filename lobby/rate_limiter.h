#pragma once
// A token bucket per source address (the IP alone: one machine's ports are one
// sender), in a table of bounded size. Addresses whose bucket has filled up again are
// forgotten first; a table full of active senders refuses newcomers rather than grow
// or let a flood of fresh addresses reset everyone's bucket.

#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "lobby/token_bucket.h"

class RateLimiter {
public:
    RateLimiter(const RateLimit& limit, size_t maxAddresses);

    // Whether `ip` may make one more request now; it is counted if so.
    bool allow(uint32_t ip, double nowMs);
    size_t trackedAddresses() const { return buckets_.size(); }

private:
    void forgetRefilled(double nowMs);

    RateLimit limit_;
    size_t maxAddresses_;
    double lastSweepMs_ = -1e18;
    std::unordered_map<uint32_t, TokenBucket> buckets_;
};
