// Online play by invite code, through real routers: network namespaces joined by veth
// cables, an "internet" with the invite service, and home routers that masquerade and
// drop what comes in unasked. Players behind two ordinary routers connect directly;
// behind a router that picks a new port per destination, through the relay; behind the
// same router, over their private addresses; on one LAN, by its search. Either way the
// series ends in the state of a perfect network. A wrong code, a service that is down
// and a host that is gone each end the joiner with one line and a failing status.
// Without root, iproute2 or nftables the tests say why and skip (in CI they fail).
// Every process is killed at a time limit; the namespaces go when each test ends.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <map>
#include <memory>
#include <regex>

#include "tests/e2e_support.h"
#include "tests/network_lab.h"

namespace {

namespace fs = std::filesystem;
using shelltest::readBytes;

constexpr int StartMs = 4000;          // both sides' clocks start alike, so their dumps do
constexpr int RunnerLimitMs = 60000;   // a runner still going then is killed
constexpr int JoinerGivesUpMs = 10000; // a join that cannot be made says so by then
const std::string Lobby = std::string(lab::kServiceAddress) + ":27616";

struct Side {
    int exitCode = -1;
    std::string errors;
    std::map<int, std::string> dumps;  // frame -> confirmed state
};

struct Pair {
    Side host, join;
};

using Clock = std::chrono::steady_clock;

int msSince(Clock::time_point start) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class InviteThroughRouters : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string why = lab::unavailableBecause();
        if (!why.empty()) {
            if (std::getenv("CI") != nullptr) FAIL() << "CI must run the network tests, but " << why;
            GTEST_SKIP() << why;
        }
        folder_ = shelltest::makeTempFolder("invite");
        lab_ = std::make_unique<lab::NetworkLab>();
        lab_->makeInternet();
    }

    void TearDown() override {
        runners_.clear();
        lobby_.reset();
        lab_.reset();
        std::error_code error;
        if (!folder_.empty()) fs::remove_all(folder_, error);
    }

    std::string home(const std::string& name, int lan, bool newPortPerDestination = false) {
        return lab_->homeRouter(name, "198.51.100." + std::to_string(10 + lan), lan, newPortPerDestination);
    }
    std::string player(const std::string& name, const std::string& router, int lan, int host) {
        return lab_->player(name, router, lan, host);
    }

    // The invite service in the internet, once it serves.
    void startLobby() {
        ASSERT_EQ(lab_->error(), "");
        lobby_ = std::make_unique<lab::Process>(
            lab_->internet(), std::vector<std::string>{TUMBLEBOUT_BUILD_DIR "/tumblebout-lobby", "--port", "27616"},
            folder_ / "lobby");
        ASSERT_NE(lobby_->waitForLine("serving on UDP port", 5000), "") << lobby_->errors();
    }
    // Stops the service; its log.
    std::string stopLobby() {
        lobby_->signal(SIGTERM);
        EXPECT_EQ(lobby_->wait(5000), 0);
        return lobby_->errors();
    }

    // A runner in namespace `space` ("" for this machine), in a folder named `name`, with
    // a script, dumps of the given frames and `args`.
    lab::Process& runner(const std::string& space, const std::string& name, const std::string& script,
                         int frames, const std::vector<int>& dumpFrames, const std::vector<std::string>& args) {
        EXPECT_EQ(lab_->error(), "");
        const fs::path folder = folder_ / name;
        fs::create_directories(folder);
        shelltest::writeBytes(folder / "script.txt", script);
        std::vector<std::string> command = {TUMBLEBOUT_BUILD_DIR "/tumblebout-headless", "--input", "script.txt",
                                            "--start-ms", std::to_string(StartMs), "--frames", std::to_string(frames)};
        for (int frame : dumpFrames) {
            command.push_back("--dump");
            command.push_back(std::to_string(frame) + ":dump" + std::to_string(frame) + ".json");
        }
        command.insert(command.end(), args.begin(), args.end());
        return *runners_.emplace_back(std::make_unique<lab::Process>(space, command, folder));
    }

    Side finish(lab::Process& process, const std::string& name, const std::vector<int>& dumpFrames) {
        Side side;
        side.exitCode = process.wait(RunnerLimitMs);
        side.errors = process.errors();
        for (int frame : dumpFrames) {
            const fs::path dump = folder_ / name / ("dump" + std::to_string(frame) + ".json");
            if (fs::exists(dump)) side.dumps[frame] = readBytes(dump);
        }
        return side;
    }

    // A host in `hostSpace` with `hostArgs`, and once it has a code a joiner in
    // `joinSpace` joining by it; both play `frames` frames of versus with their scripts.
    Pair byCode(const std::string& tag, const std::string& hostSpace, const std::string& joinSpace, int frames,
                const std::vector<int>& dumpFrames, std::vector<std::string> hostArgs = {}) {
        hostArgs.insert(hostArgs.begin(), {"--host", "0", "--lobby", Lobby});
        lab::Process& host = runner(hostSpace, tag + "-host", hostKeys(frames), frames, dumpFrames, hostArgs);
        const std::string code = host.waitForLine("INVITE CODE ([A-Z0-9]{4}-[A-Z0-9]{4})", 5000);
        if (code.empty()) {
            ADD_FAILURE() << "no invite code: " << host.errors();
            return {};
        }
        lab::Process& join = runner(joinSpace, tag + "-join", joinKeys(frames), frames, dumpFrames,
                                    {"--join", code, "--lobby", Lobby});
        return {finish(host, tag + "-host", dumpFrames), finish(join, tag + "-join", dumpFrames)};
    }

    // The same scripts over this machine's loopback interface: the perfect network.
    Pair onLoopback(int frames, const std::vector<int>& dumpFrames) {
        lab::Process& host = runner("", "loopback-host", hostKeys(frames), frames, dumpFrames, {"--host", "0"});
        const std::string port = host.waitForLine("WAITING FOR AN OPPONENT ON PORT ([0-9]+)", 5000);
        lab::Process& join = runner("", "loopback-join", joinKeys(frames), frames, dumpFrames,
                                    {"--join", "127.0.0.1:" + port});
        return {finish(host, "loopback-host", dumpFrames), finish(join, "loopback-join", dumpFrames)};
    }

    static std::string hostKeys(int frames) { return e2e::flailingScript(11, 30, frames); }
    static std::string joinKeys(int frames) { return e2e::flailingScript(29, 23, frames); }

    // Both sides played every frame and dumped the state `expected` holds.
    static void expectSameState(const Pair& pair, const std::map<int, std::string>& expected) {
        for (const Side* side : {&pair.host, &pair.join}) {
            ASSERT_EQ(side->exitCode, 0) << side->errors;
            for (const auto& [frame, state] : expected) {
                SCOPED_TRACE(frame);
                ASSERT_EQ(side->dumps.count(frame), 1u) << side->errors;
                EXPECT_EQ(side->dumps.at(frame), state);
            }
        }
    }

    // A joiner by `code` that must fail: its only line, and how long it took.
    std::pair<Side, int> failedJoin(const std::string& space, const std::string& name, const std::string& code) {
        const Clock::time_point start = Clock::now();
        lab::Process& join = runner(space, name, "", 60, {}, {"--join", code, "--lobby", Lobby});
        Side side = finish(join, name, {});
        return {side, msSince(start)};
    }

    const fs::path& folder() const { return folder_; }

    std::unique_ptr<lab::NetworkLab> lab_;
    std::unique_ptr<lab::Process> lobby_;

