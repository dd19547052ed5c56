#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine.
set -euo pipefail
packages=(cmake make g++ g++-multilib libgtest-dev googletest libbenchmark-dev
          libxerces-c-dev libxml2-utils g++-mingw-w64-i686 binutils-mingw-w64-i686
          clang libclang-rt-dev file python3)
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
