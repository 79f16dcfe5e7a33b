#!/bin/bash
# Dornava.exe on an empty schedule. Started with an argument it ends at once with code 0 and never
# maps a window, having rewritten a Run value present at the start. Started without one it shows
# its window with the Autostart box checked; clicks on the box delete and rewrite the Run value,
# and Start ends the program with code 0. Usage: empty_schedule.sh WINE... DORNAVA_EXE. Exits 77
# (skipped) without Xvfb or x11-utils.
set -u
source "$(dirname "$0")/wine_lib.sh"
take_arguments "$@"
needs Xvfb xev xprop xdotool wineserver

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
own_prefix
mkdir "$prefix/drive_c/DornavaTest" && cp "$exe" "$prefix/drive_c/DornavaTest/Dornava.exe" ||
  fail "cannot copy $exe"
reg_set "$prefix" "$run_key" Dornava 'C:\Elsewhere\Dornava A'
start_map_watch "$prefix/xev.log"

started=$SECONDS
WINEPREFIX=$prefix timeout 60 "${wine[@]}" 'C:\DornavaTest\Dornava.exe' A
status=$?
elapsed=$((SECONDS - started))
[[ $status -eq 0 ]] || fail "exit code $status"
((elapsed <= 20)) || fail "took ${elapsed} s to end"
sleep 1  # lets xev log anything the server still had to report
[[ $(mapped_windows) -eq 0 ]] || fail "a window was mapped"
run=$(reg_text "$prefix" "$run_key" Dornava)
[[ "$run" == 'C:\DornavaTest\Dornava A' ]] || fail "Run value is '$run'"
echo "ended with code 0 after ${elapsed} s, no window mapped, Run value rewritten"

# Without an argument the window is shown, which also proves the watch sees windows at all.
in_prefix "$prefix" 'C:\DornavaTest\Dornava.exe' &
pid=$!
background+=("$pid")
deadline=$((SECONDS + 60))
window=
while [[ -z "$window" ]]; do
  kill -0 "$pid" 2>/dev/null || fail "ended without an argument instead of showing its window"
  ((SECONDS < deadline)) || fail "no window within 60 s without an argument"
  sleep 0.5
  window=$(xdotool search --onlyvisible --name '^Dornava 1\.1$' 2>/dev/null | head -n 1)
done
(($(mapped_windows) > 0)) || fail "xev saw no window mapped, so its silence above proves nothing"

# The controls lie along the bottom of the client area, 446 x 285 pixels at 96 dpi; the X window
# is that area, or that area in a frame Wine draws itself (no window manager here).
eval "$(xdotool getwindowgeometry --shell "$window")"
border=$(((WIDTH - 446) / 2))
top=$((HEIGHT - 285 - border))
# click_at X Y: a click at that point of the client area, in pixels.
click_at() {
  xdotool mousemove --window "$window" $((border + $1)) $((top + $2)) click 1
}
# click_and_expect DESCRIPTION EXPECTED_RUN_VALUE: clicks Autostart, waits for the effect.
click_and_expect() {
  click_at 298 248
  local deadline=$((SECONDS + 15))
  until [[ "$(reg_text "$prefix" "$run_key" Dornava)" == "$2" ]]; do
    ((SECONDS < deadline)) || fail "$1: Run value '$(reg_text "$prefix" "$run_key" Dornava)'"
    sleep 0.5
  done
}
click_and_expect "unchecking Autostart" ''
click_and_expect "checking Autostart again" 'C:\DornavaTest\Dornava A'

click_at 401 256  # Start
deadline=$((SECONDS + 15))
while kill -0 "$pid" 2>/dev/null; do
  ((SECONDS < deadline)) || fail "still running 15 s after Start on an empty schedule"
  sleep 0.2
done
wait "$pid"
status=$?
[[ $status -eq 0 ]] || fail "Start on an empty schedule: exit code $status"
echo "without an argument: window shown, Autostart box toggled the Run value, Start ended with 0"
