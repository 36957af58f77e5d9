// AppIcon: the backend keeps the picture until its window exists.

#include "platform/backend.h"
#include "platform/image.h"
#include "platform/platform.h"

void AppIcon(const ImageRef& image) {
    if (image) currentBackend().setIcon(*image);
}
