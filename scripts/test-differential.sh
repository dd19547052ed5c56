#!/usr/bin/env bash
# The differential stage: scripts/test-differential.sh [scenario... | console]
# Runs the table of tests/differential/differential.py with the Linux programs on
# the layer (build/) and with the Windows programs under Wine, a second
# implementation of Win32 that no one here wrote, and fails on any difference
# that tests/differential/accepted.txt does not list with its reason.
#
# Where this machine runs 32-bit programs natively, the Windows build's 32-bit
# programs (build-windows/) run under 32-bit Wine, the console included. Where
# they would run only under emulation (scripts/ia32-mode.sh), the runners'
# scenarios run as 64-bit Windows programs (build-windows64/) under 64-bit Wine,
# which shows the layer's 64-bit programs the same machine as the profile a
# 32-bit Windows gives (no WOW64, Program Files without "(x86)"); the console,
# 32-bit code only, has no Wine run there, and the stage says so.
# Wine runs in a prefix of its own in the build folder, with an X server of its
# own for windows; every wait is bounded.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
jobs=$(nproc)
cmake --build build -j"$jobs" --target ZoltInstaller ZoltUnInstaller cmd diff_setup >/dev/null

case $(scripts/ia32-mode.sh) in
  native)
    kind=win32 windows=build-windows
    cmake --build "$windows" -j"$jobs" --target ZoltInstaller ZoltUnInstaller DiffSetup KZ4Xelqdesk >/dev/null
    export WINEARCH=win32
    wine=wine ;;
  *)
    kind=win64 windows=build-windows64
    xerces=$(scripts/xerces-windows.sh x86_64)
    cmake -S . -B "$windows" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake \
          -DCMAKE_BUILD_TYPE=Release -DOMBRIX_XERCES_WINDOWS="$xerces" >/dev/null
    cmake --build "$windows" -j"$jobs" --target ZoltInstaller ZoltUnInstaller DiffSetup >/dev/null
    # Wine's 64-bit loader alone: its 32-bit half would run under the emulator.
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    wine=$WINELOADER ;;
esac
echo "Wine: $kind programs from $windows/bin"
export WINEPREFIX=$PWD/$windows/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$PWD/$windows/differential

display=""
cleanup() {
  timeout 30 wineserver -k 2>/dev/null || true
  if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

# An X server of the stage's own: Wine draws the windows of the programs there.
displayfd=$(mktemp)
Xvfb -displayfd 1 -screen 0 1920x1080x24 -nolisten tcp >"$displayfd" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
  display=$(head -n1 "$displayfd")
  [ -n "$display" ] && break
  sleep 0.1
done
rm -f "$displayfd"
[ -n "$display" ] || { echo "FAIL: Xvfb gave no display within 10 s"; exit 1; }
export DISPLAY=:$display

# The prefix is made once; its TEMP and TMP are set to what each run gives in
# DIFF_TEMP, so that the runner's temporary folder is the run's own.
if [ ! -f "$WINEPREFIX/.ombrix-ready" ]; then
  rm -rf "$WINEPREFIX"
  prefix_start=$SECONDS
  timeout 180 "$wine" wineboot --init
  for name in TEMP TMP; do
    timeout 60 "$wine" reg add 'HKCU\Environment' /v "$name" /t REG_EXPAND_SZ /d '%DIFF_TEMP%' /f >/dev/null
  done
  timeout 60 wineserver -w
  touch "$WINEPREFIX/.ombrix-ready"
  echo "Wine prefix made in $((SECONDS - prefix_start)) s"
fi
timeout 30 wineserver -p 30

status=0
python3 tests/differential/differential.py --kind "$kind" --wine "$wine" . build/bin "$windows/bin" "$work" "$@" || status=1

# The console: the same automation on the layer (build-m32/, built by
# scripts/test-m32.sh) and under Wine, and a screenshot of the frame as Wine draws it.
if [ $# -eq 0 ] || [[ " $* " == *" console "* ]]; then
  if [ "$kind" = win32 ]; then
    python3 tests/differential/console_differential.py . build-m32/bin "$windows/bin" "$work/console" \
            "$windows/console-frame.png" || status=1
  else
    echo "console: not run under Wine: it is 32-bit code, and Wine's 32-bit half cannot run on this machine (the kernel refuses 32-bit programs; under emulation Wine takes many minutes to start)"
  fi
fi
echo "Differential stage: $((SECONDS - start)) s"
exit $status
