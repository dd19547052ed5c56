#!/usr/bin/env bash
# Builds the description reader's libFuzzer target with clang, outside the normal
# build, and runs it:
#   fuzz/reader/run.sh <seconds> [build folder, default build-fuzz] [libFuzzer flags...]
# Findings go to <build folder>/reader-artifacts/, the growing corpus to
# <build folder>/reader-corpus/ (the seeds of fuzz/reader/seeds/ start it).
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:?usage: fuzz/reader/run.sh <seconds> [build folder] [libFuzzer flags...]}
out=${2:-build-fuzz}
shift $(( $# < 2 ? $# : 2 ))
mkdir -p "$out/reader-corpus" "$out/reader-artifacts"

layer_sources=$(find platform/src -name '*.cpp' ! -name startup.cpp | sort)
layer_includes=$(find platform/src -mindepth 1 -type d | sort | sed 's/^/-I/')
clang++ -std=c++17 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined \
  -fno-sanitize-recover=undefined \
  -Irunner -Irunner/install -Ishared_log -Iplatform/include $layer_includes \
  -DWINLAYER_DEFAULT_SYSTEM_DIR="\"$PWD/$out\"" \
  fuzz/reader/fuzz_reader.cpp runner/xml_description_reader.cpp runner/log_file.cpp shared_log/log_path.cpp $layer_sources \
  -lxerces-c -o "$out/fuzz_reader"

# Each input is one whole reading; ten seconds for one is a hang.
"$out/fuzz_reader" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -dict=fuzz/reader/description.dict -artifact_prefix="$out/reader-artifacts/" "$@" \
  "$out/reader-corpus" fuzz/reader/seeds
