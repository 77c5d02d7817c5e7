# Installation on Linux and the Debian package; included by the top CMakeLists.txt.
# `cmake --install <build> [--prefix <dir>]` (or DESTDIR=... for staging): the game
# in bin/, its data/ in share/blockfall/data/, an icon and a desktop entry. The game
# finds share/blockfall from its bin/ (shell/data_folder); the entry starts it there too.
include(GNUInstallDirs)
set(BLOCKFALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/blockfall)
install(TARGETS blockfall RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY data/ DESTINATION ${BLOCKFALL_DATA_DIR}/data)
install(FILES desktop/blockfall.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
# The entry holds absolute paths: it is written at install time, so that a prefix
# given to `cmake --install --prefix` is the one it names; in a folder of its own
# per prefix, as installs for two prefixes (cpack's and a test's) may run at once.
foreach(dir BINDIR DATADIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
    set(blockfall_${dir} "${CMAKE_INSTALL_${dir}}")
  else()
    set(blockfall_${dir} "\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_${dir}}")
  endif()
endforeach()
install(CODE "
  set(BLOCKFALL_EXEC \"${blockfall_BINDIR}/blockfall\")
  set(BLOCKFALL_PATH \"${blockfall_DATADIR}/blockfall\")
  string(MD5 entry_dir \"\${CMAKE_INSTALL_PREFIX}\")
  set(entry \"${CMAKE_BINARY_DIR}/desktop/\${entry_dir}/blockfall.desktop\")
  configure_file(\"${CMAKE_SOURCE_DIR}/desktop/blockfall.desktop.in\" \"\${entry}\" @ONLY)
  file(INSTALL DESTINATION \"${blockfall_DATADIR}/applications\" TYPE FILE FILES \"\${entry}\")
")

include(${CMAKE_CURRENT_LIST_DIR}/debian.cmake)
