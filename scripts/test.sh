#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   scripts/test.sh              release build
#   scripts/test.sh --sanitize   debug build with AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."
preset=release
case "${1:-}" in
  --sanitize) preset=debug-asan ;;
  "") ;;
  *) echo "usage: scripts/test.sh [--sanitize]" >&2; exit 2 ;;
esac
bash scripts/install-deps.sh
bash scripts/build.sh "$preset"
ctest --preset "$preset"
