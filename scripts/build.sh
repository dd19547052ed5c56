#!/usr/bin/env bash
# Configures and builds one build folder: scripts/build.sh <folder> [cmake options...]
# The configure output is kept in <folder>/configure.log and shown when it fails.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
mkdir -p "$dir"
log=$dir/configure.log
if ! cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >"$log" 2>&1; then
  cat "$log" >&2
  echo "build.sh: configuring $dir failed; its output is in $log" >&2
  exit 1
fi
cmake --build "$dir" -j"$(nproc)"
