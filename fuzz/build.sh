#!/bin/sh
# Builds the libFuzzer targets outside the CMake build (clang with libclang-rt-14-dev):
#   fuzz/build.sh [out-dir]
#   mkdir -p corpus && cp fuzz/seeds/parse_edid/* corpus/ && out/fuzz_parse_edid -runs=1000000 corpus
# Seeds: fuzz/seeds/<target without "fuzz_">/ for each target; an input that
# made a target fault goes to fuzz/regressions/<target without "fuzz_">/ once
# mended. The normal build replays both through each target (ctest fuzz_replay).
# fuzz_settings_file saves through fsync once an input: give it TMPDIR=/dev/shm,
# or a disk's flushes set its pace (about a hundred inputs a second).
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
    "$src/update/support_switch.cpp" "$src/update/web_address.cpp" "$src/base/settings_store.cpp"
clang++ $flags -o "$out/fuzz_hot_key" "$here/fuzz_hot_key.cpp" "$src/shell/hot_key_spec.cpp" \
    "$src/base/settings_store.cpp" "$src/base/platform_words.cpp" "$src/base/text.cpp"

# The targets over the Qt side need the Qt and library flags, and the version
# header the build generates.
mkdir -p "$out/generated/main"
sed -e 's/@PROJECT_VERSION@/0.0.0/' -e 's/@SEAM_BUNDLE_ID@/io.github.seamwright.Seamwright/' \
    "$src/main/version.h.in" > "$out/generated/main/version.h"
qt="-I$out/generated $(pkg-config --cflags Qt6Widgets) -fPIC"
qtlibs="$(pkg-config --libs Qt6Widgets)"
main_sources="$src/base/settings_store.cpp $src/base/log.cpp $src/base/text.cpp $src/base/dry_run.cpp $src/base/atomic_file.cpp $src/base/platform_words.cpp"
clang++ $flags $qt -o "$out/fuzz_settings_file" "$here/fuzz_settings_file.cpp" \
    "$src/base/qt/prefs.cpp" $main_sources "$src"/layouts/*.cpp "$src/shell/hot_key_spec.cpp" \
    "$src"/update/*.cpp "$src"/geometry/*.cpp $qtlibs -lutf8proc
clang++ $flags $qt -o "$out/fuzz_photo" "$here/fuzz_photo.cpp" "$src/photo/qt/photo_loader.cpp" \
    "$src/photo/photo_aligner.cpp" "$src/geometry/geometry.cpp" "$src/base/text.cpp" "$src/base/platform_words.cpp" $qtlibs $(pkg-config --libs libheif)
clang++ $flags $qt -o "$out/fuzz_update_archive" "$here/fuzz_update_archive.cpp" \
    "$src/update/qt/zip_unpack.cpp" $(pkg-config --libs libarchive)
echo "built in $out"
