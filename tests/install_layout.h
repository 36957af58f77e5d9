#pragma once
// Every file the install puts under the prefix, and nothing else. The Debian package
// holds the same files, with the game in games/ instead of bin/.

#include <set>
#include <string>

inline const std::set<std::string> installLayout = {
    "bin/tumblebout",
    "bin/tumblebout-lobby",
    "lib/systemd/system/tumblebout-lobby.service",
    "share/applications/tumblebout.desktop",
    "share/metainfo/io.github.tumblebout.Tumblebout.metainfo.xml",
    "share/man/man6/tumblebout.6.gz",
    "share/doc/tumblebout/README.md",
    "share/doc/tumblebout/LICENSE",
    "share/doc/tumblebout/font-licence.txt",
    "share/doc/tumblebout/copyright",
    "share/doc/tumblebout/changelog.gz",
    "share/icons/hicolor/16x16/apps/tumblebout.png",
    "share/icons/hicolor/32x32/apps/tumblebout.png",
    "share/icons/hicolor/48x48/apps/tumblebout.png",
    "share/icons/hicolor/64x64/apps/tumblebout.png",
    "share/icons/hicolor/128x128/apps/tumblebout.png",
    "share/icons/hicolor/256x256/apps/tumblebout.png",
    "share/tumblebout/images/205275.png",
    "share/tumblebout/images/ballimage280.png",
    "share/tumblebout/images/font.ttf",
    "share/tumblebout/images/icon.png",
    "share/tumblebout/images/quad280.png",
    "share/tumblebout/images/spark.png",
    "share/tumblebout/music/tt1.ogg",
    "share/tumblebout/music/tt2.ogg",
    "share/tumblebout/music/tt3.ogg",
    "share/tumblebout/music/tt4.ogg",
    "share/tumblebout/sounds/block.wav",
    "share/tumblebout/sounds/blow.wav",
};
