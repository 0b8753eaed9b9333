#!/usr/bin/env bash
# The NSIS installer (cpack -G NSIS) under Wine, as an administrator deploys it: a previous
# version installed silently, then this one over it, which removes the previous one first; the
# installed programs run on the installed examples; the Start menu entry opens the example with
# quillon.exe and starts in the user's Documents; Apps & Features knows the uninstaller; the
# silent uninstall leaves no file and no registry entry of ours.
#   windows_installer_test.sh BUILD_DIR SOURCE_DIR VERSION WINE_RUN
set -euo pipefail
build=$1 source=$2 version=$3
. "$(dirname "$0")/common.sh"
. "$(dirname "$0")/windows_common.sh" "$4"
need makensis nsis
need strings binutils

# This version's installer, and a previous version's, which also installs a file this one lacks.
package() {  # OUTPUT_DIR [cpack -D options...]
    local out=$1
    shift
    (cd "$build" && cpack -G NSIS -B "$out" "$@") >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log" >&2; fail "cpack -G NSIS $*"; }
}
package "$work/out"
installer=$work/out/quillon-$version-win64.exe
[ -f "$installer" ] || fail "cpack made no $(basename "$installer"): $(ls "$work/out")"
mkdir -p "$work/previous"
echo "only in the previous version" >"$work/previous/previous-version.txt"
package "$work/old" -D CPACK_PACKAGE_VERSION=0.0.1 -D CPACK_PACKAGE_FILE_NAME=previous \
    -D "CPACK_INSTALLED_DIRECTORIES=$work/previous;."

# A silent run of a Windows program of the package, which may leave a copy of itself running
# (the uninstaller does): waits until every program of the prefix has ended.
silently() {
    "$wine_run" "$@" /S || fail "$(basename "$1") /S: exit status $?"
    "$wine_run" wineserver -w
}
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillon'
reg_value() {  # KEY NAME: the value's data, or nothing
    "$wine_run" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_SZ *//p"
}

silently "$work/old/previous.exe"
[ -f "$drive_c/Program Files/Quillon/previous-version.txt" ] || fail "the previous version did not install"
silently "$installer"

# Installed into Program Files\Quillon, flat, exactly these files: the previous version's are gone.
dir=$drive_c/Program\ Files/Quillon
(cd "$dir" && find . -type f | sort) >"$work/files"
sort >"$work/expected" <<'LIST'
./README.txt
./Uninstall.exe
./examples/Halvo_Model.txt
./examples/Quillon_AverageStrs.txt
./quillon.com
./quillon.exe
./tarvik.exe
LIST
diff -u "$work/expected" "$work/files" >&2 || fail "the installed files differ (- expected, + installed)"
[ "$(reg_value "$uninstall_key" DisplayVersion)" = "$version" ] ||
    fail "Apps & Features shows version '$(reg_value "$uninstall_key" DisplayVersion)', not $version"
[ "$(grep -c $'\r$' "$dir/README.txt")" = "$(wc -l <"$dir/README.txt")" ] ||
    fail "README.txt does not end its lines with CR LF"

# The installed programs on the installed examples, by their Windows paths, give what the built
# ones give on the sources' examples.
cd "$work"
win_dir='C:\Program Files\Quillon'
"$wine_run" "$win_dir\\quillon.exe" --info "$win_dir\\examples\\Quillon_AverageStrs.txt" >info.txt ||
    fail "the installed quillon.exe --info failed"
"$wine_run" "$build/viewer/ui/quillon.com" --info "$source/examples/Quillon_AverageStrs.txt" \
    >expected-info.txt || fail "the built quillon.com --info failed"
grep -q '^nodes: ' info.txt && cmp -s info.txt expected-info.txt ||
    fail "the installed quillon.exe printed: $(cat info.txt)"
"$wine_run" "$win_dir\\tarvik.exe" "$win_dir\\examples\\Halvo_Model.txt" moved.txt 1 0 0 ||
    fail "the installed tarvik.exe could not shift the installed model"
"$wine_run" "$build/tool/tarvik.exe" "$source/examples/Halvo_Model.txt" expected-moved.txt 1 0 0 ||
    fail "the built tarvik.exe failed"
cmp -s moved.txt expected-moved.txt && ! cmp -s moved.txt "$dir/examples/Halvo_Model.txt" ||
    fail "the installed tarvik.exe did not move the model as the built one does"

# The Start menu entry (for all users: the installer runs as an administrator). A shortcut keeps
# the target's path in the code page and the arguments and the working folder in UTF-16.
menu=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Quillon
[ -f "$menu/Quillon Contour.lnk" ] || fail "no Start menu entry: $(ls "$menu" 2>&1)"
[ -f "$menu/Uninstall.lnk" ] || fail "no Uninstall entry in the Start menu"
strings "$menu/Quillon Contour.lnk" | grep -qxF "$win_dir\\quillon.exe" ||
    fail "the Start menu entry does not start quillon.exe: $(strings "$menu/Quillon Contour.lnk")"
wide=$(strings -e l "$menu/Quillon Contour.lnk")
grep -qF "\"$win_dir\\examples\\Quillon_AverageStrs.txt\"" <<<"$wide" ||
    fail "the Start menu entry does not open the example: $wide"
grep -qF '%USERPROFILE%\Documents' <<<"$wide" ||
    fail "the Start menu entry does not start in the user's Documents: $wide"

# Apps & Features: the name, the program's icon and the uninstaller.
[ "$(reg_value "$uninstall_key" DisplayName)" = Quillon ] || fail "Apps & Features has no Quillon"
[ "$(reg_value "$uninstall_key" DisplayIcon)" = "$win_dir\\quillon.exe" ] ||
    fail "the uninstaller's icon is '$(reg_value "$uninstall_key" DisplayIcon)'"
[ "$(reg_value "$uninstall_key" UninstallString)" = "\"$win_dir\\Uninstall.exe\"" ] ||
    fail "the uninstaller is '$(reg_value "$uninstall_key" UninstallString)'"

# The silent uninstall removes everything: files, shortcuts, the vendor's registry key.
silently "$dir/Uninstall.exe"
for key in "$uninstall_key" 'HKLM\Software\quillon team'; do
    if "$wine_run" reg query "$key" >/dev/null 2>&1; then fail "left in the registry: $key"; fi
done
left=$(leftovers)
[ -z "$left" ] || fail "the uninstall left: $left"
host_menus_untouched
echo "installer in order: $(basename "$installer"), $(wc -l <"$work/files") files installed and removed"
