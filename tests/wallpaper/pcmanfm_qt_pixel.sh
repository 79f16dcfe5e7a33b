#!/bin/bash
# pcmanfm_qt_pixel.sh SET_WALLPAPER: a real PCManFM-Qt desktop, started as LXQt starts it on an
# X server and bus of the script's own, shows the one-colour picture set under a hostile name.
source "$(dirname "$0")/../support/lib.sh"
tool=$1 colour='#1F9D55' shipped=/usr/share/pcmanfm-qt/lxqt/settings.conf
if [[ ${2-} != --on-bus ]]; then
  needs pcmanfm-qt Xvfb dbus-run-session import convert
  [[ -f $shipped ]] || { echo "no $shipped: skipped"; exit 77; }
  work=$(mktemp -d "${TMPDIR:-/tmp}/dornava-lxqt.XXXXXX") || fail "no temporary folder"
  scratch+=("$work")
  own_display "$work"
  # Set before the bus starts, so nothing it starts writes elsewhere. The desktop's profile
  # begins as an LXQt session begins it, from the one shipped for LXQt.
  export HOME=$work XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache \
    XDG_RUNTIME_DIR=$work GIO_USE_VFS=local XDG_CURRENT_DESKTOP=LXQt
  mkdir -p "$work/config/pcmanfm-qt/lxqt" && cp "$shipped" "$work/config/pcmanfm-qt/lxqt/"
  dbus-run-session -- bash "$0" "$tool" --on-bus "$work"
  exit
fi

picture=$3/"-a b'\"\$(touch pwned) ž.png"
convert -size 64x48 "xc:$colour" "png:$picture" || fail "convert failed"
pcmanfm-qt --desktop --profile=lxqt >/dev/null 2>&1 &
background+=($!)
# Refused until pcmanfm-qt is on the bus.
wait_for 30 "the backend to see the desktop take the picture" "$tool" "$picture"
shows() { [[ $(import -window root -crop 1x1+400+300 -depth 8 txt:- 2>/dev/null) == *$colour* ]]; }
wait_for 20 "the desktop to show the picture" shows
