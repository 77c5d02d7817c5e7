# The real game from outside, as ctest runs it (e2e.sh BUILT-GAME SOURCE-FOLDER): options and
# failed starts; played under Xvfb with real keys and screenshots, leak checked at exit; the
# full-screen question, in a box and with none to be had; installed and packaged, and started so.
set -u
game=$(realpath "$1"); cd "$2" || exit 1
build=$(dirname "$game") work=$(mktemp -d) pid= packing= servers=() mode= said=
. tests/lib/e2e.bash
trap 'kill $pid $packing "${servers[@]}" 2>/dev/null; rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER WAYLAND_DISPLAY DISPLAY
version=$(sed -n 's/^project(blockfall VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

# Installed into a scratch prefix and packaged while the game plays: both only read the build.
(cmake --install "$build" --prefix "$work/prefix" && cd "$build" && cpack -G DEB -B "$work/deb") >"$work/install.log" 2>&1 &
packing=$!

# Mesa's modules are unloaded at exit, and LeakSanitizer could no longer tell their one-time
# allocations from the game's: keep_gl_modules.so keeps them, tests/lsan.supp leaves out exactly
# theirs, and a leak of the game's own ends it with exit code 23. The sanitizer must come first.
runtime=$(ldd "$game" | awk '/libasan/ { print $3 }')
preload=${runtime:+$runtime ${BLOCKFALL_KEEP_GL_MODULES:?is the library that keeps the GL driver loaded: run through ctest}}

"$game" --help >"$work/usage" 2>"$work/log" && [ ! -s "$work/log" ] || Fail "--help: $(cat "$work/log")"
[ "$(grep -oE '^  --(window|fullscreen|help|version) ' "$work/usage" | sort | uniq -u | wc -l)" = 4 ] ||
  Fail "--help: not a line for each option: $(cat "$work/usage")"
[ "$("$game" --version 2>"$work/log")" = "blockfall $version" ] && [ ! -s "$work/log" ] || Fail "--version"
"$game" --window --no-such-option >"$work/out" 2>"$work/log"; code=$?
[ $code = 2 ] && [ ! -s "$work/out" ] && [[ $(cat "$work/log") == *"$(cat "$work/usage")"* ]] ||
  Fail "an unknown option: exit code $code, not 2 with the usage on stderr: $(cat "$work/log")"
echo "ok: --help, --version; an unknown option: the usage on stderr, exit code 2"

mode="no display: exit code 1, and why"
StartGame . "$game"; AwaitExit 1 "ERROR: Failed To Register The Window Class."
# Alone in a folder, so that no data/ is found anywhere; no box can be shown offscreen.
mode="no data/: exit code 1, and why"
mkdir "$work/alone" "$work/elsewhere" && cp "$game" "$work/alone/"
StartGame "$work/alone" SDL_VIDEODRIVER=offscreen ./blockfall; AwaitExit 1 "ERROR: Initialization Failed."

for picture in border blkgrey; do
  convert data/$picture.bmp -scale 50% -depth 8 rgb:- | basenc --base16 -w 96 >"$work/$picture.txt"
done
convert data/font.bmp -depth 8 rgb:- | basenc --base16 -w 1536 >"$work/font.txt"
StartXvfb full 640x480
StartXvfb window 1024x768  # without 640x480: full screen asks first
StartXvfb nofont 1024x768 -fp built-ins  # no font to draw a box with
export DISPLAY=$window

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

mode="no option: the full-screen question answered No, closing with exit code 1"
StartGame "$work" "$game"
Answer Escape
WaitFor Box ERROR || Fail "no closing message"
! GameWindow || Fail "a game window came up"
xdotool key --window "$(Box ERROR)" Return
AwaitExit 1

# Yes, with the data/ here (found before the one beside the game) lacking a picture, and
# with a sound device that will not open: the game plays without them, silently.
mode="--window --fullscreen: the question answered Yes; no border picture; no sound"
cp -r data "$work/" && rm "$work/data/border.bmp"
StartGame "$work" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/nonexistent/sound.raw "$game" --window --fullscreen
Answer Return
AwaitBoard white
Texts && Piece && Hold Down LandedAtLeast 4 || Fail "the game does not run"
Quit

WaitFor eval "! kill -0 $packing" && wait $packing || Fail "cmake --install or cpack failed: $(cat "$work/install.log")"
packing=
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
mode="installed into a prefix"
CheckTree "$work/prefix" "$work/prefix"
echo "ok: $mode: the game, data/, icon and desktop entry"
deb=$work/deb/blockfall_${version}_$(dpkg --print-architecture).deb usr=$work/root/usr mode=package
[ "$(dpkg-deb -f "$deb" Package Version Section)" = $'Package: blockfall\nVersion: '"$version"$'\nSection: games' ] ||
  Fail "control: $(dpkg-deb -f "$deb")"
for library in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libgl1 libglu1; do
  [[ ", $(dpkg-deb -f "$deb" Depends)" == *", $library"* ]] || Fail "Depends lacks $library: $(dpkg-deb -f "$deb" Depends)"
done
dpkg-deb -x "$deb" "$work/root" && CheckTree "$usr" /usr
cmp -s docs/blockfall.6 <(zcat "$usr/share/man/man6/blockfall.6.gz") && [ -s "$usr/share/doc/blockfall/copyright" ] ||
  Fail "no man6/blockfall.6.gz or copyright"
appstreamcli validate --no-net "$usr"/share/metainfo/*.metainfo.xml >"$work/out" 2>&1 || Fail "$(cat "$work/out")"
MANWIDTH=80 man --warnings -l "$usr/share/man/man6/blockfall.6.gz" 2>&1 >/dev/null | grep . && Fail "man warns"
echo "ok: $(basename "$deb"): control fields, Depends, files, metadata valid"

# Unpacked and started as its menu entry says, in Path: full screen on a 640x480 screen.
DISPLAY=$full mode="packaged, full screen, no sound driver"
StartGame "$usr/share/blockfall" SDL_AUDIODRIVER=no-such-driver "$usr/bin/blockfall"
AwaitBoard
Hold Down LandedAtLeast 4 || Fail "no piece landed"
Quit

# No box can be shown: the question, and the answer taken, on stderr. Installed, started
# on PATH from an unrelated folder: it runs in its share/blockfall.
DISPLAY=$nofont mode="installed, on PATH, with no box to ask in"
StartGame "$work/elsewhere" PATH="$work/prefix/bin:$PATH" blockfall
AwaitBoard
[ "$(readlink "/proc/$pid/cwd")" = "$work/prefix/share/blockfall" ] || Fail "not running in share/blockfall"
said=$'Tarn GL: The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?'
said+=$'\nTarn GL: no box can be shown; taking Yes'
Quit
