// The command line: the game's options, values that must or may follow an option, the
// mistakes that stop the parse, and the usage drawn from the table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

std::vector<std::string> applied;  // "name=value", in the order the options were applied

bool note(const std::string& entry) {
    applied.push_back(entry);
    return true;
}

// One option of each kind of value, as the game's later options will have them.
constexpr CommandOption valueOptions[] = {
    {"--flag", "", "a switch", [](CommandLine&, const std::string& v) { return note("flag=" + v); }},
    {"--host", "[PORT]", "a value that may be left out",
     [](CommandLine&, const std::string& v) {
         return note("host=" + v) && v.find_first_not_of("0123456789") == std::string::npos;
     }},
    {"--replay", "FILE", "a value that must be given",
     [](CommandLine&, const std::string& v) { return note("replay=" + v); }},
};

CommandLine parseValues(const std::vector<std::string>& args) {
    applied.clear();
    return parseCommandLine(args, valueOptions);
}

using Notes = std::vector<std::string>;

}  // namespace

TEST(CommandLineGame, DisplayChoiceHelpAndVersion) {
    const CommandLine none = parseCommandLine({});
    EXPECT_FALSE(none.fullscreen.has_value());
    EXPECT_FALSE(none.help || none.version);
    EXPECT_EQ(none.error, "");

    EXPECT_EQ(parseCommandLine({"--fullscreen"}).fullscreen, true);
    EXPECT_EQ(parseCommandLine({"--windowed"}).fullscreen, false);
    EXPECT_EQ(parseCommandLine({"--windowed", "--fullscreen"}).fullscreen, true);  // the later one counts
    EXPECT_TRUE(parseCommandLine({"--help"}).help);
    EXPECT_TRUE(parseCommandLine({"--version"}).version);
}

TEST(CommandLineGame, MistakesNameTheArgument) {
    EXPECT_EQ(parseCommandLine({"--windowed", "--fast"}).error, "unknown option '--fast'");
    EXPECT_EQ(parseCommandLine({"fullscreen"}).error, "unknown option 'fullscreen'");
    EXPECT_EQ(parseCommandLine({"--help=yes"}).error, "--help takes no value");
}

TEST(CommandLineValues, GivenJoinedOrLeftOut) {
    EXPECT_EQ(parseValues({"--host", "4000", "--replay", "a.rec"}).error, "");
    EXPECT_EQ(applied, (Notes{"host=4000", "replay=a.rec"}));
    EXPECT_EQ(parseValues({"--host=4000", "--replay=b.rec"}).error, "");
    EXPECT_EQ(applied, (Notes{"host=4000", "replay=b.rec"}));
    // A value that may be left out is not taken from an option that follows ...
    EXPECT_EQ(parseValues({"--host", "--flag"}).error, "");
    EXPECT_EQ(applied, (Notes{"host=", "flag="}));
    EXPECT_EQ(parseValues({"--host"}).error, "");
    EXPECT_EQ(applied, (Notes{"host="}));
    // ... but one that must be given is taken whatever it looks like.
    EXPECT_EQ(parseValues({"--replay", "-odd.rec"}).error, "");
    EXPECT_EQ(applied, (Notes{"replay=-odd.rec"}));
}

TEST(CommandLineValues, MissingOrRefusedValueStopsTheParse) {
    EXPECT_EQ(parseValues({"--flag", "--replay"}).error, "--replay needs FILE");
    EXPECT_EQ(parseValues({"--host", "abc", "--flag"}).error, "bad value 'abc' for --host");
    EXPECT_EQ(applied, (Notes{"host=abc"}));
    EXPECT_EQ(parseValues({"--flag=on"}).error, "--flag takes no value");
    EXPECT_TRUE(applied.empty());
}

TEST(CommandLineUsage, OneAlignedLinePerOptionWithItsValue) {
    EXPECT_EQ(usageText(valueOptions),
              "Usage: tumblebout [OPTION]...\n"
              "\n"
              "Options:\n"
              "  --flag         a switch\n"
              "  --host [PORT]  a value that may be left out\n"
              "  --replay FILE  a value that must be given\n");
}

TEST(CommandLineGame, OnlinePlayHostsOrJoinsWithTheHostsChoices) {
    const CommandLine host = parseCommandLine({"--host", "--coop", "--input-delay", "3"});
    EXPECT_EQ(host.error, "");
    EXPECT_EQ(host.online.role, OnlineRole::Host);
    EXPECT_EQ(host.online.port, 27615);
    EXPECT_TRUE(host.online.coop);
    EXPECT_EQ(host.online.inputDelay, 3);
    EXPECT_EQ(parseCommandLine({"--host", "4000"}).online.port, 4000);

    const CommandLine join = parseCommandLine({"--join", "example.org:4000"});
    EXPECT_EQ(join.online.role, OnlineRole::Join);
    EXPECT_EQ(join.online.address, "example.org");
    EXPECT_EQ(join.online.port, 4000);
    EXPECT_EQ(parseCommandLine({"--join", "192.168.1.2"}).online.port, 27615);

    EXPECT_EQ(parseCommandLine({"--host", "65536"}).error, "bad value '65536' for --host");
    EXPECT_EQ(parseCommandLine({"--join", "example.org:0"}).error, "bad value 'example.org:0' for --join");
    EXPECT_EQ(parseCommandLine({"--join", ":4000"}).error, "bad value ':4000' for --join");
    EXPECT_EQ(parseCommandLine({"--host", "--input-delay", "9"}).error, "bad value '9' for --input-delay");
    EXPECT_EQ(parseCommandLine({"--join", "a", "--coop"}).error, "--coop needs --host");
    EXPECT_EQ(parseCommandLine({"--join", "a", "--input-delay", "1"}).error, "--input-delay needs --host");
    EXPECT_EQ(parseCommandLine({"--host", "--replay-last"}).error, "a replay cannot be watched online");
}

TEST(CommandLineGame, JoinsByInviteCodeOrOnTheLanThroughTheChosenService) {
    const CommandLine code = parseCommandLine({"--join", "hxk4-mw7p", "--lobby", "lobby.example.org:4000"});
    EXPECT_EQ(code.error, "");
    ASSERT_TRUE(code.online.inviteCode);
    EXPECT_EQ(toString(*code.online.inviteCode), "HXK4-MW7P");
    EXPECT_EQ(code.online.lobby, "lobby.example.org:4000");
    EXPECT_TRUE(parseCommandLine({"--join", "LAN"}).online.lan);
    // Not a code (an O and a 1), so a host's name.
    EXPECT_EQ(parseCommandLine({"--join", "HOST01XY"}).online.address, "HOST01XY");
    EXPECT_EQ(parseCommandLine({"--lobby", "a.example"}).error, "--lobby needs --host or --join");
    EXPECT_EQ(parseCommandLine({"--host", "--lobby="}).error, "bad value '' for --lobby");
}
