// Flip pacing with a fake clock: a steady 60 Hz, restarts after a late frame and
// after a clock jump.

#include <gtest/gtest.h>

#include <vector>

#include "platform/frame_schedule.h"

namespace {

struct FakeTime {
    double now = 1000.0;
    std::vector<double> sleeps;
    FrameSchedule schedule(double hertz = 60.0) {
        return FrameSchedule(
            hertz, [this] { return now; },
            [this](double ms) {
                sleeps.push_back(ms);
                now += ms;
            });
    }
};

constexpr double period = 1000.0 / 60.0;

}  // namespace

TEST(PlatformFrameSchedule, FirstFrameStartsTheScheduleWithoutSleeping) {
    FakeTime time;
    FrameSchedule schedule = time.schedule();
    schedule.waitForFrame();
    EXPECT_TRUE(time.sleeps.empty());
    EXPECT_EQ(schedule.target(), 1000.0);
}

TEST(PlatformFrameSchedule, SteadySixtyHertzWhateverTheWorkTakes) {
    FakeTime time;
    FrameSchedule schedule = time.schedule();
    schedule.waitForFrame();
    for (int frame = 1; frame <= 120; ++frame) {
        time.now += (frame % 3) * 4.0;  // 0, 4 or 8 ms of work
        schedule.waitForFrame();
        ASSERT_NEAR(time.now, 1000.0 + frame * period, 1e-6) << frame;
    }
    EXPECT_EQ(time.sleeps.size(), 120u);
    EXPECT_NEAR(time.now - 1000.0, 2000.0, 1e-6);  // 120 frames are two seconds
}

TEST(PlatformFrameSchedule, LateFrameRestartsFromNowWithoutSleeping) {
    FakeTime time;
    FrameSchedule schedule = time.schedule();
    schedule.waitForFrame();
    time.now += 50.0;  // a frame far longer than its period
    schedule.waitForFrame();
    EXPECT_TRUE(time.sleeps.empty());
    EXPECT_EQ(schedule.target(), 1050.0);
    // No burst of short frames to catch up: the next one is a full period later.
    time.now += 1.0;
    schedule.waitForFrame();
    ASSERT_EQ(time.sleeps.size(), 1u);
    EXPECT_NEAR(time.sleeps[0], period - 1.0, 1e-9);
}

TEST(PlatformFrameSchedule, TargetFarAheadRestartsFromNow) {
    FakeTime time;
    FrameSchedule schedule = time.schedule();
    schedule.waitForFrame();
    time.now -= 5000.0;  // the clock went back
    schedule.waitForFrame();
    EXPECT_TRUE(time.sleeps.empty());
    EXPECT_EQ(schedule.target(), time.now);
    // Just under a second ahead still sleeps.
    time.now -= 1000.0 - period - 0.5;
    schedule.waitForFrame();
    ASSERT_EQ(time.sleeps.size(), 1u);
    EXPECT_NEAR(time.sleeps[0], 999.5, 1e-9);
}

TEST(PlatformFrameSchedule, ExactlyOneSecondAheadRestarts) {
    FakeTime time;
    FrameSchedule schedule = time.schedule(50.0);  // a period of exactly 20 ms
    schedule.waitForFrame();
    time.now -= 980.0;  // the next target lies exactly 1000 ms ahead
    schedule.waitForFrame();
    EXPECT_TRUE(time.sleeps.empty());
    EXPECT_EQ(schedule.target(), 20.0);
    time.now -= 979.0;  // 999 ms ahead: sleeps
    schedule.waitForFrame();
    EXPECT_EQ(time.sleeps, std::vector<double>{999.0});
}
