#!/usr/bin/env bash
# Builds the value library and its tests as 32-bit code and runs them, so
# that the layouts are checked at the widths the programs ship with.
# GoogleTest is built for 32 bits from Debian's sources in /usr/src/googletest.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dir=build-m32
flags=(-DCMAKE_C_FLAGS=-m32 -DCMAKE_CXX_FLAGS=-m32
       -DCMAKE_EXE_LINKER_FLAGS=-m32 -DCMAKE_SHARED_LINKER_FLAGS=-m32)

gtest_build=$dir/googletest
gtest_install=$root/$dir/googletest-install
if [ ! -f "$gtest_install/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$gtest_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$gtest_install" "${flags[@]}" >/dev/null
  cmake --build "$gtest_build" -j"$(nproc)"
  cmake --install "$gtest_build" >/dev/null
fi

scripts/build.sh "$dir" -DOMBRIX_VALUES_ONLY=ON -DCMAKE_PREFIX_PATH="$gtest_install" \
  -DGTest_DIR="$gtest_install/lib/cmake/GTest" "${flags[@]}"
file "$dir/tests/values_tests" | grep -q "ELF 32-bit" || {
  echo "test-m32: values_tests is not a 32-bit program" >&2
  exit 1
}
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
