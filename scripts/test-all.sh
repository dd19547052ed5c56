#!/usr/bin/env bash
# Runs every test: the Linux build, the sanitizer build, the 32-bit build, the
# Windows cross build and the differential runs of the layer against Wine. A
# stage script that is missing or not executable fails the run: a stage that is
# left out has not passed.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
stages=(scripts/test-m32.sh scripts/test-windows.sh scripts/test-differential.sh)
for stage in "${stages[@]}"; do
  if [ ! -f "$stage" ] || [ ! -x "$stage" ]; then
    echo "test-all: the stage $stage is missing or not executable" >&2
    exit 1
  fi
done

echo "== Linux build and tests"
scripts/build.sh build
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== Sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) and tests"
scripts/build.sh build-asan -DOMBRIX_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

for stage in "${stages[@]}"; do
  echo "== $stage"
  "$stage"
done
