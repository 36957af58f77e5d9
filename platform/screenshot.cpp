// Screenshots: the frame is read back on the game's thread (it needs the GL context)
// and written as a PNG on a worker thread, one shot at a time.

#include "platform/screenshot.h"

#include <cstdio>
#include <system_error>
#include <vector>

#include "platform/backend.h"
#include "platform/png_write.h"

namespace fs = std::filesystem;

namespace {

constexpr int surfaceWidth = 1024, surfaceHeight = 768;

// The first free name for a shot taken now; the previous shot is already on disk,
// so a name taken in the same second gets the next number.
fs::path freePath(const fs::path& folder) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    for (int copy = 1;; ++copy) {
        fs::path path = folder / screenshotName(local, copy);
        std::error_code error;
        if (!fs::exists(path, error)) return path;
    }
}

// Written under a temporary name and renamed, so a screenshot file is never seen
// half written.
fs::path writeShot(const fs::path& folder, const std::vector<unsigned char>& rgba) {
    std::error_code error;
    fs::create_directories(folder, error);
    const fs::path path = freePath(folder);
    fs::path partial = path;
    partial += ".part";
    if (!writePng(partial.string(), rgba.data(), surfaceWidth, surfaceHeight)) return {};
    fs::rename(partial, path, error);
    if (error) {
        fs::remove(partial, error);
        return {};
    }
    return path;
}

}  // namespace

std::string screenshotName(const std::tm& localTime, int copy) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", localTime.tm_year + 1900, localTime.tm_mon + 1,
                  localTime.tm_mday, localTime.tm_hour, localTime.tm_min, localTime.tm_sec);
    std::string name = std::string("tumblebout-") + stamp;
    if (copy > 1) name += "-" + std::to_string(copy);
    return name + ".png";
}

Screenshots::Screenshots(fs::path folder) : folder_(std::move(folder)) {}

Screenshots::~Screenshots() { finish(); }

bool Screenshots::handleEvent(const SDL_Event& event) {
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) return false;
    if (event.key.keysym.scancode != SDL_SCANCODE_F12) return false;
    if (event.type == SDL_KEYDOWN && !event.key.repeat) requested_ = true;
    return true;
}

void Screenshots::capture(Renderer& renderer) {
    if (!requested_) return;
    requested_ = false;
    std::vector<unsigned char> rgba(static_cast<size_t>(surfaceWidth) * surfaceHeight * 4);
    if (!renderer.readPixels(rgba.data())) return;
    finish();  // one writer at a time, so two shots never pick the same name
    written_.clear();
    writer_ = std::thread([this, rgba = std::move(rgba)] { written_ = writeShot(folder_, rgba); });
}

fs::path Screenshots::finish() {
    if (writer_.joinable()) writer_.join();
    return written_;
}
