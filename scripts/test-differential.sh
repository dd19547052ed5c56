#!/usr/bin/env bash
# The differential stage: scripts/test-differential.sh [scenario...]
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
echo "Differential stage: $((SECONDS - start)) s"
exit $status
