// The headless backend: a virtual clock that advances exactly one 60 Hz frame per
// present and by the asked time per sleep, input from a frame-stamped script, draw
// calls recorded per frame, and optionally real OpenGL rendering offscreen so frames
// can be saved as pictures.

#include "platform/headless.h"

#include <algorithm>

#include "platform/draw_state.h"
#include "platform/frames.h"
#include "platform/headless_backend.h"
#include "platform/input_state.h"
#include "platform/mixer.h"
#include "platform/png_write.h"
#include "platform/sdl_backend.h"

namespace headless {
namespace {

constexpr int surfaceWidth = 1024, surfaceHeight = 768;
constexpr double framesPerSecond = 60.0;

class HeadlessBackend;
HeadlessBackend* active = nullptr;  // the installed headless backend, if any

class HeadlessBackend final : public Backend {
public:
    explicit HeadlessBackend(const Options& options) : options_(options) {
        if (options.offscreenGL) offscreen_ = createOffscreenRenderer();
        active = this;
    }
    ~HeadlessBackend() override {
        if (active == this) active = nullptr;
    }

    bool openDisplay(int, int, bool, int) override { return true; }
    void setTitle(const std::string&) override {}
    void setIcon(const Image&) override {}
    void hideMouse() override {}

    void pollEvents() override {
        while (nextEvent_ < script_.size() && script_[nextEvent_].frame <= presents_) {
            deliver(script_[nextEvent_]);
            ++nextEvent_;
        }
    }

    void present() override {
        if (offscreen_) {
            lastPixels_.resize(static_cast<size_t>(surfaceWidth) * surfaceHeight * 4);
            havePixels_ = offscreen_->readPixels(lastPixels_.data());
        }
        // Swapping keeps both vectors' capacity: a long run allocates nothing per frame.
        std::swap(current_, last_);
        current_.clear();
        ++presents_;
    }

    // Computed from whole counts rather than summed per frame, so 60 frames are exactly
    // 1000 ms and no rounding drift builds up over a long run.
    double milliseconds() override {
        return options_.startMs + presents_ * 1000.0 / framesPerSecond + sleptMs_;
    }

    void sleep(int ms) override {
        if (ms > 0) sleptMs_ += ms;
    }

    Renderer* renderer() override { return offscreen_.get(); }

    void schedule(const ScriptEvent& event) {
        // Kept in frame order; events of one frame stay in the order they were given.
        auto pendingStart = script_.begin() + static_cast<std::ptrdiff_t>(nextEvent_);
        auto at = std::upper_bound(pendingStart, script_.end(), event.frame,
                                   [](int frame, const ScriptEvent& e) { return frame < e.frame; });
        script_.insert(at, event);
    }

    std::vector<DrawCall>* recording() { return options_.record ? &current_ : nullptr; }
    const std::vector<DrawCall>& currentFrame() const { return current_; }
    const std::vector<DrawCall>& lastFrame() const { return last_; }

    const unsigned char* lastPixels() const { return havePixels_ ? lastPixels_.data() : nullptr; }

private:
    static void deliver(const ScriptEvent& event) {
        switch (event.kind) {
            case EventKind::Down: input::press(event.key, input::Script); break;
            case EventKind::Up: input::release(event.key, input::Script); break;
            case EventKind::Type:
                for (char c : event.text) input::typeChar(static_cast<unsigned char>(c));
                break;
            case EventKind::Close: input::requestClose(); break;
        }
    }

    Options options_;
    long long presents_ = 0;
    double sleptMs_ = 0;
    std::vector<ScriptEvent> script_;
    size_t nextEvent_ = 0;
    std::vector<DrawCall> current_, last_;
    std::unique_ptr<Renderer> offscreen_;
    std::vector<unsigned char> lastPixels_;
    bool havePixels_ = false;
};

const std::vector<DrawCall> noCalls;

}  // namespace

std::unique_ptr<Backend> makeBackend(const Options& options) {
    return std::make_unique<HeadlessBackend>(options);
}

std::vector<DrawCall>* recording() { return active ? active->recording() : nullptr; }

void start(const Options& options) {
    // The old backend goes first, so two offscreen GL contexts never coexist.
    installBackend(nullptr);
    installBackend(makeBackend(options));
    resetDrawState();
    input::reset();
    // Seeded from the start time, as the real program's entry seeds from its clock
    // (a start time of 0 leaves the generator's unseeded state, 4660).
    SeedRnd(options.startMs);
    resetPresentedFrames();
    // Channels of an earlier run were timed on the old clock.
    soundMixer().stopAll();
}

void stop() {
    if (active) installBackend(nullptr);
}

void schedule(const ScriptEvent& event) {
    if (active) active->schedule(event);
}

void pressKey(int key) { input::press(key, input::Script); }
void releaseKey(int key) { input::release(key, input::Script); }
void typeText(const std::string& text) {
    for (char c : text) input::typeChar(static_cast<unsigned char>(c));
}
void requestClose() { input::requestClose(); }

const std::vector<DrawCall>& currentFrame() { return active ? active->currentFrame() : noCalls; }
const std::vector<DrawCall>& lastFrame() { return active ? active->lastFrame() : noCalls; }

bool saveLastFrame(const std::string& pngPath) {
    const unsigned char* pixels = active ? active->lastPixels() : nullptr;
    return pixels && writePng(pngPath, pixels, surfaceWidth, surfaceHeight);
}

bool readPixel(int x, int y, unsigned char rgba[4]) {
    const unsigned char* pixels = active ? active->lastPixels() : nullptr;
    if (!pixels || x < 0 || y < 0 || x >= surfaceWidth || y >= surfaceHeight) return false;
    std::copy_n(pixels + (static_cast<size_t>(y) * surfaceWidth + x) * 4, 4, rgba);
    return true;
}

}  // namespace headless
