#include "net/checksum_ledger.h"

#include <algorithm>

namespace {

// The honest peer is at most a checkpoint or two ahead of this side; a peer that never
// sends its checksums leaves at most this many of ours waiting.
constexpr size_t maxWaiting = 16;

}  // namespace

void ChecksumLedger::addLocal(int32_t frame, uint64_t checksum) {
    if (local_.size() == maxWaiting) local_.erase(local_.begin());
    local_.push_back({frame, checksum});
    compare();
}

bool ChecksumLedger::addRemote(int32_t frame, uint64_t checksum) {
    if (frame <= newestRemoteFrame_ || remote_.size() == maxWaiting) return false;
    newestRemoteFrame_ = frame;
    remote_.push_back({frame, checksum});
    compare();
    return true;
}

void ChecksumLedger::compare() {
    while (!local_.empty() && !remote_.empty()) {
        const Entry& ours = local_.front();
        const Entry& theirs = remote_.front();
        if (ours.frame == theirs.frame) {
            if (ours.checksum != theirs.checksum && mismatchFrame_ < 0) mismatchFrame_ = ours.frame;
            lastComparedFrame_ = std::max(lastComparedFrame_, ours.frame);
            local_.erase(local_.begin());
            remote_.erase(remote_.begin());
        } else if (ours.frame < theirs.frame) {
            local_.erase(local_.begin());
        } else {
            remote_.erase(remote_.begin());
        }
    }
}
