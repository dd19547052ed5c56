#!/usr/bin/env bash
# Runs a request's round trip through the console's dispatcher for
# "externalAppGetLocale" and "externalAppGetTempPath" beside a bare SendMessageW
# to a procedure that returns at once, and the parts of the trip alone; prints
# each median and its ratio to the bare send.
#   bench/dispatcher/run.sh [path/to/dispatcher_bench] [repetitions]
set -euo pipefail
cd "$(dirname "$0")/../.."
binary=${1:-build-m32/bench/dispatcher_bench}
repetitions=${2:-5}
[ -x "$binary" ] || { echo "run.sh: no benchmark program at $binary (build build-m32 first)" >&2; exit 1; }

"$binary" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
  --benchmark_enable_random_interleaving=true --benchmark_format=csv 2>/dev/null |
awk -F, '
  $1 ~ /_median"$/ {
    name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
    order[++n] = name; time[name] = $3; unit[name] = $5
  }
  END {
    anchor = "BM_BareSendMessage"
    if (!(anchor in time) || n < 2) { print "run.sh: missing result" > "/dev/stderr"; exit 1 }
    printf "%-40s %14s %10s\n", "benchmark", "median", "ratio"
    for (i = 1; i <= n; ++i) {
      name = order[i]
      printf "%-40s %11.1f %s %10.1f\n", name, time[name], unit[name], time[name] / time[anchor]
    }
    print "ratio: median time / median of a bare SendMessageW"
  }'
