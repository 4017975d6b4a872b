#!/usr/bin/env bash
# The logic layer builds without Qt and X11; X11 headers sit on the default
# include path, so a stray include would compile. Catch it here instead.
#   scripts/check_pure_layer.sh <src-dir>
set -u
src=${1:?source folder}
hits=$(find "$src" -path "$src/*/qt" -prune -o -path "$src/platform/x11" -prune -o \
  -path "$src/platform/wlroots" -prune -o -path "$src/platform/kwin" -prune -o \
  \( -name '*.h' -o -name '*.cpp' \) -print | grep -v "^$src/main/main\.cpp$" |
  xargs grep -HnE '^\s*#\s*include\s*[<"](Q[A-Za-z]+|Qt[A-Za-z]+/|X11/|xcb/)' 2>/dev/null)
if [ -n "$hits" ]; then
  echo "Qt or X11 included in the logic layer:"
  echo "$hits"
  exit 1
fi
echo "logic layer free of Qt and X11"
