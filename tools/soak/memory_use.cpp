#include "tools/soak/memory_use.h"

#include <fstream>
#include <sstream>
#include <string>

namespace {

long statusFieldKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) != 0) continue;
        std::istringstream value(line.substr(field.size() + 1));
        long kb = 0;
        value >> kb;
        return kb;
    }
    return 0;
}

}  // namespace

long residentKb() { return statusFieldKb("VmRSS"); }
long peakResidentKb() { return statusFieldKb("VmHWM"); }
