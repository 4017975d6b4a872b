#!/usr/bin/env bash
# Replays every fuzz target (each fuzz/fuzz_<target>.cpp) on its seeds and on
# the crash inputs kept from fuzzing, through the replay programs of the build:
#   fuzz/replay.sh FUZZ_SOURCE_DIR REPLAY_BINARY_DIR
# A target without its replay program or either folder fails.
set -uo pipefail
src=$1
bin=$2
# The targets' scratch files go with this run.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch

failed=()
targets=0
for source in "$src"/fuzz_*.cpp; do
    [ -e "$source" ] || break
    target=$(basename "$source" .cpp)
    target=${target#fuzz_}
    targets=$((targets + 1))
    "$bin/replay_$target" "$src/seeds/$target" "$src/regressions/$target" || failed+=("$target")
done
if [ "$targets" -eq 0 ]; then
    echo "fuzz replay: no fuzz target in $src"
    exit 1
fi
if [ "${#failed[@]}" -gt 0 ]; then
    echo "fuzz replay: failed for ${failed[*]}"
    exit 1
fi
echo "fuzz replay: $targets targets, no fault"