private:
    fs::path folder_;
    std::vector<std::unique_ptr<lab::Process>> runners_;
};

TEST_F(InviteThroughRouters, HomeRoutersConnectDirectlyAndAPortPerDestinationGoesThroughTheRelay) {
    const std::string ordinaryA = home("ra", 1), ordinaryB = home("rb", 2), perDestination = home("rc", 3, true);
    const std::string a = player("a", ordinaryA, 1, 2), b = player("b", ordinaryB, 2, 2);
    const std::string c = player("c", perDestination, 3, 2);
    startLobby();
    constexpr int frames = 3000;
    const std::vector<int> dumpFrames = {1000, frames};
    const Pair perfect = onLoopback(frames, dumpFrames);
    ASSERT_EQ(perfect.host.dumps.size(), dumpFrames.size()) << perfect.host.errors;
    ASSERT_EQ(perfect.join.dumps, perfect.host.dumps);

    // The perfect network's delay: the one the round trip would choose differs.
    const Pair direct = byCode("direct", a, b, frames, dumpFrames, {"--input-delay", "2"});
    expectSameState(direct, perfect.host.dumps);
    EXPECT_NE(direct.join.errors.find("CONNECTED DIRECTLY TO 198.51.100.11:"), std::string::npos) << direct.join.errors;

    const Pair relayed = byCode("relayed", c, b, frames, dumpFrames, {"--input-delay", "2"});
    expectSameState(relayed, perfect.host.dumps);
    EXPECT_NE(relayed.join.errors.find("CONNECTED THROUGH THE RELAY TO 198.51.100.1:"), std::string::npos)
        << relayed.join.errors;

    // One relay, for the second pair only, carried the match both ways.
    const std::string log = stopLobby();
    const std::regex relay("relay on port [0-9]+ between (\\S+) and (\\S+): [0-9]+ s, ([0-9]+) B from the host, "
                           "([0-9]+) B from the joiner");
    std::smatch found;
    ASSERT_TRUE(std::regex_search(log, found, relay)) << log;
    EXPECT_EQ(found[1].str().rfind("198.51.100.13:", 0), 0u) << log;
    EXPECT_EQ(found[2].str().rfind("198.51.100.12:", 0), 0u) << log;
    EXPECT_GT(std::stol(found[3].str()), 50000) << log;
    EXPECT_GT(std::stol(found[4].str()), 50000) << log;
    EXPECT_EQ(std::distance(std::sregex_iterator(log.begin(), log.end(), relay), std::sregex_iterator()), 1) << log;
    EXPECT_EQ(log.find("198.51.100.11:", log.find("relay on port")), std::string::npos) << log;
}

