#pragma once
// An SDL window with its OpenGL compatibility context, and the few GL entry points
// beyond GL 1.1 that the renderer needs (loaded through SDL).

#include <SDL.h>
#include <SDL_opengl.h>

struct GlFramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;
    PFNGLGENERATEMIPMAPPROC generateMipmap = nullptr;

    // False when the context lacks framebuffer objects.
    bool load();
};

// A window and its context, destroyed with the target. An offscreen target also
// holds a start of SDL's video, given back when it goes.
struct GlTarget {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    bool holdsVideo = false;

    GlTarget() = default;
    GlTarget(const GlTarget&) = delete;
    GlTarget& operator=(const GlTarget&) = delete;
    ~GlTarget();
    void makeCurrent() const;
};

// Asks SDL for a compatibility-profile, double-buffered context for the next window.
void requestCompatibilityContext();
