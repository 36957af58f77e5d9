// The polled keyboard: which sources hold each key, the unread presses per key, the
// queue of typed characters and the close request. Backends feed it through the
// input:: functions; the game reads it through KeyDown, KeyHit, GetChar, AppTerminate.

#include "platform/input_state.h"

#include <array>

#include "platform/backend.h"
#include "platform/platform.h"

namespace {

constexpr int keyCount = 256;
constexpr int queueCapacity = 256;

struct KeyboardState {
    std::array<unsigned, keyCount> holders{};  // bit set of the sources holding the key
    std::array<int, keyCount> hits{};          // presses not yet read by KeyHit
    std::array<bool, keyCount> repeatIgnored{};  // held at IgnoreHeldKeyRepeats, not let go since
    std::array<int, queueCapacity> queue{};    // typed characters, a ring
    int queueStart = 0, queueLength = 0;
    bool closeRequested = false;
};

KeyboardState keyboard;

bool validKey(int key) { return key >= 0 && key < keyCount; }

}  // namespace

namespace input {

void press(int key, unsigned source) {
    if (!validKey(key) || source == 0) return;
    unsigned& holders = keyboard.holders[key];
    // Only the first source to take a key makes a press; auto-repeat and a second
    // source on a held key change nothing.
    if (holders == 0) ++keyboard.hits[key];
    holders |= source;
}

void release(int key, unsigned source) {
    if (!validKey(key)) return;
    keyboard.holders[key] &= ~source;
    if (keyboard.holders[key] == 0) keyboard.repeatIgnored[key] = false;
}

void releaseAll(unsigned source) {
    for (int key = 0; key < keyCount; ++key) release(key, source);
}

bool repeatIgnored(int key) { return validKey(key) && keyboard.repeatIgnored[key]; }

void typeChar(int c) {
    if (keyboard.queueLength == queueCapacity) return;  // the player typed too far ahead
    keyboard.queue[(keyboard.queueStart + keyboard.queueLength) % queueCapacity] = c;
    ++keyboard.queueLength;
}

void requestClose() { keyboard.closeRequested = true; }

bool closePending() { return keyboard.closeRequested; }

void flush() {
    keyboard.holders.fill(0);
    keyboard.hits.fill(0);
    keyboard.repeatIgnored.fill(false);
    keyboard.queueStart = 0;
    keyboard.queueLength = 0;
}

void reset() {
    flush();
    keyboard.closeRequested = false;
}

}  // namespace input

int KeyDown(int key) {
    currentBackend().pollEvents();
    return validKey(key) && keyboard.holders[key] != 0 ? 1 : 0;
}

int KeyHit(int key) {
    currentBackend().pollEvents();
    if (!validKey(key)) return 0;
    int hits = keyboard.hits[key];
    keyboard.hits[key] = 0;
    return hits;
}

int GetChar() {
    currentBackend().pollEvents();
    if (keyboard.queueLength == 0) return 0;
    int c = keyboard.queue[keyboard.queueStart];
    keyboard.queueStart = (keyboard.queueStart + 1) % queueCapacity;
    --keyboard.queueLength;
    return c;
}

void IgnoreHeldKeyRepeats() {
    currentBackend().pollEvents();
    for (int key = 0; key < keyCount; ++key) keyboard.repeatIgnored[key] = keyboard.holders[key] != 0;
}

void FlushKeys() {
    currentBackend().pollEvents();
    input::flush();
}

int AppTerminate() {
    currentBackend().pollEvents();
    bool requested = keyboard.closeRequested;
    keyboard.closeRequested = false;
    return requested ? 1 : 0;
}
