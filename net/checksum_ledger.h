#pragma once
// Desync detection: this side's and the other side's checksums of the confirmed state
// at the same frames, compared as soon as both are known. Both sides checksum the same
// frames, so an entry the other side has passed without a match is stale and dropped.

#include <cstdint>
#include <vector>

class ChecksumLedger {
public:
    void addLocal(int32_t frame, uint64_t checksum);
    // False when the peer breaks the rules: frames not rising, or too many ahead of ours.
    bool addRemote(int32_t frame, uint64_t checksum);

    // The first frame whose checksums differ, or -1.
    int32_t mismatchFrame() const { return mismatchFrame_; }
    // The latest frame whose checksums were compared, or -1.
    int32_t lastComparedFrame() const { return lastComparedFrame_; }

private:
    struct Entry {
        int32_t frame;
        uint64_t checksum;
    };
    void compare();

    std::vector<Entry> local_;   // not yet compared, rising frames
    std::vector<Entry> remote_;
    int32_t newestRemoteFrame_ = -1;
    int32_t mismatchFrame_ = -1;
    int32_t lastComparedFrame_ = -1;
};
