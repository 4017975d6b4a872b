#!/usr/bin/env bash
# Builds the benchmark programs of a build folder and runs every one of them;
# fails when one is missing or fails.
#   scripts/bench.sh <build-dir> [options for every benchmark program]
set -euo pipefail
build=${1:?build folder}
shift
source_dir=$(cd "$(dirname "$0")/.." && pwd)
cmake --build "$build" --target benchmarks -j "${JOBS:-2}"
count=0
for source in "$source_dir"/bench/bench_*.cpp; do
  name=$(basename "$source" .cpp)
  program="$build/bench/$name"
  [ -x "$program" ] || { echo "bench.sh: $program was not built" >&2; exit 1; }
  echo "== $name"
  "$program" "$@"
  count=$((count + 1))
done
[ "$count" -gt 0 ] || { echo "bench.sh: no benchmarks in $source_dir/bench" >&2; exit 1; }
echo "ran $count benchmarks"
