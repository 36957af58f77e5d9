// One libFuzzer target per reader; the build names the reader (FUZZ_READER).

#include <cstdio>
#include <cstdlib>

#include "tools/fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzReader* reader = [] {
        const FuzzReader* found = findFuzzReader(FUZZ_READER);
        if (found == nullptr) {
            std::fprintf(stderr, "no reader named %s\n", FUZZ_READER);
            std::abort();
        }
        return found;
    }();
    reader->feed(data, size);
    return 0;
}
