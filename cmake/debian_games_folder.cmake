# Run by CPack on the staged tree before it is packed: the program moves from
# usr/bin to usr/games, as Debian's policy for games asks.
set(stage ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
file(MAKE_DIRECTORY ${stage}/games)
file(RENAME ${stage}/bin/tumblebout ${stage}/games/tumblebout)
file(REMOVE_RECURSE ${stage}/bin)
