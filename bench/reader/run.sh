#!/usr/bin/env bash
# Runs the reader's benchmark and prints, for each size, the median wall time of
# XmlDescriptionReader::Process beside that of xmllint --noout on the same file,
# their ratio (ours / anchor), and how each grows from one size to the next ten
# times larger (10 is linear).
#   bench/reader/run.sh [path/to/reader_bench] [repetitions]
set -euo pipefail
cd "$(dirname "$0")/../.."
binary=${1:-build/bench/reader_bench}
repetitions=${2:-5}
[ -x "$binary" ] || { echo "run.sh: no benchmark program at $binary (build it first)" >&2; exit 1; }

"$binary" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null |
awk -F, '
  $1 ~ /_median"$/ {
    split($1, part, "/"); name = part[1]; gsub(/"/, "", name); size = part[2]
    ms = $3 * ($5 == "s" ? 1000 : $5 == "us" ? 0.001 : $5 == "ns" ? 0.000001 : 1)
    median[name, size] = ms
  }
  END {
    n = split("1000 10000 100000", sizes, " ")
    printf "%10s %14s %14s %8s %10s %10s\n", "properties", "Process ms", "xmllint ms", "ratio", "growth", "anchor"
    for (i = 1; i <= n; i++) {
      s = sizes[i]; ours = median["BM_Process", s]; anchor = median["BM_XmllintAnchor", s]
      if (ours == "" || anchor == "") { printf "%10s missing result\n", s; continue }
      growth = i > 1 ? sprintf("%.1f", ours / median["BM_Process", sizes[i - 1]]) : "-"
      anchor_growth = i > 1 ? sprintf("%.1f", anchor / median["BM_XmllintAnchor", sizes[i - 1]]) : "-"
      printf "%10s %14.2f %14.2f %8.2f %10s %10s\n", s, ours, anchor, ours / anchor, growth, anchor_growth
    }
  }'
