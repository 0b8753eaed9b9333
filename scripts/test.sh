#!/usr/bin/env bash
# Installs what is missing, builds and runs every test, or those that ctest's arguments select.
#   scripts/test.sh [--sanitize] [CTEST_ARGUMENT...]
#     scripts/test.sh                  release build
#     scripts/test.sh --sanitize       debug build with AddressSanitizer and UndefinedBehaviorSanitizer
#     scripts/test.sh -R Reader        only the tests whose names match Reader (any ctest option)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=release
if [ "${1:-}" = --sanitize ]; then
  preset=debug-asan
  shift
fi
bash scripts/install-deps.sh
bash scripts/build.sh "$preset"
ctest --preset "$preset" "$@"
