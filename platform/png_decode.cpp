#include "platform/png_decode.h"

#include <png.h>

#include <memory>

#include "platform/regular_file.h"

namespace {

// Larger pictures are refused as unreadable rather than allocated: a few bytes of
// header can ask for gigabytes, and no game picture comes near this.
constexpr png_uint_32 maxSide = 4096;

}  // namespace

// libpng's simplified reader keeps its longjmp inside the library and reports failure
// by return value, so a corrupt file cannot unwind through our frames.
bool decodePngFile(const std::string& path, DecodedPng& out) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openRegularFile(path, "rb"), std::fclose);
    if (!file) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_stdio(&image, file.get())) return false;
    if (image.width == 0 || image.height == 0 || image.width > maxSide || image.height > maxSide) {
        png_image_free(&image);
        return false;
    }
    out.hadAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_RGBA;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.rgba.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        out = DecodedPng{};
        return false;
    }
    return true;
}
