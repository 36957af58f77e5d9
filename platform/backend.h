#pragma once
// The seam between the platform functions of platform.h and a backend. The functions
// keep the drawing state, input state, clock and generator; a backend supplies a
// display, events, presentation, time and (optionally) a rasteriser.

#include <memory>
#include <string>

struct Image;

// The drawing state of platform.h, with the 2 x 2 transform derived from rotation
// and scale: a shape point (px, py) measured from its handle lands at
// (x + px*ix + py*iy, y + px*jx + py*jy).
struct DrawState {
    int r = 255, g = 255, b = 255;
    float alpha = 1.0f;
    int blend = 1;
    float rotation = 0.0f;
    float scaleX = 1.0f, scaleY = 1.0f;
    float ix = 1.0f, iy = 0.0f, jx = 0.0f, jy = 1.0f;
};

constexpr int SurfaceWidth = 1024, SurfaceHeight = 768;

struct Vertex {
    float x, y;  // screen pixels of the 1024 x 768 surface
    float u, v;  // texture coordinates 0..1 (ignored for untextured shapes)
};

// True when no pixel centre of the surface can lie inside the quad: all its corners
// beyond one edge. Such quads (particles flown off the screen, glyphs of a name far too
// long) would cost vertex work and nothing else.
inline bool whollyOffSurface(const Vertex (&c)[4]) {
    auto all = [&](auto beyond) { return beyond(c[0]) && beyond(c[1]) && beyond(c[2]) && beyond(c[3]); };
    return all([](const Vertex& v) { return v.x <= 0; }) || all([](const Vertex& v) { return v.x >= SurfaceWidth; }) ||
           all([](const Vertex& v) { return v.y <= 0; }) || all([](const Vertex& v) { return v.y >= SurfaceHeight; });
}

// Rasterises shapes strictly in call order with the state each call carries.
class Renderer {
public:
    virtual ~Renderer() = default;
    virtual void clear() = 0;
    // Corners in order top-left, top-right, bottom-right, bottom-left of the shape.
    // image == nullptr draws a flat quad in the state's colour.
    virtual void quad(const Image* image, const Vertex (&corners)[4], const DrawState& state) = 0;
    virtual void line(float x1, float y1, float x2, float y2, bool drawLastPixel,
                      const DrawState& state) = 0;
    // Finishes the frame's drawing (flushes batches) so that it can be shown or read.
    virtual void finishFrame() = 0;
    // The finished frame as 1024 x 768 RGBA rows, top row first.
    virtual bool readPixels(unsigned char* rgba) = 0;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual bool openDisplay(int width, int height, bool fullscreen, int hertz) = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual void setIcon(const Image& image) = 0;
    virtual void hideMouse() = 0;
    // A backend without a window of its own has no pointer to show and is never away
    // from it (platform/window_presence.h).
    virtual void showMouse() {}
    virtual bool away() { return false; }
    // A window's presents sleep while it is out of sight, unless the game must keep
    // running (see KeepRunningOutOfSight); a backend without a window never sleeps.
    virtual void keepRunningOutOfSight(bool /*on*/) {}
    // A backend without a desktop keeps a clipboard of its own.
    virtual void setClipboard(const std::string& text) { clipboard_ = text; }
    virtual std::string clipboard() { return clipboard_; }
    virtual void pollEvents() = 0;  // feeds the input state (platform/input_state.h)
    virtual void present() = 0;     // shows the finished frame and paces it
    virtual double milliseconds() = 0;
    virtual void sleep(int ms) = 0;
    virtual Renderer* renderer() = 0;  // null when nothing is rasterised

private:
    std::string clipboard_;
};

// The system's monotonic clock (time since the machine started), in milliseconds:
// the real backend's time, so every start of the game seeds its own game.
double systemMilliseconds();
// The same as MilliSecs gives it: the low 32 bits, wrapping.
int systemMilliSecs();

// The backend in use; the SDL backend is installed by the game's entry point, the
// headless one by headless::start.
void installBackend(std::unique_ptr<Backend> backend);
Backend& currentBackend();
bool hasBackend();
