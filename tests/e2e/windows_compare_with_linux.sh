#!/usr/bin/env bash
# quillon.exe under Wine against the Linux build's quillon on the bundled example:
#  - --snapshot draws the same model pixel for pixel, first with no display (Wine then has only
#    a bitmap's OpenGL context), then on a display of our own (a framebuffer object in a hidden
#    window); only the legend's text may differ, and it stands where the Linux build's stands;
#    an SVG picture renders as the Linux build's does;
#  - --info prints the same summary, and a scripted View Kit session the same camera numbers
#    within 1e-12 (the C libraries' sine and cosine differ in the last bits);
#  - file names outside the ANSI code page work, and a batch file run by cmd gets the exit
#    code and the output (quillon.com, the console twin, is what cmd starts for `quillon`).
# Both sessions of the Wine server are begun here: it ends the prefix's session before each (the
# test runs alone), since Wine's desktop keeps the display its session began with.
#   windows_compare_with_linux.sh QUILLON_EXE WINE_RUN LINUX_QUILLON EXAMPLE
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/script_support.sh"
exe=$(realpath "$1")
wine_run=$(realpath "$2")
linux=$(realpath -m "$3")
example=$(realpath "$4")

[ -x "$linux" ] || skip "no Linux build of quillon at $linux"
for tool in Xvfb xdpyinfo convert compare xmllint rsvg-convert; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done

