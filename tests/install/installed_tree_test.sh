#!/usr/bin/env bash
# cmake --install into a fresh prefix, then what a user gets there: both programs run from it,
# the desktop entry validates and names the installed program, icon and file type, the man
# pages render without a warning and have an entry for every option --help names, and the install
# refreshed the desktop's caches so that file managers open result files with quillon.
#   installed_tree_test.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build=$1 source=$2 version=$3
. "$(dirname "$0")/common.sh"
need desktop-file-validate desktop-file-utils
need update-desktop-database desktop-file-utils
need update-mime-database shared-mime-info
need rsvg-convert librsvg2-bin
need identify imagemagick
need gio libglib2.0-bin
need groff groff-base
need man man-db

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; fail "cmake --install"; }
for f in bin/quillon bin/tarvik share/applications/quillon.desktop \
    share/icons/hicolor/scalable/apps/quillon.svg share/mime/packages/quillon.xml \
    share/man/man1/quillon.1.gz share/man/man1/tarvik.1.gz; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
[ "$(ls "$prefix/bin" | tr '\n' ' ')" = "quillon tarvik " ] ||
    fail "bin/ holds more than the two programs: $(ls "$prefix/bin")"

# The programs, run from the prefix and from a folder away from the build and the sources.
cd "$work"
for program in quillon tarvik; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
    printed=$("$prefix/bin/$program" --version) || fail "$program --version failed"
    [ "$printed" = "$program $version" ] || fail "$program --version printed '$printed'"
done
"$prefix/bin/quillon" --snapshot example.png --size 160x120 "$source/examples/Quillon_AverageStrs.txt" ||
    fail "the installed quillon could not draw the example"
[ "$(identify -format %wx%h example.png)" = 160x120 ] || fail "the example's picture is not 160x120"
"$prefix/bin/tarvik" "$source/examples/Halvo_Model.txt" moved.txt 1 0 0 ||
    fail "the installed tarvik could not shift the example"
[ "$(head -n 1 moved.txt | tr -d '\r')" = "### Halvo R2.00 ###" ] || fail "tarvik's output lacks the header"

# The desktop entry: valid, opening one file with the installed program, with an installed icon.
desktop=$prefix/share/applications/quillon.desktop
report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate: $report"
key() { sed -n "s/^$1=//p" "$desktop"; }
read -r exec_program exec_args <<<"$(key Exec)"
[ -x "$prefix/bin/$exec_program" ] || fail "Exec names $exec_program, which is not installed"
[ "$exec_args" = "%f" ] || fail "Exec passes '$exec_args'; quillon opens one file: %f"
icon=$(key Icon)
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon named $icon"
rsvg-convert -w 48 -h 48 "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" -o icon.png ||
    fail "the icon does not render"
[ "$(identify -format %wx%h icon.png)" = 48x48 ] || fail "the icon did not render at 48x48"

# The file type: known to the MIME and desktop databases the install refreshed; and, as a file
# manager sees the prefix through GIO, result files are of that type by name and by content and
# open with quillon by default.
mime=$prefix/share/mime
type=$(key MimeType)
type=${type%;}
grep -qx "$type" "$mime/types" || fail "MimeType $type is not in the refreshed MIME database"
grep -q "^$type=.*quillon.desktop" "$prefix/share/applications/mimeinfo.cache" ||
    fail "the desktop database does not offer quillon for $type"
desktop_env() {
    env PATH="$prefix/bin:$PATH" XDG_DATA_DIRS="$prefix/share:/usr/share" \
        XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/config" "$@"
}
cp "$source/examples/Quillon_AverageStrs.txt" deck2_AverageStrs.txt
cp "$source/examples/Quillon_AverageStrs.txt" deck2.out
for file in deck2_AverageStrs.txt deck2.out; do
    seen=$(desktop_env gio info -a standard::content-type "$file" | sed -n 's/.*content-type: //p')
    [ "$seen" = "$type" ] || fail "$file is seen as '$seen', not $type"
done
handlers=$(desktop_env gio mime "$type")
grep -q "^Default application .*: quillon.desktop$" <<<"$handlers" ||
    fail "quillon is not the default application for $type: $handlers"

# The man pages: render without a warning, have the usual sections, an entry under OPTIONS for
# every option that --help names, and carry the version.
for program in quillon tarvik; do
    page=$prefix/share/man/man1/$program.1.gz
    warnings=$(zcat "$page" | groff -man -ww -z -Tutf8 2>&1)
    [ -z "$warnings" ] || fail "groff warns about $program.1: $warnings"
    text=$(LC_ALL=C.UTF-8 MANWIDTH=100 man --warnings --nh --nj -l "$page" 2>man.err) ||
        fail "man -l $program.1.gz failed: $(cat man.err)"
    [ ! -s man.err ] || fail "man warns about $program.1: $(cat man.err)"
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES "SEE ALSO"; do
        grep -qx "$section" <<<"$text" || fail "$program.1 has no $section section"
    done
    options=$(sed -n '/^OPTIONS$/,/^[A-Z]/p' <<<"$text")
    for option in $("$prefix/bin/$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
        grep -Eq -- "^ +$option( |$)" <<<"$options" || fail "$program.1 has no entry for $option"
    done
    grep -q "quillon $version" <<<"$text" || fail "$program.1 does not name version $version"
done
echo "installed tree in order: $(cd "$prefix" && find . -type f | wc -l) files"
