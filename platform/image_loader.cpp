// LoadImage and the small image queries.

#include <utility>

#include "platform/image.h"
#include "platform/image_mask.h"
#include "platform/platform.h"
#include "platform/png_decode.h"

namespace {

int autoFlags = 0;  // the flags LoadImage uses when given -1

}  // namespace

void AutoImageFlags(int flags) { autoFlags = flags; }

ImageRef LoadImage(const std::string& path, int flags) {
    DecodedPng png;
    if (!decodePngFile(path, png)) return nullptr;
    auto image = std::make_shared<Image>();
    image->width = png.width;
    image->height = png.height;
    image->flags = flags == -1 ? autoFlags : flags;
    image->rgba = std::move(png.rgba);
    if ((image->flags & MASKEDIMAGE) && !png.hadAlpha) applyMaskColour(*image);
    return image;
}

void MidHandleImage(const ImageRef& image) {
    if (!image) return;
    image->handleX = image->width * 0.5f;
    image->handleY = image->height * 0.5f;
}

int ImageWidth(const ImageRef& image) { return image ? image->width : 0; }
int ImageHeight(const ImageRef& image) { return image ? image->height : 0; }
