# Played to a game over with real keys: the best games drawn beside the board, the game kept
# in the player's folder, shown by --scores, and still there after the game is started again.
. "$(dirname "$0")/../lib/e2e.bash" "$@"
PrepareProbes
StartXvfb window 1024x768
export DISPLAY=$window
[ "$("$game" --scores)" = "No games in the table yet ($XDG_DATA_HOME/blockfall/scores.txt)." ] ||
  Fail "--scores before any game: $("$game" --scores 2>&1)"
for round in 1 2; do
  mode="game $round played to its end"
  StartGame . "$game" --window
  AwaitBoard
  Hold Down Text 16 40 0 "Best games" || Fail "no table at the game over"
  Quit
  "$game" --scores >"$work/scores" || Fail "--scores failed"
  [ "$(grep -c '^ *[0-9]\+  *0  *0  *0  [0-9-]*T[0-9:]*Z  ' "$work/scores")" = "$round" ] &&
    [ "$(head -n 1 "$work/scores" | tr -s ' ')" = "place score lines level finished (UTC) player" ] ||
    Fail "--scores after $round games: $(cat "$work/scores")"
done
