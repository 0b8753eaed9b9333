#!/usr/bin/env bash
# cpack -G DEB in the build folder, then the package as Debian sees it: its control fields, the
# exact files it installs (no caches, nothing of the build), its stripped programs run, every
# shared library they load comes from a package it depends on, the run-time needs it declares,
# and apt accepts it for installation on this system with those dependencies (a simulation:
# apt resolves them against what is installed and the Debian archive, and changes nothing).
#   debian_package_test.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build=$1 version=$3
. "$(dirname "$0")/common.sh"
need dpkg-shlibdeps dpkg-dev
need file file
need readelf binutils
need apt-get apt

(cd "$build" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack -G DEB"; }
! grep -q "Warning" "$work/cpack.log" || { cat "$work/cpack.log" >&2; fail "cpack warned"; }
deb=$work/out/quillon_${version}-1_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "cpack made no $(basename "$deb"): $(ls "$work/out")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quillon ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version-1" ] || fail "Version is '$(field Version)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is wrong"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "no Maintainer or Description"

# Exactly these files: compressed man pages, no MIME or desktop caches (dpkg's triggers make
# those on the target), no tests, benchmarks or libraries.
dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sort >"$work/files"
sort >"$work/expected" <<'LIST'
./usr/bin/quillon
./usr/bin/tarvik
./usr/share/applications/quillon.desktop
./usr/share/icons/hicolor/scalable/apps/quillon.svg
./usr/share/man/man1/quillon.1.gz
./usr/share/man/man1/tarvik.1.gz
./usr/share/mime/packages/quillon.xml
LIST
diff -u "$work/expected" "$work/files" >&2 || fail "the package's files differ (- expected, + packaged)"

root=$work/root
dpkg-deb -x "$deb" "$root"
for program in quillon tarvik; do
    printed=$("$root/usr/bin/$program" --version) || fail "the packaged $program does not run"
    [ "$printed" = "$program $version" ] || fail "the packaged $program printed '$printed'"
done

# The names in Depends, alternatives included, without versions.
depends=$(field Depends)
names=$(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*//; s/[[:space:]]//g' | grep -v '^$')

# The package that owns a library file, whichever of / and /usr dpkg registered it under.
owner_of() {
    local path
    for path in "$1" "$(readlink -f "$1")"; do
        for candidate in "$path" "${path#/usr}" "/usr$path"; do
            if dpkg -S "$candidate" >"$work/owner" 2>/dev/null; then
                sed -n '1s/:.*//p' "$work/owner"
                return 0
            fi
        done
    done
    return 1
}
for program in quillon tarvik; do
    for soname in $(readelf -d "$root/usr/bin/$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        path=$(ldd "$root/usr/bin/$program" | awk -v s="$soname" '$1 == s {print $3}')
        [ -n "$path" ] || fail "$program needs $soname, which this system does not have"
        owner=$(owner_of "$path") || fail "no package owns $path ($soname)"
        grep -qx "$owner" <<<"$names" ||
            fail "$program loads $soname from $owner, which Depends lacks: $depends"
    done
done

# What the programs need without linking it: fonts for labels and for the message boxes' Chinese
# texts, Mesa's drivers for the window and for pictures drawn without one.
for needed in fonts-liberation2 fonts-wqy-microhei libgl1-mesa-dri libegl-mesa0; do
    grep -qx "$needed" <<<"$names" || fail "Depends lacks $needed: $depends"
done

apt-get -s install "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; fail "apt would not install the package"; }
grep -q "^Inst quillon " "$work/apt.log" || { cat "$work/apt.log" >&2; fail "apt plans no install"; }
echo "package in order: $(basename "$deb"), Depends: $depends"
