# The options, and the starts that fail: no display, no data/.
. "$(dirname "$0")/../lib/e2e.bash" "$@"

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
mkdir "$work/alone" && cp "$game" "$work/alone/"
StartGame "$work/alone" SDL_VIDEODRIVER=offscreen ./blockfall; AwaitExit 1 "ERROR: Initialization Failed."
