#!/usr/bin/env bash
# Makes the Debian package from a built tree, checks what it holds, installs it on
# this machine, runs the installed program and removes the package again.
#   tests/package/check_package.sh <source-dir> <build-dir> <application-id>
# Exit 77 (skipped) for the install part when it cannot be done safely: not root
# without sudo, or a seamwright package already installed that is not ours to remove.
set -euo pipefail
source_dir=$(cd "${1:?source folder}" && pwd)
build=$(cd "${2:?build folder}" && pwd)
id=${3:?application id}
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 LANGUAGE= LANG=C.UTF-8
exec </dev/null

work=$(mktemp -d)
installed_by_us=false
sudo_cmd=()
cleanup() {
    if $installed_by_us; then "${sudo_cmd[@]}" dpkg -r seamwright >/dev/null 2>&1 || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Package, as make package makes it
version=$("$build/seamwright" --version | cut -d' ' -f2)
name=seamwright_${version}_$(dpkg --print-architecture).deb
rm -f "$build/$name"
make -s -C "$source_dir" package BUILD="$build" JOBS=2 >"$work/make.log" 2>&1 ||
    { cat "$work/make.log" >&2; fail "make package"; }
mkdir "$work/out"
cp "$build/$name" "$work/out/" || fail "make package made no $name"
deb=$work/out/$name
echo "package: $name"

# Contents
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' >"$work/files"
cat "$work/files"
expected=(/usr/bin/seamwright
    "/usr/share/applications/$id.desktop"
    "/usr/share/icons/hicolor/scalable/apps/$id.svg"
    "/usr/share/metainfo/$id.metainfo.xml"
    /usr/share/man/man1/seamwright.1.gz
    /usr/share/doc/seamwright/copyright)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
# The tray's two tones, for light and dark panels.
for tone in tray-light tray-dark; do
    expected+=("/usr/share/icons/hicolor/scalable/status/$id-$tone.svg")
    for size in 16 22 24 32 48; do
        expected+=("/usr/share/icons/hicolor/${size}x${size}/status/$id-$tone.png")
    done
done
for f in "${expected[@]}"; do grep -qxF "$f" "$work/files" || fail "package lacks $f"; done
if grep -q "Seamwright.app" "$work/files"; then fail "the bundle is in the package"; fi
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for d in libqt6widgets6 libx11-6 libutf8proc2 qt6-qpa-plugins; do
    [[ ",$depends" == *", $d"* || ",$depends" == *",$d"* ]] || fail "Depends lacks $d"
done

# What the desktop, the software centres and man read
dpkg-deb -x "$deb" "$work/root"
root=$work/root
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop entry"
grep -qx "Icon=$id" "$root/usr/share/applications/$id.desktop" || fail "desktop entry icon"
if grep -q "^NoDisplay=true" "$root/usr/share/applications/$id.desktop"; then
    fail "desktop entry hidden from the menu"
fi
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || fail "metainfo"
mandoc -T lint -W warning "$root/usr/share/man/man1/seamwright.1.gz" || fail "man page"
warnings=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/seamwright.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man page: $warnings"
# A PNG's width and height stand big-endian at bytes 16 to 23.
for size in 16 22 24 32 48 64 128 256; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
done

# Install, run, remove
if [ "$(id -u)" -ne 0 ]; then
    sudo -n true 2>/dev/null || { echo "SKIP: installing needs root or sudo"; exit 77; }
    sudo_cmd=(sudo -n)
fi
status=$(dpkg-query -W -f='${db:Status-Status}' seamwright 2>/dev/null || true)
if [ -n "$status" ] && [ "$status" != not-installed ]; then
    echo "SKIP: a seamwright package is already here ($status); not touching it"
    exit 77
fi
chmod 755 "$work" "$work/out"
installed_by_us=true
"${sudo_cmd[@]}" apt-get install -y -q -o DPkg::Lock::Timeout=300 --no-install-recommends "$deb" \
    >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt-get install"; }
dpkg-query -L seamwright >"$work/owned"
[ "$(command -v seamwright)" = /usr/bin/seamwright ] || fail "seamwright is not /usr/bin/seamwright on PATH"
[ "$(/usr/bin/seamwright --version)" = "$("$build/seamwright" --version)" ] || fail "--version"
/usr/bin/seamwright --dump-menu >"$work/menu" || fail "--dump-menu exit status"
"$build/seamwright" --dump-menu >"$work/menu.built"
cmp -s "$work/menu" "$work/menu.built" || fail "--dump-menu differs from the built program's"
grep -qx "Check for Updates…" "$work/menu" || fail "--dump-menu lacks Check for Updates…"

"${sudo_cmd[@]}" dpkg -r seamwright >"$work/remove.log" 2>&1 ||
    { cat "$work/remove.log" >&2; fail "dpkg -r"; }
installed_by_us=false
status=$(dpkg-query -W -f='${db:Status-Status}' seamwright 2>/dev/null || true)
[ -z "$status" ] || [ "$status" = not-installed ] || fail "still registered after removal: $status"
left=0
while IFS= read -r f; do
    if [ -f "$f" ] || [ -L "$f" ]; then echo "left behind: $f" >&2; left=1; fi
done <"$work/owned"
[ $left -eq 0 ] || fail "files left after removal"
echo "installed, ran and removed cleanly"
