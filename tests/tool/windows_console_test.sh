#!/usr/bin/env bash
# tarvik.exe under Wine with a console as its standard input: Wine gives a program started on
# a terminal a console. On the console the polygon error waits for a key, and its Chinese text
# reads there; a warning shows the "Warning!" box and waits until it is closed; CON as the
# output is the console. With standard input from /dev/null the same warning ends the run at
# once, without a box, even with a display to show one on.
#   windows_console_test.sh TARVIK_EXE WINE_RUN
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/script_support.sh"
exe=$1
wine_run=$2

for tool in script Xvfb xdotool; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done

work=$(mktemp -d)
xvfb=""
runs=()
cleanup() {
  exec 3>&- 2>/dev/null || true
  for run in "${runs[@]}"; do kill "$run" 2>/dev/null || true; done
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

# Starts tarvik ARGS... on a terminal of its own, which `script` makes; what reaches the
# terminal goes to the file NAME, the exit status to NAME.status, and keys written to file
# descriptor 3 to the terminal.
start_on_terminal() {
  local name=$1
  shift
  rm -f keys "$name" "$name.status"
  mkfifo keys
  local command
  command=$(printf '%q ' "$wine_run" "$exe" "$@")
  (
    SHELL=/bin/bash script -qfec "$command" "$name" <keys >/dev/null && status=0 || status=$?
    echo "$status" >"$name.status"
  ) &
  runs+=($!)
  exec 3>keys
}
finish_on_terminal() {  # NAME EXPECTED-STATUS
  exec 3>&-
  wait_for "[ -s $1.status ]" 60 || { fail "$1: tarvik did not end"; return; }
  [ "$(cat "$1.status")" = "$2" ] || fail "$1: exit status $(cat "$1.status"), expected $2"
}

model_head='### Halvo R2.00 ###
Number of materials:NMT=0
Number of thicknesses:NTK=0
Number of T_beam sections:NTBS=0
Number of L_beam sections:NLBS=0
Number of C_beam sections:NCBS=0
Number of geometric points:NGPT=0'
printf '%s\nNumber of polygons:NPG=1\n0[0]:[0,0]\n' "$model_head" >no-vertices.txt

# The warning box, on a display of our own. Wine's desktop belongs to the session of its
# server and keeps the display the session began with: the test ends the prefix's session
# (ctest runs it alone), so that a session with the display begins.
end_wine_session "$wine_run"
start_xvfb "$work" 800x600x24 || skip "Xvfb did not start"
start_on_terminal box missing.txt out.txt 0 0 0
window=""
if wait_for 'window=$(xdotool search --name "^Warning!$" 2>/dev/null | head -1) && [ -n "$window" ]' 60
then
  grep -q 'tarvik: Warning! 单元信息文件读取错误!' box || fail "box: no warning line on the console"
  [ ! -e box.status ] || fail "box: tarvik ended while its box was open"
  xdotool key --window "$window" Return
else
  fail "box: no Warning! box with a console as standard input; the console showed: $(cat -v box)"
fi
finish_on_terminal box 1

# Standard input not a console: the line on standard error and the end of the run, no box.
status=0
timeout 60 "$wine_run" "$exe" missing.txt out.txt 0 0 0 </dev/null >stdout 2>stderr || status=$?
[ "$status" = 1 ] || fail "no console: exit status $status, expected 1 (124: waited for a box)"
[ "$(tr -d '\r' <stderr)" = 'tarvik: Warning! 单元信息文件读取错误!' ] ||
  fail "no console: standard error was: $(cat stderr)"
if xdotool search --name '^Warning!$' >/dev/null 2>&1; then fail "no console: a box was shown"; fi

# The session with the display ends while the display is still there, so that no later Wine
# program (another test's) starts in a session whose display is gone.
end_wine_session "$wine_run"
kill "$xvfb"
xvfb=""
unset DISPLAY

# The polygon error: the text, the prompt, and a wait until a key comes.
start_on_terminal pause no-vertices.txt out.txt 0 0 0
if wait_for "grep -qs 'Press any key to continue' pause" 60; then
  grep -q '错误:PGPtNum<=0' pause || fail "pause: the error text is not on the console"
  [ ! -e pause.status ] || fail "pause: tarvik ended without waiting for the key"
  printf x >&3
else
  fail "pause: no prompt on the console"
fi
finish_on_terminal pause 1
[ ! -e out.txt ] || fail "pause: an output was written"

# CON as the output: the model on the console.
printf '%s\nNumber of polygons:NPG=0\n' "$model_head" >model.txt
for section in "beam lines:NBL" "distributed loads of polygons:NDL_PG" \
  "distributed loads of beamlines:NDL_BL" "nodal points:NPOIN" \
  "four-nodes shell elements:NELEM_S_4ND" "three-nodes shell elements:NELEM_S_3ND" \
  "beam elements:NELEM_B" "glue elements:NELEM_G" "restricted nodal points:NRN" "forces:NFOR"; do
  printf 'Number of %s=0\n' "$section" >>model.txt
done
start_on_terminal con model.txt CON 0 0 0
finish_on_terminal con 0
grep -q 'Number of forces:NFOR=0' con && grep -q '###end###' con ||
  fail "con: the model did not reach the console"

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "tarvik.exe on a console: pause, CON, the warning box, no box without a console"
