// Opening the display and presenting frames. Flip is the one place a frame ends:
// the renderer finishes, the backend shows (and paces) it, then the frame hook runs,
// whatever the backend, so tests and tools can stop or inspect any run.

#include <functional>

#include "platform/backend.h"
#include "platform/draw_state.h"
#include "platform/frames.h"
#include "platform/headless.h"
#include "platform/platform.h"

namespace {
int framesPresented = 0;
std::function<void(int)> frameHook;
}  // namespace

void resetPresentedFrames() {
    framesPresented = 0;
    frameHook = nullptr;
}

namespace headless {
int presentedFrames() { return framesPresented; }
void setFrameHook(std::function<void(int)> hook) { frameHook = std::move(hook); }
}  // namespace headless

void AppTitle(const std::string& title) { currentBackend().setTitle(title); }

bool Graphics(int width, int height, int depth, int hertz, int /*flags*/) {
    Backend& backend = currentBackend();
    if (!backend.openDisplay(width, height, depth != 0, hertz)) return false;
    resetDrawState();
    // Start from a black surface. Nothing is presented here: presented frames are the
    // game's own Flips, which the headless clock and input script count.
    if (Renderer* renderer = backend.renderer()) {
        renderer->clear();
        renderer->finishFrame();
    }
    return true;
}

void Flip(int /*sync*/) {
    Backend& backend = currentBackend();
    if (Renderer* renderer = backend.renderer()) renderer->finishFrame();
    backend.present();
    ++framesPresented;
    // A copy, so that a hook may replace itself (or clear the hook) while it runs.
    if (frameHook) {
        auto hook = frameHook;
        hook(framesPresented);
    }
}

void HideMouse() { currentBackend().hideMouse(); }

void ShowMouse() { currentBackend().showMouse(); }

int AppSuspended() {
    Backend& backend = currentBackend();
    backend.pollEvents();
    return backend.away() ? 1 : 0;
}

void KeepRunningOutOfSight(bool on) { currentBackend().keepRunningOutOfSight(on); }

void SetClipboardText(const std::string& text) { currentBackend().setClipboard(text); }

std::string ClipboardText() { return currentBackend().clipboard(); }

void End() { throw ProgramEnd{0}; }
