# The real game played from outside, started from the repository root as
# scripts/play starts it: full screen on a 640x480 screen, then in a window after
# the full-screen question is answered Yes on a larger screen. Real key presses
# go to its window, real screenshots are checked pixel by pixel. Then the faults
# a player can meet: no data/, one picture missing, no sound device.
set -u
game=$(realpath "$1"); cd "$2"
. tests/lib/xvfb.bash
. tests/lib/shots.bash
# A copy of the game alone in a folder: the built one finds the build tree's
# data/ beside it, and the faults below need a game with no data/ anywhere.
scratch=$(mktemp -d)
mkdir "$scratch/bin" && cp "$game" "$scratch/bin/blockfall" && game=$scratch/bin/blockfall
CheckGameLeaks
export SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER WAYLAND_DISPLAY
pid=
trap 'kill $pid 2>/dev/null; StopXvfb; ShotsCleanup; CheckGameLeaksCleanup; rm -rf "${scratch:-}"' EXIT
ShotsSetup || exit 1
log=$scratch/stderr.log

# Failed WHAT: keeps the last screenshot, ends the game and fails.
Failed() {
  KeepShot play_e2e_failure
  kill $pid 2>/dev/null
  Fail "$mode: $*"
}

# HoldUntil KEY SECONDS COMMAND...: holds the key until a shot passes the command.
# A key is held rather than tapped: a tap shorter than a frame is never seen,
# and an arrow acts only once in 8 frames while held. P toggles once per press.
HoldUntil() {
  local key=$1 seconds=$2 result; shift 2
  xdotool keydown --window "$win" "$key" 2>/dev/null
  PollShots "$seconds" "$@"; result=$?
  xdotool keyup --window "$win" "$key" 2>/dev/null
  return $result
}

TextsInPlace() {
  TextShown 16 410 0 "Lines : 0" && TextShown 16 430 0 "Score : 0" &&
    TextShown 16 450 0 "Level : 0" && TextShown 534 400 0 "Next :"
}

# The preview shows one of the seven pieces, in its first rotation.
PreviewShowsAPiece() {
  local picture; picture=$(Probe preview | tr '\n' ' ')
  case "$picture" in
    ".X.. .X.. .X.. .X.. " | ".X.. .X.. .XX. .... " | ".... XXX. .X.. .... " | \
    ".... .XX. .XX. .... " | ".X.. .XX. ..X. .... " | "..X. .XX. .X.. .... " | \
    ".X.. .X.. XX.. .... ") return 0 ;;
  esac
  return 1
}

# ReadPiece: the falling piece as piece_column (its leftmost board column) and
# piece_shape (see Piece in probe.awk); false without a whole piece.
ReadPiece() {
  local cells
  read -r piece_column piece_shape < <(Probe piece)
  [ "$piece_column" != none ] || return 1
  cells=$(tr ',' '\n' <<<"$piece_shape" | awk -F+ '{ n += $2 } END { print n }')
  [ "$cells" = 4 ]
}

PieceMovedLeft() { ReadPiece && [ "$piece_shape" = "$start_shape" ] && [ "$piece_column" -lt "$start_column" ]; }
PieceMovedRight() { ReadPiece && [ "$piece_shape" = "$start_shape" ] && [ "$piece_column" -gt "$start_column" ]; }
PieceTurned() { ReadPiece && [ "$piece_shape" != "$start_shape" ]; }

LandedCells() { Probe landed | tr -cd X | wc -c; }
LandedAtLeast() { [ "$(LandedCells)" -ge "$1" ]; }

Paused() {
  TextShown 226 232 1 "P  a  u  s  e" && [ "$(Probe border)" = "0 0" ] && [ "$(LandedCells)" = 0 ] &&
    TextAbsent 16 410 0 "Lines :" && TextAbsent 534 400 0 "Next :"
}

# Back from the pause: the board as it was, give or take a piece landed since.
Resumed() {
  BoardInPlace && TextAbsent 226 232 1 "P  a  u  s  e" || return 1
  Probe landed >"$scratch/after"
  awk 'NR == FNR { before[FNR] = $0; next }
       { for (i = 1; i <= 11; i++) if (substr(before[FNR], i, 1) == "X" && substr($0, i, 1) != "X") exit 1 }' \
    "$scratch/before" "$scratch/after"
}

