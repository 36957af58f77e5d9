#include "platform/gl_surface.h"

#include "platform/gl_renderer.h"

namespace {

constexpr int width = GlRenderer::surfaceWidth, height = GlRenderer::surfaceHeight;
// The fast surface's viewport, square: a power of two keeps the projection's scale
// exact, and 4096 reaches 1536 pixels past the sides and 1664 past the top and the
// bottom, far beyond the drops, sticks and sparks that cross the screen's edge.
constexpr int guardViewport = 4096;

bool complete(const GlFramebufferCalls& calls) {
    return calls.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

bool eightBitsPerChannel() {
    GLint red = 0, green = 0, blue = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_RED_SIZE, &red);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_GREEN_SIZE, &green);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_BLUE_SIZE, &blue);
    return red >= 8 && green >= 8 && blue >= 8;
}

bool attachFastColour(GlSurface& surface, const GlFramebufferCalls& calls) {
    glGenTextures(1, &surface.texture);
    glBindTexture(GL_TEXTURE_2D, surface.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    // An unsized format given BGRA data: Mesa keeps the data's layout for it.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    // The driver may choose fewer bits for an unsized format; the picture must not lose any.
    const bool exact = eightBitsPerChannel();
    glBindTexture(GL_TEXTURE_2D, 0);
    if (!exact) return false;
    calls.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, surface.texture, 0);
    return complete(calls);
}

void dropFastColour(GlSurface& surface, const GlFramebufferCalls& calls) {
    calls.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    glDeleteTextures(1, &surface.texture);
    surface.texture = 0;
}

bool attachPlainColour(GlSurface& surface, const GlFramebufferCalls& calls) {
    calls.genRenderbuffers(1, &surface.renderbuffer);
    calls.bindRenderbuffer(GL_RENDERBUFFER, surface.renderbuffer);
    calls.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    calls.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, surface.renderbuffer);
    return complete(calls);
}

}  // namespace

bool makeGlSurface(GlSurface& surface, SurfaceKind preferred, const GlFramebufferCalls& calls) {
    calls.genFramebuffers(1, &surface.framebuffer);
    calls.bindFramebuffer(GL_FRAMEBUFFER, surface.framebuffer);
    if (preferred == SurfaceKind::Fast && calls.framebufferTexture2D) {
        if (attachFastColour(surface, calls)) {
            surface.kind = SurfaceKind::Fast;
            surface.readFormat = GL_BGRA;
            GLint limits[2] = {0, 0};
            glGetIntegerv(GL_MAX_VIEWPORT_DIMS, limits);
            if (limits[0] >= guardViewport && limits[1] >= guardViewport) {
                surface.marginX = (guardViewport - width) / 2;
                surface.marginY = (guardViewport - height) / 2;
            }
            return true;
        }
        dropFastColour(surface, calls);
    }
    surface.kind = SurfaceKind::Plain;
    return attachPlainColour(surface, calls);
}

void deleteGlSurface(GlSurface& surface, const GlFramebufferCalls& calls) {
    if (surface.framebuffer) calls.deleteFramebuffers(1, &surface.framebuffer);
    if (surface.renderbuffer) calls.deleteRenderbuffers(1, &surface.renderbuffer);
    if (surface.texture) glDeleteTextures(1, &surface.texture);
    surface = GlSurface{};
}

void applySurfaceViewport(const GlSurface& surface) {
    glViewport(-surface.marginX, -surface.marginY, width + 2 * surface.marginX, height + 2 * surface.marginY);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // y downward, origin at the surface's top-left corner; the margins lie around it.
    glOrtho(-surface.marginX, width + surface.marginX, height + surface.marginY, -surface.marginY, -1, 1);
    glMatrixMode(GL_MODELVIEW);
}
