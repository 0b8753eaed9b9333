# Shared by the checks of the Windows packages (after common.sh): Wine runs in a prefix of their
# own, never the one the other Windows tests share, so that an install starts from a clean
# Windows and leaves nothing in theirs. WINE_RUN (cmake/wine-run.sh) makes it once, with Wine's
# menu builder off; a prefix that still holds something of ours (a run that failed half way)
# is made again. Menus and file types a Wine program might add for the host go to folders of
# the check's own, which must stay empty.
#   . windows_common.sh WINE_RUN
wine_run=$1
export WINEPREFIX="${XDG_CACHE_HOME:-$HOME/.cache}/quillon-wine-package"
export XDG_DATA_HOME="$work/xdg-data" XDG_CONFIG_HOME="$work/xdg-config"
drive_c=$WINEPREFIX/drive_c
# One check at a time in the prefix, also across build folders and ctest runs (the ctest lock
# holds within one run only).
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.in-use"
flock -w 200 9 || fail "the Wine prefix $WINEPREFIX stayed in use for 200 s"
# The checks wait for every program of the prefix to end (wineserver -w: an uninstaller leaves a
# copy of itself running), so its server ends with its last program, as Wine's does; and the
# previous check's has ended before this one's first program starts.
export QUILLON_WINE_KEEP_SERVER=
"$wine_run" wineserver -w

# Files or registry entries of ours in the prefix, one a line.
leftovers() {
    [ -d "$drive_c" ] && find "$drive_c" -iname '*quillon*'
    for hive in "$WINEPREFIX"/*.reg; do
        [ -f "$hive" ] && grep -i -H 'quillon' "$hive"
    done
    return 0
}
if [ -n "$(leftovers)" ]; then
    echo "the prefix holds a failed run's files: made again" >&2
    flock "$WINEPREFIX.lock" rm -rf "$WINEPREFIX"
fi
"$wine_run" wineboot >/dev/null 2>&1 || fail "no Wine prefix in $WINEPREFIX"

# The host's menus and file types untouched: nothing in the check's own XDG folders.
host_menus_untouched() {
    local added
    added=$(find "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" -type f 2>/dev/null || true)
    [ -z "$added" ] || fail "Wine added to the host's menus or file types: $added"
}
