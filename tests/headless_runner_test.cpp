// The headless runner: its arguments and scripts, the state dump, and whole runs of
// the tumblebout-headless program.
#include "shell_test_support.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "tools/headless/input_script.h"
#include "tools/headless/runner_options.h"
#include "tools/headless/state_dump.h"

using shelltest::makeTempFolder;
using shelltest::readBytes;
using shelltest::writeBytes;
namespace fs = std::filesystem;

// ---- Script keys and lines ---------------------------------------------------------------------

TEST(HeadlessScript, KeyWords) {
    EXPECT_EQ(scriptKeyCode("A"), 65);
    EXPECT_EQ(scriptKeyCode("w"), 87);
    EXPECT_EQ(scriptKeyCode("4"), 52);  // a single digit is the digit key
    EXPECT_EQ(scriptKeyCode("13"), 13); // longer numbers are key codes
    EXPECT_EQ(scriptKeyCode("080"), 80);
    EXPECT_EQ(scriptKeyCode("255"), 255);
    EXPECT_EQ(scriptKeyCode("ESC"), 27);
    EXPECT_EQ(scriptKeyCode("enter"), 13);
    EXPECT_EQ(scriptKeyCode("SPACE"), 32);
    EXPECT_EQ(scriptKeyCode("LEFT"), 37);
    EXPECT_EQ(scriptKeyCode("UP"), 38);
    EXPECT_EQ(scriptKeyCode("RIGHT"), 39);
    EXPECT_EQ(scriptKeyCode("DOWN"), 40);
    EXPECT_FALSE(scriptKeyCode("256"));
    EXPECT_FALSE(scriptKeyCode("99999999999"));
    EXPECT_FALSE(scriptKeyCode("!"));
    EXPECT_FALSE(scriptKeyCode("F1"));
    EXPECT_FALSE(scriptKeyCode(""));
}

TEST(HeadlessScript, EventsOfEveryKind) {
    const ScriptResult script = parseInputScript(
        "# a comment line\n"
        "\n"
        "0 down SPACE\r\n"
        "  5 up space   # trailing comment\n"
        "7 tap 4\n"
        "9 type  a#b\\\\c\\b\n"
        "12 close\n");
    ASSERT_EQ(script.error, "");
    ASSERT_EQ(script.events.size(), 6u);
    using headless::EventKind;
    EXPECT_EQ(script.events[0].frame, 0);
    EXPECT_EQ(script.events[0].kind, EventKind::Down);
    EXPECT_EQ(script.events[0].key, 32);
    EXPECT_EQ(script.events[1].frame, 5);
    EXPECT_EQ(script.events[1].kind, EventKind::Up);
    EXPECT_EQ(script.events[2].frame, 7);
    EXPECT_EQ(script.events[2].kind, EventKind::Down);
    EXPECT_EQ(script.events[2].key, 52);
    EXPECT_EQ(script.events[3].frame, 8);
    EXPECT_EQ(script.events[3].kind, EventKind::Up);
    EXPECT_EQ(script.events[4].kind, EventKind::Type);
    EXPECT_EQ(script.events[4].text, std::string(" a#b\\c\b"));  // after exactly one space
    EXPECT_EQ(script.events[5].frame, 12);
    EXPECT_EQ(script.events[5].kind, EventKind::Close);
}

TEST(HeadlessScript, EventsComeInDeliveryOrder) {
    // Sorted once while reading, so scheduling them only appends: 100,000 taps on one
    // frame no longer shift every release along.
    const ScriptResult script = parseInputScript("5 tap A\n5 tap B\n3 down C\n5 type x\n");
    ASSERT_EQ(script.error, "");
    std::vector<std::pair<int, int>> order;  // frame, key
    for (const headless::ScriptEvent& event : script.events) order.emplace_back(event.frame, event.key);
    EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{3, 'C'}, {5, 'A'}, {5, 'B'}, {5, 0}, {6, 'A'}, {6, 'B'}}));
}

