#include "platform/gl_texture.h"

#include <memory>
#include <unordered_map>

namespace {

std::unordered_map<uint64_t, const GlTarget*>& liveContexts() {
    static std::unordered_map<uint64_t, const GlTarget*> contexts;
    return contexts;
}

struct GlTexture {
    GLuint name = 0;
    uint64_t generation = 0;

    ~GlTexture() {
        auto it = liveContexts().find(generation);
        if (it == liveContexts().end()) return;  // its context is gone, and the texture with it
        // Deleting may happen in the middle of another context's drawing: put it back.
        SDL_Window* window = SDL_GL_GetCurrentWindow();
        SDL_GLContext context = SDL_GL_GetCurrentContext();
        it->second->makeCurrent();
        glDeleteTextures(1, &name);
        if (context && context != it->second->context) SDL_GL_MakeCurrent(window, context);
    }
};

void setFilters(const Image& image, const GlFramebufferCalls& calls) {
    const bool filtered = image.flags & 2, mipmapped = image.flags & 4;
    GLint minFilter = GL_NEAREST;
    if (filtered) minFilter = mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
    else if (mipmapped) minFilter = GL_NEAREST_MIPMAP_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filtered ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    if (mipmapped && !calls.generateMipmap) glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
}

}  // namespace

uint64_t registerGlContext(const GlTarget& target) {
    static uint64_t nextGeneration = 1;
    liveContexts()[nextGeneration] = &target;
    return nextGeneration++;
}

void forgetGlContext(uint64_t generation) { liveContexts().erase(generation); }

unsigned glTextureFor(const Image& image, uint64_t generation, const GlFramebufferCalls& calls) {
    auto* existing = static_cast<GlTexture*>(image.texture.get());
    if (existing && existing->generation == generation) return existing->name;

    auto texture = std::make_shared<GlTexture>();
    texture->generation = generation;
    glGenTextures(1, &texture->name);
    glBindTexture(GL_TEXTURE_2D, texture->name);
    setFilters(image, calls);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.rgba.data());
    if ((image.flags & 4) && calls.generateMipmap) calls.generateMipmap(GL_TEXTURE_2D);
    // Replacing the record deletes a texture of another context still alive.
    image.texture = texture;
    return texture->name;
}
