#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running, testing and packaging need
# (dpkg-dev and file give cpack its dpkg-shlibdeps and the means to find the programs among the
# packaged files; the others check the installed files).
# Does nothing when every package is already present.
#   scripts/install-deps.sh [--fuzz] [--windows] [--fresh]
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libfltk1.3-dev fluid
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev libegl-mesa0
  libfreetype-dev libfontconfig-dev fontconfig fonts-liberation2 fonts-dejavu-core
  fonts-wqy-microhei
  libpng-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth xdotool xclip imagemagick x11-utils
  time locales clang-format git
  dpkg-dev file desktop-file-utils shared-mime-info libglib2.0-bin librsvg2-bin libxml2-utils man-db groff-base
)

# --fuzz: clang and its libFuzzer and sanitizer runtimes (scripts/fuzz.sh);
# --windows: the cross compiler for quillon.exe and tarvik.exe (with zlib for quillon's PNG files),
# Wine to run them and their tests, with Wine's own fonts (Tahoma for the dialogs' "MS Shell Dlg",
# Marlett for the caption buttons: without them dialogs fall back to a wider face and clip their
# labels), OSMesa, through which Wine gives OpenGL to a bitmap, NSIS
# (the installer), icoutils (the programs' icon, and reading it back) and rsvg-convert (the icon's
# pictures, in the list above);
# --fresh: debootstrap, which makes the fresh Debian 12 roots of scripts/check-*fresh.sh.
for arg in "$@"; do
  case "$arg" in
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;
    --windows) packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 wine fonts-wine libosmesa6
                          googletest nsis icoutils) ;;
    --fresh) packages+=(debootstrap) ;;
    *) echo "usage: scripts/install-deps.sh [--fuzz] [--windows] [--fresh]" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
