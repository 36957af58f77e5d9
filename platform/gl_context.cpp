#include "platform/gl_context.h"

namespace {

template <typename F>
bool loadCall(F& call, const char* name) {
    call = reinterpret_cast<F>(SDL_GL_GetProcAddress(name));
    return call != nullptr;
}

}  // namespace

bool GlFramebufferCalls::load() {
    bool ok = loadCall(genFramebuffers, "glGenFramebuffers") &&
              loadCall(deleteFramebuffers, "glDeleteFramebuffers") &&
              loadCall(bindFramebuffer, "glBindFramebuffer") &&
              loadCall(genRenderbuffers, "glGenRenderbuffers") &&
              loadCall(deleteRenderbuffers, "glDeleteRenderbuffers") &&
              loadCall(bindRenderbuffer, "glBindRenderbuffer") &&
              loadCall(renderbufferStorage, "glRenderbufferStorage") &&
              loadCall(framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
              loadCall(checkFramebufferStatus, "glCheckFramebufferStatus") &&
              loadCall(blitFramebuffer, "glBlitFramebuffer");
    loadCall(generateMipmap, "glGenerateMipmap");  // optional: GL_GENERATE_MIPMAP serves otherwise
    loadCall(framebufferTexture2D, "glFramebufferTexture2D");  // optional: the plain surface serves otherwise
    return ok;
}

GlTarget::~GlTarget() {
    if (context) SDL_GL_DeleteContext(context);
    if (window) SDL_DestroyWindow(window);
    if (holdsVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void GlTarget::makeCurrent() const {
    if (SDL_GL_GetCurrentContext() != context) SDL_GL_MakeCurrent(window, context);
}

void requestCompatibilityContext() {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
}
