#!/bin/bash
# shellcheck disable=SC2154,SC2015,SC2317  # variables set by the library; "a && b || fail"
# A stored schedule changes the wallpaper on the first tick, a minute after the start: a relative
# entry "R 00:01" (red) and then a clock entry for the minute after the start (blue), both due;
# the root window then shows the later one's colour, and nothing changed before the tick. The
# program starts with its window and Start is clicked, which hands the running state to the same
# process started with "A". With --memcheck it starts with "A" under valgrind, which must find no
# invalid access and nothing definitely lost when it is ended.
# Usage: switch_wallpaper.sh DORNAVA DORNAVA_REG [--memcheck].
# Exits 77 (skipped) without Xvfb, ImageMagick, xdotool or, asked for, valgrind.
set -u
# shellcheck source-path=SCRIPTDIR source=../support/lib.sh
source "$(dirname "$0")/../support/lib.sh"
needs Xvfb convert import xdotool
work=$(mktemp -d) && scratch+=("$work") || fail "no temporary folder"
launcher=()
if [[ ${3-} == --memcheck ]]; then
  needs valgrind
  launcher=(valgrind --leak-check=full --errors-for-leak-kinds=definite --log-file="$work/vg.log")
fi
export XDG_CONFIG_HOME=$work/config
# The root window is what is looked at: no desktop, compositor or bus may be chosen instead.
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION WAYLAND_DISPLAY SWAYSOCK HYPRLAND_INSTANCE_SIGNATURE \
  NIRI_SOCKET WAYFIRE_SOCKET LABWC_PID DORNAVA_WALLPAPER_COMMAND DBUS_SESSION_BUS_ADDRESS
convert -size 32x24 xc:red "BMP3:$work/red.bmp" &&
  convert -size 32x24 xc:blue "BMP3:$work/blue.bmp" || fail "cannot make pictures"
# The clock entry must fall in the minute after the start: keep clear of a minute's end.
while (($(date +%-S) >= 50)); do sleep 1; done
key='HKCU\Software\Brenlow\Dornava'
"$2" add "$key" /v 000 /d "R 00:01 - $work/red.bmp" /f >/dev/null &&
  "$2" add "$key" /v 001 /d "S $(date -d '+1 minute' +%H:%M) - $work/blue.bmp" /f >/dev/null ||
  fail "dornava-reg add"
own_display "$work"
pixel() { import -window root -crop 1x1+400+300 -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}'; }
if [[ ${launcher[*]} ]]; then "${launcher[@]}" "$1" A & else "$1" & fi
background+=($!)
if [[ ! ${launcher[*]} ]]; then
  xdotool mousemove --window "$(wait_window '^Dornava [0-9.]*$')" 401 256 click 1 # Start
  handed() { [[ $(tr '\0' ' ' <"/proc/${background[-1]}/cmdline") == "$1 A " ]]; }
  wait_for 10 "Start to hand the running state over" handed "$1"
fi
started=$SECONDS
blue() { [[ $(pixel) == '#0000FF' ]]; }
wait_for 100 "the root to show the later entry's blue" blue
((SECONDS - started >= 59)) || fail "the wallpaper changed $((SECONDS - started)) s after the start"
sleep 2
blue || fail "the root changed again to $(pixel)"
echo "the root shows the later entry's blue $((SECONDS - started)) s after the start"
[[ ${launcher[*]} ]] || exit 0
kill "${background[-1]}" && wait "${background[-1]}"
grep -q 'ERROR SUMMARY: 0 errors' "$work/vg.log" ||
  fail "valgrind: $(grep -A12 -m2 -E 'Invalid|definitely lost in' "$work/vg.log")"
