#!/bin/bash
# pcmanfm_qt_pixel.sh SET_WALLPAPER: a real PCManFM-Qt desktop, started as LXQt starts it on an
# X server and bus of the script's own, shows the one-colour picture set under a hostile name.
# shellcheck disable=SC2154,SC2015 source-path=SCRIPTDIR source=../support/lib.sh
source "$(dirname "$0")/../support/lib.sh"
shipped=/usr/share/pcmanfm-qt/lxqt/settings.conf
needs pcmanfm-qt
[[ -f $shipped ]] || { echo "no $shipped: skipped"; exit 77; }
own_session LXQt "$@"
# The desktop's profile begins as an LXQt session begins it, from the one shipped for LXQt.
mkdir -p "$XDG_CONFIG_HOME/pcmanfm-qt/lxqt" && cp "$shipped" "$_" || fail "cannot copy $shipped"
picture=$work/"-a b'\"\$(touch pwned) ž.png" && one_colour "$picture" '#1F9D55'
quietly pcmanfm-qt --desktop --profile=lxqt
# Refused until pcmanfm-qt is on the bus.
wait_for 30 "the backend to see the desktop take the picture" "$1" "$picture"
wait_for 20 "the desktop to show the picture" shows '#1F9D55'