TEST(HeadlessScript, BadLinesAreNamed) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"0 down SPACE\n1 jump A\n", "line 2: unknown action 'jump'"},
        {"\n\nx tap A\n", "line 3: expected a frame number, found 'x'"},
        {"1 tap FOO\n", "line 1: unknown key 'FOO'"},
        {"1 down\n", "line 1: 'down' needs a key"},
        {"# c\n-1 tap A\n", "line 2: expected a frame number, found '-1'"},
        {"1 tap A B\n", "line 1: unexpected text after the key"},
        {"1 type\n", "line 1: 'type' needs the text to type"},
        {"1 close now\n", "line 1: 'close' takes nothing after it"},
        {"1\n", "line 1: missing action after the frame number"},
    };
    for (const auto& [text, error] : cases) {
        const ScriptResult script = parseInputScript(text);
        EXPECT_EQ(script.error, error) << text;
        EXPECT_TRUE(script.events.empty());
    }
}

// ---- Arguments -----------------------------------------------------------------------------------

TEST(HeadlessArgs, EveryOption) {
    const ParsedArgs parsed = parseRunnerArgs({"--data", "d", "--dir=w", "--start-ms", "1500",
                                               "--input", "s.txt", "--frames", "600", "--dump",
                                               "10:a.json", "--dump=20:b:c.json", "--shot", "5:p.png"});
    ASSERT_EQ(parsed.error, "");
    const RunnerOptions& options = parsed.options;
    EXPECT_EQ(options.dataFolder, "d");
    EXPECT_EQ(options.workFolder, "w");
    EXPECT_EQ(options.startMs, 1500);
    EXPECT_EQ(options.inputPath, "s.txt");
    EXPECT_EQ(options.frames, 600);
    ASSERT_EQ(options.dumps.size(), 2u);
    EXPECT_EQ(options.dumps[1].frame, 20);
    EXPECT_EQ(options.dumps[1].path, "b:c.json");
    ASSERT_EQ(options.shots.size(), 1u);
    EXPECT_EQ(options.shots[0].frame, 5);
}

TEST(HeadlessArgs, OnlineHostsListenOnTheLoopbackUnlessFoundFromElsewhere) {
    const auto host = [](std::vector<std::string> args) {
        args.insert(args.end(), {"--frames", "9"});
        const ParsedArgs parsed = parseRunnerArgs(args);
        EXPECT_EQ(parsed.error, "");
        return parsed.options.online;
    };
    EXPECT_EQ(host({"--host", "0"}).address, "127.0.0.1");
    const OnlineOptions invited = host({"--host", "0", "--lobby", "192.0.2.1"});
    EXPECT_EQ(invited.address, "");
    EXPECT_EQ(invited.lobby, "192.0.2.1");
    const OnlineOptions lan = host({"--lan", "--host", "4000"});
    EXPECT_EQ(lan.address, "");
    EXPECT_TRUE(lan.lan);
    const OnlineOptions byCode = host({"--join", "hxk4mw7p", "--lobby=192.0.2.1:5"});
    EXPECT_EQ(byCode.role, OnlineRole::Join);
    ASSERT_TRUE(byCode.inviteCode);
    EXPECT_EQ(toString(*byCode.inviteCode), "HXK4-MW7P");
    EXPECT_TRUE(host({"--join", "lan"}).lan);
}

TEST(HeadlessArgs, BadArgumentsAreNamed) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--speed", "3"}, "unknown argument '--speed'"},
        {{"--frames"}, "--frames needs a value"},
        {{"--frames", "ten"}, "--frames ten: expected a number of frames 0 or more"},
        {{"--frames", "-4"}, "--frames -4: expected a number of frames 0 or more"},
        {{"--start-ms", "99999999999"}, "--start-ms 99999999999: expected milliseconds 0 or more"},
        {{"--dump", "abc"}, "--dump abc: expected FRAME:FILE with a frame of 1 or more"},
        {{"--dump", "0:x.json"}, "--dump 0:x.json: expected FRAME:FILE with a frame of 1 or more"},
        {{"--shot", "4:"}, "--shot 4:: expected FRAME:FILE with a frame of 1 or more"},
        {{"--data="}, "--data : needs a path"},
        {{"frames"}, "unknown argument 'frames'"},
        {{}, "--frames is needed: the number of frames to run"},
        {{"--frames", "10", "--dump", "11:x.json"}, "--dump 11:x.json: after the last frame, 10"},
        {{"--shot=9:x.png", "--frames=8"}, "--shot 9:x.png: after the last frame, 8"},
        {{"--join", "127.0.0.1:9", "--coop", "--frames", "9"}, "--coop is the host's choice"},
        {{"--join", "127.0.0.1:9", "--input-delay", "2", "--frames", "9"}, "--input-delay is the host's choice"},
        {{"--join", "HXK4-MW7P", "--frames", "9"}, "--join CODE needs --lobby"},
        {{"--join", "127.0.0.1:0", "--frames", "9"}, "--join 127.0.0.1:0: expected ADDRESS[:PORT], CODE or lan"},
        {{"--lobby", "", "--frames", "9"}, "--lobby : expected HOST[:PORT]"},
        {{"--lan", "--frames", "9"}, "--lan and --lobby need --host or --join"},
    };
    for (const auto& [args, error] : cases) EXPECT_EQ(parseRunnerArgs(args).error, error);
}

