#!/usr/bin/env bash
# Runs a Windows test program under Wine on a virtual X server of its own:
#   run_on_display.sh WINE_RUN PROGRAM.exe ARGS...
# Without Xvfb the test is skipped on a developer's machine and fails in continuous integration.
#
# With no window manager on the server, Wine waits two seconds for one at every top-level window
# that closes; the program's windows are left unmanaged (Wine's per-program "Managed" setting),
# which Wine then draws with their Win32 frames and closes at once.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/script_support.sh"
wine_run=$1
program=$2
shift 2

command -v Xvfb >/dev/null || skip "Xvfb is not installed"

work=$(mktemp -d)
xvfb=""
# The session ends before its display goes; its desktop program, which Wine starts with the test
# program's output, would otherwise hold the output open for as long as the server stays up.
cleanup() {
  [ -z "$xvfb" ] || { end_wine_session "$wine_run"; kill "$xvfb" 2>/dev/null || true; }
  rm -rf "$work"
}
trap cleanup EXIT

start_xvfb "$work" 1280x1024x24 || { echo "the virtual X server did not start"; exit 1; }
# A session of Wine's of its own, on this display: the previous test's ends first.
end_wine_session "$wine_run"

"$wine_run" reg add "HKCU\\Software\\Wine\\AppDefaults\\$(basename "$program")\\X11 Driver" \
  /v Managed /d N /f >/dev/null
"$wine_run" "$program" "$@"
