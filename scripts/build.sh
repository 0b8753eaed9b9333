#!/usr/bin/env bash
# Configures and builds one CMake preset (default: release), all of it or the targets named.
# Incremental when nothing changed.
#   scripts/build.sh [PRESET [TARGET...]]
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-release}"
shift || true
# QUILLON_WERROR=ON (continuous integration sets it) makes compiler warnings errors.
if [ ! -f "build/$preset/build.ninja" ] || [ -n "${QUILLON_WERROR:-}" ]; then
  cmake --preset "$preset" -DQUILLON_WERROR="${QUILLON_WERROR:-OFF}" >/dev/null
fi
if [ $# -gt 0 ]; then
  cmake --build --preset "$preset" --target "$@"
else
  cmake --build --preset "$preset"
fi
