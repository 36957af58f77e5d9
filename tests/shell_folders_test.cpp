// Where the game finds its data and keeps its files.
#include "shell_test_support.h"

#include <sys/stat.h>

#include "game/folders.h"

using shelltest::makeTempFolder;
namespace fs = std::filesystem;

class ShellFolders : public ::testing::Test {
protected:
    void SetUp() override {
        startFolder_ = fs::current_path();
        root_ = makeTempFolder("folders");
    }
    void TearDown() override {
        fs::current_path(startFolder_);
        std::error_code error;
        fs::permissions(root_ / "locked", fs::perms::owner_all, error);
        fs::remove_all(root_, error);
    }
    fs::path root_;

private:
    fs::path startFolder_;
};

TEST_F(ShellFolders, BuildFolderHoldsItsOwnData) {
    fs::create_directories(root_ / "build" / "images");
    EXPECT_EQ(findDataFolder((root_ / "build").string()), (root_ / "build").string());
    EXPECT_EQ(findDataFolder((root_ / "build").string() + "/"), (root_ / "build").string());
}

TEST_F(ShellFolders, InstalledGameReadsShareTumblebout) {
    fs::create_directories(root_ / "usr" / "bin");
    fs::create_directories(root_ / "usr" / "share" / "tumblebout" / "images");
    EXPECT_EQ(findDataFolder((root_ / "usr" / "bin").string()),
              (root_ / "usr" / "share" / "tumblebout").string());
}

TEST_F(ShellFolders, RelativeExecutableFolderBecomesAbsolute) {
    fs::create_directories(root_ / "game" / "images");
    fs::current_path(root_);
    const std::string found = findDataFolder("game");
    EXPECT_TRUE(fs::path(found).is_absolute()) << found;
    EXPECT_TRUE(fs::is_directory(fs::path(found) / "images"));
}

TEST_F(ShellFolders, NoDataAnywhereFallsBackToTheExecutableFolder) {
    fs::create_directories(root_ / "bare");
    EXPECT_EQ(findDataFolder((root_ / "bare").string()), (root_ / "bare").string());
}

TEST_F(ShellFolders, UserFolderIsMadeAndEntered) {
    const fs::path user = root_ / "home" / ".local" / "share" / "tumblebout";
    EXPECT_TRUE(enterUserFolder(user.string()));
    EXPECT_TRUE(fs::is_directory(user));
    EXPECT_TRUE(fs::equivalent(fs::current_path(), user));
}

TEST_F(ShellFolders, UnusableUserFolderLeavesTheStartFolder) {
    fs::current_path(root_);
    EXPECT_FALSE(enterUserFolder(""));
    EXPECT_TRUE(fs::equivalent(fs::current_path(), root_));
    shelltest::writeBytes(root_ / "file", "x");
    EXPECT_FALSE(enterUserFolder((root_ / "file" / "sub").string()));
    EXPECT_TRUE(fs::equivalent(fs::current_path(), root_));
    if (geteuid() != 0) {  // root may write anywhere
        fs::create_directories(root_ / "locked");
        fs::permissions(root_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(enterUserFolder((root_ / "locked" / "tumblebout").string()));
        EXPECT_TRUE(fs::equivalent(fs::current_path(), root_));
    }
}
