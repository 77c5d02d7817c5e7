#!/usr/bin/env bash
# The walls of docs/architecture.md, held by the sources' own includes and the build's lists:
# SDL only in shell/ and audio/; OpenGL only in the drawing rooms, through gfx/gl.h; the
# system's own headers only in the files of one platform (NAME_posix.cpp, NAME_windows.cpp);
# the rules and the BMP reader include nothing but their own headers and the standard library;
# every source file of a room is in the library its room builds into. Usage: walls.sh SOURCE-FOLDER
set -u
cd "$1" || exit 1
breaches=0
Breach() { echo "wall broken: $*" >&2; breaches=$((breaches + 1)); }

IsRules() { [[ $1 =~ ^game/[a-z_]+\.(h|cpp)$ && $1 != game/game_frame.* ]]; }  # the game frame draws
IsReader() { [[ $1 =~ ^gfx/(file_map|file_map_posix|file_map_windows|dib_convert|bmp_reader)\.(h|cpp)$ ]]; }
IsDrawing() { [[ $1 =~ ^(gfx/|scenes/|game/game_frame\.|shell/window\.cpp) ]] && ! IsReader "$1"; }
IsStandard() { [[ $1 =~ ^[a-z_]+$ ]]; }  # <cstdint>, <string>, ...
IsSystem() { [[ $1 =~ ^(windows\.h|unistd\.h|fcntl\.h|dlfcn\.h|pthread\.h|sys/.*)$ ]]; }
IsPlatformFile() { [[ $1 =~ _(posix|windows)\.cpp$ ]]; }

# Each include of the rooms' files, as "file header".
grep -HoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"][^>"]+' shell/* game/* gfx/* scenes/* audio/* |
  sed -E 's/:[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]/ /' >"${TMPDIR:-/tmp}/walls.$$"
while read -r file header; do
  [[ $header =~ ^SDL ]] && ! [[ $file =~ ^(shell|audio)/ ]] &&
    Breach "$file includes $header: SDL belongs to shell/ and audio/"
  [[ $header =~ ^GL/ ]] && [[ $file != gfx/gl.h ]] && Breach "$file includes $header: OpenGL comes through gfx/gl.h"
  [[ $header == gfx/gl.h ]] && ! IsDrawing "$file" && Breach "$file includes $header: OpenGL belongs to the drawing rooms"
  IsSystem "$header" && ! IsPlatformFile "$file" && ! [[ $file == gfx/gl.h && $header == windows.h ]] &&
    Breach "$file includes $header: the system's own calls belong to one platform's file"
  if IsRules "$file"; then
    IsStandard "$header" || IsRules "$header" || Breach "$file includes $header: the rules include only their own files"
  elif IsReader "$file"; then
    IsStandard "$header" || IsReader "$header" || { IsPlatformFile "$file" && IsSystem "$header"; } ||
      Breach "$file includes $header: the reader includes only its own files"
  fi
done <"${TMPDIR:-/tmp}/walls.$$"
rm -f "${TMPDIR:-/tmp}/walls.$$"

# Every source of a room is built, into the library its room names in CMakeLists.txt.
for file in game/*.cpp gfx/*.cpp shell/*.cpp scenes/*.cpp audio/*.cpp; do
  [ "$file" = shell/main.cpp ] && continue
  list=game_sources
  IsRules "$file" && list=rules_sources
  IsReader "$file" && list=reader_sources
  sed -n "/^set($list/,/)/p" CMakeLists.txt | grep -qw "$file" || Breach "$file is not in $list of CMakeLists.txt"
done

[ $breaches = 0 ] && echo "walls: none broken"
exit $((breaches > 0))
