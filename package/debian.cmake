# `cpack -G DEB` in a build directory: blockfall_<version>_<arch>.deb for /usr,
# its library dependencies read from the binary by dpkg-shlibdeps (dpkg-dev).
# Included by the top CMakeLists.txt after its install rules.

# The package's own files: the manual page (gzip -n: no name or time stamp in
# it, so the package builds the same twice), the AppStream metadata, the
# copyright, the changelog and the one lintian tag the layout earns.
set(blockfall_man_page ${CMAKE_BINARY_DIR}/package/blockfall.6.gz)
set(blockfall_changelog ${CMAKE_BINARY_DIR}/package/changelog.gz)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
add_custom_command(OUTPUT ${blockfall_man_page} ${blockfall_changelog}
  COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/docs/blockfall.6 > ${blockfall_man_page}
  COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/package/changelog > ${blockfall_changelog}
  DEPENDS docs/blockfall.6 package/changelog
  COMMENT "Compressing the manual page and the changelog")
add_custom_target(blockfall_package_files DEPENDS ${blockfall_man_page} ${blockfall_changelog})
# Built with the game, so that installing what `--target blockfall` built works.
add_dependencies(blockfall blockfall_package_files)

install(FILES ${blockfall_man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES desktop/io.github.blockfall.Blockfall.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES package/copyright LICENSE ${blockfall_changelog}
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES package/lintian-overrides RENAME blockfall
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME blockfall)
set(CPACK_PACKAGE_VENDOR "Blockfall developers")
# The project has no contact address of its own to give, so the maintainer is named alone.
set(CPACK_PACKAGE_CONTACT "Blockfall developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "falling-block puzzle game drawn with OpenGL")
set(CPACK_PACKAGE_DESCRIPTION "Move and turn the pieces as they fall into a board 11 cells wide and 20
high. A row that fills up is cleared and scored, and every ten rows the
level goes up: the pieces fall faster and the animated 3D backdrop behind
the board changes. Played with the keyboard or a gamepad, full screen at
640x480 or in a window.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