work=$(mktemp -d)
xvfb=""
cleanup() {
  [ -z "$xvfb" ] || { end_wine_session "$wine_run"; kill "$xvfb" 2>/dev/null || true; }
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
cp "$example" Quillon_AverageStrs.txt
cp "$(dirname "$exe")/quillon.com" .
cp "$exe" .

# quillon.exe ARGS... under Wine, its standard output to windows.out and standard error to
# windows.err, the exit status in $status. Wine's client now and then loses its server when
# another Wine program ends at that moment: that run never took place and is made again.
status=0
windows() {
  local attempt
  for attempt in 1 2 3; do
    status=0
    "$wine_run" ./quillon.exe "$@" </dev/null >windows.out 2>windows.err || status=$?
    grep -q '^wine client error' windows.err || return 0
    echo "Wine lost its server (attempt $attempt): $(head -1 windows.err)"
  done
}

# The same pictures but for the legend's text, which is right of x = width - 145 (where the
# labels' TextOutW puts it): every pixel left of it is compared, and at most one in MOST
# (0: none) may differ. Both builds draw with Mesa's llvmpipe; a framebuffer object differs from
# the Linux build's surface in a few pixels where a line's edge falls exactly between two
# (measured: 4 of 675,072 for the example's default view), a bitmap's context in none.
same_model() {  # LINUX.png WINDOWS.png WHAT MOST
  local w h outside all
  read -r w h < <(identify -format '%w %h\n' "$1")
  outside=$(compare -metric AE -crop "$((w - 145))x${h}+0+0" "$1" "$2" null: 2>&1 || true)
  all=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
  echo "$3: $outside of $(((w - 145) * h)) pixels left of the text differ, $all of $((w * h)) in all"
  if [ "$4" = 0 ]; then
    [ "$outside" = 0 ] || fail "$3: the model differs from the Linux build's in $outside pixels"
  else
    [ "$outside" -le $(((w - 145) * h / $4)) ] ||
      fail "$3: the model differs from the Linux build's in $outside pixels, more than 1 in $4"
  fi
}

# The ink right of X0, band by band of rows: "top bottom left right" for each.
ink_bands() {  # IMAGE X0
  local w h
  read -r w h < <(identify -format '%w %h\n' "$1")
  convert "$1" -crop "$((w - $2))x${h}+$2+0" +repage -colorspace gray -threshold 0 \
    -scale "1x${h}!" -depth 8 txt:- |
    awk -F'[,:]' 'BEGIN { start = -1 }
      NR > 1 { ink = $0 !~ /#000000/; y = $2
               if (ink && start < 0) start = y
               if (!ink && start >= 0) { print start, y - 1; start = -1 } }
      END { if (start >= 0) print start, y }' |
    while read -r top bottom; do
      convert "$1" -crop "$((w - $2))x$((bottom - top + 1))+$2+$top" +repage -format '%@' info: |
        awk -F'[x+]' -v t="$top" -v x="$2" '{ print t + $4, t + $4 + $2 - 1, x + $3, x + $3 + $1 - 1 }'
    done
}

# --- Without a display -------------------------------------------------------------------------
end_wine_session "$wine_run"
export -n DISPLAY
"$linux" --snapshot linux.png Quillon_AverageStrs.txt
WINEDEBUG=+opengl windows --snapshot bitmap.png Quillon_AverageStrs.txt
[ "$status" = 0 ] || fail "--snapshot without a display: exit status $status: $(grep -v trace: windows.err | head -3)"
grep -q 'wglChoosePixelFormat.* flags 56 ' windows.err ||
  fail "--snapshot without a display did not draw into a bitmap"
same_model linux.png bitmap.png "--snapshot, bitmap context" 0

# An SVG picture: well-formed, and drawn by a standard renderer as the Linux build's is.
"$linux" --snapshot linux.svg Quillon_AverageStrs.txt
windows --snapshot bitmap.svg Quillon_AverageStrs.txt
[ "$status" = 0 ] || fail "--snapshot OUT.svg without a display: exit status $status: $(head -3 windows.err)"
xmllint --noout bitmap.svg || fail "--snapshot OUT.svg is not well-formed XML"
rsvg-convert -o linux-svg.png linux.svg && rsvg-convert -o windows-svg.png bitmap.svg ||
  fail "--snapshot OUT.svg cannot be rendered"
same_model linux-svg.png windows-svg.png "--snapshot OUT.svg, rendered" 10000

# Names that no ANSI code page holds: the same picture.
cp Quillon_AverageStrs.txt "例子 ü.txt"
windows --snapshot "图 ü.png" "例子 ü.txt"
cmp -s "图 ü.png" bitmap.png || fail "a result file and a picture named in Chinese: $(cat windows.err)"

# Text output: the same but for the line ends (CR LF on Windows).
same_text() {  # WHAT LINUX-FILE
  sed 's/\r$//' windows.out | cmp -s - "$2" ||
    fail "$1: $(sed 's/\r$//' windows.out | diff - "$2" | head -5)"
}
"$linux" --info Quillon_AverageStrs.txt >linux.out
windows --info Quillon_AverageStrs.txt
[ "$status" = 0 ] || fail "--info: exit status $status"
same_text "--info" linux.out

# A View Kit session: standard views, a typed view, rotations, wheel and keys.
cat >session.txt <<'EOF'
print view
menu 40002
press 103 1027
print view
press 103 1033
print view
text 103 1009 30
text 103 1010 -20.5
press 103 1012
print view
press 103 1001
press 103 1005
press 103 1003
print view
wheel 3 300 200
print view
key a
print view
EOF
"$linux" --script session.txt Quillon_AverageStrs.txt >linux.out
windows --script session.txt Quillon_AverageStrs.txt
[ "$status" = 0 ] || fail "--script: exit status $status: $(cat windows.err)"
worst=$(sed 's/\r$//' windows.out | paste -d' ' - linux.out | awk '
  { n = NF / 2; if (n != int(n) || n == 0) { print "lines differ: " $0; exit }
    for (i = 1; i <= n; ++i) {
      a = $i; b = $(i + n); d = a - b; if (d < 0) d = -d
      m = a < 0 ? -a : a; if (m < 1) m = 1
      if (d / m > worst) worst = d / m
    } }
  END { printf "%.3g\n", worst }')
echo "--script: View Kit session, largest relative difference of a camera number: $worst"
awk -v w="$worst" 'BEGIN { exit !(w + 0 == w && w <= 1e-12) }' ||
  fail "--script: the camera numbers differ from the Linux build's: $worst"

# Failures: the same status and message.
windows --info missing.txt
"$linux" --info missing.txt 2>linux.err && linux_status=0 || linux_status=$?
[ "$status" = "$linux_status" ] || fail "a missing file: exit status $status, Linux $linux_status"
sed 's/\r$//; s/ (.*missing.txt: / (missing.txt: /' windows.err >windows.msg
sed 's/ (.*missing.txt: / (missing.txt: /' linux.err | cmp -s - windows.msg ||
  fail "a missing file: '$(cat windows.msg)', Linux '$(cat linux.err)'"

# A batch file: cmd starts quillon.com for `quillon`, waits for it and sets ERRORLEVEL.
printf '@echo off\r\nquillon --info missing.txt 2>nul\r\necho status %%ERRORLEVEL%%\r\nquillon --info Quillon_AverageStrs.txt\r\necho status %%ERRORLEVEL%%\r\n' >batch.bat
"$wine_run" cmd /c batch.bat </dev/null >batch.out 2>/dev/null || true
grep -q '^status 1' batch.out && grep -q '^nodes: 425' batch.out && grep -q '^status 0' batch.out ||
  fail "a batch file: $(tr -d '\r' <batch.out | head -5)"

# --- On a display of our own ---------------------------------------------------------------------
end_wine_session "$wine_run"
start_xvfb "$work" 1280x1024x24 || fail "Xvfb did not start"
wait_for 'xdpyinfo >/dev/null 2>&1' 30 || fail "Xvfb does not answer"
WINEDEBUG=+opengl windows --snapshot window.png Quillon_AverageStrs.txt
[ "$status" = 0 ] || fail "--snapshot with a display: exit status $status"
if grep -q 'wglChoosePixelFormat.* flags 56 ' windows.err; then
  fail "--snapshot with a display drew into a bitmap, not a framebuffer object"
fi
same_model linux.png window.png "--snapshot, framebuffer object" 10000

# The legend's text where the Linux build's stands: the model made small by the wheel, so that
# only text is right of x = width - 145; the ink's bands of rows, each within 2 pixels.
printf 'wheel -12 512 384\nsnapshot small.png\n' >small.txt
windows --script small.txt Quillon_AverageStrs.txt
mv small.png windows-small.png
"$linux" --script small.txt Quillon_AverageStrs.txt
same_model small.png windows-small.png "the legend beside a small model" 10000
ink_bands small.png 879 >linux.bands
ink_bands windows-small.png 879 >windows.bands
echo "legend text, top bottom left right of each label's ink (Linux | Windows):"
paste -d'|' linux.bands windows.bands | sed 's/^/  /'
[ "$(wc -l <linux.bands)" -ge 10 ] || fail "the legend shows $(wc -l <linux.bands) labels on Linux"
paste -d' ' linux.bands windows.bands | awk '
  NF != 8 { bad = 1 }
  { for (i = 1; i <= 4; ++i) { d = $i - $(i + 4); if (d < -2 || d > 2) bad = 1 } }
  END { exit bad }' || fail "the legend's text does not stand where the Linux build's does"

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "quillon.exe and the Linux build's quillon agree"
