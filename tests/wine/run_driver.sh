#!/usr/bin/env bash
# Runs the Linux build's driver of the window tests under Wine on one case:
#   run_driver.sh DRIVER CASE
# Without a Linux build the test is skipped on a developer's machine and fails in continuous
# integration; a case that the driver does not have fails.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/script_support.sh"
driver=$1
name=$2
[ -x "$driver" ] || skip "no Linux build's $driver (bash scripts/build.sh release)"
# A session of Wine's of its own: the previous test's ends first.
end_wine_session "${QUILLON_WINE_RUN:?the Windows build names its cmake/wine-run.sh}"
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
"$driver" --gtest_filter="$name" | tee "$out" || status=$?
grep -q '^\[==========\] Running 1 test ' "$out" || { echo "the driver has no case $name"; exit 1; }
exit "$status"
