# Installing, as a packager would:
#   cmake --install <build> --prefix /usr      (DESTDIR=<staging> for a package)
# The game looks for its data at ../share/tumblebout beside its executable, so the two
# destinations below keep that relation fixed rather than following GNUInstallDirs
# overrides that could pull them apart.

set(TUMBLEBOUT_INSTALL_DATA share/tumblebout)

install(TARGETS tumblebout RUNTIME DESTINATION bin)

# The generated pictures, sounds and music, and the font with its licence, all live
# in the build folder beside the executable.
install(DIRECTORY
    ${CMAKE_BINARY_DIR}/images
    ${CMAKE_BINARY_DIR}/sounds
    ${CMAKE_BINARY_DIR}/music
  DESTINATION ${TUMBLEBOUT_INSTALL_DATA})

# Desktop menus find the game through its entry and the icon theme.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/tumblebout.desktop DESTINATION share/applications)
install(FILES ${CMAKE_BINARY_DIR}/images/icon.png
  DESTINATION share/icons/hicolor/128x128/apps RENAME tumblebout.png)
install(FILES ${CMAKE_BINARY_DIR}/images/icon256.png
  DESTINATION share/icons/hicolor/256x256/apps RENAME tumblebout.png)
