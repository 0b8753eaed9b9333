#!/usr/bin/env bash
# Pick benchmark: point and rectangle picks on the generated 1,000,000-shell result file.
#   bash bench/pick/run.sh [BUILD_DIR]     (default: build/release)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build/release}"
if [ ! -f "$build/build.ninja" ]; then
  cmake --preset release >/dev/null
fi
cmake --build "$build" --target quillon_example_gen bench_pick >/dev/null
"$build/bench/pick/bench_pick" "$(bash bench/make_data.sh "$build" 1000000)"
