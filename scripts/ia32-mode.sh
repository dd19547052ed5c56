#!/usr/bin/env bash
# How this machine runs 32-bit x86 programs: prints "native" (the kernel runs
# them), "emulated" (binfmt_misc hands them to qemu-i386) or "none". Needs a
# compiler that builds -m32 programs (g++-multilib); without one it prints "none".
set -euo pipefail
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf 'int main(void) { return 0; }\n' >"$probe/probe.c"
if ! gcc -m32 "$probe/probe.c" -o "$probe/probe" 2>/dev/null || ! "$probe/probe" 2>/dev/null; then
  echo none
elif grep -qx enabled /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null; then
  # A registered handler comes before the kernel's own loader.
  echo emulated
else
  echo native
fi
