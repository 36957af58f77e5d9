# Installing, as a packager would:
#   cmake --install <build> --prefix /usr      (DESTDIR=<staging> for a package)
# The programs (the game and its invite service) go to bin/ and the data to
# TUMBLEBOUT_DATA_DIR, where the game finds it from its own folder.

install(TARGETS tumblebout tumblebout-lobby RUNTIME DESTINATION bin)
# The invite service runs under systemd where a machine serves it (README: "Running the
# invite service"); the unit names the program without a folder, found in bin/.
install(FILES ${CMAKE_SOURCE_DIR}/lobby/tumblebout-lobby.service DESTINATION lib/systemd/system)

# The generated pictures, sounds and music and the font, all beside the executable in
# the build folder. The font's licence goes with the documentation instead.
install(DIRECTORY
    ${CMAKE_BINARY_DIR}/images
    ${CMAKE_BINARY_DIR}/sounds
    ${CMAKE_BINARY_DIR}/music
  DESTINATION ${TUMBLEBOUT_DATA_DIR}
  PATTERN font-licence.txt EXCLUDE)

# Menus and software centres find the game through its desktop entry, its metainfo
# and the icon theme.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/tumblebout.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/io.github.tumblebout.Tumblebout.metainfo.xml DESTINATION share/metainfo)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION share/icons)

# The manual page and the changelog, compressed as distributions ship them (-n: no
# name or time stamp, so the bytes depend on the text alone).
set(gzipped_files)
foreach(name tumblebout.6 changelog)
  set(copy ${CMAKE_BINARY_DIR}/packaging/${name})
  add_custom_command(
    OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/packaging/${name} ${copy}
    COMMAND gzip -9nf ${copy}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${name}
    VERBATIM)
  list(APPEND gzipped_files ${copy}.gz)
endforeach()
add_custom_target(packaging_files ALL DEPENDS ${gzipped_files})
install(FILES ${CMAKE_BINARY_DIR}/packaging/tumblebout.6.gz DESTINATION share/man/man6)

# The documentation: the read-me, the licences, the changelog, and the copyright file
# that Debian's tools look for, which carries both licences.
set(doc share/doc/tumblebout)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DESTINATION ${doc})
# The data generator joins the font's copyright notice and the licence text it names.
install(FILES ${CMAKE_BINARY_DIR}/images/font-licence.txt DESTINATION ${doc})
file(READ ${CMAKE_SOURCE_DIR}/LICENSE game_licence)
# Debian's copyright notice names the licence by its path in common-licenses, as
# Debian's policy wants; the full text travels in font-licence.txt beside it.
file(READ ${TUMBLEBOUT_FONT_LICENCE} font_notice)
file(WRITE ${CMAKE_BINARY_DIR}/packaging/copyright
"Tumblebout: the program, its pictures, icons, sounds and music.

${game_licence}
-------------------------------------------------------------------------------
The font, ${TUMBLEBOUT_DATA_DIR}/images/font.ttf, keeps its own licence:

${font_notice}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/LICENSE ${TUMBLEBOUT_FONT_LICENCE})
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright DESTINATION ${doc})
