# Installed like a program: `cmake --install` from the build that made the game,
# into a scratch prefix and, staged, under DESTDIR; every file where a desktop
# looks for it; then the installed game started under Xvfb, its board drawn, and
# Esc ending it: once by hand on PATH from an unrelated folder, for the exit
# code, and once as its desktop entry says, through GLib's launcher.
set -u
game=$(realpath "$1"); cd "$2"
build=$(dirname "$game")
. tests/lib/xvfb.bash
. tests/lib/shots.bash
StartScreenTest || exit 1

Failed() {
  KeepShot install_e2e_failure
  kill $pid 2>/dev/null
  Fail "$*"
}

# Install PREFIX [DESTDIR]: installs the build, staged under DESTDIR if given.
Install() {
  DESTDIR=${2:-} cmake --install "$build" --prefix "$1" >"$scratch/install.log" 2>&1 ||
    Fail "cmake --install --prefix $1 failed: $(cat "$scratch/install.log")"
}

# EntryValue FILE KEY: the value of KEY in the desktop entry.
EntryValue() { sed -n "s/^$2=//p" "$1"; }

# CheckTree ROOT PREFIX: the files under ROOT of an install for PREFIX.
CheckTree() {
  local root=$1 prefix=$2 entry=$1/share/applications/blockfall.desktop
  [ -x "$root/bin/blockfall" ] || Fail "$prefix: no executable bin/blockfall"
  diff -r data "$root/share/blockfall/data" >/dev/null || Fail "$prefix: share/blockfall/data differs from data/"
  cmp -s desktop/blockfall.png "$root/share/icons/hicolor/64x64/apps/blockfall.png" ||
    Fail "$prefix: no 64x64 icon in share/icons/hicolor/64x64/apps"
  [ "$(identify -format %wx%h "$root/share/icons/hicolor/64x64/apps/blockfall.png")" = 64x64 ] ||
    Fail "$prefix: the icon is not 64x64"
  [ -f "$entry" ] || Fail "$prefix: no share/applications/blockfall.desktop"
  [ "$(head -n 1 "$entry")" = "[Desktop Entry]" ] && [ "$(EntryValue "$entry" Type)" = Application ] &&
    [ "$(EntryValue "$entry" Name)" = Blockfall ] && [ "$(EntryValue "$entry" Icon)" = blockfall ] ||
    Fail "$prefix: the desktop entry lacks its type, name or icon: $(cat "$entry")"
  # The entry names where the game will be, not where it was staged.
  [ "$(EntryValue "$entry" Exec)" = "\"$prefix/bin/blockfall\"" ] || Fail "$prefix: Exec is $(EntryValue "$entry" Exec)"
  [ "$(EntryValue "$entry" Path)" = "$prefix/share/blockfall" ] || Fail "$prefix: Path is $(EntryValue "$entry" Path)"
  command -v desktop-file-validate >/dev/null || Fail "desktop-file-validate is missing (package desktop-file-utils)"
  desktop-file-validate "$entry" || Fail "$prefix: desktop-file-validate refuses the entry"
}

prefix=$scratch/prefix
Install "$prefix"
CheckTree "$prefix" "$prefix"
echo "ok: installed into a prefix: bin/blockfall, share/blockfall/data, icon, desktop entry"

Install /opt/blockfall "$scratch/stage"
CheckTree "$scratch/stage/opt/blockfall" /opt/blockfall
echo "ok: staged under DESTDIR for /opt/blockfall, the entry naming /opt/blockfall"

# WaitForBoard: the game's window, with the board drawn from the installed data/.
WaitForBoard() {
  WaitFor $deadline GameWindow || Failed "$1: no game window; $(cat "$scratch/stderr.log")"
  win=$(GameWindow)
  LocateGame "$win"
  PollShots $deadline BoardInPlace || Failed "$1: the board is not drawn"
}

# Typed in a shell anywhere: found on PATH, it finds share/blockfall from its bin/.
StartXvfb 640x480 || exit 1
mkdir "$scratch/elsewhere"
(cd "$scratch/elsewhere" && PATH=$prefix/bin:$PATH exec blockfall) 2>"$scratch/stderr.log" & pid=$!
WaitForBoard "started from another folder"
[ "$(readlink "/proc/$pid/cwd")" = "$prefix/share/blockfall" ] || Failed "not running in share/blockfall"
QuitWithEsc $pid "$win"; pid=
[ "$exit_code" = 0 ] || Failed "Esc gave exit code $exit_code: $(cat "$scratch/stderr.log")"
echo "ok: the installed game started on PATH from another folder draws its board; Esc exits 0"

# As a desktop menu starts it: gio reads the entry and runs Exec in Path.
entry=$prefix/share/applications/blockfall.desktop
command -v gio >/dev/null || Fail "gio is missing (package libglib2.0-bin)"
(cd / && gio launch "$entry") 2>"$scratch/stderr.log" || Failed "gio launch: $(cat "$scratch/stderr.log")"
WaitForBoard "gio launch"
launched=$(xdotool getwindowpid "$win")
[ "$(readlink "/proc/$launched/cwd")" = "$prefix/share/blockfall" ] || Failed "gio launch: not started in Path"
# Not this shell's child: gone, or a zombie left to init, is the end.
Ended() { ! kill -0 "$launched" 2>/dev/null || [ "$(ps -o stat= -p "$launched")" = Z ]; }
end=$((SECONDS + deadline))
until Ended || [ $SECONDS -ge $end ]; do
  xdotool key --window "$win" Escape 2>/dev/null
  WaitFor 1 Ended
done
Ended || { kill "$launched"; Fail "gio launch: Esc did not end the game"; }
echo "ok: launched from its desktop entry by gio: runs in Path, draws its board, Esc ends it"
exit 0
