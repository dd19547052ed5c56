#!/usr/bin/env bash
# The Windows cross build: scripts/test-windows.sh [folder, default build-windows]
# Builds the system's sources with the mingw-w64 toolchain against the real Windows
# headers and links the programs with Xerces-C for Windows (scripts/xerces-windows.sh),
# then checks what came out: an object for every system source, 32-bit GUI
# programs that import Windows' own DLLs alone, the programs' resources, and the
# layer's declarations against the Windows headers.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-windows}
start=$SECONDS
failed=0
fail() { echo "FAIL: $*"; failed=1; }

xerces=$(scripts/xerces-windows.sh)
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release -DOMBRIX_XERCES_WINDOWS="$xerces" >/dev/null
cmake --build "$dir" -j"$(nproc)"

# check_objects <target> <sources...>: each source has its 32-bit COFF object.
check_objects() {
  local target=$1; shift
  local list=$dir/windows/objects/$target.txt
  [ -f "$list" ] || { fail "$target: no object list"; return; }
  local source object
  for source in "$@"; do
    # a target of the source's own folder names the object below its .dir/
    object=$(grep -F -e "/${source#./}.obj" -e ".dir/${source#*/}.obj" "$list" || true)
    if [ -z "$object" ] || [ ! -f "$object" ]; then
      fail "$target: no object for $source"
    elif ! file -b "$object" | grep -q '^Intel 80386 COFF object file'; then
      fail "$target: $object is $(file -b "$object")"
    fi
  done
}
# A variant's folder may hold headers alone.
variant_sources() { find "runner/$1" -name '*.cpp' | sort; }
check_objects ZoltInstaller_objects runner/*.cpp $(variant_sources install)
check_objects ZoltUnInstaller_objects runner/*.cpp $(variant_sources removal)
check_objects ombrix_values_objects values/src/*.cpp
mapfile -t console_sources < <(find console framework -name '*.cpp' | sort)
for source in "${console_sources[@]}"; do
  check_objects "ombrix_${source%%/*}_objects" "$source"
done

# Windows' own DLLs, which every Windows computer has in its system folder;
# a program that imports any other DLL would not start where it is copied alone.
system_dlls=" kernel32.dll user32.dll gdi32.dll shell32.dll shlwapi.dll ole32.dll oleaut32.dll mpr.dll advapi32.dll msvcrt.dll "

# check_program <file> <GUI|DLL> <resources|-> [DLL...]: a PE32 program or DLL
# for Intel 80386 that imports Windows' own DLLs alone (listed here), or one of
# the DLLs named, and has resources if asked.
check_program() {
  local name=$1 program=$dir/bin/$1 kind=$2 resources=$3
  shift 3
  local allowed="$system_dlls${*,,} "
  [ -f "$program" ] || { fail "$program was not linked"; return; }
  local found
  found=$(file -b "$program")
  case $kind:$found in
    "GUI:PE32 executable (GUI) Intel 80386, for MS Windows"*) ;;
    "DLL:PE32 executable (DLL) "*"Intel 80386, for MS Windows"*) ;;
    *) fail "$name is $found, not a $kind file" ;;
  esac
  local dlls dll
  dlls=$(i686-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')
  echo "$name imports: $dlls"
  for dll in $dlls; do
    case $allowed in
      *" ${dll,,} "*) ;;
      *) fail "$name imports $dll, which is not one of Windows' own DLLs" ;;
    esac
  done
  if [ "$resources" = resources ] && ! i686-w64-mingw32-objdump -h "$program" | grep -q ' \.rsrc '; then
    fail "$name has no resources"
  fi
}
check_program ZoltInstaller.exe GUI resources
check_program ZoltUnInstaller.exe GUI resources
check_program Setup.exe GUI -
check_program OmbrixWyl.dll DLL -
check_program OmbrixWylCanvas.dll DLL - OmbrixWyl.dll
check_program KZ4Xelqdesk.exe GUI resources OmbrixWyl.dll OmbrixWylCanvas.dll

python3 tests/resources/check_resources.py "$dir/resources" || failed=1
python3 tests/windows/check_layer_declarations.py . "$dir/layer-declarations" \
        i686-w64-mingw32-g++-posix "${CXX:-g++}" || failed=1

echo "Windows build and checks: $((SECONDS - start)) s"
exit $failed