# StartGame: waits for the game's window and finds it on the screen.
StartGame() {
  WaitFor $deadline GameWindow ||
    Failed "no window titled \"Tarn's OpenGL Framework\"; windows: $(xwininfo -root -children | grep '"'); $(cat "$log")"
  win=$(GameWindow)
  [ "$(xdotool getwindowname "$win")" = "Tarn's OpenGL Framework" ] || Failed "wrong title"
  LocateGame "$win"
  [ "$(xdotool getwindowgeometry "$win" | awk '/Geometry/ {print $2}')" = 640x480 ] ||
    Failed "the game's area is not 640x480"
}

# LookAtGame: the first screens of a game, everything in its place.
LookAtGame() {
  StartGame
  PollShots $deadline BoardInPlace || Failed "no board with its border in place: $(Probe border)"
  TextsInPlace || Failed "lines, score, level or \"Next :\" not at the lower left and right"
  PreviewShowsAPiece || Failed "the preview shows no piece: $(Probe preview | tr '\n' ' ')"
  ReadPiece || Failed "no falling piece: $(Probe piece)"
  echo "ok: $mode: board, border, texts, preview and a falling piece in place"
}

MoveAndTurn() {
  start_column=$piece_column start_shape=$piece_shape
  HoldUntil Left $deadline PieceMovedLeft || Failed "Left did not move the piece: $(Probe piece)"
  start_column=$piece_column
  HoldUntil Right $deadline PieceMovedRight || Failed "Right did not move the piece: $(Probe piece)"
  echo "ok: $mode: the piece moved left and right"

  # A square looks the same in every rotation: it is dropped, and the next piece
  # turned. Turns go on until the shape differs, since two quarter turns bring
  # a bar or an S back to its own shape.
  local tries landed
  for tries in 1 2 3 4 5 6; do
    [ "$piece_shape" = "0+2,0+2" ] || break
    landed=$(LandedCells)
    HoldUntil Down $deadline LandedAtLeast $((landed + 4)) || Failed "a square did not land"
    PollShots $deadline ReadPiece || Failed "no piece after a square landed"
  done
  [ "$piece_shape" != "0+2,0+2" ] || Failed "only squares came"
  start_shape=$piece_shape
  HoldUntil Up $deadline PieceTurned || Failed "Up did not turn the piece: $(Probe piece)"
  echo "ok: $mode: the piece turned"
}

StackWithDown() {
  HoldUntil Down $deadline LandedAtLeast 12 || Failed "pieces did not land with Down held"
  Probe landed >"$scratch/stack"
  local cells rows
  cells=$(tr -cd X <"$scratch/stack" | wc -c)
  rows=$(grep -c X "$scratch/stack")
  [ $((cells % 4)) = 0 ] && [ "$rows" -ge 3 ] && tail -n 1 "$scratch/stack" | grep -q X ||
    Failed "the landed cells do not stack from the bottom: $(tr '\n' ' ' <"$scratch/stack")"
  echo "ok: $mode: Down held: $((cells / 4)) pieces landed and stacked over $rows rows"
}

PauseAndResume() {
  TakeShot && Probe landed >"$scratch/before"
  HoldUntil p $deadline Paused || Failed "P did not pause (pause text, no board)"
  # P toggles once a press: the game must see it up before the next press counts.
  # Three new frames: the one drawing when P went up may not have taken the release.
  FramesPass 3 || Failed "the game stopped drawing while paused"
  HoldUntil p $deadline Resumed || Failed "P did not resume the game as it was"
  echo "ok: $mode: P pauses (\"P  a  u  s  e\", the board gone) and P resumes"
}

QuitGame() {
  QuitWithEsc $pid "$win"
  [ "$exit_code" = 0 ] || Failed "Esc gave exit code $exit_code: $(cat "$log")"
  ! grep -q "runtime error\|Sanitizer" "$log" || Failed "sanitizer report: $(cat "$log")"
  pid=
  echo "ok: $mode: Esc exits 0"
}

