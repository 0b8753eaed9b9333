#!/usr/bin/env bash
# Configures and builds one CMake preset (default: release), all of it or the targets named.
# Incremental when nothing changed.
#   scripts/build.sh [PRESET [TARGET...]]
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-release}"
shift || true
# QUILLON_WERROR=ON (continuous integration sets it) makes compiler warnings errors; without it
# they are not. The build folder is configured again whenever its cache holds the other value,
# so that a build after a CI run in the same folder does not keep -Werror unasked.
werror=OFF
case "${QUILLON_WERROR:-}" in
  [Oo][Nn] | [Tt][Rr][Uu][Ee] | [Yy][Ee][Ss] | 1) werror=ON ;;
esac
cached=$(sed -n 's/^QUILLON_WERROR:BOOL=//p' "build/$preset/CMakeCache.txt" 2>/dev/null || true)
if [ ! -f "build/$preset/build.ninja" ] || [ "$cached" != "$werror" ]; then
  if [ -n "$cached" ] && [ "$cached" != "$werror" ]; then
    echo "build/$preset: warnings as errors $werror (was $cached), configuring again"
  fi
  cmake --preset "$preset" -DQUILLON_WERROR="$werror" >/dev/null
fi
if [ $# -gt 0 ]; then
  cmake --build --preset "$preset" --target "$@"
else
  cmake --build --preset "$preset"
fi
