#pragma once
// The renderer's 1024 x 768 surface: the framebuffer object the game draws into, and
// the viewport and projection that put screen pixel (x, y) on surface pixel (x, y).
//
// Many players have no graphics card and draw with Mesa's software rasteriser
// (llvmpipe). Its fast paths, which set up a quad's two triangles as one rectangle and
// fill runs of rectangles without edge tests, need two things the plain surface lacks:
// a colour buffer in its native BGRA layout, and primitives the vertex stage did not
// clip (a primitive crossing the viewport's edge sends its whole batch through the
// clipper, which hands the triangles on one by one). So the fast surface is a texture
// given BGRA pixels, and its viewport reaches far past the surface: shapes that cross
// the screen's edge are cut by the framebuffer's bounds instead of by the clipper.
// Both cost a hardware driver nothing.

#include "platform/gl_context.h"

enum class SurfaceKind {
    Fast,   // BGRA texture, viewport with margins (when the driver allows them)
    Plain,  // RGBA renderbuffer, surface-sized viewport: what every driver accepts
};

struct GlSurface {
    SurfaceKind kind = SurfaceKind::Plain;
    GLuint framebuffer = 0;
    GLuint texture = 0;       // the fast surface's colour buffer
    GLuint renderbuffer = 0;  // the plain surface's colour buffer
    int marginX = 0, marginY = 0;  // viewport pixels beyond each edge of the surface
    GLenum readFormat = GL_RGBA;   // the colour buffer's own order, read back without conversion
};

// Makes the surface in the current context, the preferred kind first; the plain one
// when the fast one is refused. False when neither can be made.
bool makeGlSurface(GlSurface& surface, SurfaceKind preferred, const GlFramebufferCalls& calls);
void deleteGlSurface(GlSurface& surface, const GlFramebufferCalls& calls);
// Sets the viewport and projection for drawing into the surface (y downward).
void applySurfaceViewport(const GlSurface& surface);
