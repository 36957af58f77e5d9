// Online series between two headless runners over the loopback interface: a bad
// network (delay and loss each way) must end in exactly the state of a perfect one,
// whatever a third player trying to join meanwhile does; each side's keys must move
// its own fighter; and a player who leaves ends the other side with OPPONENT LEFT,
// both replays playing back the confirmed frames. Every runner is killed after a time
// limit.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <regex>
#include <thread>

#include "tests/e2e_support.h"

namespace {

namespace fs = std::filesystem;
using e2e::flailingScript;
using e2e::jsonValue;
using shelltest::readBytes;
using shelltest::writeBytes;

constexpr int StartMs = 4000;      // both sides' clocks start alike, so their dumps do
constexpr int RunnerLimitS = 60;   // a runner still going then is killed

using SideResult = e2e::RunnerResult;  // one side's exit, errors and dumps

struct PairResult {
    SideResult host, join;
};

// The runner tests' temporary folder, with a sub-folder for each side.
class OnlineHeadless : public e2e::RunnerTest {
protected:
    fs::path side(const std::string& name) const { return path(name); }

    // Both sides in folders of their own, each with its script and its dumps; `meanwhile`
    // runs once both are started, with the host's port.
    PairResult play(const std::string& hostScript, const std::string& joinScript, const std::string& args,
                    int frames, const std::vector<int>& dumpFrames,
                    const std::function<void(int port)>& meanwhile = nullptr) {
        const std::string common = " --start-ms " + std::to_string(StartMs) + " --frames " + std::to_string(frames) + " " + args;
        launch("host", hostScript, "--host 0" + common, dumpFrames);
        const int port = hostPort();
        if (port == 0) {
            ADD_FAILURE() << "the host never said its port: " << readBytes(side("host") / "stderr.txt");
            return {};
        }
        launch("join", joinScript, "--join 127.0.0.1:" + std::to_string(port) + common, dumpFrames);
        if (meanwhile) meanwhile(port);
        return {finish("host", dumpFrames), finish("join", dumpFrames)};
    }

    // A third runner trying to join the host at `port`.
    SideResult intrude(int port) {
        launch("third", "", "--join 127.0.0.1:" + std::to_string(port) + " --frames 10", {});
        return finish("third", {});
    }

    // Runs the runner on a replay the side wrote, with dumps.
    SideResult replay(const std::string& name, const fs::path& file, int frames, const std::vector<int>& dumpFrames) {
        launch(name, "", "--replay '" + file.string() + "' --start-ms " + std::to_string(StartMs) + " --frames " +
                              std::to_string(frames), dumpFrames);
        return finish(name, dumpFrames);
    }

