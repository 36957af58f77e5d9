#include "platform/gl_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <malloc.h>

#include "platform/gl_texture.h"
#include "platform/image.h"

namespace {
constexpr int trimThresholdBytes = 64 << 20;
}

std::unique_ptr<GlRenderer> GlRenderer::create(std::unique_ptr<GlTarget> target) {
    if (!target || !target->context) return nullptr;
    std::unique_ptr<GlRenderer> renderer(new GlRenderer(std::move(target)));
    if (!renderer->setUp()) return nullptr;
    return renderer;
}

GlRenderer::GlRenderer(std::unique_ptr<GlTarget> target) : target_(std::move(target)) {
    pending_.reserve(6 * 4096);
}

GlRenderer::~GlRenderer() {
    if (generation_) forgetGlContext(generation_);
    if (!framebuffer_) return;
    target_->makeCurrent();
    calls_.deleteFramebuffers(1, &framebuffer_);
    calls_.deleteRenderbuffers(1, &colourBuffer_);
}

bool GlRenderer::setUp() {
    // A software rasteriser (Mesa's llvmpipe) frees and takes back large blocks at the
    // top of the heap every frame; with the C library's default trimming each frame
    // then faults its pages in afresh, which once made frames three times slower.
    // Keeping freed memory costs nothing on a hardware driver.
    mallopt(M_TRIM_THRESHOLD, trimThresholdBytes);
    target_->makeCurrent();
    if (!calls_.load()) return false;
    calls_.genRenderbuffers(1, &colourBuffer_);
    calls_.bindRenderbuffer(GL_RENDERBUFFER, colourBuffer_);
    calls_.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, surfaceWidth, surfaceHeight);
    calls_.genFramebuffers(1, &framebuffer_);
    calls_.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    calls_.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer_);
    if (calls_.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
    generation_ = registerGlContext(*target_);

    glViewport(0, 0, surfaceWidth, surfaceHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, surfaceWidth, surfaceHeight, 0, -1, 1);  // y downward, origin top-left
    glMatrixMode(GL_MODELVIEW);
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
    glClear(GL_COLOR_BUFFER_BIT);
    // The surface stays opaque whatever is blended into it, so shots read back whole.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    return true;
}

void GlRenderer::clear() {
    flush();
    target_->makeCurrent();
    glClear(GL_COLOR_BUFFER_BIT);
    drawCalls_ = 0;
}

GlRenderer::GlVertex GlRenderer::vertex(float x, float y, float u, float v, const DrawState& state) const {
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
    if (!batching_) flush();
}

void GlRenderer::quad(const Image* image, const Vertex (&c)[4], const DrawState& state) {
    if (image && (image->width <= 0 || image->height <= 0)) return;
    target_->makeCurrent();
    const unsigned texture = image ? textureFor(*image) : 0;
    beginShape({Primitive::Triangles, texture, std::clamp(state.blend, 1, 5)});
    const GlVertex v[4] = {vertex(c[0].x, c[0].y, c[0].u, c[0].v, state),
                           vertex(c[1].x, c[1].y, c[1].u, c[1].v, state),
                           vertex(c[2].x, c[2].y, c[2].u, c[2].v, state),
                           vertex(c[3].x, c[3].y, c[3].u, c[3].v, state)};
    pending_.insert(pending_.end(), {v[0], v[1], v[2], v[0], v[2], v[3]});
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
    glDrawArrays(pendingKey_.primitive == Primitive::Triangles ? GL_TRIANGLES : GL_LINES, 0,
                 static_cast<GLsizei>(pending_.size()));
    ++drawCalls_;
    pending_.clear();
}

void GlRenderer::finishFrame() { flush(); }

bool GlRenderer::readPixels(unsigned char* rgba) {
    flush();
    target_->makeCurrent();
    calls_.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, surfaceWidth, surfaceHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    // GL's rows run bottom-up: turn them so the top row comes first.
    const size_t rowBytes = surfaceWidth * 4;
    std::vector<unsigned char> row(rowBytes);
    for (int y = 0; y < surfaceHeight / 2; ++y) {
        unsigned char* top = rgba + y * rowBytes;
        unsigned char* bottom = rgba + (surfaceHeight - 1 - y) * rowBytes;
        std::memcpy(row.data(), top, rowBytes);
        std::memcpy(top, bottom, rowBytes);
        std::memcpy(bottom, row.data(), rowBytes);
    }
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
    calls_.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT);
    const bool exact = shown.width == surfaceWidth && shown.height == surfaceHeight;
    calls_.blitFramebuffer(0, 0, surfaceWidth, surfaceHeight, shown.left, shown.bottom, shown.left + shown.width,
                           shown.bottom + shown.height, GL_COLOR_BUFFER_BIT, exact ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(target_->window);
    calls_.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, surfaceWidth, surfaceHeight);
}
