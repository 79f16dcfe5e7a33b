#!/bin/bash
# shellcheck disable=SC2154,SC2015,SC2317  # variables set by the library; "a && b || fail"
# Dornava.exe end to end under Wine, one run of each real process path, in one prefix: 1. on an
# empty schedule, with an argument, it ends at once; 2. on a schedule it rewrites the Run value
# for its own folder (quoted: it has a blank) and switches the wallpaper on its first tick, the due
# entries in list order; meanwhile 3. the logon (wineboot) starts the Run value's command line,
# hidden, and the window tests (WINDOWS_TESTS) run; 4. the session ends while an entry is being
# changed: it is back before the program goes. Exits 77 (skipped) without Xvfb or xdotool.
# Usage: WINDOWS_TESTS=EXE whole_program.sh WINE... DORNAVA_EXE
set -u
# shellcheck source-path=SCRIPTDIR source=../support/lib.sh
source "$(dirname "$0")/../support/lib.sh"
(($# >= 2)) && wine=("${@:1:$#-1}") exe="${!#}" || fail "usage: $0 WINE... EXE"
needs Xvfb xdotool wineserver

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
schedule='HKCU\Software\Brenlow\Dornava'
program='C:\Dornava Test\Dornava.exe'
# reg_is KEY NAME TEXT: whether the value holds that text (nothing: missing).
reg_is() {
  [[ "$(in_prefix "$prefix" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^    $2    REG_SZ    //p")" == "$3" ]]
}

own_prefix
mkdir "$prefix/drive_c/Dornava Test" && cp "$exe" "$prefix/drive_c/Dornava Test/Dornava.exe" ||
  fail "cannot prepare the prefix"
# Unmanaged windows: with no window manager to answer, Wine waits a second on every hide.
reg_set "$prefix" 'HKCU\Software\Wine\X11 Driver' Managed N

echo "1. empty schedule, started with an argument"
WINEPREFIX=$prefix timeout 30 "${wine[@]}" "$program" A || fail "exit code $?"

echo "2. the wallpaper switched on the first tick"
# The tick comes 60 s after the start: it falls in the minute after the start as long as the
# program is up before the current minute ends.
while ((10#$(date +%S) >= 45)); do sleep 1; done
reg_set "$prefix" "$schedule" 000 'R 00:01 - C:\relative.bmp'
reg_set "$prefix" "$schedule" 001 "S $(date -d '+1 minute' +%H:%M) - C:\\clock.bmp"
reg_set "$prefix" "$run_key" Dornava 'C:\Elsewhere\Dornava A'
in_prefix "$prefix" "$program" A &
switcher=$!
background+=("$switcher")
started=$SECONDS
# The Run value is rewritten after the schedule is read: from then on the registry is free.
wait_for 30 "the Run value rewritten" reg_is "$run_key" Dornava '"C:\Dornava Test\Dornava" A'

echo "3. started at logon through the Run value"
# Entries due in half an hour: the autostarted copy keeps running and changes nothing meanwhile.
reg_set "$prefix" "$schedule" 000 'R 00:30 - C:\relative.bmp'
reg_set "$prefix" "$schedule" 001 'R 00:30 - C:\clock.bmp'
WINEPREFIX=$prefix timeout 60 "${wine[@]}" wineboot >/dev/null 2>&1 || fail "wineboot failed"
# Wine shows a process's Windows command line, unquoted, in place of the Unix one.
autostarted() {
  local pid
  for pid in $(pgrep -f '^C:.Dornava Test.Dornava A'); do
    grep -qzxF "WINEPREFIX=$prefix" "/proc/$pid/environ" 2>/dev/null && return
  done
  return 1
}
wait_for 60 "the logon to start Dornava" autostarted
sleep 3 # long enough to show a window or to end, had it taken the wrong turn
autostarted && kill -0 "$switcher" || fail "a Dornava ended"
[[ -z $(xdotool search --onlyvisible --name Dornava) ]] || fail "a window was shown"

in_prefix "$prefix" "$WINDOWS_TESTS" >"$prefix/windows_tests.log" 2>&1 &
tests=$!
switched() { reg_is 'HKCU\Control Panel\Desktop' Wallpaper 'C:\clock.bmp'; }
wait_for $((100 - SECONDS + started)) "the wallpaper switch" switched
((SECONDS - started >= 59)) || fail "the wallpaper switched before the first tick"
wait "$tests" || fail "the window tests failed: $(cat "$prefix/windows_tests.log")"
switched || fail "the due entries were not applied in list order"

echo "4. the session ends while an entry is being changed"
reg_set "$prefix" "$schedule" 000 'S 07:00 - C:\rano.bmp'
reg_set "$prefix" "$schedule" 001 'S 19:00 - C:\vecer.bmp'
in_prefix "$prefix" "$program" &
editing=$!
background+=("$editing")
main=$(wait_window '^Dornava [0-9.]*$')
# Upravit, on the first entry: (133, 256) in the 446 x 285 client area, which Wine's frame holds.
eval "$(xdotool getwindowgeometry --shell "$main")"
border=$(((WIDTH - 446) / 2))
xdotool mousemove --window "$main" $((border + 133)) $((HEIGHT - 285 - border + 256)) click 1
wait_window 'nastaven' >/dev/null
wait_for 15 "the entry being changed taken out" reg_is "$schedule" 001 ''
WINEPREFIX=$prefix timeout 60 "${wine[@]}" wineboot --end-session >/dev/null 2>&1 ||
  fail "wineboot --end-session failed"
ended() { ! kill -0 "$editing" 2>/dev/null; }
wait_for 30 "the program to end" ended
reg_is "$schedule" 000 'S 19:00 - C:\vecer.bmp' && reg_is "$schedule" 001 'S 07:00 - C:\rano.bmp' ||
  fail "the entry was not put back"
echo "all four paths passed"
