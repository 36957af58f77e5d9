#pragma once
// Writes 8-bit RGBA PNG files. No time stamp or other varying chunk is written, so
// the same pixels always give the same bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

// Returns an error message, or an empty string on success.
std::string writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);

}  // namespace datagen
