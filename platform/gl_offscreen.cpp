// createOffscreenRenderer: a hidden window's GL context drawing into the renderer's
// framebuffer, for headless screenshots, pixel tests and the benchmark.

#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/gl_renderer.h"
#include "platform/sdl_backend.h"

namespace {

// Mesa's EGL wants a runtime folder; a machine without a session has none.
void ensureRuntimeDir() {
    if (std::getenv("XDG_RUNTIME_DIR")) return;
    std::string dir = "/tmp/tumblebout-runtime-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 0);
}

// Starts SDL's video for an offscreen context. When video already runs (the SDL
// backend's window), its driver serves; otherwise the offscreen driver, which needs
// no display, is preferred and any other driver is the fallback.
bool startVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    ensureRuntimeDir();
    const char* chosen = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const std::string previous = chosen ? chosen : "";
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    bool started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (previous.empty())
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    else
        SDL_SetHint(SDL_HINT_VIDEODRIVER, previous.c_str());
    if (!started) started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    return started;
}

}  // namespace

std::unique_ptr<Renderer> createOffscreenRenderer() {
    if (!startVideo()) return nullptr;
    auto target = std::make_unique<GlTarget>();
    target->holdsVideo = true;  // from here on, the target gives video back when it goes
    requestCompatibilityContext();
    target->window = SDL_CreateWindow("Tumblebout", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!target->window) return nullptr;
    target->context = SDL_GL_CreateContext(target->window);
    if (!target->context) return nullptr;
    return GlRenderer::create(std::move(target));
}
