#!/usr/bin/env bash
# Installs what is missing, builds, and shows quillon on the bundled example: in a window when
# a display is usable, otherwise as a picture drawn without one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
echo "Building quillon (the first build takes a few minutes)"
bash scripts/build.sh release quillon
example="examples/Quillon_AverageStrs.txt"
quillon="build/release/viewer/ui/quillon"
if [ -n "${DISPLAY:-}" ] && timeout 10 xdpyinfo >/dev/null 2>&1; then
  exec "$quillon" "$example"
fi
picture="build/quillon-example.png"
"$quillon" --snapshot "$picture" "$example"
echo "no display: the example drawn without a window is $(pwd)/$picture"
