// Key state with several holding sources, press counting, the typed-character queue
// and the close request.

#include <gtest/gtest.h>

#include "platform/headless.h"
#include "platform/input_state.h"
#include "platform/platform.h"

namespace {
class PlatformInput : public ::testing::Test {
protected:
    void SetUp() override { headless::start(); }
};
}  // namespace

TEST_F(PlatformInput, OnePressIsOneHitThenNone) {
    input::press(32);
    EXPECT_EQ(KeyHit(32), 1);
    EXPECT_EQ(KeyHit(32), 0);
    EXPECT_EQ(KeyDown(32), 1);
    input::release(32);
    EXPECT_EQ(KeyDown(32), 0);
    EXPECT_EQ(KeyHit(32), 0);
}

TEST_F(PlatformInput, AutoRepeatDoesNotCountButReleaseAndPressDoes) {
    input::press(37);
    for (int i = 0; i < 30; ++i) input::press(37);  // auto-repeat of a held key
    EXPECT_EQ(KeyDown(37), 1);
    EXPECT_EQ(KeyHit(37), 1);
    input::release(37);
    input::press(37);
    input::release(37);
    input::press(37);
    EXPECT_EQ(KeyHit(37), 2);  // presses made since the last read add up
}

TEST_F(PlatformInput, TwoSourcesHoldOneKey) {
    input::press(13, input::Keyboard);
    input::press(13, input::Controller1);  // already held: no second hit
    EXPECT_EQ(KeyHit(13), 1);
    input::release(13, input::Keyboard);
    EXPECT_EQ(KeyDown(13), 1);  // the controller still holds it
    input::press(13, input::Keyboard);
    EXPECT_EQ(KeyHit(13), 0);
    input::release(13, input::Keyboard);
    input::release(13, input::Controller1);
    EXPECT_EQ(KeyDown(13), 0);
    input::press(13, input::Controller1);
    EXPECT_EQ(KeyHit(13), 1);
}

TEST_F(PlatformInput, ReleaseAllFreesOnlyThatSource) {
    input::press(65, input::Controller2);
    input::press(66, input::Controller2);
    input::press(66, input::Keyboard);
    input::releaseAll(input::Controller2);
    EXPECT_EQ(KeyDown(65), 0);
    EXPECT_EQ(KeyDown(66), 1);
}

TEST_F(PlatformInput, KeysOutsideTheTableAreIgnored) {
    input::press(-1);
    input::press(256);
    input::press(100000);
    input::release(-7);
    EXPECT_EQ(KeyDown(-1), 0);
    EXPECT_EQ(KeyHit(256), 0);
    EXPECT_EQ(KeyDown(255), 0);
    input::press(255);
    EXPECT_EQ(KeyHit(255), 1);
    input::press(0);
    EXPECT_EQ(KeyDown(0), 1);
}

TEST_F(PlatformInput, CharacterQueueHolds256AndDropsTheRest) {
    EXPECT_EQ(GetChar(), 0);
    for (int i = 0; i < 300; ++i) input::typeChar('a' + i % 26);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(GetChar(), 'a' + i % 26) << i;
    EXPECT_EQ(GetChar(), 0);
    // The ring wraps cleanly after being drained.
    input::typeChar('X');
    input::typeChar(8);
    EXPECT_EQ(GetChar(), 'X');
    EXPECT_EQ(GetChar(), 8);
    EXPECT_EQ(GetChar(), 0);
}

TEST_F(PlatformInput, FlushKeysClearsStatesHitsAndQueue) {
    input::press(40);
    input::press(41, input::Controller1);
    input::typeChar('z');
    FlushKeys();
    EXPECT_EQ(KeyDown(40), 0);
    EXPECT_EQ(KeyDown(41), 0);
    EXPECT_EQ(KeyHit(40), 0);
    EXPECT_EQ(GetChar(), 0);
    // A key still physically down after the flush counts again when pressed anew.
    input::press(40);
    EXPECT_EQ(KeyHit(40), 1);
}

TEST_F(PlatformInput, AppTerminateAnswersOnceAfterAClose) {
    EXPECT_EQ(AppTerminate(), 0);
    input::requestClose();
    EXPECT_EQ(AppTerminate(), 1);
    EXPECT_EQ(AppTerminate(), 0);
    input::requestClose();
    FlushKeys();  // flushing keys does not forget the close request
    EXPECT_EQ(AppTerminate(), 1);
    input::requestClose();
    input::reset();
    EXPECT_EQ(AppTerminate(), 0);
}

TEST_F(PlatformInput, HeadlessStartForgetsEverything) {
    input::press(50);
    input::typeChar('q');
    input::requestClose();
    headless::start();
    EXPECT_EQ(KeyDown(50), 0);
    EXPECT_EQ(KeyHit(50), 0);
    EXPECT_EQ(GetChar(), 0);
    EXPECT_EQ(AppTerminate(), 0);
}
