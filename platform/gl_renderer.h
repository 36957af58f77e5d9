#pragma once
// The OpenGL renderer: draws the 1024 x 768 surface into a framebuffer object
// through a batcher. Shapes are queued in call order; consecutive shapes of the same
// kind (quads or lines), texture and blend mode go to GL in one draw call, and GL
// state changes only when a batch needs a different one. Because the surface lives
// in its own framebuffer, presenting twice without drawing shows the same picture.
// How the surface is made for the software rasteriser's sake: gl_surface.h.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/backend.h"
#include "platform/gl_context.h"
#include "platform/gl_surface.h"

// Where the surface shows in a drawable of the given size: the largest rectangle of
// its aspect that fits, centred (GL window coordinates, origin bottom-left).
struct ShownRect {
    int left = 0, bottom = 0, width = 0, height = 0;
};
ShownRect letterbox(int drawableWidth, int drawableHeight);

class GlRenderer : public Renderer {
public:
    static constexpr int surfaceWidth = 1024, surfaceHeight = 768;

    // Null when the target's context lacks framebuffer objects.
    static std::unique_ptr<GlRenderer> create(std::unique_ptr<GlTarget> target);
    // The surface kind renderers created from now on try first; Plain forces the
    // fallback, for tests and for measuring what the fast surface gains.
    static void preferSurface(SurfaceKind kind);
    SurfaceKind surfaceKind() const { return surface_.kind; }
    ~GlRenderer() override;

    void clear() override;
    void quad(const Image* image, const Vertex (&corners)[4], const DrawState& state) override;
    void line(float x1, float y1, float x2, float y2, bool drawLastPixel, const DrawState& state) override;
    void finishFrame() override;
    bool readPixels(unsigned char* rgba) override;

    // Shows the surface in the target window's back buffer, scaled to the drawable
    // size with its aspect kept (black bars fill the rest), then swaps.
    void presentToWindow();
    SDL_Window* window() const { return target_->window; }

    // The naive path, one GL call per shape, exists only to measure the batcher.
    void setBatching(bool on) { batching_ = on; }
    int drawCallsSinceClear() const { return drawCalls_; }

private:
    enum class Primitive : uint8_t { Quads, Lines };
    struct BatchKey {
        Primitive primitive = Primitive::Quads;
        unsigned texture = 0;  // 0 = untextured
        int blend = 0;
        bool operator==(const BatchKey&) const = default;
    };
    struct GlVertex {
        float x, y, u, v;
        uint8_t r, g, b, a;
    };

    explicit GlRenderer(std::unique_ptr<GlTarget> target);
    bool setUp();
    unsigned textureFor(const Image& image);
    void beginShape(const BatchKey& key);
    void endShape();
    void flush();
    void applyBlend(int blend);
    void applyTexture(unsigned texture);
    static GlVertex vertex(float x, float y, float u, float v, const DrawState& state);

    std::unique_ptr<GlTarget> target_;  // first member: the context outlives the GL objects
    GlFramebufferCalls calls_;
    uint64_t generation_ = 0;  // tells this context's textures from another's
    GlSurface surface_;

    std::vector<GlVertex> pending_;
    BatchKey pendingKey_;
    bool batching_ = true;
    int drawCalls_ = 0;
    size_t verticesSinceFlush_ = 0;  // sent to GL since the rasteriser last got work
    int appliedBlend_ = -1;
    unsigned appliedTexture_ = ~0u;
};
