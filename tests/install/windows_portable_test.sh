#!/usr/bin/env bash
# The portable zip (cpack -G ZIP): it unpacks to one folder holding the programs, the README and
# the examples, and the example again beside quillon.exe, which, started there without a file
# as a double-click starts it, draws that example: the same picture as the built program's of
# the sources' example. Under Wine on a display of its own (Xvfb): quillon.exe draws with
# OpenGL in a hidden window.
#   windows_portable_test.sh BUILD_DIR SOURCE_DIR VERSION WINE_RUN
set -euo pipefail
build=$1 source=$2 version=$3
. "$(dirname "$0")/common.sh"
. "$(dirname "$0")/windows_common.sh" "$4"
need compare imagemagick
command -v Xvfb >/dev/null || skip "Xvfb is not installed"

(cd "$build" && cpack -G ZIP -B "$work/out") >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack -G ZIP"; }
zip=$work/out/quillon-$version-win64.zip
[ -f "$zip" ] || fail "cpack made no $(basename "$zip"): $(ls "$work/out")"
mkdir "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$zip") || fail "the zip does not unpack"
(cd "$work/unpacked" && find . -type f | sort) >"$work/files"
folder=quillon-$version-win64
sort >"$work/expected" <<LIST
./$folder/Quillon_AverageStrs.txt
./$folder/README.txt
./$folder/examples/Halvo_Model.txt
./$folder/examples/Quillon_AverageStrs.txt
./$folder/quillon.com
./$folder/quillon.exe
./$folder/tarvik.exe
LIST
diff -u "$work/expected" "$work/files" >&2 || fail "the zip's files differ (- expected, + packed)"

# Wine's desktop keeps the display its session began with: the session begins on this display
# (no other program of the prefix runs: the check holds the prefix) and ends before it goes.
"$wine_run" wineserver -w
xvfb=""
trap '"$wine_run" wineserver -w || true; [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
start_xvfb "$work" 800x600x24 || skip "Xvfb did not start"

cd "$work/unpacked/$folder"
"$wine_run" quillon.exe --snapshot "$work/portable.png" --size 320x240 ||
    fail "quillon.exe in the unpacked folder could not draw without a file"
"$wine_run" "$build/viewer/ui/quillon.com" --snapshot "$work/built.png" --size 320x240 \
    "$source/examples/Quillon_AverageStrs.txt" || fail "the built quillon.com --snapshot failed"
[ "$(identify -format %wx%h "$work/portable.png")" = 320x240 ] || fail "the picture is not 320x240"
differing=$(compare -metric AE "$work/portable.png" "$work/built.png" null: 2>&1) || true
[ "$differing" = 0 ] || fail "the unpacked quillon.exe drew another picture ($differing pixels differ)"
host_menus_untouched
echo "zip in order: $(basename "$zip"), the unpacked quillon.exe draws the example beside it"
