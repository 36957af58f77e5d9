# A Debian package of the installed tree, made by CPack from a Release build:
#   cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
#   cmake --build build -j"$(nproc)"
#   (cd build && cpack -G DEB)
# The runtime dependencies come from dpkg-shlibdeps, which reads the libraries the
# program links. CPack packages what was built: it builds nothing itself.

set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(TUMBLEBOUT_MAINTAINER "The Tumblebout developers <tumblebout@example.org>" CACHE STRING
  "Maintainer named by the package")
set(CPACK_PACKAGE_NAME tumblebout)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tumblebout developers")
set(CPACK_PACKAGE_CONTACT ${TUMBLEBOUT_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade fighting game of stick-figure puppets steered by the head")
set(CPACK_PACKAGE_DESCRIPTION
  "Two to six fighters, each a puppet of round nodes held together by sticks and
joints, brawl in a walled arena. Nothing is animated: the bodies are simulated
one physics step per frame and steered by pushing the head, and swinging limbs
deal the blows. A campaign of 20 levels for one player or two together, a
versus series for two, high scores, and game controller support.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Debian keeps the programs of games in /usr/games. The data stays where the game
# looks for it: games/ and bin/ lie at the same depth under the prefix.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/debian_games_folder.cmake)

include(CPack)
