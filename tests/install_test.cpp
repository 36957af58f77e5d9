// Installing as a packager would (cmake --install with DESTDIR and prefix /usr into a
// staging folder), then starting the installed game from an unrelated folder: it
// must find its data beside its executable and keep its files in the per-user folder.

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "game/folders.h"
#include "install_layout.h"
#include "platform/image.h"
#include "platform/platform.h"
#include "tools/datagen/generate.h"

namespace fs = std::filesystem;

namespace {

// The data files the game reads at start-up, by folder under share/tumblebout.
const std::vector<std::pair<std::string, std::set<std::string>>> startupReads = {
    {"images", {"quad280.png", "ballimage280.png", "205275.png", "spark.png", "icon.png", "font.ttf"}},
    {"sounds", {"blow.wav", "block.wav"}},
    {"music", {"tt1.ogg", "tt2.ogg", "tt3.ogg", "tt4.ogg"}},
};

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Width and height from a PNG's IHDR chunk, or (0, 0) if it is not a PNG.
std::pair<int, int> pngSize(const fs::path& path) {
    const std::string bytes = readText(path);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
        bytes.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    auto big32 = [&](size_t at) {
        int v = 0;
        for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    return {big32(16), big32(20)};
}

class InstallTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string pattern = (fs::temp_directory_path() / "tumblebout-install-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        stage = pattern;
        const std::string command = "DESTDIR='" + (stage / "root").string() + "' '" CMAKE_COMMAND
                                    "' --install '" TUMBLEBOUT_BUILD_DIR "' --prefix /usr > '" +
                                    (stage / "install.log").string() + "' 2>&1";
        installStatus = std::system(command.c_str());
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(stage, ignored);
    }
    void SetUp() override {
        ASSERT_EQ(installStatus, 0) << readText(stage / "install.log");
    }

    static fs::path prefix() { return stage / "root" / "usr"; }

    static inline fs::path stage;
    static inline int installStatus = -1;
};

TEST_F(InstallTree, HoldsTheGameItsDataEntryMetainfoManualIconsAndDocsOnly) {
    std::set<std::string> installed;
    for (const auto& entry : fs::recursive_directory_iterator(stage / "root")) {
        if (!entry.is_regular_file()) continue;
        const fs::path relative = fs::relative(entry.path(), prefix());
        // Anything outside the prefix shows up with a leading "..".
        installed.insert(relative.generic_string());
    }
    EXPECT_EQ(installed, installLayout);

    const fs::perms perms = fs::status(prefix() / "bin/tumblebout").permissions();
    EXPECT_NE(perms & fs::perms::others_exec, fs::perms::none);
    EXPECT_NE(perms & fs::perms::owner_exec, fs::perms::none);
}

TEST_F(InstallTree, IconsArePicturesOfTheirThemeSize) {
    for (int size : datagen::kIconSizes) {
        const std::string side = std::to_string(size);
        EXPECT_EQ(pngSize(prefix() / ("share/icons/hicolor/" + side + "x" + side + "/apps/tumblebout.png")),
                  std::make_pair(size, size));
    }
}

TEST_F(InstallTree, CopyrightCarriesBothLicences) {
    const std::string docs = (prefix() / "share/doc/tumblebout").string();
    const std::string copyright = readText(docs + "/copyright");
    EXPECT_NE(copyright.find(readText(docs + "/LICENSE")), std::string::npos);
    // The font's copyright notice opens font-licence.txt, the licence text it names
    // follows there; the copyright file carries the notice, as Debian wants.
    const std::string fontLicence = readText(docs + "/font-licence.txt");
    ASSERT_GT(fontLicence.size(), 300u);
    EXPECT_NE(copyright.find(fontLicence.substr(0, 300)), std::string::npos);
}

TEST_F(InstallTree, DesktopEntryStartsTheGameByNameWithItsIcon) {
    const std::string entry = readText(prefix() / "share/applications/tumblebout.desktop");
    std::vector<std::string> lines;
    for (size_t at = 0; at < entry.size();) {
        const size_t end = entry.find('\n', at);
        lines.push_back(entry.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? entry.size() : end + 1;
    }
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "[Desktop Entry]");
    for (const char* wanted : {"Type=Application", "Name=Tumblebout", "Exec=tumblebout",
                               "Icon=tumblebout", "Terminal=false"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), wanted), lines.end()) << wanted;
    // Every line is a group header, a comment or key=value.
    for (const std::string& line : lines)
        EXPECT_TRUE(line.empty() || line[0] == '[' || line[0] == '#' ||
                    line.find('=') != std::string::npos)
            << line;
}

