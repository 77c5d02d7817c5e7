# The real binary from outside: no display, full screen on a 640x480 screen,
# and the full-screen question answered Yes and No on a larger screen.
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
WaitFor 20 GameWindow || Fail "640x480: no window titled \"Tarn's OpenGL Framework\""
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
WaitFor 20 BoxWindow "Tarn GL" || Fail "1024x768: no full-screen question"
xdotool key --window "$(BoxWindow "Tarn GL")" Return
WaitFor 20 GameWindow || Fail "1024x768: no game window after Yes"
win=$(GameWindow)
geometry=$(xdotool getwindowgeometry "$win" | grep Geometry | awk '{print $2}')
[ "$geometry" = "640x480" ] || Fail "windowed: window is $geometry"
QuitWithEsc $pid "$win"; rc=$exit_code
[ "$rc" = 0 ] || Fail "windowed: Esc gave exit code $rc: $(cat $log)"
echo "ok: question answered Yes runs windowed, Esc exits 0"

# No: "Program Will Now Close." and exit code 1, without a game window.
"$game" 2>"$log" & pid=$!
WaitFor 20 BoxWindow "Tarn GL" || Fail "No: no full-screen question"
xdotool key --window "$(BoxWindow "Tarn GL")" Escape
WaitFor 20 BoxWindow "ERROR" || Fail "No: no closing message"
[ -z "$(GameWindow)" ] || Fail "No: a game window appeared"
xdotool key --window "$(BoxWindow "ERROR")" Return
WaitExit $pid 20; rc=$exit_code
[ "$rc" = 1 ] || Fail "No: exit code $rc"
echo "ok: question answered No closes with exit code 1"
exit 0
