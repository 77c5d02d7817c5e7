# The Windows package: `cpack` in a Windows build folder (see scripts/windows) makes
# blockfall-<version>-win64.zip, one folder holding the game, the two SDL DLLs, data/, a
# README.txt for players and the licences. The game finds data/ beside blockfall.exe.
# Included by the top CMakeLists.txt.
install(TARGETS blockfall RUNTIME DESTINATION .)
install(FILES $<TARGET_FILE:SDL2::SDL2> $<TARGET_FILE:SDL2_mixer::SDL2_mixer> DESTINATION .)
install(DIRECTORY data/ DESTINATION data)
configure_file(package/README-windows.txt ${CMAKE_BINARY_DIR}/package/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(LICENSE ${CMAKE_BINARY_DIR}/package/LICENSE.txt COPYONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/README.txt ${CMAKE_BINARY_DIR}/package/LICENSE.txt DESTINATION .)

# SDL's licences, from the prefix the libraries were built into.
foreach(library SDL2 SDL2_mixer)
  find_file(${library}_LICENSE LICENSE.txt PATHS ${BLOCKFALL_WIN_DEPS}/share/licenses/${library}
    NO_DEFAULT_PATH REQUIRED)
  install(FILES ${${library}_LICENSE} DESTINATION licenses RENAME ${library}.txt)
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME blockfall)
set(CPACK_PACKAGE_VENDOR "Blockfall developers")
set(CPACK_PACKAGE_FILE_NAME blockfall-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
include(CPack)
