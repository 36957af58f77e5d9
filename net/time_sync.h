#pragma once
// Keeps two sides' frame counters level in time, so that neither runs so far ahead
// that it has to stop and wait for the other's inputs (a stutter).
//
// Each side estimates its frame advantage: its own frame minus the other's, where the
// other's is the frame it last reported plus the frames it has run while that report
// travelled (half the round trip). The two sides exchange their estimates. When this
// side is ahead by d frames in time, its own estimate reads about +d and the other's
// about -d, so half their difference is d, and the round trip's error, the same on
// both sides, cancels out. A side ahead by a whole frame or more waits single frames,
// spaced out, rather than all at once.

#include <algorithm>
#include <cstdint>

class TimeSync {
public:
    explicit TimeSync(double frameMs) : frameMs_(frameMs) {}

    // On each inputs packet: the frame the other side reported and its own estimate.
    void heard(int32_t localFrame, int32_t remoteFrame, int remoteAdvantage, double roundTripMs);
    // This side's estimate of its advantage, rounded, for the next packet.
    int8_t localAdvantage() const;
    // How many frames this side runs ahead of the middle (negative: behind). The other
    // side's estimate corrects this side's for an error the round trip shares, but it
    // never makes this side count itself further ahead than it measures: a claim that
    // the other side lags further than that (a hostile -128) would only make this side
    // wait for nothing.
    float framesAhead() const { return std::min((local_ - remote_) / 2, local_); }
    // Asked once per frame this side could run: true means wait this frame instead.
    bool shouldWait();

private:
    double frameMs_;
    float local_ = 0;   // smoothed estimates, in frames
    float remote_ = 0;
    int framesSinceWait_ = 0;
};
