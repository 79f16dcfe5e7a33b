#!/bin/bash
# Started with an argument on an empty schedule, the program ends at once: exit code 0, no
# window, not a word on either stream. No display is needed for that.
#   empty_schedule.sh DORNAVA
set -u
dornava=$1
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
start=$SECONDS
env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$config" timeout 20 "$dornava" A \
  >"$config/out" 2>&1
status=$?
[[ $status -eq 0 ]] || { echo "FAIL: exit code $status"; cat "$config/out"; exit 1; }
[[ ! -s $config/out ]] || { echo "FAIL: it said something:"; cat "$config/out"; exit 1; }
((SECONDS - start < 5)) || { echo "FAIL: took $((SECONDS - start)) s"; exit 1; }
echo "ended at once, silently, with exit code 0"
