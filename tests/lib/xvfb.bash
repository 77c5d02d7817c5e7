# Shared by the tests that drive the real binary under Xvfb. Sourced, not run.

# The game's GL driver modules are unloaded at exit, after which LeakSanitizer
# cannot attribute their one-time allocations to them: a sanitized game started
# as it is would report them against no module. So leak checking is off for
# such a start, and CheckGameLeaks starts it with leak checking on.
export ASAN_OPTIONS=detect_leaks=0

# CheckGameLeaks: points $game at a wrapper that runs the sanitized game with
# leak checking on at exit, the driver modules kept loaded by a preloaded
# library (BLOCKFALL_KEEP_GL_MODULES, set by CTest) so that tests/lsan.supp can
# leave out exactly their allocations; any leak of the game's own fails the
# run, with exit code 23 (not 1, which the game itself gives after a failed
# start). The sanitizer's runtime is preloaded first, as it must come first in
# the game's library list. A game built without the sanitizers, or a run
# without that library, is left as it is.
CheckGameLeaks() {
  local runtime
  runtime=$(ldd "$game" 2>/dev/null | awk '/libasan/ {print $3}')
  [ -n "$runtime" ] || return 0
  if [ ! -f "${BLOCKFALL_KEEP_GL_MODULES:-}" ]; then
    echo "note: BLOCKFALL_KEEP_GL_MODULES is not set (run through ctest): leaks are not checked" >&2
    return 0
  fi
  leak_checked_dir=$(mktemp -d)
  printf '#!/bin/sh\nLD_PRELOAD="%s %s" ASAN_OPTIONS=detect_leaks=1:exitcode=23 exec "%s" "$@"\n' \
    "$runtime" "$BLOCKFALL_KEEP_GL_MODULES" "$game" >"$leak_checked_dir/blockfall"
  chmod +x "$leak_checked_dir/blockfall"
  game=$leak_checked_dir/blockfall
}

CheckGameLeaksCleanup() { [ -n "${leak_checked_dir:-}" ] && rm -rf "$leak_checked_dir"; leak_checked_dir=; }

# How long any wait for the game or the X server may take before it fails:
# long enough for the sanitized game on a machine whose cores are all busy.
# Every wait polls for the state it wants and returns as soon as it is there,
# so a long deadline costs nothing when all is well.
deadline=${BLOCKFALL_E2E_DEADLINE:-180}

# StartXvfb WIDTHxHEIGHT [SERVER OPTION...]: starts a private X server on a
# display number it picks itself (no race with other tests) and exports
# DISPLAY. -noreset: the server would otherwise reset when its last client (the
# readiness probe) leaves, and a game connecting during the reset is turned away.
StartXvfb() {
  local size=$1 number_file display=; shift
  number_file=$(mktemp)
  Xvfb -displayfd 7 -screen 0 "${size}x24" -nolisten tcp -noreset "$@" 7>"$number_file" 2>/dev/null &
  xvfb_pid=$!
  # The server writes its display number once it is listening, or dies.
  WaitFor $deadline eval "test -s '$number_file' || ! kill -0 $xvfb_pid" && display=$(head -n 1 "$number_file")
  rm -f "$number_file"
  if [ -n "$display" ]; then
    export DISPLAY=:$display
    WaitFor $deadline xdpyinfo && return 0
  fi
  echo "could not start Xvfb $size $*" >&2
  return 1
}

StopXvfb() {
  [ -n "${xvfb_pid:-}" ] || return 0
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=
  unset DISPLAY
}

# WaitFor SECONDS COMMAND...: polls until the command succeeds; false if it has
# not within SECONDS.
WaitFor() {
  local end=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.05
  done
}

# The game window's id, by its title; fails when there is none.
GameWindow() {
  local id; id=$(xdotool search --name "Tarn's OpenGL Framework" 2>/dev/null | head -n 1)
  [ -n "$id" ] && echo "$id"
}

# A message box's id, found by its caption (xdotool cannot see these windows).
BoxWindow() {
  local id; id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\"" | awk '{print $1}' | head -n 1)
  [ -n "$id" ] && echo "$id"
}

# WaitExit PID SECONDS: waits for the game to end; sets exit_code (or "timeout").
# Not to be called in $(...): only this shell can wait for its own children.
WaitExit() {
  local pid=$1
  if WaitFor "$2" eval "! kill -0 $pid"; then
    wait $pid; exit_code=$?
  else
    kill -9 $pid 2>/dev/null; wait $pid 2>/dev/null; exit_code=timeout
  fi
}

# QuitWithEsc PID WINDOW: presses Esc every half second until the game ends
# (the first press may come before the window takes keys, and a game checked
# for leaks takes a while to exit); sets exit_code.
QuitWithEsc() {
  local pid=$1 win=$2 end=$((SECONDS + deadline))
  while kill -0 $pid 2>/dev/null && [ $SECONDS -lt $end ]; do
    xdotool key --window "$win" Escape 2>/dev/null
    for _ in 1 2 3 4 5 6 7 8 9 10; do kill -0 $pid 2>/dev/null || break; sleep 0.05; done
  done
  WaitExit $pid 1
}

Fail() { echo "FAIL: $*" >&2; StopXvfb; exit 1; }
