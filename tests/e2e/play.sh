# The game played with real keys under Xvfb: the board, the texts and the falling piece drawn;
# Up turns, Left and Right move, Down drops; Tab does nothing during a game; P pauses and
# resumes; Esc ends with exit code 0.
. "$(dirname "$0")/../lib/e2e.bash" "$@"
PrepareProbes
StartXvfb window 1024x768
export DISPLAY=$window
mkdir "$work/elsewhere"

# The last of --fullscreen and --window counts; from another folder, the built game
# finds data/ beside it.
mode="played"
StartGame "$work/elsewhere" "$game" --fullscreen --window
AwaitBoard
WaitFor Seen eval 'Texts && Piece' || Fail "no falling piece, or lines, score, level or \"Next :\" not in place"
# Up turns a piece just come in, with time for the keys before it lands. Seen turned with the
# landed cells as they were, and still so three frames after Up is let go: the frame a piece
# lands in draws the next, and the landed cells only from the frame after. A piece that lands
# first (a square looks the same turned) shows nothing either way: the next one is tried.
for tries in 1 2 3 4 5 6 0; do [ $tries != 0 ] || Fail "Up turned none of 6 pieces"
  WaitFor Seen eval 'Piece && [ $row -le 3 ]' || Fail "no piece came in"
  start=$shape landed=$(Landed) turned=
  Hold Up eval '[ "$(Landed)" != $landed ] || { Piece && [ "$shape" != "$start" ] && turned=1; }' &&
    [ $turned ] && AwaitFrames 3 && [ "$(Landed)" = $landed ] && Piece && break
done
first=$column start=$shape
Hold Left eval 'Piece && [ "$shape" = "$start" ] && [ $column -lt $first ]' || Fail "Left did not move the piece"
first=$column
Hold Right eval 'Piece && [ "$shape" = "$start" ] && [ $column -gt $first ]' || Fail "Right did not move the piece"
# Down held drops the piece as it is (a piece turned fails) until it is well on its way;
# then it lands. Let go early, as the next piece falls as fast, and the game would soon be
# over. The frame a piece lands in draws the next, and its cells only from the next.
landed=$(($(Landed) + 4))
Hold Down eval 'LandedAtLeast $landed || { Piece && { [ "$shape" != "$start" ] || [ $row -ge 12 ]; }; }' &&
  { [ "$shape" = "$start" ] || LandedAtLeast $landed || { AwaitFrames 2 && LandedAtLeast $landed; }; } ||
  Fail "Down did not drop the piece as it was, to land: $start, then $shape"
WaitFor Seen eval 'LandedAtLeast $landed && Piece' || Fail "the piece did not land"
Probe landed >"$work/before"
landed=$(tr -cd X <"$work/before" | wc -c)
[ $((landed % 4)) = 0 ] && tail -n 1 "$work/before" | grep -q X || Fail "the landed cells lie astray: $(cat "$work/before")"
# Tab starts a new game only once one is over.
xdotool keydown --window "$win" Tab; AwaitFrames 4; xdotool keyup --window "$win" Tab
LandedAtLeast $landed || Fail "Tab ended the game"
Hold p eval 'Text 226 232 1 "P  a  u  s  e" && [ "$(Probe border)" = "0 0" ] && [ $(Landed) = 0 ] &&
  Text 16 410 0 "Lines :" absent' || Fail "P did not pause (pause text, no board)"
# P counts once a press: the game must see it let go before the next press counts.
AwaitFrames 3 || Fail "the game stopped drawing while paused"
Resumed() { Board && Text 226 232 1 "P  a  u  s  e" absent && Probe landed | paste -d ' ' "$work/before" - |
  awk '{ for (i = 1; i <= 11; i++) if (substr($1, i, 1) == "X" && substr($2, i, 1) != "X") exit 1 }'; }
Hold p Resumed || Fail "P did not resume the game as it was"
Quit

