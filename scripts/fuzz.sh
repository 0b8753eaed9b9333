#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ and runs each for SECONDS (default 60).
#   scripts/fuzz.sh [SECONDS]
# The build folder is build/fuzz: clang with AddressSanitizer and UndefinedBehaviorSanitizer.
# Each harness starts from its seeds (fuzz/<name>/seeds) and from the corpus that earlier runs
# grew (build/fuzz/corpus/<name>, never committed), with its dictionary. An input that breaks
# a harness is kept in build/fuzz/findings/<name>/ and the script fails: keep that input as a
# regression test in tests/ (fuzz/README.md says how).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
case "$seconds" in
  "" | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2 ;;
esac

bash scripts/install-deps.sh --fuzz
build=build/fuzz
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLON_FUZZ=ON -DQUILLON_BUILD_TESTS=OFF -DQUILLON_BUILD_BENCH=OFF >/dev/null
fi

# Every folder with a harness of its own name takes part.
names=()
for dir in fuzz/*/; do
  name=$(basename "$dir")
  if [ -f "$dir/fuzz_$name.cpp" ]; then names+=("$name"); fi
done
cmake --build "$build" -j2 --target "${names[@]/#/fuzz_}"

export UBSAN_OPTIONS="print_stacktrace=1:${UBSAN_OPTIONS:-}"
passed=0
failed=0
for name in "${names[@]}"; do
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  log="$build/fuzz_$name.log"
  mkdir -p "$corpus" "$findings"
  started="$build/fuzz_$name.started"
  touch "$started"
  echo "fuzz_$name: running for $seconds s"
  # -close_fd_mask=3: the programs' own messages (a warning per refused file) would cost
  # more than the reading; libFuzzer and the sanitizers still report on standard error.
  if "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -close_fd_mask=3 \
    -dict="fuzz/$name/$name.dict" -artifact_prefix="$findings/" -print_final_stats=1 \
    "$corpus" "fuzz/$name/seeds" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    echo "fuzz_$name: no finding in $runs inputs ($rate a second)"
    passed=$((passed + 1))
  else
    echo "fuzz_$name: FINDING, the input is in $findings/; the last lines of $log:"
    tail -n 40 "$log"
    # Run again on what it left, with the harness's own words (its output was closed above).
    find "$findings" -type f -newer "$started" | while read -r input; do
      echo "fuzz_$name on $input:"
      "$build/fuzz/fuzz_$name" "$input" 2>&1 | grep -v "^ *#[0-9]" | tail -n 20 || true
    done
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
