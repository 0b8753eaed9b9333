#!/usr/bin/env bash
# The README's Quick start on a fresh Debian 12: a minimal bookworm root made by debootstrap
# (scripts/fresh-root.sh), this checkout's tracked files copied into it (no build folder), and
# there, as root and without a display, its two commands exactly as written:
# `bash scripts/run-example.sh`, which must draw the picture it names, and `bash scripts/test.sh`.
# CI=true inside, so that a test skipped for a tool that install-deps.sh does not install fails.
# Needs root and the network; everything is installed and built from nothing (ten to twenty
# minutes). Each command's whole output is kept in build/check-fresh/.
#   scripts/check-fresh.sh
set -euo pipefail
cd "$(dirname "$0")/.."
logs=$PWD/build/check-fresh
mkdir -p "$logs"
. scripts/fresh-root.sh
fresh_env+=(CI=true)
source_dir=/root/quillon

began=$SECONDS
fresh_root_make
echo "root made in $((SECONDS - began)) s"
mkdir -p "$root$source_dir"
git ls-files -z | tar --null --ignore-failed-read -T - -cf - | tar -xf - -C "$root$source_dir"
fresh_root_mount

# quickstart COMMAND: runs it in the project's folder inside the root, its output in a log.
quickstart() {
  local log
  log=$logs/$(basename "$2" .sh).log
  local step_began=$SECONDS
  echo "running $*"
  fresh_root_run "$log" "cd $source_dir && $*"
  echo "$* passed in $((SECONDS - step_began)) s"
}

quickstart bash scripts/run-example.sh
sed -n 's/^Installing: /installed: /p' "$logs/run-example.log"
picture=$(sed -n 's/^no display: the example drawn without a window is //p' "$logs/run-example.log")
[ -n "$picture" ] || { echo "run-example.sh named no picture" >&2; exit 1; }
[ "$(head -c 8 "$root$picture" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
  { echo "run-example.sh named $picture, which is not a PNG picture" >&2; exit 1; }
echo "the example's picture: $picture ($(stat -c %s "$root$picture") bytes)"

quickstart bash scripts/test.sh
grep "tests passed" "$logs/test.log"
echo "fresh Debian 12: the Quick start passed in $((SECONDS - began)) s"
