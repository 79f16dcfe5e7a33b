#!/bin/bash
# A real xfdesktop on an X server and a session bus of the script's own: the backend sets
# one-colour pictures under hostile names, before the desktop starts and while it runs, and the
# screen shows each colour. Usage: xfdesktop_pixel.sh SET_WALLPAPER
# shellcheck source=../support/lib.sh
source "$(dirname "$0")/../support/lib.sh"
tool=$1 colour='#12A456'

if [[ ${2-} != --on-bus ]]; then
  needs xfdesktop xfwm4 Xvfb dbus-run-session import convert
  work=$(mktemp -d "${TMPDIR:-/tmp}/dornava-xfce.XXXXXX") || fail "no temporary folder"
  scratch+=("$work")
  own_display "$work"
  # Set before the bus starts, so the settings store it starts keeps its files in the scratch.
  export HOME=$work XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache \
    XDG_RUNTIME_DIR=$work GIO_USE_VFS=local NO_AT_BRIDGE=1 XDG_CURRENT_DESKTOP=XFCE
  dbus-run-session -- bash "$0" "$tool" --on-bus "$work"
  exit
fi

picture=$3/"-a b'\"\$(touch pwned) ž.png" next=$3/'next, 100% #2.png' next_colour='#A41256'
convert -size 64x48 "xc:$colour" "png:$picture" || fail "convert failed"
convert -size 64x48 "xc:$next_colour" "png:$next" || fail "convert failed"
shows() { [[ $(import -window root -crop 1x1+400+300 -depth 8 txt:- 2>/dev/null) == *"$1"* ]]; }
# The store holds no backdrop yet: the backend makes one for the screen the display shows.
"$tool" "$picture" || fail "the backend found no screen to make a backdrop for"
# xfdesktop draws a backdrop it finds at start only once a window manager names the workspace.
xfwm4 --sm-client-disable --compositor=off >/dev/null 2>&1 &
background+=($!)
xfdesktop --sm-client-disable --disable-wm-check >/dev/null 2>&1 &
background+=($!)
wait_for 30 "the desktop to show the picture" shows "$colour"
"$tool" "$next" || fail "the backend says the running desktop refused the picture"
wait_for 20 "the desktop to show the next picture" shows "$next_colour"
