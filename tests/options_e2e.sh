# The command line from outside: --help and --version on stdout with exit code
# 0, a wrong argument's usage on stderr with 2; then on a screen without
# 640x480, the last of --fullscreen and --window counting, and the built game
# started from another folder, finding data/ through the link beside it.
set -u
game=$(realpath "$1"); cd "$2"
. tests/lib/xvfb.bash
. tests/lib/shots.bash
CheckGameLeaks
export SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER WAYLAND_DISPLAY
scratch=$(mktemp -d) pid=
trap 'kill $pid 2>/dev/null; StopXvfb; ShotsCleanup; CheckGameLeaksCleanup; rm -rf "$scratch"' EXIT
ShotsSetup || exit 1
out=$scratch/stdout err=$scratch/stderr

Failed() { KeepShot options_e2e_failure; kill $pid 2>/dev/null; Fail "$*"; }

"$game" --help >"$out" 2>"$err"; rc=$?
[ $rc = 0 ] && [ ! -s "$err" ] || Fail "--help: exit code $rc, stderr: $(cat "$err")"
for option in --window --fullscreen --help --version; do
  [ "$(grep -c -- "^  $option " "$out")" = 1 ] || Fail "--help: no line for $option: $(cat "$out")"
done
usage=$(cat "$out")
version=$(sed -n 's/^project(blockfall VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
"$game" --version >"$out" 2>"$err"; rc=$?
[ $rc = 0 ] && [ "$(cat "$out")" = "blockfall $version" ] && [ ! -s "$err" ] ||
  Fail "--version: exit code $rc, stdout: $(cat "$out"), stderr: $(cat "$err")"
for wrong in --no-such-option stray; do
  "$game" --window "$wrong" >"$out" 2>"$err"; rc=$?
  [ $rc = 2 ] && [ ! -s "$out" ] && [[ $(cat "$err") == *"$usage"* ]] ||
    Fail "$wrong: exit code $rc, stdout: $(cat "$out"), stderr: $(cat "$err")"
done
echo "ok: --help and --version exit 0; a wrong argument prints the usage on stderr, exit code 2"

# No 640x480 mode here, so full screen would ask first. The question comes
# before the game window, so whichever shows first tells.
StartXvfb 1024x768 || exit 1
(cd "$scratch" && exec "$game" --fullscreen --window) 2>"$err" & pid=$!
WaitFor $deadline eval 'GameWindow || BoxWindow "Tarn GL" || BoxWindow ERROR' || Failed "--window: no window: $(cat "$err")"
[ -z "$(BoxWindow "Tarn GL")" ] || Failed "--window: the full-screen question came"
[ -z "$(BoxWindow ERROR)" ] || Failed "started in $scratch: an ERROR box: $(cat "$err")"
win=$(GameWindow)
geometry=$(xdotool getwindowgeometry "$win" | awk '/Geometry/ {print $2}')
[ "$geometry" = 640x480 ] || Failed "--window: the window is $geometry: $(cat "$err")"
LocateGame "$win"
PollShots $deadline BoardInPlace || Failed "started in $scratch: the board is not drawn"
QuitWithEsc $pid "$win"; pid=
[ "$exit_code" = 0 ] || Failed "--window: Esc gave exit code $exit_code: $(cat "$err")"
echo "ok: --fullscreen --window: a 640x480 window, no question; from another folder, the board drawn"

"$game" --window --fullscreen 2>"$err" & pid=$!
WaitFor $deadline BoxWindow "Tarn GL" || Failed "--fullscreen: no full-screen question"
xdotool key --window "$(BoxWindow "Tarn GL")" Return
WaitFor $deadline GameWindow || Failed "--fullscreen: no game window after Yes"
QuitWithEsc $pid "$(GameWindow)"; pid=
[ "$exit_code" = 0 ] || Failed "--fullscreen: Esc gave exit code $exit_code: $(cat "$err")"
echo "ok: --window --fullscreen: the full-screen question, as with no option"
exit 0
