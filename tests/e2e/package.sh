# The Debian package: made by cpack, its control fields, dependencies, files and metadata
# checked; unpacked and started as its menu entry says, full screen, with no sound driver.
. "$(dirname "$0")/../lib/e2e.bash" "$@"
PrepareProbes
(cd "$build" && cpack -G DEB -B "$work/deb") >"$work/package.log" 2>&1 || Fail "cpack: $(cat "$work/package.log")"
deb=$work/deb/blockfall_${version}_$(dpkg --print-architecture).deb usr=$work/root/usr mode=package
[ "$(dpkg-deb -f "$deb" Package Version Section)" = $'Package: blockfall\nVersion: '"$version"$'\nSection: games' ] ||
  Fail "control: $(dpkg-deb -f "$deb")"
for library in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libgl1 libglu1; do
  [[ ", $(dpkg-deb -f "$deb" Depends)" == *", $library"* ]] || Fail "Depends lacks $library: $(dpkg-deb -f "$deb" Depends)"
done
dpkg-deb -x "$deb" "$work/root" && CheckTree "$usr" /usr
cmp -s docs/blockfall.6 <(zcat "$usr/share/man/man6/blockfall.6.gz") || Fail "no man6/blockfall.6.gz"
grep -q "^License: Expat" "$usr/share/doc/blockfall/copyright" && cmp -s LICENSE "$usr/share/doc/blockfall/LICENSE" ||
  Fail "no copyright naming the licence, or no LICENSE, in share/doc/blockfall"
appstreamcli validate --no-net "$usr"/share/metainfo/*.metainfo.xml >"$work/out" 2>&1 || Fail "$(cat "$work/out")"
MANWIDTH=80 man --warnings -l "$usr/share/man/man6/blockfall.6.gz" 2>&1 >/dev/null | grep . && Fail "man warns"
echo "ok: $(basename "$deb"): control fields, Depends, files, metadata valid"

# Started as its menu entry says, in Path: full screen on a 640x480 screen.
StartXvfb full 640x480
export DISPLAY=$full; mode="packaged, full screen, no sound driver"
StartGame "$usr/share/blockfall" SDL_AUDIODRIVER=no-such-driver "$usr/bin/blockfall"
AwaitBoard
Hold Down LandedAtLeast 4 || Fail "no piece landed"
Quit
