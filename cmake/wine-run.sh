#!/bin/sh
# Runs a Windows program under Wine, as the tests of the windows preset do: quietly, without
# the offers to install Mono and Gecko, and with file names and arguments passed as UTF-8
# whatever the caller's locale.
#   cmake/wine-run.sh PROGRAM.exe ARGS...
#   cmake/wine-run.sh wineserver ARGS...   the prefix's server (-w: wait until it has ended)
# The Wine prefix (about 700 MB, 10 s to make) is made once per user and shared by every
# build folder, unless WINEPREFIX names another. Programs started at the same time on a new
# prefix wait for the first to finish making it.
#
# The prefix is set up as the tests expect a Windows machine: "Times New Roman" (the labels'
# face) is Liberation Serif, the faces of dialogs and message boxes link to a Chinese face for
# the characters they lack (Windows has both of its own), and Wine's menu builder is off, so
# that nothing installs shortcuts into the host's menus.
set -eu
export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/quillon-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=C.UTF-8
# Raised whenever the settings below change, so that an older prefix gets them too.
settings=1
if [ "$(cat "$WINEPREFIX/quillon-settings" 2>/dev/null)" != "$settings" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  flock "$WINEPREFIX.lock" sh -c '
    [ -f "$WINEPREFIX/system.reg" ] || { wine wineboot --init && wineserver -w; }
    if [ "$(cat "$WINEPREFIX/quillon-settings" 2>/dev/null)" != "$1" ]; then
      wine reg add "HKCU\\Software\\Wine\\Fonts\\Replacements" /v "Times New Roman" \
        /d "Liberation Serif" /f >/dev/null
      for face in "Liberation Sans" Tahoma "MS Shell Dlg" "MS Shell Dlg 2"; do
        wine reg add "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink" \
          /v "$face" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null
      done
      echo "$1" >"$WINEPREFIX/quillon-settings"
    fi' sh "$settings" >&2
fi
if [ "${1:-}" = wineserver ]; then
  shift
  exec wineserver "$@"
fi
exec wine "$@"
