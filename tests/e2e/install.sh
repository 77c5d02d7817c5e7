# Installed into a scratch prefix: the game, data/, icon and desktop entry where a desktop looks
# for them; started on PATH from an unrelated folder, it runs in its share/blockfall.
. "$(dirname "$0")/../lib/e2e.bash" "$@"
PrepareProbes
cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 ||
  Fail "cmake --install: $(cat "$work/install.log")"
mode="installed into a prefix"
CheckTree "$work/prefix" "$work/prefix"
echo "ok: $mode: the game, data/, icon and desktop entry"

StartXvfb full 640x480
export DISPLAY=$full; mode="installed, started on PATH from elsewhere"
mkdir "$work/elsewhere"
StartGame "$work/elsewhere" PATH="$work/prefix/bin:$PATH" blockfall
AwaitBoard
[ "$(readlink "/proc/$pid/cwd")" = "$work/prefix/share/blockfall" ] || Fail "not running in share/blockfall"
Quit
