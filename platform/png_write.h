#pragma once
// Internal to the platform layer: writing an RGBA picture as a PNG file.

#include <string>

// `rgba` holds height rows of width * 4 bytes, top row first. False on any failure
// (the file is then removed).
bool writePng(const std::string& path, const unsigned char* rgba, int width, int height);
