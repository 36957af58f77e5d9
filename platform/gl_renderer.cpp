#include "platform/gl_renderer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include <malloc.h>

#include "platform/gl_texture.h"
#include "platform/image.h"

namespace {
constexpr int trimThresholdBytes = 64 << 20;
SurfaceKind preferredSurface = SurfaceKind::Fast;
// Mesa's software rasteriser sorts a frame's shapes into tiles on the calling thread
// and fills the tiles on its own threads only once GL is flushed. Flushing after every
// thousand quads or so lets it fill the first bursts while the game still computes and
// sends the rest, and keeps each batch of tiles small enough to stay in the caches. A
// flush per thousand quads costs a hardware driver next to nothing.
constexpr size_t handOverVertices = 4096;
}  // namespace

std::unique_ptr<GlRenderer> GlRenderer::create(std::unique_ptr<GlTarget> target) {
    if (!target || !target->context) return nullptr;
    std::unique_ptr<GlRenderer> renderer(new GlRenderer(std::move(target)));
    if (!renderer->setUp()) return nullptr;
    return renderer;
}

void GlRenderer::preferSurface(SurfaceKind kind) { preferredSurface = kind; }

GlRenderer::GlRenderer(std::unique_ptr<GlTarget> target) : target_(std::move(target)) {
    pending_.reserve(4 * 4096);
}

GlRenderer::~GlRenderer() {
    if (generation_) forgetGlContext(generation_);
    if (!surface_.framebuffer) return;
    target_->makeCurrent();
    deleteGlSurface(surface_, calls_);
}

bool GlRenderer::setUp() {
    // A software rasteriser (Mesa's llvmpipe) frees and takes back large blocks at the
    // top of the heap every frame; with the C library's default trimming each frame
    // then faults its pages in afresh, which once made frames three times slower.
    // Keeping freed memory costs nothing on a hardware driver.
    mallopt(M_TRIM_THRESHOLD, trimThresholdBytes);
    target_->makeCurrent();
    if (!calls_.load()) return false;
    if (!makeGlSurface(surface_, preferredSurface, calls_)) return false;
    generation_ = registerGlContext(*target_);

    applySurfaceViewport(surface_);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glAlphaFunc(GL_GEQUAL, 0.5f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);  // the colour tints the picture
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glClearColor(0, 0, 0, 1);
    clear();
    return true;
}

void GlRenderer::clear() {
    flush();
    target_->makeCurrent();
    // The surface's alpha is masked off while drawing, so that it stays opaque and shots
    // read back whole; but under a mask Mesa clears by drawing a screen-sized quad
    // through the whole pixel pipeline, which cost an empty frame 2 ms. Unmasked, the
    // clear is a plain fill, and its alpha of 1 is what the mask then keeps.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    drawCalls_ = 0;
    verticesSinceFlush_ = 0;
}

GlRenderer::GlVertex GlRenderer::vertex(float x, float y, float u, float v, const DrawState& state) {
    const auto alpha = static_cast<uint8_t>(static_cast<int>(std::clamp(state.alpha, 0.0f, 1.0f) * 255));
    return GlVertex{x, y, u, v, static_cast<uint8_t>(state.r), static_cast<uint8_t>(state.g),
                    static_cast<uint8_t>(state.b), alpha};
}

unsigned GlRenderer::textureFor(const Image& image) {
    const void* before = image.texture.get();
    const unsigned name = glTextureFor(image, generation_, calls_);
    if (image.texture.get() != before) appliedTexture_ = ~0u;  // making it changed the binding
    return name;
}

void GlRenderer::beginShape(const BatchKey& key) {
    if (!(key == pendingKey_)) flush();
    pendingKey_ = key;
}

void GlRenderer::endShape() {
    if (!batching_ || pending_.size() >= handOverVertices) flush();
}

// A quad goes to GL as GL_QUADS, four vertices instead of six: Mesa's software
// rasteriser turns each into a pair of triangles it sets up as one rectangle, while in
// long six-vertex triangle lists it mostly misses the pairs (its vertex stage cuts the
// lists into runs of a multiple of three), which measured a third slower.
void GlRenderer::quad(const Image* image, const Vertex (&c)[4], const DrawState& state) {
    if (image && (image->width <= 0 || image->height <= 0)) return;
    if (whollyOffSurface(c)) return;  // particles flown off, the arena's far parts
    target_->makeCurrent();
    const unsigned texture = image ? textureFor(*image) : 0;
    beginShape({Primitive::Quads, texture, std::clamp(state.blend, 1, 5)});
    GlVertex v = vertex(c[0].x, c[0].y, c[0].u, c[0].v, state);
    pending_.push_back(v);
    for (int i = 1; i < 4; ++i) {
        v.x = c[i].x, v.y = c[i].y, v.u = c[i].u, v.v = c[i].v;
        pending_.push_back(v);
    }
    endShape();
}

// Line ends sit just inside the pixel they name (not on its centre, where the
// rasteriser's tie rules differ between drivers), so a line between whole
// coordinates lights the pixels from the first to the one before the last. When the
// last pixel is wanted, a one-pixel segment starting inside it lights exactly it.
namespace {
constexpr float pixelCentre = 0.375f;
}

