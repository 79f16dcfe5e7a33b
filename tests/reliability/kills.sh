#!/bin/bash
# shellcheck disable=SC2154,SC2015,SC2317 source-path=SCRIPTDIR source=../support/lib.sh
# Changes killed with SIGKILL at random moments: dornava-reg importing a schedule or deleting a
# value, the program deleting an entry. A fresh read shows the whole list before or after, no mix.
# Usage: kills.sh DORNAVA DORNAVA_REG. Exits 77 (skipped) without Xvfb, xdotool or sqlite3.
set -u
source "$(dirname "$0")/../support/lib.sh"
needs Xvfb xdotool sqlite3
work=$(mktemp -d) && scratch+=("$work") || fail "no temporary folder"
export XDG_CONFIG_HOME=$work XDG_RUNTIME_DIR=$work && own_display "$work"
mkfifo "$work/never" && exec 9<>"$work/never" || fail "mkfifo" # a sleep process takes too long
pause() { local u=$((RANDOM * $1 / 32768 + 10**6)); read -rt "$((u / 10**6 - 1)).${u: -6}" -u 9; }
dornava=$1 reg=$2 key='HKCU\Software\Brenlow\Dornava' seed=${DORNAVA_SEED:-$$}
RANDOM=$seed runs=0 windows=0 killed=0 old=0 new=0
lines() { local i=0 text; for text; do printf '    %03d    REG_SZ    %s\n' $((i++)) "$text"; done; }
stored() { "$reg" query "$key" 2>/dev/null | grep REG_SZ; }
# schedule N: a new list as s.reg, which also removes the values above it; its lines in `after`.
schedule() {
  local i texts=() count=$((1 + RANDOM % 60))
  for ((i = 0; i < count; i++)); do texts+=("S 07:$((10 + i % 50)) - /pics/$1/$i.bmp"); done
  { printf 'Windows Registry Editor Version 5.00\n\n[%s]\n' "${key/HKCU/HKEY_CURRENT_USER}"
    for ((i = 0; i < 64; i++)); do printf '"%03d"=%s\n' $i "${texts[i]+\"${texts[i]}\"}"; done
  } | sed 's/=$/=-/' >"$work/s.reg" && after=$(lines "${texts[@]}")
}
# judge BEFORE AFTER KILLED: a fresh read shows one of the two lists, whole.
judge() {
  now=$(stored) runs=$((runs + 1)) killed=$((killed + $3))
  if [[ $now == "$1" ]]; then old=$((old + $3)); elif [[ $now == "$2" ]]; then new=$((new + $3))
  else fail "run $runs (seed $seed): $(diff <(echo "$2") <(echo "$now") | head -n 9)"; fi
}
schedule 0 && "$reg" import "$work/s.reg" 2>/dev/null && start=${EPOCHREALTIME/./} &&
  "$reg" import "$work/s.reg" 2>/dev/null || fail "import" # the first one made the file
span=$(((${EPOCHREALTIME/./} - start) * 3 / 2)) now=$(stored) # from a change's start to its end
while ((runs < 560)); do
  before=$now
  if ((runs % 14 == 13 && $(wc -l <<<"$before") > 2)); then # the first entry, selected at start
    mapfile -t texts <<<"$before" && texts=("${texts[@]#*REG_SZ    }")
    "$dornava" 2>/dev/null &
    background+=($!) && window=$(wait_window '^Dornava [0-9.]*$') || exit 1
    xdotool mousemove --window "$window" 218 256 click 1 2>/dev/null & # "Vymazat"
    pause $((span * 3)); kill -KILL "${background[-1]}"; wait "${background[-1]}" $! 2>/dev/null
    judge "$before" "$(lines "${texts[@]:1}")" 1 && windows=$((windows + 1)) && continue
  fi
  if [[ -z $before ]] || ((RANDOM % 4)); then schedule "$runs" && command=(import "$work/s.reg")
  else mapfile -t have <<<"$before" && victim=${have[RANDOM % ${#have[@]}]}
    after=$(grep -vxF "$victim" <<<"$before") command=(delete "$key" /v "${victim:4:3}" /f); fi
  "$reg" "${command[@]}" >/dev/null 2>&1 &
  pause "$span"; kill -KILL $! 2>/dev/null; wait $! 2>/dev/null
  status=$? && ((status == 0 || status == 137)) || fail "dornava-reg ${command[0]}: code $status"
  judge "$before" "$after" $((status == 137))
done
((old && new)) || fail "no kill fell between a change's start and its process's end"
[[ $(sqlite3 "$work/dornava/registry.db" 'PRAGMA integrity_check') == ok ]] || fail "integrity"
echo "kills: $runs runs ($windows in the program), $killed killed before they ended: $old left" \
  "the list from before, $new the list after; integrity ok (seed $seed)"
