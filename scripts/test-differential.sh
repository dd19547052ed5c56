#!/usr/bin/env bash
# The differential stage: scripts/test-differential.sh [scenario... | console]
# Runs the table of tests/differential/differential.py with the Linux programs on
# the layer (build/) and with the Windows programs under Wine (build-windows/), a
# second implementation of Win32 that no one here wrote, and fails on any
# difference that tests/differential/accepted.txt does not list with its reason.
# Wine runs in a prefix of its own under build-windows/, with an X server of its
# own for windows; every wait is bounded.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
cmake --build build -j"$(nproc)" --target ZoltInstaller ZoltUnInstaller cmd diff_setup >/dev/null
cmake --build build-windows -j"$(nproc)" --target ZoltInstaller ZoltUnInstaller DiffSetup >/dev/null

export WINEPREFIX=$PWD/build-windows/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win32
work=$PWD/build-windows/differential

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
  timeout 180 wineboot --init
  for name in TEMP TMP; do
    timeout 60 wine reg add 'HKCU\Environment' /v "$name" /t REG_EXPAND_SZ /d '%DIFF_TEMP%' /f >/dev/null
  done
  timeout 60 wineserver -w
  touch "$WINEPREFIX/.ombrix-ready"
  echo "Wine prefix made in $((SECONDS - prefix_start)) s"
fi
timeout 30 wineserver -p 30

status=0
python3 tests/differential/differential.py . build/bin build-windows/bin "$work" "$@" || status=1

# The console, once its entry is in the tree: the same automation on the layer
# (build-m32/, built by scripts/test-m32.sh) and under Wine, and a screenshot of
# the frame as Wine draws it.
if [ $# -eq 0 ] || [[ " $* " == *" console "* ]]; then
  if [ -f console/win_main.cpp ]; then
    cmake --build build-windows -j"$(nproc)" --target KZ4Xelqdesk >/dev/null
    python3 tests/differential/console_differential.py . build-m32/bin build-windows/bin "$work/console" \
            build-windows/console-frame.png || status=1
  else
    echo "console: its entry (console/win_main.cpp) is not in the tree yet; no console run"
  fi
fi
echo "Differential stage: $((SECONDS - start)) s"
exit $status
