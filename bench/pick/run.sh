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
data_dir="$build/bench/frame/data"
mkdir -p "$data_dir"
data="$data_dir/result_1000000_shells.txt"
if [ ! -s "$data" ]; then
  "$build/examples/quillon_example_gen" --shells 1000000 --seed 1 -o "$data.part"
  mv "$data.part" "$data"
fi
"$build/bench/pick/bench_pick" "$data"
