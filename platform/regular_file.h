#pragma once
// Opening the game's own files: regular files only, and never blocking on the way. A
// FIFO or a device under the name of a data, options or score file would otherwise
// hang start-up inside open.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// A descriptor for reading, or for writing over (created if missing, else emptied);
// -1 when the path is not a regular file or cannot be opened so.
int openRegularDescriptor(const std::string& path, bool writing);
// The same as a stream: mode "rb" or "wb".
std::FILE* openRegularFile(const std::string& path, const char* mode);

// The whole content of a regular file of 1 to maxBytes bytes; false otherwise.
bool readRegularFile(const std::string& path, std::size_t maxBytes, std::vector<uint8_t>& bytes);
