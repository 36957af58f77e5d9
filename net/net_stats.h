#pragma once
// Figures of an online session, for the corner line during play and the closing note.

#include <cstddef>

struct NetStats {
    float roundTripMs = 0;         // smoothed: an inputs packet and the echo of its stamp
    int rollbackFrames = 0;        // frames re-simulated on the latest tick
    int maxRollbackFrames = 0;     // the most on any tick so far
    int framesWaitedForInputs = 0; // ticks that could not run a frame: the window was full
    int framesWaitedForSync = 0;   // ticks that waited a frame to let the other side catch up
    float framesAhead = 0;         // how far this side runs ahead of the middle, in frames
    int bytesSentPerSecond = 0;    // packet bytes over the latest whole second
    int bytesReceivedPerSecond = 0;
};

// Bytes per second, counted over whole seconds of the caller's clock.
class ByteRate {
public:
    void add(size_t bytes) { bytes_ += bytes; }
    // Closes the current second when it is over; returns the latest whole second's rate.
    int update(double nowMs);

private:
    double secondStartMs_ = -1;
    size_t bytes_ = 0;
    int rate_ = 0;
};
