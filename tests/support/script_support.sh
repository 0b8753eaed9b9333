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