mode="full screen"
StartXvfb 640x480 || exit 1
"$game" 2>"$log" & pid=$!
LookAtGame; MoveAndTurn; StackWithDown; PauseAndResume; QuitGame
echo "($mode: $SECONDS s)"
StopXvfb

mode="windowed"
StartXvfb 1024x768 || exit 1
"$game" 2>"$log" & pid=$!
WaitFor $deadline BoxWindow "Tarn GL" || Failed "no full-screen question"
xdotool key --window "$(BoxWindow "Tarn GL")" Return
LookAtGame; PauseAndResume; QuitGame
echo "($mode: $SECONDS s)"
StopXvfb

# The faults, from a scratch folder with its own partial copy of data/, since the
# game takes data/ from where it is started before looking beside itself.
StartXvfb 640x480 || exit 1
mkdir "$scratch/play"

mode="no data/"
(cd "$scratch/play" && exec "$game") 2>"$log" & pid=$!
WaitFor $deadline BoxWindow "ERROR" || Failed "no \"ERROR\" box"
[ -z "$(GameWindow)" ] || Failed "a game window stayed up"
[ -z "$(BoxWindow Error)" ] || Failed "a message about a single file came up"
xdotool key --window "$(BoxWindow "ERROR")" Return
WaitExit $pid $deadline; pid=
# 1, as after any failed start; a leak or memory error would make it 23.
[ "$exit_code" = 1 ] || Failed "exit code $exit_code: $(cat "$log")"
# Where no box can be shown the same message goes to stderr: read its words there.
(cd "$scratch/play" && SDL_VIDEODRIVER=offscreen exec "$game") 2>"$log"; rc=$?
[ $rc = 1 ] || Failed "offscreen: exit code $rc: $(cat "$log")"
grep -qx "ERROR: Initialization Failed." "$log" || Failed "offscreen: message: $(cat "$log")"
echo "ok: no data/: \"Initialization Failed.\" in an ERROR box, exit code $exit_code"

mode="no border picture"
cp -r data "$scratch/play/data" && rm "$scratch/play/data/border.bmp"
(cd "$scratch/play" && exec "$game") 2>"$log" & pid=$!
StartGame
# Its slot binds no picture, so the border tiles show the plain white they are drawn in.
AllWhite() {
  [ "$(Probe white x=216 y=72 w=16 h=336)" = 1.000 ] && [ "$(Probe white x=232 y=392 w=192 h=16)" = 1.000 ] &&
    [ "$(Probe white x=408 y=72 w=16 h=320)" = 1.000 ]
}
PollShots $deadline AllWhite || Failed "the border is not plain white"
ReadPiece && TextsInPlace || Failed "the game does not run"
[ -z "$(BoxWindow Error)$(BoxWindow ERROR)" ] || Failed "a message box came up"
QuitWithEsc $pid "$win"; pid=
[ "$exit_code" = 0 ] || Failed "exit code $exit_code"
[ ! -s "$log" ] || Failed "messages on stderr: $(cat "$log")"
echo "ok: one picture missing: the game runs silently, border untextured, Esc exits 0"
rm -r "$scratch/play/data"

# No sound device: an audio driver that does not exist, and one that cannot open
# its device. A landing plays a sound; the game must carry on without one.
for audio in "SDL_AUDIODRIVER=no-such-driver" "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/nonexistent/sound.raw"; do
  mode="no sound ($audio)"
  env $audio "$game" 2>"$log" & pid=$!
  StartGame
  PollShots $deadline BoardInPlace || Failed "no board"
  HoldUntil Down $deadline LandedAtLeast 4 || Failed "no piece landed"
  [ -z "$(BoxWindow Error)$(BoxWindow ERROR)" ] || Failed "a message box came up"
  QuitWithEsc $pid "$win"; pid=
  [ "$exit_code" = 0 ] || Failed "exit code $exit_code: $(cat "$log")"
  [ ! -s "$log" ] || Failed "messages on stderr: $(cat "$log")"
  echo "ok: $mode: plays silently, Esc exits 0"
done
echo "($SECONDS s in all)"
exit 0
