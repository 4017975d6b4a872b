#!/bin/sh
# Builds the libFuzzer targets outside the CMake build (clang with libclang-rt-14-dev):
#   fuzz/build.sh [out-dir]
#   mkdir -p corpus && cp fuzz/seeds/edid/* corpus/ && out/fuzz_parse_edid -runs=1000000 corpus
# (fuzz/seeds/layout holds a layout file for fuzz_layout_file.)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/../scripts/deps.sh" fuzz
src="$here/../src"
out=${1:-"$here/out"}
mkdir -p "$out"
flags="-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$src"

clang++ $flags -o "$out/fuzz_parse_edid" "$here/fuzz_parse_edid.cpp" \
    "$src/layouts/edid_info.cpp" "$src/layouts/unicode_text.cpp" "$src/layouts/display_ident.cpp" \
    -lutf8proc
clang++ $flags -o "$out/fuzz_layout_file" "$here/fuzz_layout_file.cpp" \
    "$src/layouts/layout_file.cpp"
clang++ $flags -o "$out/fuzz_feed" "$here/fuzz_feed.cpp" "$src/update/update_feed.cpp" \
    "$src/update/support_switch.cpp" "$src/update/web_address.cpp" "$src/main/settings_store.cpp"
echo "built in $out"