void GlRenderer::line(float x1, float y1, float x2, float y2, bool drawLastPixel, const DrawState& state) {
    target_->makeCurrent();
    beginShape({Primitive::Lines, 0, std::clamp(state.blend, 1, 5)});
    pending_.push_back(vertex(x1 + pixelCentre, y1 + pixelCentre, 0, 0, state));
    pending_.push_back(vertex(x2 + pixelCentre, y2 + pixelCentre, 0, 0, state));
    if (drawLastPixel) {
        const float px = std::floor(x2) + pixelCentre, py = std::floor(y2) + pixelCentre;
        pending_.push_back(vertex(px, py, 0, 0, state));
        pending_.push_back(vertex(px + 1.0f, py, 0, 0, state));
    }
    endShape();
}

void GlRenderer::applyBlend(int blend) {
    if (blend == appliedBlend_) return;
    appliedBlend_ = blend;
    switch (blend) {
    case 1:  // mask: opaque where alpha >= 0.5
        glDisable(GL_BLEND);
        glEnable(GL_ALPHA_TEST);
        break;
    case 2:  // solid
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        break;
    case 3:  // alpha
        glEnable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case 4:  // light (additive)
        glEnable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
    default:  // 5 shade (multiply)
        glEnable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
        break;
    }
}

void GlRenderer::applyTexture(unsigned texture) {
    if (texture == appliedTexture_) return;
    if (texture == 0) {
        glDisable(GL_TEXTURE_2D);
    } else {
        if (appliedTexture_ == 0 || appliedTexture_ == ~0u) glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
    }
    appliedTexture_ = texture;
}

void GlRenderer::flush() {
    if (pending_.empty()) return;
    target_->makeCurrent();
    applyBlend(pendingKey_.blend);
    applyTexture(pendingKey_.texture);
    const GlVertex* v = pending_.data();
    glVertexPointer(2, GL_FLOAT, sizeof(GlVertex), &v->x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(GlVertex), &v->u);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(GlVertex), &v->r);
    glDrawArrays(pendingKey_.primitive == Primitive::Quads ? GL_QUADS : GL_LINES, 0,
                 static_cast<GLsizei>(pending_.size()));
    ++drawCalls_;
    verticesSinceFlush_ += pending_.size();
    if (verticesSinceFlush_ >= handOverVertices) {
        glFlush();
        verticesSinceFlush_ = 0;
    }
    pending_.clear();
}

void GlRenderer::finishFrame() { flush(); }

namespace {

static_assert(std::endian::native == std::endian::little, "pixels are reordered as little-endian words");

// Swaps two rows of the surface as read back, each pixel into RGBA order.
void swapRows(unsigned char* a, unsigned char* b, bool blueFirst) {
    auto toRgba = [blueFirst](uint32_t p) {
        // Bytes in memory blue, green, red, alpha: in a little-endian word, red and
        // blue trade places.
        return blueFirst ? (p & 0xFF00FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16) : p;
    };
    for (int x = 0; x < GlRenderer::surfaceWidth; ++x) {
        uint32_t pa, pb;
        std::memcpy(&pa, a + 4 * x, 4);
        std::memcpy(&pb, b + 4 * x, 4);
        pa = toRgba(pa);
        pb = toRgba(pb);
        std::memcpy(a + 4 * x, &pb, 4);
        std::memcpy(b + 4 * x, &pa, 4);
    }
}

}  // namespace

bool GlRenderer::readPixels(unsigned char* rgba) {
    flush();
    target_->makeCurrent();
    calls_.bindFramebuffer(GL_READ_FRAMEBUFFER, surface_.framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // Read in the surface's own order: any other costs the driver a converting pass.
    glReadPixels(0, 0, surfaceWidth, surfaceHeight, surface_.readFormat, GL_UNSIGNED_BYTE, rgba);
    // GL's rows run bottom-up: turn them so the top row comes first, in RGBA order.
    const size_t rowBytes = surfaceWidth * 4;
    for (int y = 0; y < surfaceHeight / 2; ++y)
        swapRows(rgba + y * rowBytes, rgba + (surfaceHeight - 1 - y) * rowBytes, surface_.readFormat == GL_BGRA);
    return glGetError() == GL_NO_ERROR;
}

ShownRect letterbox(int drawableWidth, int drawableHeight) {
    const double scale = std::min(static_cast<double>(drawableWidth) / GlRenderer::surfaceWidth,
                                  static_cast<double>(drawableHeight) / GlRenderer::surfaceHeight);
    ShownRect shown;
    shown.width = static_cast<int>(GlRenderer::surfaceWidth * scale);
    shown.height = static_cast<int>(GlRenderer::surfaceHeight * scale);
    shown.left = (drawableWidth - shown.width) / 2;
    shown.bottom = (drawableHeight - shown.height) / 2;
    return shown;
}

void GlRenderer::presentToWindow() {
    flush();
    target_->makeCurrent();
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(target_->window, &width, &height);
    const ShownRect shown = letterbox(width, height);
    calls_.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    calls_.bindFramebuffer(GL_READ_FRAMEBUFFER, surface_.framebuffer);
    glViewport(0, 0, width, height);
    if (shown.width != width || shown.height != height) {  // black bars, unmasked as in clear()
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClear(GL_COLOR_BUFFER_BIT);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    }
    const bool exact = shown.width == surfaceWidth && shown.height == surfaceHeight;
    calls_.blitFramebuffer(0, 0, surfaceWidth, surfaceHeight, shown.left, shown.bottom, shown.left + shown.width,
                           shown.bottom + shown.height, GL_COLOR_BUFFER_BIT, exact ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(target_->window);
    calls_.bindFramebuffer(GL_FRAMEBUFFER, surface_.framebuffer);
    applySurfaceViewport(surface_);
}