// ---- The state dump ---------------------------------------------------------------------------------

TEST(HeadlessStateDump, FieldsEscapesAndFloats) {
    Game game;
    game.screen = "menu";
    game.selection = 3;
    game.playerName = "A\"B\\C";
    game.bannerText = "  YOU WIN!  ";
    game.cameraX = 0.1f;
    game.cameraY = std::numeric_limits<float>::quiet_NaN();
    game.zoom = -std::numeric_limits<float>::infinity();
    game.totalScore = 12345678901234;
    game.wins = {0, 2, 3};
    game.gravity = 7;
    game.highScores.push_back(ScoreEntry{5, std::string("caf\xe9\n")});
    const std::string json = stateJson(game, 42);
    EXPECT_EQ(json.rfind("{\"frame\":42,\"screen\":\"menu\",\"selection\":3,", 0), 0u) << json;
    EXPECT_NE(json.find("\"playerName\":\"A\\\"B\\\\C\""), std::string::npos);
    EXPECT_NE(json.find("\"bannerText\":\"  YOU WIN!  \""), std::string::npos);
    EXPECT_NE(json.find("\"cameraX\":0.100000001,"), std::string::npos);  // reads back to 0.1f
    EXPECT_NE(json.find("\"cameraY\":\"nan\""), std::string::npos);
    EXPECT_NE(json.find("\"zoom\":\"-inf\""), std::string::npos);
    EXPECT_NE(json.find("\"totalScore\":12345678901234,"), std::string::npos);
    EXPECT_NE(json.find("\"wins\":[2,3]"), std::string::npos);
    EXPECT_NE(json.find("\"gravity\":7,"), std::string::npos);
    EXPECT_NE(json.find("\"prefsHeader\":0,"), std::string::npos);
    EXPECT_NE(json.find("\"highScores\":[{\"name\":\"caf\\u00e9\\u000a\",\"score\":5}]"), std::string::npos);
    EXPECT_NE(json.find("\"fighters\":[]"), std::string::npos);
    EXPECT_EQ(json.back(), '\n');
    EXPECT_EQ(std::stof("0.100000001"), 0.1f);
}

TEST(HeadlessStateDump, FightersAndNodes) {
    headless::start();
    Game game;
    game.fighterCount = 2;
    for (int i = 1; i <= 2; ++i) {
        game.fighters[i].fighterNo = i;
        game.fighters[i].colour = {0, 10 * i, 20, 30};
    }
    game.fighters[2].nodes[26].x = 1.5f;
    game.fighters[2].nodes[26].hitTimer = 60;
    const std::string json = stateJson(game, 1);
    EXPECT_NE(json.find("\"fighters\":[{\"fighterNo\":1,"), std::string::npos);
    EXPECT_NE(json.find("\"colour\":[20,20,30],\"nodes\":[{\"x\":"), std::string::npos);
    EXPECT_NE(json.find("{\"x\":1.5,"), std::string::npos);
    EXPECT_NE(json.find("\"hitTimer\":60,"), std::string::npos);
    std::size_t nodes = 0;
    for (std::size_t at = json.find("\"vx\":"); at != std::string::npos; at = json.find("\"vx\":", at + 1)) ++nodes;
    EXPECT_EQ(nodes, 52u);
    headless::stop();
}

