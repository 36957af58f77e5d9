// The last join, in lastjoin.txt.
#include "online/last_join.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/regular_file.h"

namespace {

constexpr const char* fileName = "lastjoin.txt";
constexpr size_t maxLength = 255;  // a host name and a port fit many times over

bool printableLine(const std::string& text) {
    return !text.empty() && text.size() <= maxLength &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

}  // namespace

std::string lastJoin() {
    std::vector<uint8_t> bytes;
    if (!readRegularFile(fileName, maxLength + 1, bytes)) return "";
    std::string text(bytes.begin(), bytes.end());
    if (text.back() == '\n') text.pop_back();
    return printableLine(text) ? text : "";
}

void rememberJoin(const std::string& target) {
    if (!printableLine(target)) return;
    std::FILE* file = openRegularFile(fileName, "wb");
    if (file == nullptr) return;
    std::fprintf(file, "%s\n", target.c_str());
    std::fclose(file);
}
