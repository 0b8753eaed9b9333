#!/usr/bin/env bash
# Installs a Debian package of quillon on a fresh Debian 12 and runs it there: a minimal
# bookworm root made by debootstrap (scripts/fresh-root.sh), the package installed with apt (which
# fetches what it declares from the Debian archive and nothing else), then both programs on the
# examples, quillon drawing without a window. Needs root and the network; takes a minute or two,
# so it is not part of the tests (tests/install checks the package offline).
#   scripts/check-deb-fresh.sh [DEB]    (default: the package cpack made in build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
deb=${1:-$(ls build/release/quillon_*.deb 2>/dev/null | tail -n 1)}
[ -f "$deb" ] || { echo "no package: run (cd build/release && cpack -G DEB) first" >&2; exit 2; }

. scripts/fresh-root.sh
fresh_root_make
mkdir "$root/check"
cp "$deb" examples/Quillon_AverageStrs.txt examples/Halvo_Model.txt "$root/check/"
fresh_root_mount

echo "installing $(basename "$deb") with apt"
fresh_root_run "$work/apt.log" \
  "apt-get update -qq && apt-get install -y --no-install-recommends /check/$(basename "$deb")"
grep "newly installed" "$work/apt.log" || true

fresh_root_run "$work/run.log" 'set -e; cd /check
  quillon --version; tarvik --version
  quillon --info Quillon_AverageStrs.txt >/dev/null
  quillon --snapshot example.png --size 800x600 Quillon_AverageStrs.txt
  [ -s example.png ]
  tarvik Halvo_Model.txt moved.txt 1 2 3
  [ "$(head -n 1 moved.txt)" = "### Halvo R2.00 ###" ]
  if quillon --snapshot missing.png missing.txt 2>missing.err; then exit 1; fi
  grep -q "^quillon: Warning! " missing.err'
cat "$work/run.log"

# The same picture as the build draws here: the declared fonts and drivers are the ones in use.
quillon=build/release/viewer/ui/quillon
if [ -x "$quillon" ] && command -v compare >/dev/null; then
  "$quillon" --snapshot "$work/here.png" --size 800x600 examples/Quillon_AverageStrs.txt
  differing=$(compare -metric AE "$work/here.png" "$root/check/example.png" null: 2>&1 || true)
  [ "$differing" = 0 ] ||
    { echo "the fresh system's picture differs from this one's in $differing pixels" >&2; exit 1; }
  echo "the fresh system's picture equals the build's, pixel for pixel"
fi
echo "fresh Debian 12: installed, both programs ran, quillon drew the example"
