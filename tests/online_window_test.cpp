// Two real game windows on an Xvfb display playing online over the loopback
// interface: a window closed mid-bout leaves the series cleanly (the other side shows
// OPPONENT LEFT), and one killed mid-bout leaves the other at CONNECTION LOST within
// six seconds; either way the other side then goes on to its menu. Skipped where Xvfb is not installed. Every process is ended by its id.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <regex>
#include <thread>

#include "tests/shell_test_support.h"

namespace {

namespace fs = std::filesystem;
using shelltest::readBytes;
using Clock = std::chrono::steady_clock;

constexpr auto PlayFor = std::chrono::seconds(1);  // once both sides play
constexpr auto StartLimit = std::chrono::seconds(20);  // a slow (sanitized) build starts slowly
constexpr auto MessageTime = std::chrono::seconds(3);  // how long an end's message stays

class OnlineWindows : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v Xvfb > /dev/null 2>&1") != 0) GTEST_SKIP() << "Xvfb is not installed";
        folder_ = shelltest::makeTempFolder("windows");
        const std::string command = "cd '" + folder_.string() +
                                    "' && (Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp > display.txt 2> /dev/null "
                                    "& echo $! > xvfb.pid)";
        ASSERT_EQ(std::system(command.c_str()), 0);
        xvfb_ = readPid(folder_ / "xvfb.pid");
        display_ = waitFor(folder_ / "display.txt", std::regex("([0-9]+)\n"), std::chrono::seconds(10));
        ASSERT_FALSE(display_.empty()) << "Xvfb gave no display";
    }
    void TearDown() override {
        // Only a game that has not ended yet: its id is still its own.
        for (const auto& [name, pid] : games_)
            if (!fs::exists(folder_ / name / "rc.txt")) ::kill(pid, SIGKILL);
        if (xvfb_ > 0) ::kill(xvfb_, SIGTERM);
        std::error_code error;
        if (!folder_.empty()) fs::remove_all(folder_, error);
    }

    // Starts the game in a folder of its own (its per-user folder) with `args`.
    pid_t launch(const std::string& name, const std::string& args) {
        const fs::path dir = folder_ / name;
        fs::create_directories(dir);
        const std::string command = "cd '" + dir.string() + "' && (env DISPLAY=:" + display_ +
                                    " XDG_DATA_HOME='" + dir.string() + "' SDL_AUDIODRIVER=dummy '" TUMBLEBOUT_BUILD_DIR
                                    "/tumblebout' " + args + " 2> stderr.txt & echo $! > pid.txt; wait $!; echo $? > rc.part; "
                                    "mv rc.part rc.txt) > /dev/null 2>&1 &";
        EXPECT_EQ(std::system(command.c_str()), 0);
        for (int waited = 0; waited < 2000 && !fs::exists(dir / "pid.txt"); waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const pid_t pid = readPid(dir / "pid.txt");
        games_.emplace_back(name, pid);
        return pid;
    }

    // A host and a joiner, playing (the joiner is 0 if they did not get that far).
    std::pair<pid_t, pid_t> startPair() {
        const pid_t host = launch("host", "--host 0");
        const std::string port = waitFor(folder_ / "host" / "stderr.txt",
                                         std::regex("WAITING FOR AN OPPONENT ON PORT ([0-9]+)"), StartLimit);
        if (port.empty()) return {host, 0};
        const pid_t join = launch("join", "--join 127.0.0.1:" + port);
        for (const char* name : {"host", "join"}) {
            if (waitFor(folder_ / name / "stderr.txt", std::regex("(playing online)"), StartLimit).empty())
                return {host, 0};
        }
        std::this_thread::sleep_for(PlayFor);
        return {host, join};
    }

    // The first group of `pattern` in the file, once it shows (or "" after `limit`).
    static std::string waitFor(const fs::path& file, const std::regex& pattern, Clock::duration limit) {
        for (const auto start = Clock::now(); Clock::now() - start < limit;) {
            std::smatch match;
            const std::string text = readBytes(file);
            if (std::regex_search(text, match, pattern)) return match[1].str();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return "";
    }

    // The exit status the side's game ended with, or -1 if it has not within `limit`.
    int exitStatus(const std::string& name, Clock::duration limit) const {
        const std::string status = waitFor(folder_ / name / "rc.txt", std::regex("([0-9]+)"), limit);
        return status.empty() ? -1 : std::atoi(status.c_str());
    }

    // After its end's message the side's game goes on to the menu rather than ending,
    // and leaves from there when its window is closed.
    void expectBackAtTheMenu(const std::string& name) const {
        EXPECT_EQ(exitStatus(name, MessageTime + std::chrono::seconds(1)), -1) << "it ended instead";
        ::kill(pidOf(name), SIGTERM);
        EXPECT_EQ(exitStatus(name, std::chrono::seconds(5)), 0);
    }

    pid_t pidOf(const std::string& name) const {
        for (const auto& [game, pid] : games_)
            if (game == name) return pid;
        return 0;
    }

    static pid_t readPid(const fs::path& file) { return static_cast<pid_t>(std::atoi(readBytes(file).c_str())); }

    fs::path folder_;
    std::string display_;
    pid_t xvfb_ = 0;
    std::vector<std::pair<std::string, pid_t>> games_;
};

TEST_F(OnlineWindows, AClosedWindowLeavesTheSeriesForBothSides) {
    const auto [host, join] = startPair();
    ASSERT_NE(join, 0) << readBytes(folder_ / "host" / "stderr.txt");
    ::kill(join, SIGTERM);  // the window is asked to close
    EXPECT_EQ(exitStatus("join", std::chrono::seconds(5)), 0) << readBytes(folder_ / "join" / "stderr.txt");
    EXPECT_EQ(waitFor(folder_ / "host" / "stderr.txt", std::regex("tumblebout: (OPPONENT LEFT)\n"),
                      std::chrono::seconds(10)),
              "OPPONENT LEFT");
    expectBackAtTheMenu("host");
    // Both played: each kept the bout so far as a replay.
    for (const char* name : {"host", "join"}) {
        std::error_code error;
        EXPECT_FALSE(fs::is_empty(folder_ / name / "tumblebout" / "replays", error)) << name;
    }
}

TEST_F(OnlineWindows, AKilledGameLeavesTheOtherAtConnectionLostWithinSixSeconds) {
    const auto [host, join] = startPair();
    ASSERT_NE(join, 0) << readBytes(folder_ / "host" / "stderr.txt");
    ::kill(join, SIGKILL);
    const auto killed = Clock::now();
    const std::string lost = waitFor(folder_ / "host" / "stderr.txt", std::regex("(CONNECTION LOST)"),
                                     std::chrono::seconds(8));
    EXPECT_EQ(lost, "CONNECTION LOST");
    EXPECT_LT(Clock::now() - killed, std::chrono::seconds(6));
    expectBackAtTheMenu("host");
}

}  // namespace
