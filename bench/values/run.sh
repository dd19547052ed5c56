#!/usr/bin/env bash
# Runs the value library's benchmarks as 64-bit code (build/) and as 32-bit
# code (build-m32/, the width the console ships with) and prints, for each
# width, each median beside its anchor's from the same run with the ratio
# (ours / anchor; below 1 is faster than the anchor).
#   bench/values/run.sh [repetitions]
# Build both first: scripts/build.sh build and scripts/test-m32.sh.
set -euo pipefail
cd "$(dirname "$0")/../.."
repetitions=${1:-5}

compare() {
  "$1" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_enable_random_interleaving=true --benchmark_format=csv 2>/dev/null |
  awk -F, '
    function ns(value, unit) {
      return value * (unit == "s" ? 1e9 : unit == "ms" ? 1e6 : unit == "us" ? 1e3 : 1)
    }
    $1 ~ /_median"$/ {
      name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
      median[name] = ns($4, $5); unit[name] = $5; shown[name] = $4
    }
    END {
      n = split("Names_NameTable:Names_StdSetAnchor " \
                "AppendBytes_StringT:AppendBytes_StdStringAnchor " \
                "AppendBytes_VectorChar:AppendBytes_StdStringAnchor " \
                "AppendBytes_StringT:AppendBytes_VectorChar " \
                "Utf16Ascii_Utf16ToUtf8:Utf16Ascii_IconvAnchor " \
                "Utf16Mixed_Utf16ToUtf8:Utf16Mixed_IconvAnchor", pairs, " ")
      printf "%-24s %14s   %-30s %14s   %s\n", "benchmark", "median cpu", "against", "median cpu", "ratio"
      for (i = 1; i <= n; i++) {
        split(pairs[i], p, ":"); ours = "BM_" p[1]; anchor = "BM_" p[2]
        if (!(ours in median) || !(anchor in median)) { printf "%s: missing result\n", pairs[i]; continue }
        printf "%-24s %11.1f %-2s   %-30s %11.1f %-2s   %.2f\n", p[1], shown[ours], unit[ours], \
               p[2], shown[anchor], unit[anchor], median[ours] / median[anchor]
      }
    }'
}

for width in 64 32; do
  binary=build/bench/values_bench
  [ "$width" = 32 ] && binary=build-m32/bench/values_bench
  [ -x "$binary" ] || { echo "run.sh: no benchmark program at $binary (build it first)" >&2; exit 1; }
  file -b "$binary" | grep -q "^ELF $width-bit" || { echo "run.sh: $binary is not $width-bit code" >&2; exit 1; }
  echo "== $width-bit code ($binary), medians of $repetitions runs"
  compare "$binary"
done
