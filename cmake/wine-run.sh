#!/bin/sh
# Runs a Windows program under Wine, as the tests of the windows preset do: quietly, without
# the offers to install Mono and Gecko, and with file names and arguments passed as UTF-8
# whatever the caller's locale.
#   cmake/wine-run.sh PROGRAM.exe ARGS...
#   cmake/wine-run.sh wineserver ARGS...   the prefix's server (-k: end its session)
# The Wine prefix (about 700 MB, 10 s to make) is made once per user and shared by every
# build folder, unless WINEPREFIX names another. Programs started at the same time on a new
# prefix wait for the first to finish making it.
#
# Without a display, the prefix's server stays up ten minutes after its last program instead of
# Wine's three seconds (QUILLON_WINE_KEEP_SERVER: the seconds; empty: Wine's own). Test programs
# come and go in parallel (the build lists each test program's cases, ctest runs them two at a
# time), and a program that starts while the server shuts down is refused ("a wine server seems
# to be running, but I cannot connect to it") when the shutdown outlasts the 5.5 s that Wine
# retries for, as it can on a loaded machine. A session with a display keeps Wine's timing: its
# desktop program holds the output of the program that started it open while the session lasts.
# A test that needs a session of its own ends the running one with `wineserver -k`.
#
# The prefix is set up as the tests expect a Windows machine: "Times New Roman" (the labels'
# face) is Liberation Serif, the faces of dialogs and message boxes link to a Chinese face for
# the characters they lack (Windows has both of its own), and Wine's menu builder is off, so
# that nothing installs shortcuts into the host's menus. Tahoma and Marlett, Wine's own faces
# (fonts-wine), are copied into the prefix's fonts folder.
set -eu
export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/quillon-wine}"
keep_server="${QUILLON_WINE_KEEP_SERVER-600}"
[ -z "${DISPLAY:-}" ] || keep_server=""
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=C.UTF-8
# Under the prefix's lock (flock -o: neither the server nor the session's programs inherit it):
#  - the prefix is made when it is missing;
#  - the long-lived server is started unless one runs (wineserver then exits at once with status
#    2), and its session begun by a program whose output goes nowhere: the programs that a session
#    starts for itself (services, devices, the desktop) keep the output of its first program for as
#    long as the session lasts, ten minutes here;
#  - the settings below are made when they are missing or older (`settings` is raised whenever
#    they change).
[ "${1:-}" != wineserver ] || keep_server=""
settings=2
mkdir -p "$(dirname "$WINEPREFIX")"
flock -o "$WINEPREFIX.lock" sh -c '
  [ -f "$WINEPREFIX/system.reg" ] || { wine wineboot --init && wineserver -w; }
  [ -z "$2" ] || ! wineserver -p"$2" </dev/null >/dev/null 2>&1 ||
    wine wineboot </dev/null >/dev/null 2>&1 || true
  if [ "$(cat "$WINEPREFIX/quillon-settings" 2>/dev/null)" != "$1" ]; then
    wine reg add "HKCU\\Software\\Wine\\Fonts\\Replacements" /v "Times New Roman" \
      /d "Liberation Serif" /f >/dev/null
    for face in "Liberation Sans" Tahoma "MS Shell Dlg" "MS Shell Dlg 2"; do
      wine reg add "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink" \
        /v "$face" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null
    done
    # Wine'"'"'s own faces (fonts-wine) in the Windows fonts folder, where Windows has them: Tahoma
    # for the dialogs'"'"' "MS Shell Dlg" and Marlett for the caption buttons. This Wine does not
    # read them from its data folder, and dialogs would take a wider face and clip their labels.
    for font in tahoma.ttf tahomabd.ttf marlett.ttf; do
      [ ! -f "/usr/share/wine/fonts/$font" ] ||
        cp "/usr/share/wine/fonts/$font" "$WINEPREFIX/drive_c/windows/Fonts/"
    done
    echo "$1" >"$WINEPREFIX/quillon-settings"
  fi' sh "$settings" "$keep_server" >&2
if [ "${1:-}" = wineserver ]; then
  shift
  exec wineserver "$@"
fi
# The build lists each test program's cases (--gtest_list_tests) while it keeps the machine busy,
# and once a listing program ended at once without a word (status 1, no output): a listing, which
# changes nothing, is made again, up to three times.
case " $* " in
  *" --gtest_list_tests "*)
    for attempt in 1 2 3; do
      if cases=$(wine "$@") && [ -n "$cases" ]; then
        printf '%s\n' "$cases"
        exit 0
      fi
      echo "wine-run.sh: listing the cases of $1 failed (attempt $attempt)" >&2
    done
    exit 1 ;;
esac
exec wine "$@"
