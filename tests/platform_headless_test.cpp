// The headless backend: virtual clock, scripted input at frame boundaries, recorded
// draw calls per frame, the frame hook and the reset done by start.

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "loader_test_files.h"
#include "platform/headless.h"
#include "platform/platform.h"

using headless::DrawOp;
using headless::EventKind;

namespace {
headless::ScriptEvent event(int frame, EventKind kind, int key = 0, const std::string& text = "") {
    headless::ScriptEvent e;
    e.frame = frame;
    e.kind = kind;
    e.key = key;
    e.text = text;
    return e;
}
}  // namespace

TEST(PlatformHeadless, ClockAdvancesOneSixtiethPerFlipAndByDelay) {
    headless::start({.startMs = 5000});
    EXPECT_EQ(MilliSecs(), 5000);
    Flip();
    EXPECT_EQ(MilliSecs(), 5016);  // 16.67 truncated
    Flip();
    EXPECT_EQ(MilliSecs(), 5033);
    Flip();
    EXPECT_EQ(MilliSecs(), 5050);
    Delay(7);
    EXPECT_EQ(MilliSecs(), 5057);
    Delay(0);
    Delay(-20);  // no time travel
    EXPECT_EQ(MilliSecs(), 5057);
    for (int i = 3; i < 60; ++i) Flip();
    EXPECT_EQ(MilliSecs(), 6007);  // 60 frames are exactly one second
    for (int i = 0; i < 60 * 3600; ++i) Flip();
    EXPECT_EQ(MilliSecs(), 5000 + 7 + 3601 * 1000);  // no drift over an hour
}

TEST(PlatformHeadless, AWaitLoopOnMilliSecsEnds) {
    headless::start();
    int until = MilliSecs() + 2000;
    int delays = 0;
    while (MilliSecs() < until) {
        Delay(1);
        ++delays;
    }
    EXPECT_EQ(delays, 2000);
}

TEST(PlatformHeadless, MilliSecsWrapsInsteadOfOverflowing) {
    headless::start({.startMs = 2147483647});
    EXPECT_EQ(MilliSecs(), 2147483647);
    Delay(1);
    EXPECT_EQ(MilliSecs(), -2147483647 - 1);
}

TEST(PlatformHeadless, ScriptedEventsArriveAfterTheirFrame) {
    headless::start();
    headless::schedule(event(2, EventKind::Down, 38));
    headless::schedule(event(0, EventKind::Type, 0, "hi"));
    headless::schedule(event(3, EventKind::Up, 38));
    headless::schedule(event(3, EventKind::Close));
    EXPECT_EQ(GetChar(), 'h');  // frame 0: before the first Flip
    EXPECT_EQ(GetChar(), 'i');
    EXPECT_EQ(KeyDown(38), 0);
    Flip();
    EXPECT_EQ(KeyDown(38), 0);
    Flip();
    EXPECT_EQ(KeyDown(38), 1);  // after the second presented frame
    EXPECT_EQ(KeyHit(38), 1);
    EXPECT_EQ(AppTerminate(), 0);
    Flip();
    EXPECT_EQ(KeyDown(38), 0);
    EXPECT_EQ(AppTerminate(), 1);
}

TEST(PlatformHeadless, AKeyHeldForASecondWithAutoRepeatIsOneHit) {
    headless::start();
    // The key goes down at frame 0 and repeats every frame until it is let go at 60.
    for (int frame = 0; frame < 60; ++frame) headless::schedule(event(frame, EventKind::Down, 32));
    headless::schedule(event(60, EventKind::Up, 32));
    int hits = 0;
    for (int frame = 0; frame < 60; ++frame) {
        ASSERT_EQ(KeyDown(32), 1) << frame;
        hits += KeyHit(32);
        Flip();
    }
    EXPECT_EQ(hits, 1);
    EXPECT_EQ(KeyDown(32), 0);
}

