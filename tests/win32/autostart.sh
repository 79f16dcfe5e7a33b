#!/bin/bash
# Autostart end to end: Dornava.exe started with an argument while a Run value exists rewrites it
# for its own folder; Wine's logon processing (wineboot) then starts that command line, and the
# program comes up hidden and keeps running. Once from a folder without blanks, once from one with
# blanks, where the path is quoted. Usage: autostart.sh WINE... DORNAVA_EXE. Exits 77 (skipped)
# without Xvfb or x11-utils.
set -u
source "$(dirname "$0")/wine_lib.sh"
take_arguments "$@"
needs Xvfb xev xprop wineserver

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
own_prefix
reg_set "$prefix" 'HKCU\Software\Brenlow\Dornava' 000 'R 00:05 - C:\Tapety\a.bmp'
start_map_watch "$prefix/xev.log"

# check_autostart FOLDER EXPECTED_RUN_VALUE
check_autostart() {
  local folder=$1 expected=$2 unix pid deadline pids
  unix=$prefix/drive_c/${folder#C:\\}
  unix=${unix//\\//}
  mkdir -p "$unix" && cp "$exe" "$unix/Dornava.exe" || fail "cannot copy $exe to $unix"
  reg_set "$prefix" "$run_key" Dornava 'C:\Old Place\Dornava A'

  in_prefix "$prefix" "$folder\\Dornava.exe" A &
  pid=$!
  deadline=$((SECONDS + 60))
  until [[ "$(reg_text "$prefix" "$run_key" Dornava)" == "$expected" ]]; do
    kill -0 "$pid" 2>/dev/null || fail "$folder: ended instead of running"
    ((SECONDS < deadline)) || fail "$folder: Run value still '$(reg_text "$prefix" "$run_key" Dornava)'"
    sleep 0.5
  done
  WINEPREFIX=$prefix wineserver -k
  wait "$pid" 2>/dev/null

  WINEPREFIX=$prefix timeout 60 "${wine[@]}" wineboot >/dev/null 2>&1 || fail "wineboot failed"
  deadline=$((SECONDS + 60))
  pids=
  while [[ -z "$pids" ]]; do
    ((SECONDS < deadline)) || fail "$folder: logon did not start Dornava"
    sleep 0.5
    pids=$(dornava_pids "$prefix" "$folder\\Dornava")
  done
  sleep 3  # long enough to show a window or to end, had it taken the wrong turn
  for pid in $pids; do
    kill -0 "$pid" 2>/dev/null || fail "$folder: the autostarted Dornava ended"
  done
  [[ $(mapped_windows) -eq 0 ]] || fail "$folder: a window was mapped"
  echo "$folder: Run value $expected, started at logon, running hidden"
  WINEPREFIX=$prefix wineserver -k
}

check_autostart 'C:\DornavaTest' 'C:\DornavaTest\Dornava A'
check_autostart 'C:\Program Files\Dornava Test' '"C:\Program Files\Dornava Test\Dornava" A'