// ---- Whole runs of the program ------------------------------------------------------------------------

class HeadlessRunner : public ::testing::Test {
protected:
    void SetUp() override { folder_ = makeTempFolder("runner"); }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(folder_, error);
    }

    // Runs the program with `args` in the test's folder; returns its exit status (124
    // if it hung for a minute) and keeps what it wrote on stderr.
    int run(const std::string& args) {
        const fs::path errors = folder_ / "stderr.txt";
        const std::string command = "cd '" + folder_.string() + "' && timeout 60 '" TUMBLEBOUT_BUILD_DIR
                                    "/tumblebout-headless' " + args + " 2> '" + errors.string() + "'";
        const int status = std::system(command.c_str());
        stderrText = readBytes(errors);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path path(const std::string& name) const { return folder_ / name; }

    std::string stderrText;

private:
    fs::path folder_;
};

TEST_F(HeadlessRunner, RefusesWithOneLineAndExitTwoInsteadOfHanging) {
    ASSERT_EQ(mkfifo(path("script.fifo").c_str(), 0644), 0);
    writeBytes(path("escape.txt"), "1 tap \x1b[2JX\n");
    {
        std::ofstream huge(path("huge.txt"));  // sparse: 64 MiB and a byte, on no disk
    }
    fs::resize_file(path("huge.txt"), (64u << 20) + 1);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"--frames ten", "--frames ten: expected a number of frames 0 or more"},
        {"--input missing.txt", "--frames is needed: the number of frames to run"},
        {"--input missing.txt --frames 1", "cannot read the input script missing.txt"},
        {"--input script.fifo --frames 1", "cannot read the input script script.fifo"},
        {"--input huge.txt --frames 1", "the input script huge.txt is larger than 64 MiB"},
        {"--input escape.txt --frames 1", "escape.txt line 1: unknown key '\\x1b[2JX'"},
        {"--data nowhere --frames 1", "--data nowhere: no such folder"},
        {"--frames 5 --dump 9:late.json", "--dump 9:late.json: after the last frame, 5"},
        {"--dir no/such/folder --frames 1", "--dir no/such/folder: cannot enter the folder"},
    };
    for (const auto& [args, error] : cases) {
        EXPECT_EQ(run(args), 2) << args;
        EXPECT_EQ(stderrText, "tumblebout-headless: " + error + "\n") << args;
    }
    EXPECT_FALSE(fs::exists(path("prefs.tbt")));  // nothing ran
}

TEST_F(HeadlessRunner, BadScriptLineExitsTwoNamingTheLine) {
    writeBytes(path("bad.txt"), "0 down SPACE\n# fine\n3 press ENTER\n");
    EXPECT_EQ(run("--input bad.txt --frames 5"), 2);
    EXPECT_EQ(stderrText, "tumblebout-headless: bad.txt line 3: unknown action 'press'\n");
    EXPECT_FALSE(fs::exists(path("prefs.tbt")));  // nothing ran
}

TEST_F(HeadlessRunner, ScriptWalksTheMenus) {
    writeBytes(path("walk.txt"),
               "0 down SPACE       # ends the splash at once\n"
               "4 tap DOWN\n"
               "6 tap ENTER        # OPTIONS\n"
               "9 tap RIGHT        # gravity 1 -> 2\n"
               "12 tap ESC         # leave, saved\n"
               "16 tap UP\n"
               "18 tap UP          # SCORES\n");
    EXPECT_EQ(run("--input walk.txt --frames 25 --dump 8:options.json --dump 20:menu.json"), 0);
    EXPECT_EQ(stderrText, "");
    const std::string options = readBytes(path("options.json"));
    EXPECT_NE(options.find("\"frame\":8,\"screen\":\"options\",\"selection\":1,"), std::string::npos) << options;
    EXPECT_NE(options.find("\"gravity\":1,"), std::string::npos);
    const std::string menu = readBytes(path("menu.json"));
    EXPECT_NE(menu.find("\"screen\":\"menu\",\"selection\":4,"), std::string::npos) << menu;
    EXPECT_NE(menu.find("\"gravity\":2,"), std::string::npos);
    EXPECT_EQ(readBytes(path("prefs.tbt")).substr(0, 12), "1\r\n4\r\n5\r\n1\r\n");
    EXPECT_TRUE(fs::exists(path("scores.txt")));
}

