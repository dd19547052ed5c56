#!/usr/bin/env bash
# Builds GoogleTest for 32 bits from Debian's sources in /usr/src/googletest once,
# into build-m32-googletest/, and prints the CMake options, one a line, that let a
# 32-bit build (OMBRIX_BUILD_32) find it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-m32-googletest
install=$PWD/$build/install
if [ ! -f "$install/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_GMOCK=OFF \
    -DCMAKE_INSTALL_PREFIX="$install" -DCMAKE_C_FLAGS=-m32 -DCMAKE_CXX_FLAGS=-m32 >/dev/null
  cmake --build "$build" -j"$(nproc)" >/dev/null
  cmake --install "$build" >/dev/null
fi
echo "-DCMAKE_PREFIX_PATH=$install"
echo "-DGTest_DIR=$install/lib/cmake/GTest"
