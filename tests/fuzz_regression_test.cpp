// Every file reader that is fuzzed replays its seeds (all must be accepted) and every
// input the fuzzer once broke it with (kept in tests/fuzz_regressions/<reader>/), which
// must now be handled without a crash, a leak or a broken invariant.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/fuzz/fuzz_inputs.h"
#include "tools/fuzz/fuzz_seeds.h"

namespace {

namespace fs = std::filesystem;

std::vector<unsigned char> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FuzzRegression : public ::testing::TestWithParam<FuzzReader> {};

TEST_P(FuzzRegression, AcceptsItsSeeds) {
    const FuzzReader& reader = GetParam();
    const std::vector<FuzzSeed> seeds = makeFuzzSeeds(reader.name);
    ASSERT_FALSE(seeds.empty());
    for (const FuzzSeed& seed : seeds) {
        ASSERT_FALSE(seed.bytes.empty()) << seed.name;
        EXPECT_TRUE(reader.feed(seed.bytes.data(), seed.bytes.size())) << seed.name;
    }
}

TEST_P(FuzzRegression, SurvivesEveryKeptInput) {
    const FuzzReader& reader = GetParam();
    const fs::path folder = fs::path(TUMBLEBOUT_FUZZ_REGRESSIONS) / std::string(reader.name);
    if (!fs::is_directory(folder)) GTEST_SKIP() << "no inputs kept for " << reader.name;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::vector<unsigned char> bytes = readBytes(entry.path());
        reader.feed(bytes.data(), bytes.size());
    }
}

TEST(FuzzRegressionInputs, EmptyAndTinyFilesAreRefusedOrRead) {
    // Degenerate inputs every reader must live through: nothing, one byte, a bare
    // magic number.
    const std::vector<std::vector<unsigned char>> inputs = {
        {}, {0}, {0x89, 'P', 'N', 'G'}, {'R', 'I', 'F', 'F'}, {'O', 'g', 'g', 'S'},
    };
    for (const FuzzReader& reader : fuzzReaders) {
        for (const auto& bytes : inputs) {
            const bool accepted = reader.feed(bytes.data(), bytes.size());
            const bool textFile = reader.name == "options" || reader.name == "scores";
            EXPECT_EQ(accepted, textFile) << reader.name << ", " << bytes.size() << " bytes";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, FuzzRegression, ::testing::ValuesIn(fuzzReaders),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
