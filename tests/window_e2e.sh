# The real binary from outside: no display, full screen on a 640x480 screen,
# the full-screen question answered Yes and No on a larger screen, and taken as
# Yes where the server cannot draw it.
set -u
game=$1; cd "$2"
. tests/lib/xvfb.bash
CheckGameLeaks
export SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER WAYLAND_DISPLAY
log=$(mktemp)
trap 'StopXvfb; CheckGameLeaksCleanup; rm -f "$log"' EXIT

# No display at all: a clear message on stderr and exit code 1.
env -u DISPLAY "$game" 2>"$log"; rc=$?
[ $rc -eq 1 ] || Fail "no display: exit code $rc"
grep -q "ERROR: Failed To Register The Window Class." "$log" || Fail "no display: message missing: $(cat $log)"
echo "ok: no display exits 1 with the creation message"

# 640x480 screen: full screen, titled window, Esc quits with 0.
StartXvfb 640x480 || exit 1
"$game" 2>"$log" & pid=$!
WaitFor $deadline GameWindow || Fail "640x480: no window titled \"Tarn's OpenGL Framework\""
win=$(GameWindow)
geometry=$(xdotool getwindowgeometry "$win" | grep Geometry | awk '{print $2}')
[ "$geometry" = "640x480" ] || Fail "640x480: window is $geometry"
QuitWithEsc $pid "$win"; rc=$exit_code
[ "$rc" = 0 ] || Fail "640x480: Esc gave exit code $rc: $(cat $log)"
echo "ok: full screen on 640x480, Esc exits 0"
StopXvfb

# Larger screen: the question comes; Yes gives a 640x480 window.
StartXvfb 1024x768 || exit 1
"$game" 2>"$log" & pid=$!
WaitFor $deadline BoxWindow "Tarn GL" || Fail "1024x768: no full-screen question"
xdotool key --window "$(BoxWindow "Tarn GL")" Return
WaitFor $deadline GameWindow || Fail "1024x768: no game window after Yes"
win=$(GameWindow)
geometry=$(xdotool getwindowgeometry "$win" | grep Geometry | awk '{print $2}')
[ "$geometry" = "640x480" ] || Fail "windowed: window is $geometry"
QuitWithEsc $pid "$win"; rc=$exit_code
[ "$rc" = 0 ] || Fail "windowed: Esc gave exit code $rc: $(cat $log)"
echo "ok: question answered Yes runs windowed, Esc exits 0"

# No: "Program Will Now Close." and exit code 1, without a game window.
"$game" 2>"$log" & pid=$!
WaitFor $deadline BoxWindow "Tarn GL" || Fail "No: no full-screen question"
xdotool key --window "$(BoxWindow "Tarn GL")" Escape
WaitFor $deadline BoxWindow "ERROR" || Fail "No: no closing message"
[ -z "$(GameWindow)" ] || Fail "No: a game window appeared"
xdotool key --window "$(BoxWindow "ERROR")" Return
WaitExit $pid $deadline; rc=$exit_code
[ "$rc" = 1 ] || Fail "No: exit code $rc"
echo "ok: question answered No closes with exit code 1"
StopXvfb

# A server with no fonts to draw a box with: the question goes to stderr with
# the answer taken, Yes, and the game plays in a window rather than closing.
StartXvfb 1024x768 -fp built-ins || exit 1
"$game" 2>"$log" & pid=$!
WaitFor $deadline eval "GameWindow || ! kill -0 $pid" && GameWindow >/dev/null ||
  Fail "no fonts: no game window: $(cat $log)"
win=$(GameWindow)
geometry=$(xdotool getwindowgeometry "$win" | grep Geometry | awk '{print $2}')
[ "$geometry" = "640x480" ] || Fail "no fonts: window is $geometry"
grep -qxF "Tarn GL: The Requested Fullscreen Mode Is Not Supported By" "$log" &&
  grep -qxF "Your Video Card. Use Windowed Mode Instead?" "$log" &&
  grep -qxF "Tarn GL: no box can be shown; taking Yes" "$log" || Fail "no fonts: stderr: $(cat $log)"
QuitWithEsc $pid "$win"; rc=$exit_code
[ "$rc" = 0 ] || Fail "no fonts: Esc gave exit code $rc: $(cat $log)"
echo "ok: no box can be drawn: the question and Yes on stderr, windowed, Esc exits 0"
exit 0
