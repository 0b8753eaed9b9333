# Sourced by the checks that run on a fresh Debian 12 (check-fresh.sh, check-deb-fresh.sh): a
# minimal bookworm root made by debootstrap from Debian's archive in a work folder of its own.
# On every way out (done, failed, interrupted, terminated) what is still running for it is
# ended, everything mounted under the root is unmounted (lazily when it stays busy), and only
# then is the work folder removed, never crossing into another file system.
#   fresh_root_make              installs debootstrap if missing, makes $root (needs the network)
#   fresh_root_mount             mounts /proc and /sys, binds /dev, /dev/pts and /dev/shm in $root
#   fresh_root_run LOG SCRIPT    runs SCRIPT with bash as root in $root, with $fresh_env as its
#                                whole environment and no terminal, its output in LOG; on failure
#                                prints LOG's last lines and exits 1
[ "$(id -u)" -eq 0 ] || { echo "$(basename "$0") needs root (debootstrap, chroot, mount)" >&2; exit 2; }

work=$(readlink -f "$(mktemp -d "${TMPDIR:-/tmp}/fresh-root.XXXXXX")")
root=$work/root
# What a root shell on the new system has, without a display; apt never asks.
fresh_env=(HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
  DEBIAN_FRONTEND=noninteractive)
fresh_job=""

# Everything mounted at or under $root, deepest first.
fresh_root_mounts() {
  awk -v r="$root" '$2 == r || index($2, r "/") == 1 {print $2}' /proc/self/mounts | sort -r
}

fresh_root_cleanup() {
  local status=$? signal proc mount left ended=""
  set +e
  trap '' INT TERM
  trap - EXIT
  # The running job's process group, then whatever runs inside the root outside that group.
  for signal in TERM KILL; do
    [ -n "$fresh_job" ] && kill -s "$signal" -- "-$fresh_job" 2>/dev/null && ended=yes
    for proc in /proc/[0-9]*; do
      [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ] &&
        kill -s "$signal" "${proc#/proc/}" 2>/dev/null && ended=yes
    done
    [ "$signal" = TERM ] && [ -n "$ended" ] && sleep 2
  done
  for mount in $(fresh_root_mounts); do
    umount "$mount" 2>/dev/null || umount -l "$mount"
  done
  left=$(fresh_root_mounts)
  if [ -n "$left" ]; then
    echo "still mounted, so $work is kept: $left" >&2
    [ "$status" -ne 0 ] || status=1
  else
    rm -rf --one-file-system "$work"
  fi
  exit "$status"
}
trap fresh_root_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Runs a command as a process group of its own and waits for it: a signal to this script is
# handled at once (not when the command ends), and the cleanup ends the whole group.
fresh_wait() {
  setsid -w "$@" &
  fresh_job=$!
  local status=0
  wait "$fresh_job" || status=$?
  fresh_job=""
  return "$status"
}

fresh_root_make() {
  bash "$(dirname "${BASH_SOURCE[0]}")/install-deps.sh" --fresh
  echo "making a minimal Debian 12 root"
  fresh_wait debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian \
    >"$work/debootstrap.log" 2>&1 || { tail -n 20 "$work/debootstrap.log" >&2; exit 1; }
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  # Services that packages would start are not started inside the root.
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
  chmod +x "$root/usr/sbin/policy-rc.d"
}

fresh_root_mount() {
  local dir
  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  for dir in /dev /dev/pts /dev/shm; do
    mkdir -p "$root$dir"
    mount --bind "$dir" "$root$dir"
    mount --make-private "$root$dir"
  done
}

fresh_root_run() {
  local log=$1 script=$2
  fresh_wait chroot "$root" /usr/bin/env -i "${fresh_env[@]}" /bin/bash -c "$script" \
    </dev/null >"$log" 2>&1 && return 0
  tail -n 60 "$log" >&2
  case "$log" in
    "$work"/*) ;;
    *) echo "the whole output is in $log" >&2 ;;
  esac
  exit 1
}
