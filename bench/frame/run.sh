#!/usr/bin/env bash
# Frame benchmark: makes result files of 100,000 and 1,000,000 shells once, then times
# headless frames of each at 1024 x 768 against the vertex-array limit of this machine.
#   bash bench/frame/run.sh [BUILD_DIR]     (default: build/release)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build/release}"
if [ ! -f "$build/build.ninja" ]; then
  cmake --preset release >/dev/null
fi
cmake --build "$build" --target quillon_example_gen bench_frame >/dev/null
for shells in 100000 1000000; do
  data=$(bash bench/make_data.sh "$build" "$shells")
  frames=20
  [ "$shells" -ge 1000000 ] && frames=5
  "$build/bench/frame/bench_frame" "$data" "$frames"
  echo
done
