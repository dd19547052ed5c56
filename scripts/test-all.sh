#!/usr/bin/env bash
# Runs every test: the Linux build, the sanitizer build, the 32-bit value library
# and the Windows cross build.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

echo "== Linux build and tests"
scripts/build.sh build
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== Sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) and tests"
scripts/build.sh build-asan -DOMBRIX_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

for stage in scripts/test-m32.sh scripts/test-windows.sh; do
  if [ -x "$stage" ]; then
    echo "== $stage"
    "$stage"
  fi
done
