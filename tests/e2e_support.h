#pragma once
// Whole games through the tumblebout-headless program: a fixture that runs it in a
// fresh folder with a script and state dumps, and small readers for the dumps' JSON
// and for the scripts kept in tests/scripts/.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/shell_test_support.h"

namespace e2e {

namespace fs = std::filesystem;

inline std::string scriptText(const std::string& name) {
    return shelltest::readBytes(fs::path(TUMBLEBOUT_SOURCE_DIR) / "tests" / "scripts" / name);
}

// The number after "# WORD " in a script's comments (-1 when missing).
inline int scriptMarker(const std::string& script, const std::string& word) {
    const std::size_t at = script.find("# " + word + " ");
    if (at == std::string::npos) return -1;
    return std::atoi(script.c_str() + at + word.size() + 3);
}

// Every value of a key in a JSON dump, in order (numbers as written).
inline std::vector<std::string> jsonValues(const std::string& json, const std::string& key) {
    std::vector<std::string> values;
    const std::string pattern = "\"" + key + "\":";
    for (std::size_t at = json.find(pattern); at != std::string::npos; at = json.find(pattern, at + 1)) {
        std::size_t start = at + pattern.size();
        if (json[start] == '"') {
            const std::size_t end = json.find('"', start + 1);
            values.push_back(json.substr(start + 1, end - start - 1));
        } else {
            const std::size_t end = json.find_first_of(",}]", start);
            values.push_back(json.substr(start, end - start));
        }
    }
    return values;
}

// The first value of a key ("" when missing).
inline std::string jsonValue(const std::string& json, const std::string& key) {
    const std::vector<std::string> values = jsonValues(json, key);
    return values.empty() ? "" : values.front();
}

inline double jsonNumber(const std::string& json, const std::string& key) {
    return std::atof(jsonValue(json, key).c_str());
}

// The energies of the fighters, in fighter order.
inline std::vector<double> energies(const std::string& json) {
    std::vector<double> values;
    for (const std::string& value : jsonValues(json, "energy")) values.push_back(std::atof(value.c_str()));
    return values;
}

// Arrow keys changed every `period` frames to a pseudo-random set, from frame 0 to
// `frames`: one online player's script.
inline std::string flailingScript(uint32_t seed, int period, int frames) {
    const char* const arrows[4] = {"LEFT", "RIGHT", "UP", "DOWN"};
    std::string script;
    uint32_t held = 0;
    for (int frame = 0; frame < frames; frame += period) {
        seed = seed * 1664525u + 1013904223u;
        const uint32_t next = (seed >> 24) & 15;
        for (int k = 0; k < 4; ++k) {
            const uint32_t bit = 1u << k;
            if ((held & bit) != (next & bit))
                script += std::to_string(frame) + ((next & bit) ? " down " : " up ") + arrows[k] + "\n";
        }
        held = next;
    }
    return script;
}

struct RunnerResult {
    int exitCode = -1;
    std::string errors;                  // what the runner wrote on stderr
    std::map<int, std::string> dumps;    // presented frame -> state JSON
};

class RunnerTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = shelltest::makeTempFolder("e2e"); }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(folder_, error);
    }

    fs::path path(const std::string& name) const { return folder_ / name; }

    // Runs the runner in the test's folder (where the option and score files live) with
    // `script`, the start time, a frame limit and dumps after the given frames.
    RunnerResult run(const std::string& script, int startMs, int frames, const std::vector<int>& dumpFrames) {
        shelltest::writeBytes(path("script.txt"), script);
        return runArgs("--input script.txt --start-ms " + std::to_string(startMs) + " --frames " +
                           std::to_string(frames),
                       dumpFrames);
    }

    // Runs the runner in the test's folder with `args` and dumps after the given frames.
    RunnerResult runArgs(const std::string& args, const std::vector<int>& dumpFrames) {
        std::string command = "cd '" + folder_.string() + "' && '" TUMBLEBOUT_BUILD_DIR "/tumblebout-headless' " + args;
        for (int frame : dumpFrames)
            command += " --dump " + std::to_string(frame) + ":dump" + std::to_string(frame) + ".json";
        command += " 2> stderr.txt";
        const int status = std::system(command.c_str());
        RunnerResult result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.errors = shelltest::readBytes(path("stderr.txt"));
        for (int frame : dumpFrames) {
            const fs::path dump = path("dump" + std::to_string(frame) + ".json");
            if (fs::exists(dump)) result.dumps[frame] = shelltest::readBytes(dump);
            fs::remove(dump);
        }
        return result;
    }

    // Frames from `first` to `last`, `step` apart.
    static std::vector<int> everyFrame(int first, int last, int step) {
        std::vector<int> frames;
        for (int frame = first; frame <= last; frame += step) frames.push_back(frame);
        return frames;
    }

private:
    fs::path folder_;
};

}  // namespace e2e
