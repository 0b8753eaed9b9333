#!/usr/bin/env bash
# Runs the Linux build's driver of the window tests under Wine on one case:
#   run_driver.sh DRIVER CASE
# Without a Linux build the test is skipped on a developer's machine and fails in continuous
# integration; a case that the driver does not have fails.
set -euo pipefail
driver=$1
name=$2
if [ ! -x "$driver" ]; then
  case "${CI:-}" in
    "" | false | 0) echo "skipped: no Linux build's $driver (bash scripts/build.sh release)"; exit 77 ;;
    *) echo "missing in continuous integration: $driver"; exit 1 ;;
  esac
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
"$driver" --gtest_filter="$name" | tee "$out" || status=$?
grep -q '^\[==========\] Running 1 test ' "$out" || { echo "the driver has no case $name"; exit 1; }
exit "$status"
