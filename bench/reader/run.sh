#!/usr/bin/env bash
# Reader benchmark. Builds the reader benchmark and the example generator, makes a
# 1,000,000-shell result file once (the frame benchmark's), then reports in one run on it: the
# load throughput of our reader, of an fscanf baseline and of a line count pass (MB/s and
# ratios), and the peak memory of a plain load against the bytes of the model's arrays.
#   bash bench/reader/run.sh [BUILD_DIR]     (default: build/release)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build/release}"
shells=1000000

if [ ! -f "$build/build.ninja" ]; then
  if [ "$build" = build/release ]; then
    cmake --preset release >/dev/null
  else
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  fi
fi
cmake --build "$build" --target quillon_example_gen bench_reader >/dev/null

# The data file is the one the frame benchmark uses too (made once, by bench/make_data.sh).
data=$(bash bench/make_data.sh "$build" "$shells")
data_dir="$build/bench/reader"
bench="$build/bench/reader/bench_reader"
"$bench" "$data"

if [ ! -x /usr/bin/time ]; then
  echo "peak memory: not measured (/usr/bin/time is missing: install the package 'time')"
  exit 0
fi
log="$data_dir/load_only.time"
bytes=$(/usr/bin/time -v -o "$log" "$bench" --load-only "$data" | sed -n 's/^model array bytes: //p')
rss_kb=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$log")
awk -v kb="$rss_kb" -v bytes="$bytes" 'BEGIN {
  printf "peak RSS of a plain load: %.1f MB (%d kB)\n", kb * 1024 / 1e6, kb
  printf "ratio peak RSS / model array bytes: %.3f\n", kb * 1024 / bytes
}'
