# What the test scripts share; sourced after `set -euo pipefail`.

# skip REASON: a test that cannot run here ends as skipped (exit 77) on a developer's machine
# and as failed in continuous integration (CI=true), where every tool must be there.
skip() {
  case "${CI:-}" in
    "" | false | 0) echo "skipped: $1"; exit 77 ;;
    *) echo "missing in continuous integration: $1"; exit 1 ;;
  esac
}

# fail WHAT: one failed check, counted in $failures; the script goes on to the next one.
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# wait_for CONDITION SECONDS: polls CONDITION (a command line) until it holds or SECONDS pass.
wait_for() {
  local deadline=$((SECONDS + $2))
  until eval "$1"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.05
  done
}

# start_xvfb FOLDER SCREEN: a virtual X server (SCREEN as 1280x1024x24) on a display number of
# its own, which it writes to FOLDER/display once it accepts clients; its pid in $xvfb and
# DISPLAY exported. False, with the server's messages, when it has not started within 30 s.
start_xvfb() {
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "$2" 3>"$1/display" 2>"$1/xvfb.log" &
  xvfb=$!
  if ! wait_for "[ -s '$1/display' ] || ! kill -0 $xvfb 2>/dev/null" 30 || [ ! -s "$1/display" ]; then
    cat "$1/xvfb.log"
    return 1
  fi
  export DISPLAY=":$(head -n 1 "$1/display")"
}

# end_wine_session WINE_RUN: ends the session of the Wine prefix (its server and every program
# in it) and returns once it has ended; nothing to do when no server runs. The next program
# begins a session of its own, on the display it is given. (A server left to end by itself
# refuses the programs that start while it shuts down, and without a display the server of
# cmake/wine-run.sh stays up for minutes: `wineserver -w` is no way to end a session.)
end_wine_session() {
  "$1" wineserver -k 2>/dev/null || true
}
