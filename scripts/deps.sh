#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
#   scripts/deps.sh          what building, running and testing need
#   scripts/deps.sh bench    also what the benchmarks compare against
#   scripts/deps.sh fuzz     also the fuzzing compiler and runtime
set -euo pipefail
packages=(
  cmake make g++ ccache libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev nlohmann-json3-dev dbus-daemon
  libx11-dev libxrandr-dev libxi-dev libxtst-dev libxext-dev libxrender-dev libxcb1-dev libx11-xcb-dev libxcb-randr0-dev
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-apps xauth trayer x11vnc xdotool
  i3-wm xfwm4
  libarchive-dev libheif-dev libjpeg-dev fonts-dejavu-core fonts-nanum
  # GNOME: a headless compositor on a private session bus, gdbus for reading it back
  mutter dbus dbus-bin libglib2.0-bin libdbus-1-dev
  # GNOME custom shortcuts through GSettings, with the schema of GNOME's media keys
  libglib2.0-dev gnome-settings-daemon-common
  # wlroots compositors: the protocol client library and scanner, and a headless sway for tests
  libwayland-dev wayland-protocols sway wlr-randr wtype qt6-wayland
  # KDE Plasma: KWin's protocol descriptions, and a headless KWin for tests with the display settings tool
  plasma-wayland-protocols kwin-wayland wayland-utils libkf5screen-bin
  # global shortcuts through the desktop portal and its KDE back end
  xdg-desktop-portal xdg-desktop-portal-kde
  # the Debian package: Unicode library, icon rendering, and what checks the result
  pkg-config libutf8proc-dev librsvg2-bin dpkg-dev desktop-file-utils appstream mandoc man-db
)
for extra in "$@"; do
  case "$extra" in
    # KDE's own output tool for the move benchmark, and the Qt 5 Wayland platform it runs on
    bench) packages+=(libopencv-dev libkf5screen-bin qtwayland5) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    *) echo "deps.sh: unknown set $extra" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