TEST_F(HeadlessRunner, EscOnTheMainMenuEndsTheRunEarly) {
    writeBytes(path("quit.txt"), "0 down ENTER\n5 tap ESC\n");
    EXPECT_EQ(run("--input quit.txt --frames 100000 --dump 5:last.json --dump 6:never.json"), 0);
    EXPECT_TRUE(fs::exists(path("last.json")));
    EXPECT_FALSE(fs::exists(path("never.json")));
}

TEST_F(HeadlessRunner, CloseRequestEndsTheRun) {
    writeBytes(path("close.txt"), "10 close\n");
    EXPECT_EQ(run("--input close.txt --frames 100000"), 0);
}

TEST_F(HeadlessRunner, WorkingFolderHoldsTheFiles) {
    fs::create_directories(path("work"));
    EXPECT_EQ(run("--dir work --frames 3 --dump 3:here.json"), 0);
    EXPECT_TRUE(fs::exists(path("work/prefs.tbt")));
    EXPECT_TRUE(fs::exists(path("work/scores.txt")));
    EXPECT_FALSE(fs::exists(path("prefs.tbt")));
    EXPECT_TRUE(fs::exists(path("here.json")));  // relative to where the runner started
}

TEST_F(HeadlessRunner, SameArgumentsGiveTheSameDumps) {
    writeBytes(path("fight.txt"),
               "0 down SPACE\n"
               "4 tap ENTER        # PLAY\n"
               "6 tap ENTER        # 1 PLAYER\n"
               "60 down RIGHT\n"
               "140 up RIGHT\n"
               "150 down UP\n");
    const std::string args = "--input fight.txt --start-ms 4321 --frames 260 --dump 250:";
    EXPECT_EQ(run(args + "first.json"), 0);
    fs::remove(path("prefs.tbt"));
    fs::remove(path("scores.txt"));
    EXPECT_EQ(run(args + "second.json"), 0);
    const std::string first = readBytes(path("first.json"));
    EXPECT_EQ(first, readBytes(path("second.json")));
    EXPECT_NE(first.find("\"screen\":\"match\""), std::string::npos);
    EXPECT_NE(first.find("\"gameMode\":\"1\",\"level\":1,"), std::string::npos);
    EXPECT_NE(first.find("\"fighters\":[{\"fighterNo\":1,"), std::string::npos);

    // Another start time is another game.
    EXPECT_EQ(run("--input fight.txt --start-ms 999 --frames 260 --dump 250:third.json"), 0);
    EXPECT_NE(first, readBytes(path("third.json")));
}

TEST_F(HeadlessRunner, WithoutAStartTimeEachRunPlaysItsOwnGame) {
    writeBytes(path("fight.txt"), "0 down SPACE\n4 tap ENTER\n6 tap ENTER\n");
    // The virtual clock starts at the system's counter, as the game's clock does.
    EXPECT_EQ(run("--input fight.txt --frames 130 --dump 130:first.json"), 0) << stderrText;
    EXPECT_EQ(run("--input fight.txt --frames 130 --dump 130:second.json"), 0) << stderrText;
    const std::string first = readBytes(path("first.json"));
    EXPECT_NE(first.find("\"screen\":\"match\""), std::string::npos);
    EXPECT_NE(first, readBytes(path("second.json")));
}

TEST_F(HeadlessRunner, FifosUnderTheGamesFileNamesDoNotHangIt) {
    for (const char* file : {"data/images/icon.png", "data/images/quad280.png", "data/images/205275.png",
                             "data/images/font.ttf", "data/sounds/blow.wav", "data/music/tt1.ogg", "prefs.tbt",
                             "scores.txt"}) {
        fs::create_directories(path(file).parent_path());
        ASSERT_EQ(mkfifo(path(file).c_str(), 0644), 0) << file;
    }
    EXPECT_EQ(run("--data data --frames 3"), 0) << stderrText;
}

TEST_F(HeadlessRunner, ShotWritesAPicture) {
    EXPECT_EQ(run("--frames 2 --shot 2:splash.png"), 0) << stderrText;
    const std::string png = readBytes(path("splash.png"));
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
}