TEST_F(InviteThroughRouters, PlayersBehindTheSameRouterConnectOverTheirPrivateAddresses) {
    const std::string router = home("ra", 1);
    const std::string a = player("a", router, 1, 2), b = player("b", router, 1, 3);
    startLobby();
    constexpr int frames = 120;
    const Pair pair = byCode("same", a, b, frames, {frames});
    ASSERT_EQ(pair.host.exitCode, 0) << pair.host.errors;
    expectSameState(pair, pair.host.dumps);
    EXPECT_NE(pair.join.errors.find("CONNECTED DIRECTLY TO 10.201.1.2:"), std::string::npos) << pair.join.errors;
    // A round trip of a millisecond or so wants no input delay.
    EXPECT_NE(pair.host.errors.find("INPUT DELAY 0\n"), std::string::npos) << pair.host.errors;
}

TEST_F(InviteThroughRouters, ALanSearchFindsAGameHostedOnTheSameNetwork) {
    const std::string router = home("ra", 1);
    const std::string a = player("a", router, 1, 2), b = player("b", router, 1, 3);
    constexpr int frames = 120;
    // No service runs: the host says so, and the LAN still finds it.
    lab::Process& host = runner(a, "lan-host", hostKeys(frames), frames, {frames}, {"--host", "0", "--lan", "--lobby", Lobby});
    const std::string port = host.waitForLine("WAITING FOR AN OPPONENT ON PORT ([0-9]+)", 5000);
    ASSERT_NE(port, "") << host.errors();
    ASSERT_NE(host.waitForLine("the invite service at " + Lobby + " cannot be reached", 5000), "") << host.errors();
    lab::Process& join = runner(b, "lan-join", joinKeys(frames), frames, {frames}, {"--join", "lan"});
    const Pair pair{finish(host, "lan-host", {frames}), finish(join, "lan-join", {frames})};
    ASSERT_EQ(pair.host.exitCode, 0) << pair.host.errors;
    expectSameState(pair, pair.host.dumps);
    EXPECT_NE(pair.join.errors.find("CONNECTED DIRECTLY TO 10.201.1.2:" + port), std::string::npos) << pair.join.errors;
    // The game joined is the one offered next time.
    EXPECT_EQ(readBytes(folder() / "lan-join" / "lastjoin.txt"), "10.201.1.2:" + port + "\n");
}

TEST_F(InviteThroughRouters, AWrongCodeAHostGoneOrTheServiceDownEndTheJoinerWithOneLine) {
    const std::string a = player("a", home("ra", 1), 1, 2), b = player("b", home("rb", 2), 2, 2);
    startLobby();

    const auto [wrong, wrongMs] = failedJoin(b, "wrong", "hxk4mw7p");
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_EQ(wrong.errors, "tumblebout-headless: cannot join HXK4-MW7P: no game is hosted with that code\n");
    EXPECT_LT(wrongMs, 3000);

    lab::Process& host = runner(a, "gone-host", "", 600, {}, {"--host", "0", "--lobby", Lobby});
    const std::string code = host.waitForLine("INVITE CODE ([A-Z0-9]{4}-[A-Z0-9]{4})", 5000);
    ASSERT_NE(code, "") << host.errors();
    host.signal(SIGKILL);
    host.wait(1000);
    const auto [gone, goneMs] = failedJoin(b, "gone", code);
    EXPECT_EQ(gone.exitCode, 2);
    EXPECT_EQ(gone.errors, "tumblebout-headless: cannot join " + code + ": no answer from the host\n");
    EXPECT_LT(goneMs, JoinerGivesUpMs);

    stopLobby();
    const auto [down, downMs] = failedJoin(b, "down", code);
    EXPECT_EQ(down.exitCode, 2);
    EXPECT_EQ(down.errors, "tumblebout-headless: cannot join " + code + ": the invite service at " + Lobby +
                               " cannot be reached\n");
    EXPECT_LT(downMs, JoinerGivesUpMs);
}

}  // namespace
