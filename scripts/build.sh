#!/usr/bin/env bash
# Configures and builds one CMake preset (default: release). Incremental when nothing changed.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-release}"
if [ ! -f "build/$preset/build.ninja" ]; then
  cmake --preset "$preset" >/dev/null
fi
cmake --build --preset "$preset"
