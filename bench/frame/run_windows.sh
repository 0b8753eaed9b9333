#!/usr/bin/env bash
# The Windows build under Wine against the Linux build on the generated 1,000,000-shell result
# file, in one run: the first picture (`quillon --snapshot`, load and frame and PNG; best of
# five, the two builds taking turns) and the frame benchmark's first and steady frames. Wine
# runs without a display, so its OpenGL is a bitmap's context drawn by OSMesa (Mesa's llvmpipe,
# as EGL is on Linux).
#   bash bench/frame/run_windows.sh [LINUX_BUILD_DIR [WINDOWS_BUILD_DIR]]
#                                    (default: build/release build/windows)
set -euo pipefail
cd "$(dirname "$0")/../.."
linux="${1:-build/release}"
windows="${2:-build/windows}"
[ -f "$linux/build.ninja" ] || cmake --preset release >/dev/null
[ -f "$windows/build.ninja" ] || cmake --preset windows >/dev/null
cmake --build "$linux" --target quillon_example_gen bench_frame quillon >/dev/null
cmake --build "$windows" --target bench_frame quillon >/dev/null
wine_run=cmake/wine-run.sh
unset DISPLAY
data=$(bash bench/make_data.sh "$linux" 1000000)
picture=$(mktemp --suffix=.png)
times=$(mktemp)
trap 'rm -f "$picture" "$times"' EXIT

best() {  # COMMAND...: the least wall time of five runs, in seconds
  local best="" t
  for _ in 1 2 3 4 5; do
    /usr/bin/time -o "$times" -f %e "$@" >/dev/null 2>&1
    t=$(tail -1 "$times")
    if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
  done
  echo "$best"
}
"$wine_run" ./"$windows"/viewer/ui/quillon.com --version >/dev/null  # the prefix and its server
linux_s=$(best "$linux/viewer/ui/quillon" --snapshot "$picture" "$data")
windows_s=$(best "$wine_run" "$windows/viewer/ui/quillon.com" --snapshot "$picture" "$data")

frames() {  # OUTPUT OF bench_frame: "first steady" in ms
  awk '/^first frame:/ { f = $3 } /^steady frame:/ { s = $3 } END { print f, s }'
}
out=$("$linux/bench/frame/bench_frame" "$data" 5)
read -r linux_first linux_steady < <(frames <<<"$out")
out=$("$wine_run" "$windows/bench/frame/bench_frame.exe" "$data" 5)
read -r windows_first windows_steady < <(frames <<<"$out")

echo "$(basename "$data"), Linux build against the Windows build under Wine:"
awk -v ls="$linux_s" -v ws="$windows_s" -v lf="$linux_first" -v wf="$windows_first" \
  -v lt="$linux_steady" -v wt="$windows_steady" 'BEGIN {
    printf "  first picture (--snapshot, best of 5): %.2f s | %.2f s (%.2f x)\n", ls, ws, ws / ls
    printf "  first frame:                           %.0f ms | %.0f ms (%.2f x)\n", lf, wf, wf / lf
    printf "  steady frame (median of 5):            %.0f ms | %.0f ms (%.2f x)\n", lt, wt, wt / lt
  }'
