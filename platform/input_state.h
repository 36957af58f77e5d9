#pragma once
// The shared key state that backends feed and KeyDown/KeyHit/GetChar read. A key may
// be held by several sources at once (the keyboard and a game controller): it is down
// while any source holds it, and a press counts once, when the first source takes it.

namespace input {

enum Source : unsigned { Keyboard = 1u, Controller1 = 2u, Controller2 = 4u, Script = 8u, Window = 16u };
constexpr unsigned AllSources = Keyboard | Controller1 | Controller2 | Script | Window;

// The key a controller's Start button and a window that goes away both press.
constexpr int PauseKey = 80;  // P

void press(int key, unsigned source = Keyboard);
void release(int key, unsigned source = Keyboard);
void releaseAll(unsigned source);
void typeChar(int c);      // joins the queue of typed characters (at most 256 wait)
// True when the auto-repeat of `key` types nothing: the key was held when
// IgnoreHeldKeyRepeats was called and has not been let go since.
bool repeatIgnored(int key);
void requestClose();       // the window's close button
bool closePending();       // a close request not yet read by AppTerminate
void flush();              // FlushKeys: every key up, no hits, empty queue
void reset();              // flush and forget a pending close request

}  // namespace input