    std::vector<fs::path> replaysOf(const std::string& name) const {
        std::vector<fs::path> files;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(side(name) / "replays", error)) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        return files;
    }

private:
    void launch(const std::string& name, const std::string& script, const std::string& args,
                const std::vector<int>& dumpFrames) {
        const fs::path dir = side(name);
        fs::create_directories(dir);
        fs::remove(dir / "rc.txt");
        fs::remove(dir / "stderr.txt");
        writeBytes(dir / "script.txt", script);
        std::string command = "cd '" + dir.string() + "' && (timeout -s KILL " + std::to_string(RunnerLimitS) +
                              " '" TUMBLEBOUT_BUILD_DIR "/tumblebout-headless' --input script.txt " + args;
        for (int frame : dumpFrames)
            command += " --dump " + std::to_string(frame) + ":dump" + std::to_string(frame) + ".json";
        command += " 2> stderr.txt; echo $? > rc.part; mv rc.part rc.txt) > /dev/null 2>&1 &";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    // The port the host announces (0 if it says none within five seconds).
    int hostPort() const {
        const std::regex announced("WAITING FOR AN OPPONENT ON PORT ([0-9]+)");
        for (int waited = 0; waited < 5000; waited += 10) {
            std::smatch match;
            const std::string errors = readBytes(side("host") / "stderr.txt");
            if (std::regex_search(errors, match, announced)) return std::atoi(match[1].str().c_str());
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return 0;
    }

    SideResult finish(const std::string& name, const std::vector<int>& dumpFrames) const {
        const fs::path dir = side(name);
        SideResult result;
        for (int waited = 0; waited < (RunnerLimitS + 5) * 1000 && !fs::exists(dir / "rc.txt"); waited += 20)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        result.exitCode = std::atoi(readBytes(dir / "rc.txt").c_str());
        result.errors = readBytes(dir / "stderr.txt");
        for (int frame : dumpFrames) {
            const fs::path dump = dir / ("dump" + std::to_string(frame) + ".json");
            if (fs::exists(dump)) result.dumps[frame] = readBytes(dump);
            fs::remove(dump);
        }
        return result;
    }
};

// The fighter's part of a dump: from its number to the next fighter's.
std::string fighterOf(const std::string& json, int number) {
    const std::size_t at = json.find("{\"fighterNo\":" + std::to_string(number));
    if (at == std::string::npos) return "";
    return json.substr(at, json.find("{\"fighterNo\":" + std::to_string(number + 1), at) - at);
}

TEST_F(OnlineHeadless, ABadNetworkEndsInTheStateOfAPerfectOneAndEachSideMovesItsOwnFighter) {
    constexpr int frames = 3000;
    const std::vector<int> dumpFrames = {1000, 2000, frames};
    const std::string hostKeys = flailingScript(11, 30, frames);
    const std::string joinKeys = flailingScript(29, 23, frames);

    const PairResult perfect = play(hostKeys, joinKeys, "", frames, dumpFrames);
    // Meanwhile a third player is turned away, and changes nothing.
    SideResult third;
    const PairResult bad = play(hostKeys, joinKeys, "--net-delay 80 --net-loss 10", frames, dumpFrames, [&](int port) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        third = intrude(port);
    });
    EXPECT_EQ(third.exitCode, 2);
    EXPECT_EQ(third.errors, "tumblebout-headless: cannot join 127.0.0.1: the host is already playing an opponent\n");
    for (const SideResult* result : {&perfect.host, &perfect.join, &bad.host, &bad.join}) {
        ASSERT_EQ(result->exitCode, 0) << result->errors;
        ASSERT_EQ(result->dumps.size(), dumpFrames.size()) << result->errors;
    }
    for (int frame : dumpFrames) {
        SCOPED_TRACE(frame);
        EXPECT_EQ(perfect.join.dumps.at(frame), perfect.host.dumps.at(frame));
        EXPECT_EQ(bad.host.dumps.at(frame), perfect.host.dumps.at(frame));
        EXPECT_EQ(bad.join.dumps.at(frame), perfect.host.dumps.at(frame));
    }
    // The host's name entry and options are the series' own, whatever the joiner's folder.
    EXPECT_EQ(jsonValue(perfect.host.dumps.at(frames), "gameMode"), "2vs");
    EXPECT_EQ(jsonValue(perfect.host.dumps.at(frames), "frameCounter"), std::to_string(frames));

    // Early, before the fighters meet: each one's path is its own player's keys alone.
    constexpr int early = 60;
    const PairResult both = play(hostKeys, joinKeys, "", early, {early});
    const PairResult hostOnly = play(hostKeys, "", "", early, {early});
    const PairResult joinOnly = play("", joinKeys, "", early, {early});
    for (const PairResult* pair : {&both, &hostOnly, &joinOnly}) ASSERT_EQ(pair->join.dumps.count(early), 1u);
    const std::string& all = both.join.dumps.at(early);
    EXPECT_EQ(fighterOf(hostOnly.join.dumps.at(early), 1), fighterOf(all, 1));
    EXPECT_NE(fighterOf(hostOnly.join.dumps.at(early), 2), fighterOf(all, 2));
    EXPECT_EQ(fighterOf(joinOnly.host.dumps.at(early), 2), fighterOf(all, 2));
    EXPECT_NE(fighterOf(joinOnly.host.dumps.at(early), 1), fighterOf(all, 1));
}

TEST_F(OnlineHeadless, APlayerWhoLeavesEndsTheOtherSideAndBothReplaysPlayTheConfirmedFrames) {
    constexpr int leaveAt = 300;
    constexpr int checked = 250;  // confirmed on both sides before the leave
    const std::string hostKeys = flailingScript(5, 20, leaveAt) + std::to_string(leaveAt) + " down ESC\n";
    const PairResult pair = play(hostKeys, flailingScript(7, 25, leaveAt), "--net-delay 30", 3000, {checked});
    EXPECT_EQ(pair.host.exitCode, 0) << pair.host.errors;
    EXPECT_EQ(pair.host.errors.find("OPPONENT LEFT"), std::string::npos);
    EXPECT_EQ(pair.join.exitCode, 0) << pair.join.errors;
    EXPECT_NE(pair.join.errors.find("OPPONENT LEFT"), std::string::npos) << pair.join.errors;
    ASSERT_EQ(pair.host.dumps.count(checked), 1u);
    ASSERT_EQ(pair.join.dumps.count(checked), 1u);
    EXPECT_EQ(pair.join.dumps.at(checked), pair.host.dumps.at(checked));

    for (const char* name : {"host", "join"}) {
        SCOPED_TRACE(name);
        const std::vector<fs::path> replays = replaysOf(name);
        ASSERT_EQ(replays.size(), 1u);
        const SideResult watched = replay(name, replays[0], checked, {checked});
        ASSERT_EQ(watched.exitCode, 0) << watched.errors;
        ASSERT_EQ(watched.dumps.count(checked), 1u);
        EXPECT_EQ(watched.dumps.at(checked), pair.host.dumps.at(checked));
    }
}

}  // namespace
