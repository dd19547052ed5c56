#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine. Where the
# kernel refuses 32-bit programs, it has them run under qemu-i386's user-mode
# emulation, registered through binfmt_misc, so that the 32-bit build's programs
# and every child they start run unchanged. Running it again changes nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(cmake make g++ g++-multilib libgtest-dev googletest libbenchmark-dev
          libxerces-c-dev libxml2-utils g++-mingw-w64-i686 binutils-mingw-w64-i686
          g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
          clang libclang-rt-dev file python3
          dpkg-dev wine xvfb xauth x11-apps)
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
# The 32-bit build (the console and the framework stand-in) links Debian's i386
# Xerces-C, and its benchmarks Debian's i386 benchmark library.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
packages+=(libxerces-c-dev:i386 libbenchmark-dev:i386)
# A name without an architecture is the machine's own package (or one for all
# architectures): an installed i386 package of the same name does not count.
native=$(dpkg --print-architecture)
installed() {
  case "$1" in
    *:*) dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q "ok installed" ;;
    *) dpkg-query -W -f='${Status} ${Architecture}\n' "$1" 2>/dev/null | grep -Eq "ok installed ($native|all)$" ;;
  esac
}
updated=0
install_missing() {
  local missing=() p
  for p in "$@"; do
    installed "$p" || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  if [ "$updated" = 0 ]; then
    "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update
    updated=1
  fi
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y \
    --no-install-recommends "${missing[@]}"
}
install_missing "${packages[@]}"

# qemu-i386 as the handler of i386 ELF programs (executables and PIE): the ELF
# header's class, data, version, type and machine, with the kernel opening the
# static emulator at registration (F) and argv[0] kept as given (P).
register_emulation() {
  local binfmt=/proc/sys/fs/binfmt_misc
  install_missing qemu-user-static
  if [ ! -e "$binfmt/register" ]; then
    "${sudo_cmd[@]}" mount -t binfmt_misc binfmt_misc "$binfmt"
  fi
  if [ -e "$binfmt/qemu-i386" ]; then
    echo 1 | "${sudo_cmd[@]}" tee "$binfmt/qemu-i386" >/dev/null
  else
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf '%s' ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:PF" |
      "${sudo_cmd[@]}" tee "$binfmt/register" >/dev/null
  fi
}

mode=$(scripts/ia32-mode.sh)
case $mode in
  native)
    echo "setup: this machine runs 32-bit programs natively"
    # Wine's 32-bit half runs the Windows build's 32-bit programs (scripts/test-differential.sh).
    install_missing wine32:i386 ;;
  emulated)
    echo "setup: this machine runs 32-bit programs under emulation (qemu-i386, registered already)"
    install_missing wine64 ;;
  none)
    register_emulation
    mode=$(scripts/ia32-mode.sh)
    [ "$mode" = emulated ] || { echo "setup: 32-bit programs do not run, even under qemu-i386" >&2; exit 1; }
    echo "setup: the kernel refuses 32-bit programs; they now run under emulation (qemu-i386 through binfmt_misc)"
    # 64-bit Wine alone: its 32-bit half would run under the emulator, far too slowly.
    install_missing wine64 ;;
esac
