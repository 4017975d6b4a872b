#!/usr/bin/env bash
# Runs one of the README's make targets the way a user would, on an already
# built tree, and checks what it leaves behind.
#   tests/targets/check_target.sh bundle|run <source-dir> <build-dir>
set -euo pipefail
target=${1:?target}
source_dir=$(cd "${2:?source folder}" && pwd)
build=$(cd "${3:?build folder}" && pwd)
exec </dev/null
work=$(mktemp -d)
group=
cleanup() {
    [ -n "$group" ] && kill -TERM -- "-$group" 2>/dev/null && wait "$group" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# The tree is built: only the recipe itself runs, quietly.
make_target() { make -s -C "$source_dir" "$@" BUILD="$build" BUNDLE_DIR="$work/dest" JOBS=2; }

case "$target" in
bundle)
    make_target bundle >"$work/make.log" 2>&1 || { cat "$work/make.log" >&2; fail "make bundle"; }
    app=$work/dest/Seamwright.app
    (cd "$work/dest" && find . -type f | sort) >"$work/files"
    printf './Seamwright.app/Contents/Info.plist\n./Seamwright.app/Contents/bin/seamwright\n' |
        cmp -s - "$work/files" || { cat "$work/files" >&2; fail "unexpected files"; }
    [ "$("$app/Contents/bin/seamwright" --version)" = "$("$build/seamwright" --version)" ] ||
        fail "--version of the bundle"
    version=$("$build/seamwright" --version | cut -d' ' -f2)
    grep -q "<string>$version</string>" "$app/Contents/Info.plist" || fail "version in Info.plist"
    ;;
run)
    # A private desktop (no DISPLAY), a dry run, and the program's files in here.
    mkdir -p "$work/home"
    env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" \
        XDG_STATE_HOME="$work/home/state" SEAMWRIGHT_DRY_RUN=1 \
        setsid make -s -C "$source_dir" run BUILD="$build" BUNDLE_DIR="$work/dest" JOBS=2 \
        >"$work/run.log" 2>&1 &
    group=$!
    log=$work/home/state/Seamwright/Seamwright.log
    for _ in $(seq 300); do
        grep -q "launch Seamwright" "$log" 2>/dev/null && break
        kill -0 "$group" 2>/dev/null || break
        sleep 0.1
    done
    grep -q "launch Seamwright" "$log" 2>/dev/null ||
        { cat "$work/run.log" >&2; fail "no launch line in the log"; }
    grep -q "^virtual desktop on display :" "$work/run.log" || fail "no private desktop announced"
    display=$(sed -n 's/^virtual desktop on display \(:[0-9]*\).*/\1/p' "$work/run.log")
    # The program reads the private desktop's two monitors.
    grep "launch Seamwright" "$log" | grep -q "1710x1112.*1280x960" || fail "launch line: $(cat "$log")"
    kill -TERM -- "-$group"
    wait "$group" 2>/dev/null || true
    group=
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] || break; sleep 0.1; done
    [ ! -e "/tmp/.X11-unix/X${display#:}" ] || fail "the private desktop $display outlived make run"
    ;;
*) fail "unknown target $target" ;;
esac
echo "make $target: ok"
