// The game's online defaults: the invite service from --lobby, the environment or the
// build, a host that answers LAN searches; and the last join kept in the user's folder.

#include <gtest/gtest.h>

#include <cstdlib>

#include "online/last_join.h"
#include "online/online_options.h"
#include "tests/shell_test_support.h"

namespace {

TEST(OnlineDefaults, TheServiceIsTheGivenOneElseTheEnvironmentsElseTheBuilds) {
    OnlineOptions host;
    host.role = OnlineRole::Host;
    unsetenv("TUMBLEBOUT_LOBBY");
    EXPECT_EQ(withGameDefaults(host).lobby, TUMBLEBOUT_DEFAULT_LOBBY);
    EXPECT_TRUE(withGameDefaults(host).lan);
    setenv("TUMBLEBOUT_LOBBY", "192.0.2.9:1234", 1);
    EXPECT_EQ(withGameDefaults(host).lobby, "192.0.2.9:1234");
    host.lobby = "lobby.example.org";
    EXPECT_EQ(withGameDefaults(host).lobby, "lobby.example.org");
    unsetenv("TUMBLEBOUT_LOBBY");
    OnlineOptions join;
    join.role = OnlineRole::Join;
    EXPECT_FALSE(withGameDefaults(join).lan);
}

TEST(LastJoin, IsKeptInTheWorkingFolderAndJunkIsNotOffered) {
    const std::filesystem::path folder = shelltest::makeTempFolder("lastjoin");
    const std::filesystem::path start = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    EXPECT_EQ(lastJoin(), "");
    rememberJoin("HXK4-MW7P");
    EXPECT_EQ(lastJoin(), "HXK4-MW7P");
    rememberJoin("example.org:4000");
    EXPECT_EQ(lastJoin(), "example.org:4000");
    rememberJoin("two\nlines");  // not kept
    EXPECT_EQ(lastJoin(), "example.org:4000");
    shelltest::writeBytes("lastjoin.txt", std::string(300, 'x'));
    EXPECT_EQ(lastJoin(), "");
    shelltest::writeBytes("lastjoin.txt", "bell\a\n");
    EXPECT_EQ(lastJoin(), "");
    std::filesystem::current_path(start);
    std::filesystem::remove_all(folder);
}

}  // namespace
