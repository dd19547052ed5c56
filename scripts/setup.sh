#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine.
set -euo pipefail
packages=(cmake make g++ g++-multilib libgtest-dev googletest libbenchmark-dev
          libxerces-c-dev libxml2-utils g++-mingw-w64-i686 binutils-mingw-w64-i686
          clang libclang-rt-dev file python3
          dpkg-dev wine wine32:i386 xvfb xauth x11-apps)
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
# Wine's 32-bit half runs the Windows build's programs (scripts/test-differential.sh);
# the 32-bit build (the console and the framework stand-in) links Debian's i386 Xerces-C,
# and its benchmarks Debian's i386 benchmark library.
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
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
fi
