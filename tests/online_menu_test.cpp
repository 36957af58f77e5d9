// The online screen as a player goes through it, on the loopback interface with the
// invite service in the same process: HOST VERSUS shows its invite code large and puts
// it on the clipboard, a joiner (the headless runner) comes by that code, the series
// plays and ends back on the online screen. JOIN edits and pastes a code, and a code
// nobody hosts says so within seconds, leaving the text to correct. Bounded in time.

#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "game/Game.h"
#include "lobby/invite_code.h"
#include "lobby/lobby_server.h"
#include "online/online_menu.h"
#include "tests/shell_test_support.h"

namespace {

using shelltest::ShellTest;
using Clock = std::chrono::steady_clock;

constexpr int Enter = 13, Esc = 27, Control = 17, Down = 40;

class OnlineMenuScreens : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        std::string error;
        LobbyServerConfig config;
        config.port = 0;
        lobby_ = LobbyServer::open(config, [](const std::string&) {}, error);
        ASSERT_TRUE(lobby_) << error;
        settings_.lobby = "127.0.0.1:" + std::to_string(lobby_->port());
        settings_.address = "127.0.0.1";  // loopback only, and no LAN search
        settings_.port = 0;
        serving_ = std::thread([this] {
            while (!stop_) lobby_->serve(5);
        });
        game_.defaultHighScores();
        game_.setDefaultOptions();
        startedAt_ = Clock::now();
    }
    void TearDown() override {
        stop_ = true;
        serving_.join();
        if (joiner_.joinable()) joiner_.join();
        ShellTest::TearDown();
    }

    // Every text of the frame just presented.
    static std::vector<std::string> shown() {
        std::vector<std::string> texts;
        for (const headless::DrawCall& call : textsPresented()) texts.push_back(call.text);
        return texts;
    }
    static bool shows(const std::string& text) {
        const std::vector<std::string> texts = shown();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    static void press(int key) {
        headless::pressKey(key);
        headless::releaseKey(key);
    }
    // Ends the screens under test if they run for more than `seconds` of real time.
    void within(int seconds) const {
        if (Clock::now() - startedAt_ > std::chrono::seconds(seconds)) throw ProgramEnd{1};
    }

    // The headless runner joining by `code` in a folder of its own; its status and stderr.
    void joinByCode(const std::string& code) {
        std::filesystem::create_directories(folder() / "joiner");
        const std::string command = "cd '" + (folder() / "joiner").string() + "' && '" TUMBLEBOUT_BUILD_DIR
                                    "/tumblebout-headless' --join " + code + " --lobby " + settings_.lobby +
                                    " --frames 120 2> stderr.txt";
        joiner_ = std::thread([this, command] { joinerStatus_ = std::system(command.c_str()); });
    }

    Game game_;
    OnlineOptions settings_;
    std::unique_ptr<LobbyServer> lobby_;
    std::thread serving_, joiner_;
    std::atomic<bool> stop_{false};
    std::atomic<int> joinerStatus_{-1};
    Clock::time_point startedAt_;
};

TEST_F(OnlineMenuScreens, AHostedCodeIsCopiedJoinedPlayedAndEndsBackOnTheOnlineScreen) {
    std::vector<std::string> screens;
    std::string code;
    bool addressShown = false, waitingShown = false;
    headless::setFrameHook([&](int) {
        within(40);
        if (screens.empty() || screens.back() != game_.screen) screens.push_back(game_.screen);
        if (game_.screen == "online" && screens.size() == 1) {
            for (const char* entry : {"2 PLAYERS ONLINE", "HOST VERSUS", "HOST CO-OP", "JOIN"})
                EXPECT_TRUE(shows(entry)) << entry;
            press(Enter);  // HOST VERSUS
        }
        if (game_.screen == "hosting") {
            for (const std::string& text : shown()) {
                if (text.rfind("ON THIS NETWORK: 127.0.0.1:", 0) == 0) addressShown = true;
                if (text == "WAITING FOR AN OPPONENT") waitingShown = true;
                if (code.empty() && parseInviteCode(text)) {
                    code = text;
                    EXPECT_EQ(ClipboardText(), code) << "copied at once";
                    joinByCode(code);
                }
            }
        }
        if (game_.screen == "online" && screens.size() > 1) press(Esc);  // back from the series: leave
    });
    onlineMenu(game_, settings_);
    headless::setFrameHook(nullptr);
    joiner_.join();

    ASSERT_EQ(code.size(), 9u);
    EXPECT_EQ(code[4], '-');
    EXPECT_TRUE(addressShown);
    EXPECT_TRUE(waitingShown);
    EXPECT_EQ(screens, (std::vector<std::string>{"online", "hosting", "match", "online"}));
    EXPECT_EQ(WEXITSTATUS(joinerStatus_.load()), 0);
    EXPECT_NE(shelltest::readBytes(folder() / "joiner" / "stderr.txt").find("CONNECTED DIRECTLY"), std::string::npos);
}

TEST_F(OnlineMenuScreens, JoinEditsAndPastesAndSaysWhyAWrongCodeFails) {
    SetClipboardText("MWH3-XKAR\nsecond line");
    int phase = 0;
    std::string typedShown, why;
    headless::setFrameHook([&](int) {
        within(20);
        if (phase == 0 && game_.screen == "online") {
            press(Down);  // down to JOIN, one entry at a time
            phase = 1;
        } else if (phase == 1 && game_.selection == 2) {
            press(Down);
            phase = 11;
        } else if (phase == 11 && game_.selection == 3) {
            press(Enter);
            phase = 2;
        } else if (phase == 2 && game_.screen == "join") {
            headless::typeText("ab\b\b");
            headless::pressKey(Control);  // held while V is pressed
            press('V');
            phase = 3;
        } else if (phase == 3 && shows("MWH3-XKAR_")) {
            headless::releaseKey(Control);
            press(Enter);
            phase = 4;
        } else if (phase == 4 && game_.screen == "join") {
            for (const std::string& text : shown()) {
                if (text.find("_") != std::string::npos) typedShown = text;
                if (text.find("CODE") != std::string::npos && text.find("TYPE") == std::string::npos) why = text;
            }
            if (!why.empty()) {
                press(Esc);
                phase = 5;
            }
        } else if (phase == 5 && game_.screen == "online") {
            press(Esc);
            phase = 6;
        }
    });
    onlineMenu(game_, settings_);
    EXPECT_EQ(phase, 6);
    EXPECT_EQ(typedShown, "MWH3-XKAR_") << "the text stays to be corrected";
    EXPECT_EQ(why, "NO GAME IS HOSTED WITH THAT CODE");
    EXPECT_LT(Clock::now() - startedAt_, std::chrono::seconds(10));
}

}  // namespace
