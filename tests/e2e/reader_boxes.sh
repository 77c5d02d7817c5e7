# Every picture damaged: a reader box for each, one line on stderr naming each file, and
# then, every time, the closing "Initialization Failed." box, with exit code 1.
. "$(dirname "$0")/../lib/e2e.bash" "$@"
StartXvfb window 1024x768
export DISPLAY=$window

# Damage KIND FILE: writes one of four kinds of damage into the copy of FILE and prints
# what the reader says of it: a file header alone, a foreign header, no pixels, nothing.
Damage() {
  local copy=$work/damaged/$2
  case $1 in
    0) printf BM >"$copy"; message="Unknown DIB file format." ;;
    1) printf 'BM\0\0\0\0\0\0\0\0\66\0\0\0\154\0\0\0' >"$copy"; message="Unknown DIB file format." ;;
    2) { printf 'BM\0\0\0\0\0\0\0\0\66\0\0\0\50\0\0\0\1\0\0\0\1\0\0\0\1\0\30\0'; head -c 24 /dev/zero; } >"$copy"
       message="Image file conversion error." ;;
    3) : >"$copy"; message="Failed to open DIB file $2." ;;
  esac
  echo "Error: $2: $message"
}
mkdir -p "$work/damaged/data"
kind=0
for file in data/*.bmp; do Damage $((kind++ % 4)) "$file"; done | sort >"$work/expected"
[ "$(wc -l <"$work/expected")" = 16 ] || Fail "data/ does not hold the 16 pictures"

for run in 1 2 3; do
  mode="16 damaged pictures, run $run"
  StartGame "$work/damaged" "$game" --window
  # A box's window id may come back for the next box, so boxes are answered, not counted.
  answered=0 closing=0 end=$((SECONDS + deadline))
  while kill -0 $pid 2>/dev/null; do
    [ $SECONDS -lt $end ] || Fail "still running after $answered reader boxes answered"
    if box=$(Box ERROR); then
      xdotool key --window "$box" Return; closing=$((closing + 1))
      WaitFor eval "! Box ERROR" || Fail "the closing box stayed after Return"
    elif box=$(Box Error); then
      xdotool key --window "$box" Return; answered=$((answered + 1)); sleep 0.1
    else
      sleep 0.05
    fi
  done
  wait $pid; code=$? pid=
  # SDL's own X11 remarks aside, stderr holds the reader's lines alone: the closing message
  # reaches stderr only when its box could not be shown.
  grep -E '^(Error|ERROR):' "$work/log" | sort | diff "$work/expected" - >&2 &&
    [ $code = 1 ] && [ $answered -ge 1 ] && [ $closing = 1 ] ||
    Fail "exit code $code, $answered reader boxes answered and $closing closing box: $(cat "$work/log")"
  echo "ok: $mode"
done
