#pragma once
// Textures made from Images on first draw. Image::texture holds a small record of
// the GL name and the context it belongs to; a texture is deleted in its own context
// when its image goes, and remade when the image is drawn in another context.

#include <cstdint>

#include "platform/gl_context.h"
#include "platform/image.h"

// A renderer's context, known while it lives, so that textures outliving it are
// simply dropped and textures dying before it are deleted in it.
uint64_t registerGlContext(const GlTarget& target);
void forgetGlContext(uint64_t generation);

// The image's texture in the context of the given generation (which is current).
unsigned glTextureFor(const Image& image, uint64_t generation, const GlFramebufferCalls& calls);
