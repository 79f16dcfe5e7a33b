#!/bin/bash
# xfdesktop_pixel.sh SET_WALLPAPER: a real xfdesktop on an X server and a session bus of the
# script's own: the backend sets one-colour pictures under hostile names, before the desktop
# starts and while it runs, and the screen shows each colour.
# shellcheck disable=SC2154 source-path=SCRIPTDIR source=../support/lib.sh
source "$(dirname "$0")/../support/lib.sh"
needs xfdesktop xfwm4
own_session XFCE "$@"
first=$work/"-a b'\"\$(touch pwned) ž.png" next=$work/'next, 100% #2.png'
one_colour "$first" '#12A456' && one_colour "$next" '#A41256'
# The store holds no backdrop yet: the backend makes one for the screen the display shows.
"$1" "$first" || fail "the backend found no screen to make a backdrop for"
# xfdesktop draws a backdrop it finds at start only once a window manager names the workspace.
quietly xfwm4 --sm-client-disable --compositor=off
quietly xfdesktop --sm-client-disable --disable-wm-check
wait_for 30 "the desktop to show the picture" shows '#12A456'
"$1" "$next" || fail "the backend says the running desktop refused the picture"
wait_for 20 "the desktop to show the next picture" shows '#A41256'
