#!/bin/bash
# shellcheck disable=SC2154,SC2015,SC2317 source-path=SCRIPTDIR source=../support/lib.sh
# Two instances rewrite the same schedule 1,000 times each (DORNAVA_REWRITES) while a third
# switches autostart on and off and a fourth keeps reading: every read, and the last, shows one
# writer's whole list. On Linux the file then passes SQLite's integrity check and the Run value
# and its autostart entry agree.
# Usage: instances.sh INSTANCE [WINE...]: with Wine, on the Windows registry of a fresh prefix.
set -u
source "$(dirname "$0")/../support/lib.sh"
instance=$1 wine=("${@:2}")
work=$(mktemp -d) && scratch+=("$work") && export XDG_CONFIG_HOME=$work || fail "no temporary folder"
run() { "${wine[@]}" "$instance" "$@"; }
if ((${#wine[@]})); then needs Xvfb sqlite3 && own_prefix && export WINEPREFIX=$prefix; fi
writers=()
times=${DORNAVA_REWRITES:-1000}
for role in a b autostart; do run "$role" "$times" & writers+=($!); done
while kill -0 "${writers[@]}" 2>/dev/null; do run read 20 >/dev/null || fail "a read saw a mixed list"; done
for pid in "${writers[@]}"; do wait "$pid" || fail "a writer failed"; done
read -r list run_value <<<"$(run read 1)" && [[ $list == [ab] ]] || fail "the list at the end: $list"
((${#wine[@]})) && { echo "one whole list ($list) after $((2 * times)) rewrites"; exit 0; }
entry=$work/autostart/dornava.desktop # in a private folder, with nothing half-written beside it
[[ $run_value == - && ! -e $entry ]] || grep -qxF "Exec=$run_value" "$entry" ||
  fail "the Run value ($run_value) and its autostart entry disagree"
[[ $(stat -c %a "$work/autostart") == 700 && -z $(ls -A "$work/autostart") ]] ||
  fail "the autostart folder: $(stat -c %a "$work/autostart") $(ls -A "$work/autostart")"
[[ $(sqlite3 "$work/dornava/registry.db" 'PRAGMA integrity_check') == ok ]] || fail "integrity"
echo "one whole list ($list) after $((2 * times)) rewrites; Run value and entry agree; integrity ok"
