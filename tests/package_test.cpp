// The Debian package CPack makes of this build, as a packager would make it: its files,
// its control fields and declared dependencies, the packaged game finding its data from
// /usr/games, lintian's verdict on the package and appstreamcli's on its metainfo.
// One test, as CPack is the slow part: skipped where dpkg's tools are missing; lintian
// and appstreamcli are each consulted when present.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "install_layout.h"

namespace fs = std::filesystem;

namespace {

bool haveProgram(const std::string& name) {
    return std::system(("command -v " + name + " > /dev/null 2>&1").c_str()) == 0;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// A fresh folder, removed with everything in it when the test ends.
class Stage {
public:
    Stage() {
        std::string pattern = (fs::temp_directory_path() / "tumblebout-package-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~Stage() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

    // Runs a shell command with its output in the log file `name`; true when it
    // exits with 0.
    bool run(const std::string& command, const std::string& name) const {
        return std::system((command + " > " + quoted(path_ / name) + " 2>&1").c_str()) == 0;
    }
    std::string log(const std::string& name) const { return readText(path_ / name); }

private:
    fs::path path_;
};

}  // namespace

TEST(DebianPackage, CPackMakesAPackageThatLintianAccepts) {
    for (const char* tool : {"dpkg-deb", "dpkg-shlibdeps", "file"})
        if (!haveProgram(tool)) GTEST_SKIP() << tool << " is missing";
    const Stage stage;
    ASSERT_FALSE(stage.path().empty());
    ASSERT_TRUE(stage.run("'" CPACK_COMMAND "' --config '" TUMBLEBOUT_BUILD_DIR "/CPackConfig.cmake' -G DEB -B " +
                              quoted(stage.path()),
                          "cpack.log"))
        << stage.log("cpack.log");
    fs::path deb;
    for (const auto& entry : fs::directory_iterator(stage.path()))
        if (entry.path().extension() == ".deb") deb = entry.path();
    ASSERT_FALSE(deb.empty()) << stage.log("cpack.log");

    // The installed files, with the program where Debian keeps games.
    const fs::path root = stage.path() / "root";
    ASSERT_TRUE(stage.run("dpkg-deb -x " + quoted(deb) + " " + quoted(root), "extract.log"));
    std::set<std::string> packed;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (!entry.is_directory()) packed.insert(fs::relative(entry.path(), root / "usr").generic_string());
    std::set<std::string> expected = installLayout;
    expected.erase("bin/tumblebout");
    expected.insert("games/tumblebout");
    EXPECT_EQ(packed, expected);

    // The packaged game finds its data from there.
    ASSERT_TRUE(
        stage.run("ASAN_OPTIONS=detect_leaks=0 " + quoted(root / "usr/games/tumblebout") + " --help", "help.log"));
    EXPECT_NE(stage.log("help.log").find(" " + (root / "usr/share/tumblebout").string() + "\n"), std::string::npos)
        << stage.log("help.log");

    // Its name, section and the libraries it runs on.
    ASSERT_TRUE(stage.run("dpkg-deb -f " + quoted(deb) + " Package Section Depends", "fields.log"));
    const std::string fields = stage.log("fields.log");
    EXPECT_NE(fields.find("Package: tumblebout\n"), std::string::npos) << fields;
    EXPECT_NE(fields.find("Section: games\n"), std::string::npos) << fields;
    for (const char* library : {"libsdl2-2.0-0", "libvorbisfile3", "libpng16-16", "libfreetype6", "libgl1"})
        EXPECT_NE(fields.find(library), std::string::npos) << library << " is not declared: " << fields;

    if (haveProgram("lintian")) {
        EXPECT_TRUE(stage.run("lintian --fail-on error " + quoted(deb), "lintian.log")) << stage.log("lintian.log");
    }
    if (haveProgram("appstreamcli")) {
        EXPECT_TRUE(stage.run("appstreamcli validate --no-net " +
                                  quoted(root / "usr/share/metainfo/io.github.tumblebout.Tumblebout.metainfo.xml"),
                              "appstream.log"))
            << stage.log("appstream.log");
    }
}
