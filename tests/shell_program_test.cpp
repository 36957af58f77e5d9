// The built program before its window opens: what it prints for --help and --version,
// a mistaken option, and a machine without a display.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "shell_test_support.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;  // the exit status, or -1 when the program did not exit by itself
    std::string out, err;
};

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs the built game with `args` and nothing in its environment but `env`, from a
// fresh folder that is also its home; only a game that opened its display makes its
// per-user folder.
Outcome runGame(const std::vector<std::string>& args, std::vector<std::string> env = {},
                bool makesUserFolder = false) {
    const fs::path folder = shelltest::makeTempFolder("program");
    env.push_back("HOME=" + folder.string());
    env.push_back("XDG_DATA_HOME=" + (folder / "data").string());
    env.push_back("ASAN_OPTIONS=detect_leaks=0");  // the sanitizer run's
    const std::string program = TUMBLEBOUT_BUILD_DIR "/tumblebout";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& entry : env) envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);

    const fs::path out = folder / "stdout", err = folder / "stderr";
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0 || !std::freopen(out.c_str(), "w", stdout) ||
            !std::freopen(err.c_str(), "w", stderr))
            _exit(120);
        execve(argv[0], argv.data(), envp.data());
        _exit(121);
    }
    Outcome outcome;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
    outcome.out = fileText(out);
    outcome.err = fileText(err);
    EXPECT_EQ(fs::exists(folder / "data" / "tumblebout"), makesUserFolder) << "the per-user folder";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return outcome;
}

}  // namespace

TEST(ShellProgram, HelpAndVersionNeedNoDisplay) {
    const Outcome help = runGame({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    // The build's own data is found, beside the executable.
    EXPECT_EQ(help.out, helpText(fs::canonical(TUMBLEBOUT_BUILD_DIR).string()));

    const Outcome version = runGame({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, versionText());
    EXPECT_EQ(version.out.rfind("tumblebout ", 0), 0u) << version.out;
}

TEST(ShellProgram, UnknownOptionPrintsTheUsageAndExitsWithTwo) {
    const Outcome outcome = runGame({"--windowed", "--fast"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "tumblebout: unknown option '--fast'\n" + usageText());
}

TEST(ShellProgram, NoDisplayIsOneLineAndExitOne) {
    const Outcome outcome = runGame({}, {"SDL_AUDIODRIVER=dummy"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "tumblebout: no display to show the game on (DISPLAY and WAYLAND_DISPLAY are unset)\n");
    // Empty values count as unset.
    EXPECT_EQ(runGame({"--fullscreen"}, {"DISPLAY=", "WAYLAND_DISPLAY="}).status, 1);
}

TEST(ShellProgram, ReplayLastWithNoReplayIsOneLineAndExitTwo) {
    const Outcome outcome = runGame({"--replay-last"}, {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"}, true);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "tumblebout: no replay saved yet\n");
}
