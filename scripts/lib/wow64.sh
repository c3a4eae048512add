# Running the shipped 32-bit build under WOW64 on a host that cannot execute 32-bit code.
# Source it; it changes nothing by itself. Needs root: chroot, mounts and binfmt_misc are root's.
#
# The kernel of our machines runs 64-bit user code only, and it refuses 32-bit code segments too,
# so no Wine build runs 32-bit code natively here. What works: a Debian 12 amd64 chroot, with the
# i386 architecture added inside it only, holding 64-bit and 32-bit Wine 8.0 (the host's version)
# and qemu-user from bookworm-backports. The 64-bit Wine processes run natively; the kernel hands
# each 32-bit ELF program (Wine's 32-bit loader) to the chroot's static qemu-i386 through a
# binfmt_misc entry with the F flag, which opens the interpreter at registration, so it works
# inside the chroot. qemu 10 starts a 32-bit process in about a second; bookworm's 7.2 takes a
# minute, hence the backport.
#
# The chroot is made once per machine, outside any clone, so clean clones reuse it:
#   wow64_setup                  builds it (bootstrap does this)
#   wow64_enable DIR...          binfmt entry and mounts for one run; each DIR is bound at its own path
#   wow64_prefix NAME            makes (once) and exports the WOW64 prefix build/wine/NAME
#   wow64_run [--timeout S] PROGRAM [ARGS...]
#                                runs a Windows program there, in the current directory
#   wow64_disable                ends this run's processes, unmounts, removes the binfmt entry

TESSARY_TOP=${TESSARY_TOP:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
TESSARY_WOW64_ROOT=${TESSARY_WOW64_ROOT:-/var/lib/tessary/wow64-root}
# Changing the recipe below changes this, and bootstrap then builds the chroot anew.
TESSARY_WOW64_RECIPE=1
_WOW64_BINFMT=/proc/sys/fs/binfmt_misc
_WOW64_ENTRY=tessary-qemu-i386
_WOW64_MOUNTS=()
_WOW64_BINFMT_MOUNTED=
_WOW64_BINFMT_REGISTERED=
# One user of the chroot at a time per machine: its set-up, and each test run's binfmt entry.
TESSARY_MACHINE_LOCK=${TESSARY_MACHINE_LOCK:-/run/lock/tessary-windows-tests.lock}
source "$TESSARY_TOP/scripts/lib/prefix_folders.sh"

_wow64_as_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "wow64: needs root (chroot, mounts and binfmt_misc); run as root" >&2
    return 1
  fi
  "$@"
}

# wow64_ready: true when the chroot exists and was made by this recipe.
wow64_ready() {
  [ "$(cat "$TESSARY_WOW64_ROOT/.tessary-recipe" 2>/dev/null)" = "$TESSARY_WOW64_RECIPE" ]
}

