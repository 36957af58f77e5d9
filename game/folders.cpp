// Locating the data folder and entering the per-user folder; never throws.
#include "game/folders.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Without a trailing separator, so that joining "/images/..." gives a clean path.
std::string plain(const fs::path& folder) {
    std::string text = folder.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

bool holdsImages(const fs::path& folder) {
    std::error_code error;
    return fs::is_directory(folder / "images", error);
}

}  // namespace

std::string findDataFolder(const std::string& executableFolder) {
    std::error_code error;
    fs::path here = fs::absolute(executableFolder.empty() ? fs::path(".") : fs::path(executableFolder), error);
    if (error) here = executableFolder;
    if (holdsImages(here)) return plain(here);
    const fs::path installed = here / TUMBLEBOUT_DATA_FROM_BIN;
    if (holdsImages(installed)) return plain(installed);
    return plain(here);
}

bool enterUserFolder(const std::string& userFolder) {
    if (userFolder.empty()) return false;
    std::error_code error;
    fs::create_directories(userFolder, error);
    if (!fs::is_directory(userFolder, error)) return false;
    fs::current_path(userFolder, error);
    return !error;
}
