// Per-address token buckets.
#include "lobby/rate_limiter.h"

namespace {

constexpr double sweepIntervalMs = 1000;  // a full table is swept at most this often

}  // namespace

RateLimiter::RateLimiter(const RateLimit& limit, size_t maxAddresses) : limit_(limit), maxAddresses_(maxAddresses) {}

bool RateLimiter::allow(uint32_t ip, double nowMs) {
    auto found = buckets_.find(ip);
    if (found == buckets_.end()) {
        if (buckets_.size() >= maxAddresses_) forgetRefilled(nowMs);
        if (buckets_.size() >= maxAddresses_) return false;
        found = buckets_.emplace(ip, TokenBucket(limit_, nowMs)).first;
    }
    return found->second.take(limit_, 1, nowMs);
}

void RateLimiter::forgetRefilled(double nowMs) {
    if (nowMs - lastSweepMs_ < sweepIntervalMs) return;
    lastSweepMs_ = nowMs;
    std::erase_if(buckets_, [&](const auto& entry) { return entry.second.full(limit_, nowMs); });
}
