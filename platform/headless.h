#pragma once
// The headless backend: a virtual clock, scripted input and recorded (optionally
// also offscreen-rendered) drawing, so that the whole game runs in tests and tools
// at full speed and deterministically. It is a real backend, not a mock: the game
// code above the seam runs unchanged.

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace headless {

struct Options {
    int startMs = 0;         // value MilliSecs() returns before the first Flip
    bool record = true;      // keep the draw calls of each frame
    bool offscreenGL = false;  // also render into an offscreen OpenGL surface (for PNG shots)
};

// Installs the headless backend and resets every piece of platform state: drawing
// state, input, clock, channels, fonts, and the random generator, seeded with the
// start time. Safe to call repeatedly.
void start(const Options& options = {});
// Releases the backend (offscreen GL context, recorded frames).
void stop();

// ---- Input, delivered at a frame boundary ----------------------------------------
// The events of frame N are seen by the input queries after the N-th presented
// frame (N = 0: before the first Flip).
enum class EventKind { Down, Up, Type, Close };
struct ScriptEvent {
    int frame = 0;
    EventKind kind = EventKind::Down;
    int key = 0;        // Down, Up
    std::string text;   // Type: each byte joins the character queue
};
void schedule(const ScriptEvent& event);

// Immediate injection, for unit tests that drive game functions directly.
void pressKey(int key);
void releaseKey(int key);
void typeText(const std::string& text);
void requestClose();

// ---- Frames -----------------------------------------------------------------------
int presentedFrames();
// Called after every presented frame with the number of frames presented so far.
// A hook may throw ProgramEnd to stop a run.
void setFrameHook(std::function<void(int)> hook);

// ---- Recorded drawing ---------------------------------------------------------------
enum class DrawOp { Cls, Image, Rect, Line, Text };
struct DrawCall {
    DrawOp op = DrawOp::Cls;
    const Image* image = nullptr;  // Image: the picture drawn
    std::string text;              // Text: the string drawn
    float x = 0, y = 0;            // position (Line: first end)
    float x2 = 0, y2 = 0;          // Rect: width, height; Line: second end
    // The drawing state the call used.
    int r = 255, g = 255, b = 255;
    float alpha = 1;
    int blend = 1;
    float rotation = 0;
    float scaleX = 1, scaleY = 1;
};
// Calls made since the last Flip (the frame being drawn).
const std::vector<DrawCall>& currentFrame();
// Calls of the last presented frame.
const std::vector<DrawCall>& lastFrame();

// With offscreenGL: the last presented frame as a 1024 x 768 PNG. False otherwise.
bool saveLastFrame(const std::string& pngPath);
// With offscreenGL: RGBA of a pixel of the last presented frame (y downward).
bool readPixel(int x, int y, unsigned char rgba[4]);

}  // namespace headless
