#!/usr/bin/env bash
# Runs the install run beside its shell anchor and prints both medians, the
# runner's own overhead (runner - anchor) and the ratio (runner / anchor).
#   bench/launcher/run.sh [path/to/launcher_bench] [repetitions]
set -euo pipefail
cd "$(dirname "$0")/../.."
binary=${1:-build/bench/launcher_bench}
repetitions=${2:-10}
[ -x "$binary" ] || { echo "run.sh: no benchmark program at $binary (build it first)" >&2; exit 1; }

"$binary" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null |
awk -F, '
  $1 ~ /_median"$/ {
    name = $1; gsub(/"/, "", name); sub(/\/real_time_median$/, "", name); sub(/_median$/, "", name)
    median[name] = $3 * ($5 == "s" ? 1e3 : $5 == "us" ? 1e-3 : $5 == "ns" ? 1e-6 : 1)   # in ms
  }
  END {
    runner = median["BM_Install_Runner"]; anchor = median["BM_Install_ShellAnchor"]
    if (runner == "" || anchor == "") { print "run.sh: missing result"; exit 1 }
    printf "%-34s %10.2f ms\n", "install run of ZoltInstaller", runner
    printf "%-34s %10.2f ms\n", "shell starting the setup program", anchor
    printf "%-34s %10.2f ms\n", "runner overhead (median)", runner - anchor
    printf "%-34s %10.2f\n", "ratio (runner / shell)", runner / anchor
  }'
