#!/usr/bin/env bash
# The 32-bit build of the console side (OMBRIX_BUILD_32): the value library, the
# layer, the framework stand-in, the console and their tests, built with -m32
# into build-m32/ and, with AddressSanitizer and UndefinedBehaviorSanitizer,
# into build-m32-asan/; both are tested. GoogleTest is built for 32 bits from
# Debian's sources in /usr/src/googletest (scripts/gtest-m32.sh).
#
# Where 32-bit programs run under qemu-i386 (scripts/setup.sh), AddressSanitizer
# is not reliable (its own checks fail, and the leak checker's stop-the-world
# hangs at exit under a user-mode emulator): the sanitizer build there has
# UndefinedBehaviorSanitizer alone, and says so.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

gtest_options=$(scripts/gtest-m32.sh)
mapfile -t gtest <<<"$gtest_options"

# Every program and test binary of a 32-bit build must be 32-bit code.
check_32_bit() {
  local dir=$1 binary found=0
  for binary in "$dir"/tests/* "$dir"/bin/*; do
    [ -f "$binary" ] && [ -x "$binary" ] || continue
    file -b "$binary" | grep -q '^ELF' || continue
    found=1
    file -b "$binary" | grep -q '^ELF 32-bit' || { echo "test-m32: $binary is not 32-bit code" >&2; exit 1; }
  done
  [ "$found" = 1 ] || { echo "test-m32: $dir holds no programs" >&2; exit 1; }
}

echo "== 32-bit build and tests"
scripts/build.sh build-m32 -DOMBRIX_BUILD_32=ON "${gtest[@]}"
check_32_bit build-m32
ctest --test-dir build-m32 --output-on-failure -j"$jobs"

if [ "$(scripts/ia32-mode.sh)" = emulated ]; then
  sanitizers=undefined
  echo "== 32-bit sanitizer build (UndefinedBehaviorSanitizer alone: 32-bit programs run under emulation here, where AddressSanitizer and its leak checking cannot) and tests"
else
  sanitizers=address,undefined
  echo "== 32-bit sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) and tests"
fi
scripts/build.sh build-m32-asan -DOMBRIX_BUILD_32=ON -DOMBRIX_SANITIZE=ON -DOMBRIX_SANITIZERS="$sanitizers" "${gtest[@]}"
check_32_bit build-m32-asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-m32-asan --output-on-failure -j"$jobs"
