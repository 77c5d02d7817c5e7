# What the end-to-end tests of tests/e2e/ share: each is run by ctest as
# `bash tests/e2e/NAME.sh BUILT-GAME SOURCE-FOLDER` and starts with
# `. "$(dirname "$0")/../lib/e2e.bash" "$@"`, which enters the source folder and sets
# $game, $build, $version, $work (a scratch folder, removed at exit) and $preload.
# The helpers share $pid (the game), $win (its window) and $mode (what is being tried).
set -u
game=$(realpath "$1"); cd "$2" || exit 1
build=$(dirname "$game") work=$(mktemp -d) pid= servers=() mode= said=
trap 'kill $pid "${servers[@]}" 2>/dev/null; rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy
export XDG_DATA_HOME=$work/player  # the player's folder: the scores of these games, never the tester's
unset SDL_VIDEODRIVER WAYLAND_DISPLAY DISPLAY
version=$(sed -n 's/^project(blockfall VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

# Mesa's modules are unloaded at exit, and LeakSanitizer could no longer tell their one-time
# allocations from the game's: keep_gl_modules.so keeps them, tests/lsan.supp leaves out exactly
# theirs, and a leak of the game's own ends it with exit code 23. The sanitizer must come first.
runtime=$(ldd "$game" | awk '/libasan/ { print $3 }')
preload=${runtime:+$runtime ${BLOCKFALL_KEEP_GL_MODULES:?is the library that keeps the GL driver loaded: run through ctest}}

# Every wait polls for the state it wants and returns as soon as it is there, so this
# deadline, long enough for the sanitized game with both cores busy, costs nothing.
deadline=${BLOCKFALL_E2E_DEADLINE:-180}
WaitFor() {
  local end=$((SECONDS + deadline))
  until "$@" >/dev/null 2>&1; do [ $SECONDS -lt $end ] || return 1; sleep 0.05; done
}

# Fail WHAT: ends the test, the last shot kept as a picture for the report.
Fail() {
  echo "FAIL: ${mode:+$mode: }$*" >&2
  [ -s "$work/shot.rgb" ] && convert -size 640x480 -depth 8 "rgb:$work/shot.rgb" "${TMPDIR:-/tmp}/e2e_failure.png" &&
    echo "last shot: ${TMPDIR:-/tmp}/e2e_failure.png; piece: $(Probe piece); landed: $(Landed)" >&2
  exit 1
}

# StartXvfb NAME SIZE [OPTION...]: a private X server on a display number of its own
# choosing (no race with other tests), its DISPLAY value in $NAME. -noreset: the server
# would reset when its last client (the probe) leaves, turning away a game then.
StartXvfb() {
  Xvfb -displayfd 7 -screen 0 "$2x24" -nolisten tcp -noreset "${@:3}" 7>"$work/$1" 2>/dev/null & servers+=($!)
  WaitFor test -s "$work/$1" && printf -v "$1" :%s "$(head -n 1 "$work/$1")" &&
    DISPLAY=${!1} WaitFor xdpyinfo || Fail "Xvfb $2 ${*:3} did not start"
}

# StartGame FOLDER [NAME=VALUE...] COMMAND...: starts the game from FOLDER in the background,
# stderr in $work/log, leak checked at exit (see above); sets pid.
StartGame() {
  (cd "$1" && exec env LD_PRELOAD="$preload" ASAN_OPTIONS=detect_leaks=1:exitcode=23 "${@:2}") 2>"$work/log" & pid=$!
}

# AwaitExit CODE [LINE]: the game ends with exit code CODE, and LINE on stderr, or without
# LINE, $said and nothing else.
AwaitExit() {
  WaitFor eval "! kill -0 $pid" || Fail "the game did not end"
  wait $pid; local code=$?; pid=
  [ $code = "$1" ] && if [ $# = 2 ]; then grep -qxF "$2" "$work/log"; else [ "$(cat "$work/log")" = "$said" ]; fi ||
    Fail "exit code $code (wanted $1), stderr: $(cat "$work/log")"
  echo "ok: $mode"
}

# Quit: Esc held until the game ends, with exit code 0; then let go on the server.
Quit() { xdotool keydown --window "$win" Escape; AwaitExit 0; xdotool keyup Escape; }

# The game's window by its title (sets win); a message box by its caption (which
# xdotool cannot see).
GameWindow() { win=$(xdotool search --name "^Tarn's OpenGL Framework$" | head -n 1) && [ -n "$win" ]; }
Box() { xwininfo -root -tree | awk -v name="\"$1\"" 'index($0, name) { print $1; found = 1; exit } END { exit !found }'; }
# Answer KEY: the full-screen question comes, and KEY answers it.
Answer() { WaitFor Box "Tarn GL" && xdotool key --window "$(Box "Tarn GL")" "$1" || Fail "no full-screen question"; }

# AwaitBoard [TILE]: the game's window up, no box beside it, 640x480, and the board drawn
# with its border of TILE (its picture, or white).
AwaitBoard() {
  WaitFor eval 'GameWindow || Box "Tarn GL" || Box ERROR || ! kill -0 $pid' && GameWindow &&
    ! Box "Tarn GL" && ! Box ERROR || Fail "no game window alone: $(xwininfo -root -children | grep '"'); $(cat "$work/log")"
  [ "$(xdotool getwindowgeometry "$win" | awk '/Geometry/ { print $2 }')" = 640x480 ] || Fail "the window is not 640x480"
  WaitFor Seen Board "${1:-border}" || Fail "no board with its border in place: $(Probe border name="${1:-border}")"
}

# TakeShot: the game's window as the player sees it, for the probes of e2e.awk (see there).
TakeShot() { import -window "$win" -depth 8 "rgb:$work/shot.rgb" && basenc --base16 -w 3840 "$work/shot.rgb" >"$work/shot.txt"; }
Seen() { TakeShot && "$@"; }
Probe() {  # Probe WHAT [NAME=VALUE...]
  local pair vars=(); for pair in "${@:2}"; do vars+=(-v "$pair"); done
  awk -v what="$1" "${vars[@]}" -f tests/lib/e2e.awk "$work"/{border,blkgrey,font,shot}.txt
}

# Checks on the last shot: the border's 53 tiles, none astray; text; the landed cells;
# the falling piece (sets column, row and shape).
Board() { [ "$(Probe border name="${1:-border}")" = "53 0" ]; }
Text() { [ "$(Probe text x="$1" y="$2" set="$3" string="$4")" = "${5:-shown}" ]; }
Texts() { Text 16 410 0 "Lines : 0" && Text 16 430 0 "Score : 0" && Text 16 450 0 "Level : 0" && Text 534 400 0 "Next :"; }
Landed() { Probe landed | tr -cd X | wc -c; }
LandedAtLeast() { [ "$(Landed)" -ge "$1" ]; }
Piece() { read -r column row shape < <(Probe piece) && [ "$column" != none ]; }

# Hold KEY CHECK...: holds the key until a shot passes the check. Held, not tapped: a
# tap shorter than a frame is never seen, and an arrow acts once in 8 frames held.
Hold() {
  xdotool keydown --window "$win" "$1"; WaitFor Seen "${@:2}"; local result=$?
  xdotool keyup --window "$win" "$1"; return $result
}

# AwaitFrames N: waits until the shot has changed N times, the game having drawn as many
# frames (its backdrop moves in each, paused or not).
AwaitFrames() { frames_left=$1; WaitFor TakeShot && last=$(cksum <"$work/shot.rgb") && WaitFor NewFrame; }
NewFrame() {
  TakeShot && now=$(cksum <"$work/shot.rgb") || return 1
  [ "$now" = "$last" ] || frames_left=$((frames_left - 1)); last=$now; [ $frames_left -le 0 ]
}

# The pixel probes' references: the border and landed-cell tiles, and the font.
PrepareProbes() {
  local picture
  for picture in border blkgrey; do
    convert data/$picture.bmp -scale 50% -depth 8 rgb:- | basenc --base16 -w 96 >"$work/$picture.txt"
  done
  convert data/font.bmp -depth 8 rgb:- | basenc --base16 -w 1536 >"$work/font.txt"
}

# CheckTree ROOT PREFIX: an install for PREFIX, found under ROOT.
CheckTree() {
  local entry=$1/share/applications/blockfall.desktop line
  [ -x "$1/bin/blockfall" ] && diff -r data "$1/share/blockfall/data" >/dev/null || Fail "$2: no game or data/"
  cmp -s desktop/blockfall.png "$1/share/icons/hicolor/64x64/apps/blockfall.png" &&
    [ "$(identify -format %wx%h desktop/blockfall.png)" = 64x64 ] || Fail "$2: no 64x64 icon"
  for line in Type=Application Name=Blockfall Icon=blockfall "Exec=\"$2/bin/blockfall\"" "Path=$2/share/blockfall"; do
    grep -qxF "$line" "$entry" || Fail "$2: no $line in the desktop entry: $(cat "$entry")"
  done
  desktop-file-validate "$entry" || Fail "$2: desktop-file-validate refuses the entry"
}
