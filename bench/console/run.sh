#!/usr/bin/env bash
# Runs cMD5::DigestFile beside md5sum on the same 256 MiB file, as 64-bit code
# (build/) and as 32-bit code (build-m32/, the width the console ships with),
# and prints for each width the median wall times and throughputs with the
# ratio of throughputs (ours / md5sum; above 1 is faster than md5sum).
#   bench/console/run.sh [repetitions]
# Build both first: scripts/build.sh build and scripts/test-m32.sh.
set -euo pipefail
cd "$(dirname "$0")/../.."
repetitions=${1:-5}
command -v md5sum >/dev/null || { echo "run.sh: md5sum is missing" >&2; exit 1; }

compare() {
  "$1" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_enable_random_interleaving=true --benchmark_format=csv 2>/dev/null |
  awk -F, '
    $1 ~ /_median"$/ {
      name = $1; gsub(/"/, "", name); sub(/_median$/, "", name); sub(/\/.*$/, "", name)
      time[name] = $3; rate[name] = $6 / 1e6
    }
    END {
      ours = "BM_Md5_DigestFile"; anchor = "BM_Md5_Md5sumAnchor"
      if (!(ours in rate) || !(anchor in rate)) { print "run.sh: missing result" > "/dev/stderr"; exit 1 }
      printf "%-22s %12s %12s\n", "benchmark", "median ms", "MB/s"
      printf "%-22s %12.1f %12.1f\n", "cMD5::DigestFile", time[ours], rate[ours]
      printf "%-22s %12.1f %12.1f\n", "md5sum", time[anchor], rate[anchor]
      printf "ratio (ours / md5sum): %.3f\n", rate[ours] / rate[anchor]
    }'
}

for width in 64 32; do
  binary=build/bench/console_bench
  [ "$width" = 32 ] && binary=build-m32/bench/console_bench
  [ -x "$binary" ] || { echo "run.sh: no benchmark program at $binary (build it first)" >&2; exit 1; }
  file -b "$binary" | grep -q "^ELF $width-bit" || { echo "run.sh: $binary is not $width-bit code" >&2; exit 1; }
  echo "== $width-bit code ($binary), medians of $repetitions runs"
  compare "$binary"
done
