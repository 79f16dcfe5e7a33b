#!/bin/bash
# The desktop session ends while an entry is being changed: Dornava.exe shows its editor on the
# first of two entries (which takes it out of the schedule), then Wine ends the session as a
# log-off would. The entry must be back in the registry, after the other, when the program is
# gone. Usage: session_end.sh WINE... DORNAVA_EXE. Exits 77 (skipped) without Xvfb or xdotool.
set -u
source "$(dirname "$0")/wine_lib.sh"
take_arguments "$@"
needs Xvfb xdotool wineserver

schedule='HKCU\Software\Brenlow\Dornava'
own_prefix
cp "$exe" "$prefix/drive_c/Dornava.exe" || fail "cannot copy $exe"
reg_set "$prefix" "$schedule" 000 'S 07:00 - C:\rano.bmp'
reg_set "$prefix" "$schedule" 001 'S 19:00 - C:\vecer.bmp'

# wait_window REGEX: prints the X id of the visible window of that title once it is there.
wait_window() {
  local deadline=$((SECONDS + 60)) id=
  while [[ -z "$id" ]]; do
    kill -0 "$pid" 2>/dev/null || fail "Dornava.exe ended while waiting for '$1'"
    ((SECONDS < deadline)) || fail "no window '$1' within 60 s"
    sleep 0.5
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
  done
  echo "$id"
}

in_prefix "$prefix" 'C:\Dornava.exe' &
pid=$!
background+=("$pid")
window=$(wait_window '^Dornava 1\.1$')

# "Upravit" on the selected first entry; the client area is 446 x 285 pixels at 96 dpi, in the X
# window or in a frame Wine draws around it.
eval "$(xdotool getwindowgeometry --shell "$window")"
border=$(((WIDTH - 446) / 2))
top=$((HEIGHT - 285 - border))
xdotool mousemove --window "$window" $((border + 133)) $((top + 256)) click 1
wait_window 'nastaven' >/dev/null
deadline=$((SECONDS + 15))
until [[ -z "$(reg_text "$prefix" "$schedule" 001)" ]]; do
  ((SECONDS < deadline)) || fail "the entry being changed is still stored"
  sleep 0.5
done
[[ "$(reg_text "$prefix" "$schedule" 000)" == 'S 19:00 - C:\vecer.bmp' ]] ||
  fail "while editing, 000 is '$(reg_text "$prefix" "$schedule" 000)'"

WINEPREFIX=$prefix timeout 60 "${wine[@]}" wineboot --end-session >/dev/null 2>&1 ||
  fail "wineboot --end-session failed"
deadline=$((SECONDS + 30))
while kill -0 "$pid" 2>/dev/null; do
  ((SECONDS < deadline)) || fail "still running 30 s after the session ended"
  sleep 0.5
done
first=$(reg_text "$prefix" "$schedule" 000)
second=$(reg_text "$prefix" "$schedule" 001)
[[ "$first" == 'S 19:00 - C:\vecer.bmp' && "$second" == 'S 07:00 - C:\rano.bmp' ]] ||
  fail "after the session ended: 000 '$first', 001 '$second'"
echo "the entry being changed was put back before the session ended"
