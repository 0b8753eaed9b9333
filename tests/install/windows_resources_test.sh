#!/usr/bin/env bash
# The resources of the Windows programs, read back from their files as Explorer reads them: the
# icon (the project's SVG at 16, 32, 48 and 256 pixels), the version information and the
# manifest (common controls 6, per-monitor DPI-aware, v2 where Windows has it).
#   windows_resources_test.sh SOURCE_DIR VERSION PROGRAM.exe...
set -euo pipefail
source=$1 version=$2
shift 2
. "$(dirname "$0")/common.sh"
need wrestool icoutils
need icotool icoutils
need rsvg-convert librsvg2-bin
need compare imagemagick
need strings binutils

rsvg-convert -w 48 -h 48 -o "$work/svg-48.png" "$source/packaging/quillon.svg" || fail "the SVG does not render"
for program in "$@"; do
    name=$(basename "$program")
    # The first icon group, the one Explorer shows: four sizes, the 48-pixel one drawn from the SVG.
    wrestool -x -t 14 "$program" >"$work/icon.ico" 2>/dev/null || fail "$name has no icon"
    sizes=$(icotool -l "$work/icon.ico" 2>/dev/null | sed -n 's/.*--width=\([0-9]*\) --height=\1 .*/\1/p' | tr '\n' ' ')
    [ "$sizes" = "16 32 48 256 " ] || fail "$name's icon has the sizes '$sizes', not 16 32 48 256"
    icotool -x -w 48 -o "$work/icon-48.png" "$work/icon.ico" || fail "$name's 48-pixel icon does not read"
    differing=$(compare -metric AE "$work/icon-48.png" "$work/svg-48.png" null: 2>&1) || true
    [ "$differing" = 0 ] || fail "$name's icon is not the project's ($differing pixels differ)"

    # The version information: every string Explorer shows, in order, and the numeric version.
    wrestool -x --raw -t 16 "$program" >"$work/version.bin" 2>/dev/null || fail "$name has no version"
    strings=$(strings -e l "$work/version.bin" | tr '\n' '|')
    description=$(sed -n 's/.*|FileDescription|\([^|]*\)|.*/\1/p' <<<"$strings")
    expected="VS_VERSION_INFO|StringFileInfo|040904B0|CompanyName|quillon team|FileDescription|$description|"
    expected+="FileVersion|$version|InternalName|${name%.*}|OriginalFilename|$name|ProductName|Quillon|"
    expected+="ProductVersion|$version|VarFileInfo|Translation|"
    [ -n "$description" ] && [ "$strings" = "$expected" ] || fail "$name's version strings: $strings"
    IFS=. read -r major minor patch <<<"$version"
    # VS_FIXEDFILEINFO: its signature, then the file version's two words (major.minor, patch.0).
    numbers=$(od -A n -t x4 -v "$work/version.bin" | tr -s ' \n' ' ' | grep -o 'feef04bd [0-9a-f]* [0-9a-f]* [0-9a-f]*')
    printf -v wanted 'feef04bd 00010000 %04x%04x %04x0000' "$major" "$minor" "$patch"
    [ "$numbers" = "$wanted" ] || fail "$name's file version is '$numbers', not $version ('$wanted')"

    wrestool -x --raw -t 24 -n 1 "$program" >"$work/manifest.xml" 2>/dev/null || fail "$name has no manifest"
    grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$work/manifest.xml" ||
        fail "$name's manifest asks for no common controls 6"
    grep -q '<dpiAware[^>]*>true/pm</dpiAware>' "$work/manifest.xml" &&
        grep -q '<dpiAwareness[^>]*>PermonitorV2, PerMonitor</dpiAwareness>' "$work/manifest.xml" ||
        fail "$name's manifest is not per-monitor DPI-aware"
done
echo "resources in order: the icon, version $version and the manifest in $# programs"
