# Screenshots of the game under Xvfb, checked by the pixel probes of probe.awk.
# Sourced after xvfb.bash, from the repository root (the references come from
# the game's own data/ pictures).

# ShotsSetup: a folder for the shots and the pictures the probes compare with:
# the border and landed-cell textures as the board draws them (32x32 halved to
# a 16x16 tile), and the font picture, glyph cells as the printer takes them.
ShotsSetup() {
  shot_dir=$(mktemp -d)
  convert data/border.bmp -scale 50% -depth 8 rgb:- | basenc --base16 -w 96 >"$shot_dir/border.txt"
  convert data/blkgrey.bmp -scale 50% -depth 8 rgb:- | basenc --base16 -w 96 >"$shot_dir/landed.txt"
  convert data/font.bmp -depth 8 rgb:- | basenc --base16 -w 1536 >"$shot_dir/font.txt"
  [ "$(wc -l <"$shot_dir/font.txt")" = 256 ] || { echo "could not read the reference pictures" >&2; return 1; }
}

ShotsCleanup() { [ -n "${shot_dir:-}" ] && rm -rf "$shot_dir"; shot_dir=; }

# LocateGame WINDOW: where the game's 640x480 area lies on the screen.
LocateGame() {
  local info; info=$(xwininfo -id "$1")
  game_x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
  game_y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
  screen_width=$(xwininfo -root | awk '/Width:/ {print $2}')
}

# TakeShot: the whole screen, as the player sees it, one line of hexadecimal per row.
TakeShot() {
  import -window root -depth 8 "rgb:$shot_dir/shot.rgb" 2>/dev/null &&
    basenc --base16 -w $((screen_width * 6)) "$shot_dir/shot.rgb" >"$shot_dir/shot.txt"
}

# KeepShot NAME: saves the last shot as NAME.png beside the test's output, for a failure report.
KeepShot() {
  [ -s "$shot_dir/shot.rgb" ] && [ -n "${screen_width:-}" ] || return 0
  local height=$(($(stat -c %s "$shot_dir/shot.rgb") / (screen_width * 3)))
  convert -size "${screen_width}x$height" -depth 8 "rgb:$shot_dir/shot.rgb" "${TMPDIR:-/tmp}/$1.png" 2>/dev/null &&
    echo "screenshot kept: ${TMPDIR:-/tmp}/$1.png" >&2
}

# Probe WHAT [NAME=VALUE...]: runs one probe of probe.awk over the last shot.
Probe() {
  local what=$1 settings=() pair; shift
  for pair in "$@"; do settings+=(-v "$pair"); done
  awk -v what="$what" -v ox="$game_x" -v oy="$game_y" "${settings[@]}" -f tests/lib/probe.awk \
    "$shot_dir/border.txt" "$shot_dir/landed.txt" "$shot_dir/font.txt" "$shot_dir/shot.txt"
}

# BoardInPlace: the 53 border tiles where they belong and none elsewhere.
BoardInPlace() { [ "$(Probe border)" = "53 0" ]; }

# TextShown X Y SET TEXT: true when every glyph of TEXT shows at (X, Y) in that
# glyph set: its ink there (a miss in 50 allowed), standing out from the blank
# places of its cells by 40 levels or more.
TextShown() {
  local result; result=$(Probe text x="$1" y="$2" set="$3" string="$4")
  awk '{ exit !($1 > 0 && $2 * 50 <= $1 && $3 >= 40) }' <<<"$result"
}

# TextAbsent X Y SET TEXT: true when most of TEXT's ink is missing there.
TextAbsent() {
  local result; result=$(Probe text x="$1" y="$2" set="$3" string="$4")
  awk '{ exit !($1 > 0 && $2 * 2 > $1) }' <<<"$result"
}

# PollShots SECONDS COMMAND...: takes shots until the command passes on one.
PollShots() {
  local deadline=$((SECONDS + $1)); shift
  while :; do
    TakeShot && "$@" && return 0
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
}

# FramesPass COUNT: waits until the screen has changed COUNT times, that is until
# the game has drawn at least that many new frames (its backdrop moves in every
# one, paused or not). A key let go is seen only by a frame after its release.
FramesPass() {
  local left=$1 last now end=$((SECONDS + deadline))
  TakeShot || return 1
  last=$(cksum <"$shot_dir/shot.rgb")
  while [ "$left" -gt 0 ]; do
    [ $SECONDS -lt $end ] || return 1
    TakeShot || return 1
    now=$(cksum <"$shot_dir/shot.rgb")
    [ "$now" != "$last" ] && left=$((left - 1))
    last=$now
  done
}

# StartScreenTest: the set-up of a script that starts the game and looks at it:
# no sound device needed, the X11 driver, a scratch folder, the reference
# pictures, and everything ended and removed at exit. Sets scratch and pid.
StartScreenTest() {
  export SDL_AUDIODRIVER=dummy
  unset SDL_VIDEODRIVER WAYLAND_DISPLAY
  scratch=$(mktemp -d) pid=
  trap 'kill $pid 2>/dev/null; StopXvfb; ShotsCleanup; rm -rf "$scratch"' EXIT
  ShotsSetup
}