# The first Debian mirror of the host's own apt sources, so no host is named here.
_wow64_mirror() {
  local m
  m=$(awk '/^URIs:/ && $2 ~ /debian\/?$/ {print $2; exit}' /etc/apt/sources.list.d/*.sources 2>/dev/null)
  [ -n "$m" ] || m=$(awk '$1 == "deb" {for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\/.*debian\/?$/) {print $i; exit}}' \
    /etc/apt/sources.list 2>/dev/null | head -n 1)
  [ -n "$m" ] || return 1
  echo "$m"
}

# _wow64_binfmt_on ROOT: registers the chroot's qemu-i386 for i386 ELF executables and shared
# objects (e_machine 3), mounting binfmt_misc first when the host has not.
_wow64_binfmt_on() {
  if ! mountpoint -q "$_WOW64_BINFMT"; then
    _wow64_as_root mount -t binfmt_misc binfmt_misc "$_WOW64_BINFMT" || return 1
    _WOW64_BINFMT_MOUNTED=1
  fi
  [ -e "$_WOW64_BINFMT/$_WOW64_ENTRY" ] && { echo -1 | _wow64_as_root tee "$_WOW64_BINFMT/$_WOW64_ENTRY" >/dev/null; }
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf ':%s:M::%s:%s:%s:F' "$_WOW64_ENTRY" "$magic" "$mask" "$1/usr/bin/qemu-i386" |
    _wow64_as_root tee "$_WOW64_BINFMT/register" >/dev/null || return 1
  _WOW64_BINFMT_REGISTERED=1
}

# Removes the entry only when this shell registered it: another run may be using its own.
_wow64_binfmt_off() {
  if [ -n "$_WOW64_BINFMT_REGISTERED" ] && [ -e "$_WOW64_BINFMT/$_WOW64_ENTRY" ]; then
    echo -1 | _wow64_as_root tee "$_WOW64_BINFMT/$_WOW64_ENTRY" >/dev/null || true
  fi
  if [ -n "$_WOW64_BINFMT_MOUNTED" ]; then
    _wow64_as_root umount "$_WOW64_BINFMT" 2>/dev/null || true
    _WOW64_BINFMT_MOUNTED=
  fi
  _WOW64_BINFMT_REGISTERED=
}

# _wow64_bind ROOT SOURCE: binds SOURCE at the same path inside ROOT, remembering the mount.
_wow64_bind() {
  local root=$1 source=$2
  [ -e "$source" ] || return 0
  _wow64_as_root mkdir -p "$root$source"
  mountpoint -q "$root$source" && return 0
  _wow64_as_root mount --bind "$source" "$root$source" || return 1
  _WOW64_MOUNTS+=("$root$source")
}

# _wow64_mounts_on ROOT DIR...: the system folders Wine and apt need, then each DIR.
_wow64_mounts_on() {
  local root=$1 dir
  shift
  for dir in /proc /sys /dev /dev/pts /dev/shm "$@"; do
    _wow64_bind "$root" "$(readlink -f "$dir")" || return 1
  done
}

# _wow64_stale_mounts_off ROOT: unmounts, deepest first, what a run that was killed left mounted
# below ROOT. Only called with the machine's lock held, so no other run is using them.
_wow64_stale_mounts_off() {
  local root mount
  root=$(readlink -f "$1")
  awk -v r="$root/" 'index($2 "/", r) == 1 {print $2}' /proc/self/mounts | sort -r |
    while IFS= read -r mount; do
      umount "$mount" 2>/dev/null || umount -l "$mount" 2>/dev/null || true
    done
}

# _wow64_mounts_off: unmounts what this shell mounted, the last one first.
_wow64_mounts_off() {
  local i
  for ((i = ${#_WOW64_MOUNTS[@]} - 1; i >= 0; i--)); do
    _wow64_as_root umount "${_WOW64_MOUNTS[i]}" 2>/dev/null || _wow64_as_root umount -l "${_WOW64_MOUNTS[i]}" 2>/dev/null || true
  done
  _WOW64_MOUNTS=()
}

# _wow64_remove DIR: deletes a chroot folder, but never while anything is mounted below it: a bound
# host folder would be emptied with it.
_wow64_remove() {
  local dir
  dir=$(readlink -f "$1")
  [ -e "$dir" ] || return 0
  if awk -v d="$dir/" 'index($2 "/", d) == 1 {found = 1} END {exit !found}' /proc/self/mounts; then
    echo "wow64: $dir still has mounts below it; not removing it" >&2
    return 1
  fi
  _wow64_as_root rm -rf --one-file-system "$dir"
}

# _wow64_in_root ROOT COMMAND...: a command inside the chroot, unattended.
_wow64_in_root() {
  local root=$1
  shift
  _wow64_as_root chroot "$root" env DEBIAN_FRONTEND=noninteractive "$@"
}

# _wow64_build DIR MIRROR: debootstrap, i386 inside the chroot only, qemu-user from the backports,
# then 64- and 32-bit Wine. Runs in a subshell whose exit trap undoes its mounts and binfmt entry.
_wow64_build() {
  local dir=$1 mirror=$2
  trap '_wow64_mounts_off; _wow64_binfmt_off' EXIT
  _wow64_remove "$dir" || return 1
  _wow64_as_root debootstrap --variant=minbase --arch=amd64 bookworm "$dir" "$mirror" >&2 || return 1
  # Name look-ups answer from the host's own files, so "localhost" never waits on DNS.
  _wow64_as_root cp /etc/resolv.conf /etc/hosts "$dir/etc/" || return 1
  _wow64_in_root "$dir" dpkg --add-architecture i386 || return 1
  printf 'deb %s bookworm main\ndeb [arch=amd64] %s bookworm-backports main\n' "$mirror" "$mirror" |
    _wow64_as_root tee "$dir/etc/apt/sources.list" >/dev/null || return 1
  _wow64_mounts_on "$dir" || return 1
  _wow64_apt_update "$dir"
  # qemu-user of the backports is built static: it brings no libraries into the chroot.
  _wow64_in_root "$dir" apt-get install -y -q --no-install-recommends -t bookworm-backports qemu-user >&2 || return 1
  # The i386 packages' maintainer scripts run 32-bit programs, so qemu must be registered now.
  _wow64_binfmt_on "$dir" || return 1
  _wow64_in_root "$dir" apt-get install -y -q --no-install-recommends wine wine64 wine32:i386 libwine:i386 >&2 ||
    return 1
  _wow64_in_root "$dir" apt-get clean
}

# wow64_setup: builds the chroot in a scratch folder beside its place and moves it there only when
# it is complete, so an interrupted set-up never looks ready. Progress goes to standard error.
wow64_setup() {
  wow64_ready && return 0
  _wow64_as_root true || return 1
  # Two first bootstraps on one machine take turns; the second finds the chroot ready.
  local lock
  exec {lock}>"$TESSARY_MACHINE_LOCK" || return 1
  flock "$lock"
  _wow64_setup_locked
  local status=$?
  exec {lock}>&-
  return $status
}

_wow64_setup_locked() {
  wow64_ready && return 0
  local root=$TESSARY_WOW64_ROOT partial="$TESSARY_WOW64_ROOT.partial" mirror
  mirror=$(_wow64_mirror) || { echo "wow64: no Debian mirror in the host's apt sources" >&2; return 1; }
  command -v debootstrap >/dev/null || { echo "wow64: debootstrap is not installed" >&2; return 1; }
  _wow64_as_root mkdir -p "$(dirname "$root")"
  echo "wow64: building the 32-bit Wine chroot in $root (once per machine, a few minutes)" >&2
  if ! (_wow64_build "$partial" "$mirror"); then
    echo "wow64: building the chroot failed; nothing was kept" >&2
    _wow64_remove "$partial"
    return 1
  fi
  echo "$TESSARY_WOW64_RECIPE" | _wow64_as_root tee "$partial/.tessary-recipe" >/dev/null
  _wow64_remove "$root" || return 1
  _wow64_as_root mv "$partial" "$root"
}

# _wow64_apt_update ROOT: an index that fails to download now and then is not fatal by itself;
# the install that follows says whether what was fetched is enough.
_wow64_apt_update() {
  local attempt
  for attempt in 1 2 3; do
    _wow64_in_root "$1" apt-get update -q >&2 && return 0
    [ "$attempt" -lt 3 ] && sleep 5
  done
  return 0
}

# wow64_enable DIR...: registers qemu and mounts for this run. Every process started through
# wow64_run carries this run's token, so wow64_disable ends those and no other.
wow64_enable() {
  wow64_ready || { echo "wow64: the chroot $TESSARY_WOW64_ROOT is missing; run scripts/bootstrap" >&2; return 1; }
  _wow64_as_root true || return 1
  # The caller holds the machine's lock: whatever is mounted below the chroot now is a killed run's.
  _wow64_stale_mounts_off "$TESSARY_WOW64_ROOT"
  # Not exported: only what wow64_run starts carries it, never the service or this script's helpers.
  TESSARY_WOW64_RUN="tessary-$$-$RANDOM$RANDOM"
  _wow64_binfmt_on "$TESSARY_WOW64_ROOT" && _wow64_mounts_on "$TESSARY_WOW64_ROOT" /tmp/.X11-unix "$@"
}

# wow64_run [--timeout SECONDS] PROGRAM [ARGS...]: runs a Windows program with the chroot's 64-bit
# Wine loader, which starts 32-bit programs through its WOW64 side. The caller's environment goes
# along.
wow64_run() {
  local limit=()
  if [ "${1:-}" = --timeout ]; then
    limit=(timeout "$2")
    shift 2
  fi
  _wow64_as_root "${limit[@]}" env TESSARY_WOW64_RUN="$TESSARY_WOW64_RUN" chroot "$TESSARY_WOW64_ROOT" \
    /bin/sh -c 'cd "$0" && exec "$@"' "$PWD" /usr/lib/wine/wine64 "$@"
}

# _wow64_wineserver ARGS...: the chroot's wineserver for the current prefix.
_wow64_wineserver() {
  _wow64_as_root env TESSARY_WOW64_RUN="$TESSARY_WOW64_RUN" chroot "$TESSARY_WOW64_ROOT" /usr/lib/wine/wineserver "$@"
}

# wow64_prefix NAME: makes (once) and exports the WOW64 prefix build/wine/NAME. It is a 64-bit
# prefix, made from inside the chroot so that its syswow64 holds the 32-bit side. A prefix whose
# making was cut short is made anew: its 32-bit registrations would be missing in part.
wow64_prefix() {
  export WINEPREFIX="$TESSARY_TOP/build/wine/$1"
  export WINEARCH=win64
  if [ -f "$WINEPREFIX/.tessary-ready" ]; then
    prefix_own_user_folders
    return 0
  fi
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  (cd / && wow64_run --timeout 600 wineboot -i) >/dev/null 2>&1 || true
  # Wine draws the window frames itself, so windows have captions even without a window manager.
  wow64_run --timeout 120 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  wow64_run --timeout 120 reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f >/dev/null 2>&1 || true
  timeout 300 chroot "$TESSARY_WOW64_ROOT" /usr/lib/wine/wineserver -w
  if [ -z "$(ls -A "$WINEPREFIX/drive_c/windows/syswow64" 2>/dev/null)" ]; then
    echo "wow64: the prefix $WINEPREFIX has no 32-bit side (syswow64 is empty)" >&2
    return 1
  fi
  # The 32-bit picture decoders, which GDI+ needs, are among the last 32-bit registrations.
  if ! grep -qF '[Software\\Classes\\Wow6432Node\\CLSID\\{7ED96837-96F0-4812-B211-F13C24117ED3}\\Instance\\' \
    "$WINEPREFIX/system.reg"; then
    echo "wow64: the prefix $WINEPREFIX lacks the 32-bit picture decoders' registration" >&2
    return 1
  fi
  prefix_own_user_folders
  touch "$WINEPREFIX/.tessary-ready"
}

# _wow64_run_pids: the processes that carry this run's token.
_wow64_run_pids() {
  local proc
  [ -n "${TESSARY_WOW64_RUN:-}" ] || return 0
  for proc in /proc/[0-9]*; do
    if _wow64_as_root cat "$proc/environ" 2>/dev/null | tr '\0' '\n' | grep -qxF "TESSARY_WOW64_RUN=$TESSARY_WOW64_RUN"; then
      echo "${proc#/proc/}"
    fi
  done
}

# wow64_disable: ends this run's processes (by their ids), unmounts what wow64_enable mounted and
# removes the binfmt entry. Safe to call more than once and on every way out.
wow64_disable() {
  local pids _
  if [ -n "${TESSARY_WOW64_RUN:-}" ]; then
    [ -n "${WINEPREFIX:-}" ] && _wow64_wineserver -k >/dev/null 2>&1
    pids=$(_wow64_run_pids)
    if [ -n "$pids" ]; then
      # shellcheck disable=SC2086
      _wow64_as_root kill $pids 2>/dev/null
      for _ in $(seq 1 30); do
        pids=$(_wow64_run_pids)
        [ -z "$pids" ] && break
        sleep 0.1
      done
      # shellcheck disable=SC2086
      [ -n "$pids" ] && _wow64_as_root kill -9 $pids 2>/dev/null
    fi
  fi
  _wow64_mounts_off
  _wow64_binfmt_off
  TESSARY_WOW64_RUN=
}
