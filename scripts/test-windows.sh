#!/usr/bin/env bash
# The Windows cross build: scripts/test-windows.sh [folder, default build-windows]
# Builds the system's sources with the mingw-w64 toolchain against the real Windows
# headers, then checks what came out: an object for every system source, 32-bit
# GUI programs that need no DLL of the compiler, the programs' resources, and the
# layer's declarations against the Windows headers.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-windows}
start=$SECONDS
failed=0
fail() { echo "FAIL: $*"; failed=1; }

cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$dir" -j"$(nproc)"

# check_objects <target> <sources...>: each source has its 32-bit COFF object.
check_objects() {
  local target=$1; shift
  local list=$dir/windows/objects/$target.txt
  [ -f "$list" ] || { fail "$target: no object list"; return; }
  local source object
  for source in "$@"; do
    object=$(grep -F "/${source#./}.obj" "$list" || true)
    if [ -z "$object" ] || [ ! -f "$object" ]; then
      fail "$target: no object for $source"
    elif ! file -b "$object" | grep -q '^Intel 80386 COFF object file'; then
      fail "$target: $object is $(file -b "$object")"
    fi
  done
}
shopt -s nullglob
check_objects ZoltInstaller_objects runner/*.cpp runner/install/*.cpp
check_objects ZoltUnInstaller_objects runner/*.cpp runner/removal/*.cpp
check_objects ombrix_values_objects values/src/*.cpp
mapfile -t console_sources < <(find console framework -name '*.cpp' 2>/dev/null | sort)
for source in "${console_sources[@]}"; do
  check_objects "ombrix_${source%%/*}_objects" "$source"
done

# A runner is a program when it links; until a Windows build of Xerces-C is at
# hand, the link may lack Xerces-C and nothing else (cmake/LinkRunner.cmake).
for program in ZoltInstaller ZoltUnInstaller; do
  missing=$dir/windows/link/$program.xerces-symbols.txt
  if [ -f "$dir/bin/$program.exe" ]; then
    echo "$program.exe: linked"
  elif [ -s "$missing" ]; then
    echo "$program.exe: compiled; its link lacks only Xerces-C ($(wc -l <"$missing") symbols, $missing)"
  else
    fail "$program: neither linked nor stopped by Xerces-C alone"
  fi
done

for program in "$dir"/bin/*.exe; do
  kind=$(file -b "$program")
  case $kind in
    "PE32 executable (GUI) Intel 80386, for MS Windows"*) ;;
    *) fail "$program is $kind" ;;
  esac
  dlls=$(i686-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p')
  for dll in $dlls; do
    case $dll in lib*) fail "$program needs the compiler's $dll" ;; esac
  done
  i686-w64-mingw32-objdump -h "$program" | grep -q ' \.rsrc ' || fail "$program has no resources"
done

python3 tests/resources/check_resources.py "$dir/resources" || failed=1
python3 tests/windows/check_layer_declarations.py . "$dir/layer-declarations" \
        i686-w64-mingw32-g++-posix "${CXX:-g++}" || failed=1

echo "Windows build and checks: $((SECONDS - start)) s"
exit $failed
