#!/usr/bin/env bash
# Makes (once) the generated result file of SHELLS shells that the benchmarks share, and prints
# its path.   bash bench/make_data.sh BUILD_DIR SHELLS
set -euo pipefail
build="$1"
shells="$2"
data_dir="$build/bench/frame/data"
mkdir -p "$data_dir"
data="$data_dir/result_${shells}_shells.txt"
if [ ! -s "$data" ]; then
  "$build/examples/quillon_example_gen" --shells "$shells" --seed 1 -o "$data.part" >&2
  mv "$data.part" "$data"
fi
echo "$data"
