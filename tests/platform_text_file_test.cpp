// Text files byte for byte, and the atomic replacement that keeps the old file whole.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/platform.h"
#include "tests/file_size_limit.h"

namespace fs = std::filesystem;

namespace {

class PlatformTextFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("tumblebout_textfile_" + std::to_string(getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override {
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder);
    }
    std::string path(const std::string& name) const { return (folder / name).string(); }
    void put(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string get(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> readAllLines(const std::string& name) const {
        StreamRef stream = ReadFile(path(name));
        std::vector<std::string> lines;
        if (!stream) return lines;
        while (!Eof(*stream)) lines.push_back(ReadLine(*stream));
        CloseStream(stream);
        return lines;
    }
    fs::path folder;
};

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(PlatformTextFile, ReadLineDropsCrLfAndLfEndings) {
    put("crlf", "one\r\ntwo\r\n\r\nfour\r\n");
    EXPECT_EQ(readAllLines("crlf"), (Lines{"one", "two", "", "four"}));
    put("lf", "a\nb\n");
    EXPECT_EQ(readAllLines("lf"), (Lines{"a", "b"}));
    put("cr inside", "x\ry\r\r\nz");
    EXPECT_EQ(readAllLines("cr inside"), (Lines{"xy", "z"}));
}

TEST_F(PlatformTextFile, ReadLineStopsAtByteZeroAndKeepsHighBytes) {
    put("zero", std::string("ab\0cd\n\xFF\x80", 9));
    EXPECT_EQ(readAllLines("zero"), (Lines{"ab", "cd", "\xFF\x80"}));
}

TEST_F(PlatformTextFile, ReadLineLastLineWithoutNewlineAndLongLines) {
    std::string longLine(100000, 'q');
    put("long", longLine + "\r\nend");
    EXPECT_EQ(readAllLines("long"), (Lines{longLine, "end"}));
    put("empty", "");
    StreamRef stream = ReadFile(path("empty"));
    ASSERT_TRUE(stream);
    EXPECT_EQ(Eof(*stream), 1);
    EXPECT_EQ(ReadLine(*stream), "");  // at the end: what it has, nothing
    EXPECT_EQ(ReadLine(*stream), "");
}

TEST_F(PlatformTextFile, WriteLineWritesBytesThenCrLf) {
    StreamRef stream = WriteFile(path("out"));
    ASSERT_TRUE(stream);
    WriteLine(*stream, "10");
    WriteLine(*stream, "");
    WriteLine(*stream, std::string("A\xE9", 2));
    EXPECT_EQ(Eof(*stream), 1);  // a writing stream is always at its end
    CloseStream(stream);
    EXPECT_FALSE(stream);
    EXPECT_EQ(get("out"), std::string("10\r\n\r\nA\xE9\r\n", 10));
}

TEST_F(PlatformTextFile, MissingFilesFoldersAndClosedStreams) {
    EXPECT_FALSE(ReadFile(path("absent")));
    EXPECT_FALSE(ReadFile(folder.string()));
    EXPECT_FALSE(WriteFile(path("no/such/folder/file")));
    put("f", "line\n");
    StreamRef stream = ReadFile(path("f"));
    StreamRef copy = stream;
    CloseStream(stream);
    // A copy of a closed stream reads nothing and is at its end.
    EXPECT_EQ(ReadLine(*copy), "");
    EXPECT_EQ(Eof(*copy), 1);
    WriteLine(*copy, "ignored");
    EXPECT_EQ(get("f"), "line\n");
}

TEST_F(PlatformTextFile, CreateFileEmptiesAndReportsExistence) {
    put("old", "contents");
    EXPECT_EQ(CreateFile(path("old")), 1);
    EXPECT_EQ(get("old"), "");
    EXPECT_EQ(CreateFile(path("new")), 1);
    EXPECT_TRUE(fs::is_regular_file(path("new")));
    EXPECT_EQ(CreateFile(path("missing/x")), 0);
    // A folder of that name is neither deleted nor reported as a file.
    fs::create_directory(path("dir"));
    EXPECT_EQ(CreateFile(path("dir")), 0);
    EXPECT_TRUE(fs::is_directory(path("dir")));
}

TEST_F(PlatformTextFile, ReplaceFileAtomicallyWritesAndLeavesNoTemporary) {
    put("prefs", "old\r\n");
    ASSERT_TRUE(ReplaceFileAtomically(path("prefs"), "new\r\ncontent\r\n"));
    EXPECT_EQ(get("prefs"), "new\r\ncontent\r\n");
    EXPECT_FALSE(fs::exists(path("prefs.tmp")));
    ASSERT_TRUE(ReplaceFileAtomically(path("fresh"), ""));
    EXPECT_TRUE(fs::is_regular_file(path("fresh")));
    EXPECT_EQ(get("fresh"), "");
}

TEST_F(PlatformTextFile, ReplaceFileAtomicallyWritesInPlaceWhenNoTemporaryCanBeMade) {
    put("scores", "old content, longer than the new");
    fs::create_directory(path("scores.tmp"));
    fs::create_directory(path("scores.tmp/inside"));  // a folder that unlink cannot remove
    EXPECT_TRUE(ReplaceFileAtomically(path("scores"), "replacement"));
    EXPECT_EQ(get("scores"), "replacement");
    EXPECT_FALSE(ReplaceFileAtomically(path("no/folder/scores"), "x"));
}

TEST_F(PlatformTextFile, ReplaceFileAtomicallyKeepsOldFileWhenWritingFails) {
    put("scores", "keep me");
    EXPECT_FALSE(underFileSizeLimit(16, [&] { return ReplaceFileAtomically(path("scores"), std::string(4096, 'x')); }));
    EXPECT_EQ(get("scores"), "keep me");
    EXPECT_FALSE(fs::exists(path("scores.tmp")));
}

TEST_F(PlatformTextFile, ReplaceFileAtomicallyWritesInPlaceInAReadOnlyFolder) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    put("scores", "old");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_TRUE(ReplaceFileAtomically(path("scores"), "replacement"));
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(get("scores"), "replacement");
    EXPECT_FALSE(fs::exists(path("scores.tmp")));
}

TEST_F(PlatformTextFile, ReplaceFileAtomicallyDoesNotWriteThroughALink) {
    put("victim", "untouched");
    put("scores", "old");
    fs::create_symlink(path("victim"), path("scores.tmp"));
    ASSERT_TRUE(ReplaceFileAtomically(path("scores"), "new"));
    EXPECT_EQ(get("victim"), "untouched");
    EXPECT_EQ(get("scores"), "new");
}
