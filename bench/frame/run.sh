#!/usr/bin/env bash
# Frame benchmark: makes result files of 100,000 and 1,000,000 shells once, then
#  1. times headless frames of each at 1024 x 768 against the limit of this machine (bench_frame);
#  2. on the 1,000,000-shell file, times `quillon --info` and `quillon --snapshot` (default
#     settings and --outlines none), best of five each, and prints the ratios and the peak
#     resident memory of each over the bytes of the model's arrays;
#  3. where Xvfb is installed, opens the window on that file and prints its peak resident memory
#     once it has drawn its first frame and gone idle.
#   bash bench/frame/run.sh [BUILD_DIR]     (default: build/release)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build/release}"
if [ ! -f "$build/build.ninja" ]; then
  cmake --preset release >/dev/null
fi
cmake --build "$build" --target quillon_example_gen bench_frame quillon >/dev/null
quillon="$build/viewer/ui/quillon"
big=""
for shells in 100000 1000000; do
  data=$(bash bench/make_data.sh "$build" "$shells")
  frames=20
  [ "$shells" -ge 1000000 ] && frames=5
  out=$("$build/bench/frame/bench_frame" "$data" "$frames")
  echo "$out"
  echo
  big="$data"
  arrays_mb=$(echo "$out" | sed -n 's/^model arrays: \([0-9.]*\) MB$/\1/p')
done

# Five rounds of the three commands in turn (the machine's speed drifts; taking turns lets each
# command meet the same drift); the best time and the least peak memory of each.
picture=$(mktemp --suffix=.png)
times=$(mktemp)
trap 'rm -f "$picture" "$times"' EXIT
declare -A best_s best_kb
run() {
  local name=$1
  shift
  /usr/bin/time -o "$times" -f "%e %M" "$@" >/dev/null 2>&1
  local s kb
  read -r s kb <"$times"
  if [ -z "${best_s[$name]:-}" ] || awk -v a="$s" -v b="${best_s[$name]}" 'BEGIN { exit !(a < b) }'; then
    best_s[$name]=$s
  fi
  if [ -z "${best_kb[$name]:-}" ] || [ "$kb" -lt "${best_kb[$name]}" ]; then best_kb[$name]=$kb; fi
}
for _ in 1 2 3 4 5; do
  run info "$quillon" --info "$big"
  run snap "$quillon" --snapshot "$picture" "$big"
  run bare "$quillon" --snapshot "$picture" --outlines none "$big"
done
info_s=${best_s[info]} info_kb=${best_kb[info]}
snap_s=${best_s[snap]} snap_kb=${best_kb[snap]}
bare_s=${best_s[bare]} bare_kb=${best_kb[bare]}
echo "first picture of $(basename "$big") (best of 5; model arrays $arrays_mb MB):"
awk -v i="$info_s" -v ik="$info_kb" -v s="$snap_s" -v sk="$snap_kb" -v b="$bare_s" -v bk="$bare_kb" \
  -v a="$arrays_mb" 'BEGIN {
    printf "  --info:                   %.2f s, peak %.0f MB (%.2f x arrays)\n", i, ik * 1.024 / 1000, ik * 1024 / (a * 1e6)
    printf "  --snapshot:               %.2f s (%.2f x --info), peak %.0f MB (%.2f x arrays)\n", s, s / i, sk * 1.024 / 1000, sk * 1024 / (a * 1e6)
    printf "  --snapshot --outlines none: %.2f s (%.2f x --info), peak %.0f MB (%.2f x arrays)\n", b, b / i, bk * 1.024 / 1000, bk * 1024 / (a * 1e6)
  }'

# The window: its peak memory after the first frame, once it is idle.
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
  display=:$((90 + RANDOM % 9))
  Xvfb "$display" -screen 0 1280x1024x24 -noreset >/dev/null 2>&1 &
  xvfb=$!
  trap 'rm -f "$picture" "$times"; kill $xvfb 2>/dev/null || true' EXIT
  for _ in $(seq 100); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  DISPLAY=$display "$quillon" "$big" >/dev/null 2>&1 &
  viewer=$!
  # Idle: no processor time used for two seconds after the window showed.
  for _ in $(seq 600); do
    DISPLAY=$display xdotool search --pid "$viewer" >/dev/null 2>&1 && break
    sleep 0.1
  done
  ticks() { awk '{ print $14 + $15 }' "/proc/$viewer/stat"; }
  # Waits until the window has used no processor time for two seconds.
  settle() {
    local last now
    last=$(ticks)
    for _ in $(seq 120); do
      sleep 2
      now=$(ticks)
      [ "$now" = "$last" ] && break
      last=$now
    done
  }
  settle
  hwm=$(awk '/VmHWM/ { print $2 }' "/proc/$viewer/status")
  awk -v k="$hwm" -v a="$arrays_mb" 'BEGIN {
    printf "  the window, after its first frame: peak %.0f MB (%.2f x arrays)\n", k * 1.024 / 1000, k * 1024 / (a * 1e6) }'

  # Wheel steps that arrive before the next frame is drawn: the window is stopped while five
  # wheel messages are sent, then goes on with all five waiting. The processor time it then
  # takes, over that of a single step's frame, counts the frames it drew.
  window=$(DISPLAY=$display xdotool search --pid "$viewer" | tail -1)
  wheel() { DISPLAY=$display xdotool mousemove --window "$window" 400 300 click --repeat "$1" --delay 1 "$2"; }
  before=$(ticks)
  wheel 1 4
  settle
  one=$(($(ticks) - before))
  kill -STOP "$viewer"
  wheel 5 5
  before=$(ticks)
  kill -CONT "$viewer"
  settle
  five=$(($(ticks) - before))
  kill "$viewer" 2>/dev/null || true
  awk -v one="$one" -v five="$five" 'BEGIN {
    frames = one > 0 ? int(five / one + 0.5) : 0
    printf "wheel steps coalesced: 5 messages, %d frame%s\n", frames, frames == 1 ? "" : "s"
    printf "  (processor time: %d ticks for one step, %d for the five)\n", one, five }'
fi
