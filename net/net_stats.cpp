#include "net/net_stats.h"

int ByteRate::update(double nowMs) {
    if (secondStartMs_ < 0) secondStartMs_ = nowMs;
    const double elapsed = nowMs - secondStartMs_;
    if (elapsed >= 1000.0) {
        rate_ = static_cast<int>(bytes_ * 1000.0 / elapsed);
        bytes_ = 0;
        secondStartMs_ = nowMs;
    }
    return rate_;
}
