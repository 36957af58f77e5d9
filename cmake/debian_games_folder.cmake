# Run by CPack on the staged tree before it is packed: the game moves from usr/bin to
# usr/games, as Debian's policy for games asks. The invite service is a server, not
# the game, and stays in usr/bin, where its systemd unit finds it.
set(stage ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
file(MAKE_DIRECTORY ${stage}/games)
file(RENAME ${stage}/bin/tumblebout ${stage}/games/tumblebout)
