// The real backend: an SDL window and OpenGL context showing the renderer's surface,
// SDL events into the input state, the audio device, and 60 Hz pacing.

#include "platform/sdl_backend.h"

#include <optional>

#include "platform/controllers.h"
#include "platform/frame_schedule.h"
#include "platform/gl_renderer.h"
#include "platform/image.h"
#include "platform/input_state.h"
#include "platform/screenshot.h"
#include "platform/sdl_audio.h"
#include "platform/sdl_events.h"
#include "platform/window_presence.h"

namespace {

// Presents taking this long, three in a row, mean the swap really waits for the
// vertical blank of a 60 Hz display.
constexpr double vblankMinMs = 15.0, vblankMaxMs = 17.0;
constexpr int vblankRunNeeded = 3;
constexpr double vblankProbeMs = 1000.0;
// Out of sight, the game wakes this often even without events; a close request or
// the window's return wakes it at once.
constexpr int outOfSightWakeMs = 250;

class SdlBackend final : public Backend {
public:
    ~SdlBackend() override {
        renderer_.reset();  // the window goes with the renderer's target
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool openDisplay(int width, int height, bool fullscreen, int hertz) override {
        if (renderer_) return true;  // the display opens once
        requestCompatibilityContext();
        Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
        if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        auto target = std::make_unique<GlTarget>();
        target->window = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                          height, flags);
        if (!target->window) return false;
        target->context = SDL_GL_CreateContext(target->window);
        if (!target->context) return false;
        SDL_Window* window = target->window;
        renderer_ = GlRenderer::create(std::move(target));
        if (!renderer_) return false;

        if (icon_) applyIcon(window);
        updatePointer();
        int shownWidth = width, shownHeight = height;  // a full-screen window takes the desktop's size
        SDL_GetWindowSize(window, &shownWidth, &shownHeight);
        SDL_WarpMouseInWindow(window, shownWidth / 2, shownHeight / 2);
        SDL_StartTextInput();
        schedule_.emplace(hertz > 0 ? hertz : 60);
        waitForVblank_ = fullscreen && probeVblank();
        if (!waitForVblank_) SDL_GL_SetSwapInterval(0);
        // The surface starts black; show it in both buffers.
        renderer_->presentToWindow();
        renderer_->presentToWindow();
        return true;
    }

    void setTitle(const std::string& title) override {
        title_ = title;
        if (renderer_) SDL_SetWindowTitle(renderer_->window(), title.c_str());
    }

    void setIcon(const Image& image) override {
        icon_ = image;
        icon_->texture.reset();
        if (renderer_) applyIcon(renderer_->window());
    }

    void hideMouse() override {
        pointerHidden_ = true;
        updatePointer();
    }

    void showMouse() override {
        pointerHidden_ = false;
        updatePointer();
    }

    bool away() override { return presence_.away(); }
    void keepRunningOutOfSight(bool on) override { keepsRunningOutOfSight_ = on; }

    void setClipboard(const std::string& text) override { SDL_SetClipboardText(text.c_str()); }
    std::string clipboard() override {
        char* text = SDL_GetClipboardText();
        std::string copy = text ? text : "";
        SDL_free(text);
        return copy;
    }

    void pollEvents() override {
        SDL_Event event;
        while (SDL_PollEvent(&event)) handleEvent(event);
    }

    void present() override {
        if (!renderer_) return;
        if (keepsRunningOutOfSight_ && presence_.outOfSight()) {
            schedule_->waitForFrame();  // nothing to show; the game goes on at its pace
            return;
        }
        waitWhileOutOfSight();
        if (!waitForVblank_) schedule_->waitForFrame();
        screenshots_.capture(*renderer_);
        renderer_->presentToWindow();
    }

    double milliseconds() override { return systemMilliseconds(); }

    void sleep(int ms) override {
        if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
    }

    Renderer* renderer() override { return renderer_.get(); }

private:
    void handleEvent(const SDL_Event& event) {
        if (controllers_.handleEvent(event) || screenshots_.handleEvent(event)) return;
        if (isFullscreenKey(event)) {
            if (event.type == SDL_KEYDOWN && !event.key.repeat) toggleFullscreen();
            return;
        }
        feedSdlEvent(event);
        presence_.handleEvent(event);
    }

    bool isFullscreen() const {
        return renderer_ && (SDL_GetWindowFlags(renderer_->window()) & SDL_WINDOW_FULLSCREEN) != 0;
    }

    // The same window switches between a window and desktop full screen. From then on
    // the schedule paces the presents, as it does in any window.
    void toggleFullscreen() {
        if (!renderer_) return;
        if (SDL_SetWindowFullscreen(renderer_->window(), isFullscreen() ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
            return;
        if (waitForVblank_) SDL_GL_SetSwapInterval(0);
        waitForVblank_ = false;
        updatePointer();
    }

    // Full screen never shows the pointer; a window shows it unless the game hid it.
    void updatePointer() { SDL_ShowCursor(pointerHidden_ || isFullscreen() ? SDL_DISABLE : SDL_ENABLE); }

    // A frame nobody can see is wasted work: out of sight, the game sleeps on events
    // until the window shows again or is asked to close, then shows the frame it was
    // about to present.
    void waitWhileOutOfSight() {
        while (presence_.outOfSight() && !input::closePending()) {
            SDL_Event event;
            if (SDL_WaitEventTimeout(&event, outOfSightWakeMs)) handleEvent(event);
        }
    }

    // Presents with the swap interval on for up to a second and keeps it only if the
    // swaps really wait for a 60 Hz vertical blank.
    bool probeVblank() {
        if (SDL_GL_SetSwapInterval(1) != 0) return false;
        int run = 0;
        const double end = milliseconds() + vblankProbeMs;
        while (milliseconds() < end) {
            const double before = milliseconds();
            renderer_->presentToWindow();
            const double took = milliseconds() - before;
            run = took >= vblankMinMs && took <= vblankMaxMs ? run + 1 : 0;
            if (run == vblankRunNeeded) return true;
        }
        return false;
    }

    void applyIcon(SDL_Window* window) {
        if (icon_->width <= 0 || icon_->height <= 0 ||
            icon_->rgba.size() < static_cast<size_t>(icon_->width) * icon_->height * 4)
            return;
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(icon_->rgba.data(), icon_->width, icon_->height,
                                                                  32, icon_->width * 4, SDL_PIXELFORMAT_RGBA32);
        if (!surface) return;
        SDL_SetWindowIcon(window, surface);
        SDL_FreeSurface(surface);
    }

    std::string title_ = "Tumblebout";
    std::optional<Image> icon_;  // kept until the window exists
    std::unique_ptr<GlRenderer> renderer_;
    std::optional<FrameSchedule> schedule_;
    bool waitForVblank_ = false;
    bool pointerHidden_ = false;  // by the game (HideMouse), whatever the window
    bool keepsRunningOutOfSight_ = false;
    SdlAudio audio_;
    Controllers controllers_;
    Screenshots screenshots_;
    WindowPresence presence_;
};

}  // namespace

bool installSdlBackend() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    installBackend(std::make_unique<SdlBackend>());
    return true;
}