TEST(PlatformHeadless, ATapWithinOneFrameStillCountsAsAHit) {
    headless::start();
    headless::schedule(event(1, EventKind::Down, 13));
    headless::schedule(event(1, EventKind::Up, 13));
    // Scheduled out of order: delivered in frame order, same-frame events in given order.
    headless::schedule(event(0, EventKind::Down, 27));
    EXPECT_EQ(KeyDown(27), 1);
    Flip();
    EXPECT_EQ(KeyDown(13), 0);
    EXPECT_EQ(KeyHit(13), 1);
}

TEST(PlatformHeadless, EventsScheduledForPastFramesArriveAtOnce) {
    headless::start();
    Flip();
    Flip();
    headless::schedule(event(1, EventKind::Down, 80));
    EXPECT_EQ(KeyHit(80), 1);
}

TEST(PlatformHeadless, ImmediateInjection) {
    headless::start();
    headless::pressKey(65);
    EXPECT_EQ(KeyDown(65), 1);
    headless::releaseKey(65);
    EXPECT_EQ(KeyDown(65), 0);
    EXPECT_EQ(KeyHit(65), 1);
    headless::typeText("ok\x08");
    EXPECT_EQ(GetChar(), 'o');
    EXPECT_EQ(GetChar(), 'k');
    EXPECT_EQ(GetChar(), 8);
    headless::requestClose();
    EXPECT_EQ(AppTerminate(), 1);
}

TEST(PlatformHeadless, RecordsEachCallWithItsState) {
    headless::start();
    ASSERT_TRUE(Graphics(1024, 768));
    Cls();
    SetColor(300, -5, 128);
    SetAlpha(1.5f);
    SetBlend(4);
    SetRotation(30);
    SetScale(2, 0.5f);
    DrawRect(10, 20, 30, 40);
    SetAlpha(-0.5f);
    DrawLine(1, 2, 3, 4);
    SetBlend(3);
    DrawText("AB", 5, 6);
    DrawImage(nullptr, 0, 0);  // a picture that failed to load draws nothing

    const std::vector<headless::DrawCall>& calls = headless::currentFrame();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].op, DrawOp::Cls);
    EXPECT_EQ(calls[0].r, 255);
    EXPECT_EQ(calls[0].blend, 1);
    const headless::DrawCall& rect = calls[1];
    EXPECT_EQ(rect.op, DrawOp::Rect);
    EXPECT_EQ(rect.r, 255);
    EXPECT_EQ(rect.g, 0);
    EXPECT_EQ(rect.b, 128);
    EXPECT_EQ(rect.alpha, 1.0f);
    EXPECT_EQ(rect.blend, 4);
    EXPECT_EQ(rect.rotation, 30.0f);
    EXPECT_EQ(rect.scaleX, 2.0f);
    EXPECT_EQ(rect.scaleY, 0.5f);
    EXPECT_EQ(rect.x, 10);
    EXPECT_EQ(rect.y, 20);
    EXPECT_EQ(rect.x2, 30);
    EXPECT_EQ(rect.y2, 40);
    EXPECT_EQ(calls[2].op, DrawOp::Line);
    EXPECT_EQ(calls[2].alpha, 0.0f);
    EXPECT_EQ(calls[2].x2, 3);
    EXPECT_EQ(calls[2].y2, 4);
    EXPECT_EQ(calls[3].op, DrawOp::Text);
    EXPECT_EQ(calls[3].text, "AB");
    EXPECT_EQ(calls[3].blend, 3);
    EXPECT_EQ(calls[3].x, 5);
    EXPECT_EQ(calls[3].y, 6);
    EXPECT_TRUE(headless::lastFrame().empty());
}

TEST(PlatformHeadless, FlipMovesTheFrameToLastFrame) {
    headless::start();
    DrawRect(1, 1, 1, 1);
    DrawRect(2, 2, 2, 2);
    Flip();
    EXPECT_TRUE(headless::currentFrame().empty());
    ASSERT_EQ(headless::lastFrame().size(), 2u);
    EXPECT_EQ(headless::lastFrame()[1].x, 2);
    DrawLine(0, 0, 1, 1);
    Flip();
    ASSERT_EQ(headless::lastFrame().size(), 1u);
    EXPECT_EQ(headless::lastFrame()[0].op, DrawOp::Line);
    Flip();  // a frame with nothing drawn
    EXPECT_TRUE(headless::lastFrame().empty());
}

