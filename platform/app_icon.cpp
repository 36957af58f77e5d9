// AppIcon: the backend keeps the picture until its window exists.

#include "platform/backend.h"
#include "platform/image.h"
#include "platform/platform.h"

namespace {

// Window managers take small icons; X refuses a 2048 x 2048 one with an error that
// ends the program, and larger ones can hang it.
constexpr int maxIconSide = 512;

}  // namespace

void AppIcon(const ImageRef& image) {
    if (image && image->width <= maxIconSide && image->height <= maxIconSide) currentBackend().setIcon(*image);
}
