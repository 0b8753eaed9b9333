#!/bin/sh
# Runs a Windows program under Wine, as the tests of the windows preset do: quietly, without
# the offers to install Mono and Gecko, and with file names and arguments passed as UTF-8
# whatever the caller's locale.
#   cmake/wine-run.sh PROGRAM.exe ARGS...
#   cmake/wine-run.sh wineserver ARGS...   the prefix's server (-w: wait until it has ended)
# The Wine prefix (about 700 MB, 10 s to make) is made once per user and shared by every
# build folder, unless WINEPREFIX names another. Programs started at the same time on a new
# prefix wait for the first to finish making it.
set -eu
export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/quillon-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  flock "$WINEPREFIX.lock" sh -c \
    '[ -f "$WINEPREFIX/system.reg" ] || { wine wineboot --init && wineserver -w; }' >&2
fi
if [ "${1:-}" = wineserver ]; then
  shift
  exec wineserver "$@"
fi
exec wine "$@"