TEST(PlatformHeadless, NothingIsRecordedWhenRecordingIsOff) {
    headless::start({.record = false});
    Cls();
    DrawRect(1, 1, 1, 1);
    EXPECT_TRUE(headless::currentFrame().empty());
    Flip();
    EXPECT_TRUE(headless::lastFrame().empty());
}

TEST(PlatformHeadless, FrameHookSeesEveryPresentedFrameAndCanEndTheRun) {
    headless::start();
    std::vector<int> seen;
    headless::setFrameHook([&](int frame) {
        seen.push_back(frame);
        if (frame == 3) throw ProgramEnd{0};
    });
    EXPECT_EQ(headless::presentedFrames(), 0);
    Flip();
    Flip();
    EXPECT_THROW(Flip(), ProgramEnd);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(headless::presentedFrames(), 3);
    // Graphics is not a presented frame.
    ASSERT_TRUE(Graphics(1024, 768, 32));
    EXPECT_EQ(headless::presentedFrames(), 3);
}

TEST(PlatformHeadless, EndThrowsProgramEndWithCodeZero) {
    try {
        End();
        FAIL() << "End returned";
    } catch (const ProgramEnd& end) {
        EXPECT_EQ(end.exitCode, 0);
    }
}

TEST(PlatformHeadless, StartResetsStateClockHookAndFrames) {
    headless::start({.startMs = 100});
    int hookCalls = 0;
    headless::setFrameHook([&](int) { ++hookCalls; });
    SetColor(1, 2, 3);
    SetAlpha(0.25f);
    SetBlend(5);
    SetRotation(45);
    SetScale(3, 3);
    headless::schedule(event(1, EventKind::Down, 40));
    DrawRect(0, 0, 1, 1);
    Flip();
    Delay(50);
    headless::start({.startMs = 100});
    EXPECT_EQ(MilliSecs(), 100);
    EXPECT_EQ(headless::presentedFrames(), 0);
    EXPECT_TRUE(headless::currentFrame().empty());
    EXPECT_TRUE(headless::lastFrame().empty());
    Flip();
    EXPECT_EQ(hookCalls, 1);            // the old hook is gone
    EXPECT_EQ(KeyDown(40), 0);          // the old script too
    DrawRect(0, 0, 1, 1);
    const headless::DrawCall& call = headless::currentFrame().at(0);
    EXPECT_EQ(call.r, 255);
    EXPECT_EQ(call.g, 255);
    EXPECT_EQ(call.alpha, 1.0f);
    EXPECT_EQ(call.blend, 1);
    EXPECT_EQ(call.rotation, 0.0f);
    EXPECT_EQ(call.scaleX, 1.0f);
}

TEST(PlatformHeadless, WithoutOffscreenRenderingShotsAreRefused) {
    headless::start();
    Flip();
    unsigned char rgba[4];
    EXPECT_FALSE(headless::readPixel(0, 0, rgba));
    EXPECT_FALSE(headless::saveLastFrame("/tmp/never_written.png"));
}

TEST(PlatformHeadless, StopLeavesAWorkingFallback) {
    headless::start({.startMs = 42});
    headless::stop();
    headless::pressKey(70);
    EXPECT_EQ(KeyDown(70), 1);  // a fallback headless backend serves the query
    EXPECT_TRUE(headless::currentFrame().empty());
    headless::start();
}

TEST(PlatformHeadless, StartStopsEveryChannel) {
    headless::start();
    auto folder = testfiles::freshFolder("headless_channels");
    // One second of silence at 8 kHz.
    testfiles::writeBytes(folder / "quiet.wav",
                          testfiles::wavBytes({.rate = 8000}, testfiles::pcm16(std::vector<int16_t>(8000))));
    SoundRef sound = LoadSound((folder / "quiet.wav").string());
    ASSERT_TRUE(sound);
    Channel channel = CueSound(sound);
    ResumeChannel(channel);
    EXPECT_EQ(ChannelPlaying(channel), 1);
    headless::start();
    EXPECT_EQ(ChannelPlaying(channel), 0);
    std::filesystem::remove_all(folder);
}
