#pragma once
// Internal to the platform layer: the count of presented frames behind
// headless::presentedFrames and the frame hook, which Flip serves for every backend.

void resetPresentedFrames();  // count 0, no hook
