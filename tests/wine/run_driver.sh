#!/usr/bin/env bash
# Runs the Linux build's driver of the window tests under Wine (DRIVER ARGS...). Without a Linux
# build the test is skipped on a developer's machine and fails in continuous integration.
set -euo pipefail
driver=$1
shift
if [ ! -x "$driver" ]; then
  case "${CI:-}" in
    "" | false | 0) echo "skipped: no Linux build's $driver (bash scripts/build.sh release)"; exit 77 ;;
    *) echo "missing in continuous integration: $driver"; exit 1 ;;
  esac
fi
exec "$driver" "$@"
