#!/bin/bash
# shellcheck disable=SC2154,SC2015,SC2317  # variables set by the library; "a && b || fail"
# The Linux edition started and stopped. With an argument on an empty schedule it ends at once,
# silently, with code 0, and needs no display. On a registry file that is not a database it
# keeps the file aside, and its window closed as a window manager would, it ends with code 0.
# Usage: start_stop.sh DORNAVA X11_CLOSE. Exits 77 (skipped) without Xvfb or xdotool.
set -u
# shellcheck source-path=SCRIPTDIR source=../support/lib.sh
source "$(dirname "$0")/../support/lib.sh"
needs Xvfb xdotool
work=$(mktemp -d) && scratch+=("$work") || fail "no temporary folder"

said=$(env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$work/empty" timeout 20 "$1" A 2>&1) ||
  fail "exit code $? on an empty schedule"
[[ -z "$said" ]] || fail "on an empty schedule it said: $said"

own_display "$work"
mkdir "$work/dornava" && echo "not a database" >"$work/dornava/registry.db"
XDG_CONFIG_HOME=$work "$1" 2>"$work/stderr" &
background+=($!)
"$2" "$(wait_window '^Dornava 1\.1$')" || fail "could not ask the window to close"
ended() { ! kill -0 "${background[-1]}" 2>/dev/null; }
wait_for 15 "the program to end" ended
wait "${background[-1]}" || fail "exit code $?"
grep -q "moved to $work/dornava/registry.db.unreadable-" "$work/stderr" ||
  fail "no notice of the unreadable registry kept aside"
[[ -s "$work/dornava/registry.db" ]] || fail "no fresh registry under XDG_CONFIG_HOME"
echo "ended at once on an empty schedule; the window closed, exit code 0"
