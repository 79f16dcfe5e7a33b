#!/bin/bash
# shellcheck disable=SC2154,SC2015,SC2317 source-path=SCRIPTDIR source=../support/lib.sh
# The program starts on a registry file cut short, overwritten, another program's database, a folder,
# a link, unreadable or locked, and ends with code 0 when its window is closed: a damaged or foreign file is
# kept aside unchanged with a notice, then a fresh, private one works; one that cannot be opened
# stays. First, on an empty schedule and with an argument, it
# ends at once, silently, with code 0, and needs no display.
# Usage: damaged.sh DORNAVA DORNAVA_REG X11_CLOSE. Exits 77 (skipped) without Xvfb, xdotool or
# sqlite3.
set -u
source "$(dirname "$0")/../support/lib.sh"
needs Xvfb xdotool sqlite3
work=$(mktemp -d) && scratch+=("$work") || fail "no temporary folder"
said=$(env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$work/empty" timeout 20 "$1" A 2>&1) ||
  fail "exit code $? on an empty schedule"
[[ -z "$said" ]] || fail "on an empty schedule it said: $said"
export XDG_RUNTIME_DIR=$work && own_display "$work"
mkfifo "$work/input" && exec 9<>"$work/input" || fail "mkfifo" # keeps the locking sqlite3 open
dornava=$1 reg=$2 close=$3 key='HKCU\Software\Brenlow\Dornava' row=known
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
reg() { XDG_CONFIG_HOME=$work/$row "$reg" "$@" 2>&1; }
{ printf 'Windows Registry Editor Version 5.00\n\n[%s]\n' "${key/HKCU/HKEY_CURRENT_USER}"
  for i in {0..199}; do printf '"%03d"="S 07:%02d - /pictures/%d.bmp"\n' "$i" $((i % 60)) "$i"; done
} >"$work/known.reg"
reg import "$work/known.reg" >/dev/null && known=$(reg query "$key") || fail "import"
original=$work/known/dornava/registry.db size=$(stat -c %s "$original")
for row in cut{0,100,4096,$((size / 2)),$((size - 1))} page{0,5} foreign folder link unreadable busy; do
  outcome='' db=$work/$row/dornava/registry.db && install -Dm600 "$original" "$db" || fail "copy"
  case $row in
    cut*) truncate -s "${row#cut}" "$db" ;;
    page*) dd if=/dev/urandom of="$db" bs=4k seek="${row#page}" count=1 conv=notrunc status=none ;;
    foreign) rm "$db" && sqlite3 "$db" "CREATE TABLE notes(t); INSERT INTO notes VALUES('keep')" ;;
    folder) rm "$db" && mkdir "$db" ;;
    link) mv "$db" "$db.target" && chmod 644 "$db.target" && ln -s "$db.target" "$db" ;;
    unreadable) ((EUID)) || { echo "$row: skipped, as root reads any file"; continue; } ;;
    busy) sqlite3 -cmd 'PRAGMA locking_mode=EXCLUSIVE' -cmd 'BEGIN EXCLUSIVE' \
      -cmd 'SELECT count(*) FROM vals' "$db" <&9 >"$work/held" &
      background+=($!) && wait_for 10 "the lock" grep -qx 200 "$work/held" ;;
  esac
  cp -r "$db" "$db.damaged" && { [[ $row != unreadable ]] || chmod 000 "$db"; } || fail "copy"
  (umask 0 && XDG_CONFIG_HOME=$work/$row exec "$dornava" 2>"$work/said") & # a fresh file is private
  background+=($!) && window=$(wait_window '^Dornava [0-9.]*$') || fail "$row: no window"
  said=$(reg query "$key")
  status=$? unchanged=0 && { [[ $row != unreadable ]] || chmod 600 "$db"; }
  kept=("$db".unreadable-*[0-9]) && diff -rq "$db" "$db.damaged" >/dev/null && unchanged=1
  if [[ $row == busy ]]; then # once the lock is gone, the next change reaches the file: Autostart
    echo .quit >&9 && wait "${background[-2]}" && xdotool mousemove --window "$window" 310 248 click 1
  fi
  "$close" "$window" && wait "${background[-1]}" || fail "$row: exit code $? once its window was closed"
  if [[ $row == busy ]] && ! [[ $(reg query "$run" /v Dornava) == *REG_SZ* &&
    $(reg query "$key") == "$known" ]]; then fail "busy: the change after the lock went was lost"; fi
  if [[ $row == @(folder|link|unreadable|busy) ]]; then # what cannot be opened stays as it is
    ((status == 1 && unchanged)) && [[ $said == *@(Unable to open|in use by another)* ]] &&
      [[ $row != link || $(stat -c %a "$db.target") == 644 ]] &&
      outcome="left as it is; ${said%%$'\n'*}"
  elif [[ $said == "$known" ]]; then outcome="the schedule reads whole"
  elif cmp -s "${kept[0]}" "$db.damaged" && grep -qF "${kept[0]}" "$work/said" &&
    [[ $(stat -c %a "$db") == 600 ]]; then outcome="kept aside as ${kept[0]##*/}, said so"
  elif [[ ! -s $db.damaged ]]; then outcome="empty, used as a fresh registry"; fi
  [[ $outcome ]] && echo "$row: $outcome" || fail "$row: dornava-reg said: $said"
  [[ $row == @(folder|link) ]] || { reg add "$key" /v 999 /d "S 09:00 - /after.bmp" /f >/dev/null &&
    [[ $(reg query "$key" /v 999) == *"S 09:00 - /after.bmp"* ]]; } || fail "$row: nothing kept"
done