TEST_F(InstallTree, DataFolderIsFoundBesideTheInstalledExecutable) {
    const std::string data = findDataFolder((prefix() / "bin").string());
    EXPECT_EQ(fs::path(data), (prefix() / "share/tumblebout").lexically_normal());
    const ImageRef quad = LoadImage((fs::path(data) / "images/quad280.png").string());
    ASSERT_TRUE(quad);
    EXPECT_EQ(quad->width, 280);
}

// Starts the installed game with a private home, per-user folder and offscreen video,
// from a folder of its own; watches which data files it opens; then asks it to close
// (SIGTERM, which SDL turns into a quit request).
TEST_F(InstallTree, InstalledGameStartsFromAnyFolderAndKeepsItsFilesPerUser) {
    const fs::path home = stage / "home";
    const fs::path userData = home / ".local/share";
    const fs::path runtime = stage / "runtime";
    const fs::path startFolder = stage / "somewhere-else";
    for (const fs::path& folder : {home, runtime, startFolder}) fs::create_directories(folder);
    fs::permissions(runtime, fs::perms::owner_all);

    const int watcher = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watcher, 0);
    std::vector<std::pair<int, std::string>> watches;
    for (const auto& [folder, files] : startupReads) {
        const fs::path path = prefix() / "share/tumblebout" / folder;
        const int wd = inotify_add_watch(watcher, path.c_str(), IN_OPEN);
        ASSERT_GE(wd, 0) << path;
        watches.emplace_back(wd, folder);
    }

    const std::string game = (prefix() / "bin/tumblebout").string();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (chdir(startFolder.c_str()) != 0) _exit(120);
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_DATA_HOME", userData.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        // Leaks inside the GL and audio drivers are not this test's subject.
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        execl(game.c_str(), game.c_str(), static_cast<char*>(nullptr));
        _exit(121);
    }

    std::vector<std::pair<std::string, std::set<std::string>>> unread = startupReads;
    auto collectOpens = [&] {
        alignas(inotify_event) char buffer[4096];
        ssize_t length;
        while ((length = read(watcher, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                for (size_t w = 0; w < watches.size(); ++w)
                    if (event->wd == watches[w].first && event->len > 0)
                        unread[w].second.erase(event->name);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    };
    auto allRead = [&] {
        for (const auto& folder : unread)
            if (!folder.second.empty()) return false;
        return true;
    };
    const fs::path userFolder = userData / "tumblebout";
    auto filesKept = [&] {
        return fs::exists(userFolder / "prefs.tbt") && fs::exists(userFolder / "scores.txt");
    };

    int status = 0;
    bool exitedEarly = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while (std::chrono::steady_clock::now() < deadline) {
        collectOpens();
        if (allRead() && filesKept()) break;
        if (waitpid(child, &status, WNOHANG) == child) {
            exitedEarly = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    close(watcher);

    bool exited = exitedEarly;
    if (!exitedEarly) {
        kill(child, SIGTERM);
        const auto stopDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!exited && std::chrono::steady_clock::now() < stopDeadline) {
            exited = waitpid(child, &status, WNOHANG) == child;
            if (!exited) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!exited) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
    }

    EXPECT_FALSE(exitedEarly) << "the game ended before reading its data, status " << status;
    EXPECT_TRUE(exited) << "the game did not end on a quit request";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    for (const auto& [folder, files] : unread)
        for (const std::string& file : files) ADD_FAILURE() << "never opened: " << folder << "/" << file;
    EXPECT_TRUE(filesKept()) << "no options or scores in " << userFolder;
    EXPECT_TRUE(fs::is_empty(startFolder)) << "the game wrote into the folder it was started from";
}

}  // namespace
