#!/usr/bin/env bash
# Starts Seamwright on the current X display, or on a private virtual desktop
# with two monitors when there is none.
#   scripts/run.sh path/to/seamwright [options for seamwright]
set -euo pipefail
program=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
state=${XDG_STATE_HOME:-$HOME/.local/state}
echo "log: $state/Seamwright/Seamwright.log"

if [ -n "${DISPLAY:-}" ] && xset q >/dev/null 2>&1; then
  echo "starting on display $DISPLAY"
  exec "$program" "$@"
fi

# Private desktop: Xorg with the dummy driver, a built-in panel and a monitor beside it.
number=
for n in $(seq 20 49); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then number=$n; break; fi
done
[ -n "$number" ] || { echo "no free display number" >&2; exit 1; }
export DISPLAY=":$number"
xorg_log="/tmp/seamwright-xorg-$number.log"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT INT TERM

Xorg "$DISPLAY" -config "$here/xdummy.conf" -noreset -nolisten tcp -novtswitch -sharevts \
  -logfile "$xorg_log" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  xset q >/dev/null 2>&1 && break
  sleep 0.1
done
xset q >/dev/null 2>&1 || { echo "Xorg did not start; see $xorg_log" >&2; exit 1; }

xrandr --newmode seam1710x1112 128.13 1710 1750 1800 1870 1112 1115 1120 1142 -hsync +vsync
xrandr --newmode seam1280x960 83.09 1280 1320 1370 1440 960 963 968 990 -hsync +vsync
for output in DUMMY0 DUMMY1; do
  for mode in seam1710x1112 seam1280x960; do xrandr --addmode "$output" "$mode"; done
done
xrandr --output DUMMY0 --mode seam1710x1112 --pos 0x0 --primary \
  --output DUMMY1 --mode seam1280x960 --pos 1710x0
xrandr >/dev/null  # a probe makes the newly lit output read as connected
xsetroot -solid '#3b4252' 2>/dev/null || true

# A tray host for the status icon, at the top right of the built-in panel.
trayer --edge top --align right --widthtype request --height 28 --monitor 0 \
  --transparent false --tint 0x202020 >/dev/null 2>&1 &
pids+=($!)

echo "virtual desktop on display $DISPLAY (DUMMY0 1710x1112 built-in at 0,0; DUMMY1 1280x960 right of it)"
if command -v convert >/dev/null; then
  echo "  look at it:  DISPLAY=$DISPLAY xwd -root -silent | convert xwd:- desktop.png"
else
  echo "  look at it:  DISPLAY=$DISPLAY xwd -root -silent -out desktop.xwd"
fi
if command -v x11vnc >/dev/null; then
  x11vnc -display "$DISPLAY" -localhost -nopw -forever -quiet -rfbport $((5900 + number)) \
    >/dev/null 2>&1 &
  pids+=($!)
  echo "  or watch it: a VNC viewer at localhost:$((5900 + number))"
fi
echo "  drive it:    DISPLAY=$DISPLAY xdotool / xrandr; stop with Ctrl-C"
"$program" "$@" &
pids+=($!)
wait "${pids[-1]}"
