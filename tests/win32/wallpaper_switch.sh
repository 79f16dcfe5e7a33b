#!/bin/bash
# End to end: Dornava.exe started with an argument switches the wallpaper on its first tick, one
# minute after the start. The schedule holds a relative entry due on the first tick and a clock
# entry due in the minute after the start; both are applied in list order, so the later one's
# picture is left. Both orders run at once, each in a prefix of its own, since the wallpaper
# setting is one per user. Usage: wallpaper_switch.sh WINE... DORNAVA_EXE. Exits 77 (skipped)
# without an X display.
set -u
if [[ $# -lt 2 ]]; then
  echo "usage: $0 WINE... DORNAVA_EXE" >&2
  exit 2
fi
if [[ -z "${DISPLAY:-}" ]]; then
  echo "DISPLAY is not set: skipped (run under xvfb-run)"
  exit 77
fi
for tool in convert wineserver; do
  command -v "$tool" >/dev/null || { echo "$tool not found: skipped"; exit 77; }
done
wine=("${@:1:$#-1}")
exe="${!#}"
source "$(dirname "$0")/wine_lib.sh"

desktop='HKCU\Control Panel\Desktop'
schedule='HKCU\Software\Brenlow\Dornava'
relative='C:\Tapety Test\relative.bmp'
clock='C:\Tapety Test\clock.bmp'

first=$(reserve_prefix) && second=$(reserve_prefix) || fail "no temporary folder"
prefixes+=("$first" "$second")
boot_prefix "$first" &
boot_first=$!
boot_prefix "$second" &
boot_second=$!
wait "$boot_first" && wait "$boot_second" || fail "wineboot -i failed"
for prefix in "$first" "$second"; do
  pictures=$prefix/drive_c/Tapety\ Test
  mkdir "$pictures" && cp "$exe" "$prefix/drive_c/Dornava.exe" &&
    convert -size 16x16 xc:'#2040c0' BMP3:"$pictures/relative.bmp" &&
    convert -size 16x16 xc:'#40c040' BMP3:"$pictures/clock.bmp" || fail "cannot prepare $prefix"
done
before_first=$(reg_text "$first" "$desktop" Wallpaper)
before_second=$(reg_text "$second" "$desktop" Wallpaper)

# The first tick comes 60 s after the start, so it falls in the minute after the start as long as
# the program is up before the current minute ends: leave room for the schedule and Wine's start.
while ((10#$(date +%S) >= 45)); do sleep 1; done
due=$(date -d '+1 minute' +%H:%M)
seeding=()
reg_set "$first" "$schedule" 000 "R 00:01 - $relative" &
seeding+=($!)
reg_set "$first" "$schedule" 001 "S $due - $clock" &
seeding+=($!)
reg_set "$second" "$schedule" 000 "S $due - $clock" &
seeding+=($!)
reg_set "$second" "$schedule" 001 "R 00:01 - $relative" &
seeding+=($!)
for pid in "${seeding[@]}"; do
  wait "$pid" || fail "cannot write the schedule"
done

started=$EPOCHSECONDS
in_prefix "$first" 'C:\Dornava.exe' A &
run_first=$!
background+=("$run_first")
in_prefix "$second" 'C:\Dornava.exe' A &
run_second=$!
background+=("$run_second")

# Seconds from the start to the first change of the wallpaper setting, for each order.
changed_first=
changed_second=
while [[ -z "$changed_first" || -z "$changed_second" ]]; do
  ((EPOCHSECONDS - started < 95)) || fail "no wallpaper change within 95 s (R,S: ${changed_first:-none}; S,R: ${changed_second:-none})"
  kill -0 "$run_first" 2>/dev/null && kill -0 "$run_second" 2>/dev/null ||
    fail "Dornava.exe ended instead of running"
  sleep 1
  [[ -z "$changed_first" && "$(reg_text "$first" "$desktop" Wallpaper)" != "$before_first" ]] &&
    changed_first=$((EPOCHSECONDS - started))
  [[ -z "$changed_second" && "$(reg_text "$second" "$desktop" Wallpaper)" != "$before_second" ]] &&
    changed_second=$((EPOCHSECONDS - started))
done
sleep 2  # both entries of the tick have been applied by now
after_first=$(reg_text "$first" "$desktop" Wallpaper)
after_second=$(reg_text "$second" "$desktop" Wallpaper)
kill -0 "$run_first" 2>/dev/null && kill -0 "$run_second" 2>/dev/null ||
  fail "Dornava.exe ended after its first tick"

# The tick cannot come before 60 s: an earlier change is a timer armed wrong.
((changed_first >= 58 && changed_second >= 58)) ||
  fail "wallpaper changed after ${changed_first} s and ${changed_second} s, before the first tick"
# Had the machine been too slow to start Dornava within the minute, the tick misses the clock entry.
tick="tick at $(date -d "@$((started + changed_first))" +%H:%M:%S), clock entry $due"
[[ "$after_first" == "$clock" ]] || fail "order R,S ($tick): wallpaper '$after_first'"
[[ "$after_second" == "$relative" ]] || fail "order S,R ($tick): wallpaper '$after_second'"
echo "order R,S: $after_first after ${changed_first} s; order S,R: $after_second after ${changed_second} s"
