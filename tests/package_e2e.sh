# The Debian package as a player gets it: `cpack -G DEB` in the build that made
# the game; its control fields (the libraries it needs read from the binary),
# its files, its metadata accepted by their validators; then unpacked into a
# scratch root and started there as its menu entry says (in Path=, where its
# data/ is) under Xvfb: its board drawn, and Esc ending it with exit code 0.
set -u
game=$(realpath "$1"); cd "$2"
build=$(dirname "$game")
. tests/lib/xvfb.bash
. tests/lib/shots.bash
StartScreenTest || exit 1

for tool in dpkg-shlibdeps:dpkg-dev appstreamcli:appstream desktop-file-validate:desktop-file-utils man:man-db; do
  command -v "${tool%:*}" >/dev/null || Fail "${tool%:*} is missing (package ${tool#*:})"
done

# The package, written to the scratch folder rather than into the build.
version=$(sed -n 's/^project(blockfall VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=$scratch/blockfall_${version}_$(dpkg --print-architecture).deb
(cd "$build" && cpack -G DEB -B "$scratch") >"$scratch/cpack.log" 2>&1 || Fail "cpack failed: $(cat "$scratch/cpack.log")"
[ -f "$deb" ] || Fail "no $(basename "$deb"): $(ls "$scratch")"

Field() { dpkg-deb -f "$deb" "$1"; }
[ "$(Field Package)" = blockfall ] && [ "$(Field Version)" = "$version" ] && [ "$(Field Section)" = games ] ||
  Fail "control: $(dpkg-deb -f "$deb")"
for library in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libgl1 libglu1; do
  [[ ", $(Field Depends)" == *", $library"* ]] || Fail "Depends lacks $library: $(Field Depends)"
done
echo "ok: $(basename "$deb"), Depends: $(Field Depends)"

root=$scratch/root
dpkg-deb -x "$deb" "$root" || Fail "dpkg-deb -x failed"
usr=$root/usr entry=$root/usr/share/applications/blockfall.desktop
[ -x "$usr/bin/blockfall" ] || Fail "no usr/bin/blockfall"
diff -r data "$usr/share/blockfall/data" >/dev/null || Fail "usr/share/blockfall/data differs from data/"
cmp -s desktop/blockfall.png "$usr/share/icons/hicolor/64x64/apps/blockfall.png" || Fail "no 64x64 icon"
cmp -s docs/blockfall.6 <(zcat "$usr/share/man/man6/blockfall.6.gz") || Fail "no man6/blockfall.6.gz"
[ -s "$usr/share/doc/blockfall/copyright" ] || Fail "no copyright file"
EntryValue() { sed -n "s/^$1=//p" "$entry"; }
[ "$(EntryValue Exec)" = '"/usr/bin/blockfall"' ] && [ "$(EntryValue Path)" = /usr/share/blockfall ] ||
  Fail "the desktop entry does not name /usr: $(cat "$entry")"
desktop-file-validate "$entry" || Fail "desktop-file-validate refuses the entry"
metainfo=$(echo "$usr"/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo" >"$scratch/appstream.log" 2>&1 ||
  Fail "appstreamcli refuses $(basename "$metainfo"): $(cat "$scratch/appstream.log")"
MANWIDTH=80 man --warnings -l "$usr/share/man/man6/blockfall.6.gz" 2>&1 >/dev/null | grep . &&
  Fail "man warns about the manual page"
echo "ok: game, data, icon, man page, copyright, desktop entry and AppStream metadata in place and valid"

# Started as the menu entry says, rebased into the scratch root.
StartXvfb 640x480 || exit 1
(cd "$root$(EntryValue Path)" && exec "$usr/bin/blockfall") 2>"$scratch/stderr.log" & pid=$!
WaitFor $deadline GameWindow || Fail "no game window; $(cat "$scratch/stderr.log")"
win=$(GameWindow)
LocateGame "$win"
PollShots $deadline BoardInPlace || { KeepShot package_e2e_failure; Fail "the board is not drawn"; }
QuitWithEsc $pid "$win"; pid=
[ "$exit_code" = 0 ] || Fail "Esc gave exit code $exit_code: $(cat "$scratch/stderr.log")"
echo "ok: the unpacked game, started in its entry's Path, draws its board; Esc exits 0"
exit 0
