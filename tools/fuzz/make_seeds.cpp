// tumblebout-fuzz-seeds OUTDIR: writes each reader's seeds into OUTDIR/<reader>/.

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tools/fuzz/fuzz_inputs.h"
#include "tools/fuzz/fuzz_seeds.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tumblebout-fuzz-seeds OUTDIR\n");
        return 2;
    }
    for (const FuzzReader& reader : fuzzReaders) {
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / reader.name;
        std::filesystem::create_directories(folder);
        for (const FuzzSeed& seed : makeFuzzSeeds(reader.name)) {
            std::ofstream out(folder / seed.name, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(seed.bytes.data()),
                      static_cast<std::streamsize>(seed.bytes.size()));
            if (seed.bytes.empty() || !out) {
                std::fprintf(stderr, "tumblebout-fuzz-seeds: cannot make %s/%s\n",
                             std::string(reader.name).c_str(), seed.name.c_str());
                return 1;
            }
        }
    }
    return 0;
}
