#!/usr/bin/env bash
# The Linux edition's footprint in the running state: started with "A" on a 1000-entry schedule
# under a virtual X server, sampled from /proc for three minutes (three ticks).
#   bench/footprint.sh [BUILD_DIR] [SECONDS]       (DUE=1: a wallpaper change at every tick)
set -euo pipefail
build=$(realpath "${1:-build/linux}")
seconds=${2:-180}
work=$(mktemp -d)
cleanup() {
  [[ -n "${pid:-}" ]] && kill "$pid" 2>/dev/null
  [[ -n "${xvfb:-}" ]] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

export XDG_CONFIG_HOME=$work/config
convert -size 64x48 xc:'#336699' "$work/tapeta.bmp"
# A full schedule. With DUE=1 one entry falls due at each tick we watch, so the cost of a
# wallpaper change shows; by default none does, so what shows is the idle tick.
first=$((${DUE:-0} ? 1 : 10))
{
  echo "REGEDIT4"
  echo
  echo '[HKEY_CURRENT_USER\Software\Brenlow\Dornava]'
  for i in $(seq 0 999); do
    minute=$(((i + first) % 1440))
    printf '"%03d"="R %02d:%02d - %s"\n' "$i" $((minute / 60)) $((minute % 60)) "$work/tapeta.bmp"
  done
} >"$work/schedule.reg"
"$build/dornava-reg" import "$work/schedule.reg" >/dev/null

display=:$((100 + RANDOM % 800))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY=$display "$build/dornava" A &
pid=$!
sleep 5

# Voluntary context switches of every thread: each is a wake-up after sleeping.
switches() { cat /proc/"$pid"/task/*/status | awk '/^voluntary_ctxt_switches/ {n += $2} END {print n}'; }
field() { awk -v f="$1:" '$1 == f {print $2}' /proc/"$pid"/status; }

start_switches=$(switches)
peak_anon=0
for ((t = 0; t < seconds; t += 5)); do
  sleep 5
  anon=$(field RssAnon)
  ((anon > peak_anon)) && peak_anon=$anon
done
end_switches=$(switches)
ticks=$((seconds / 60))
echo "threads:                 $(ls /proc/"$pid"/task | wc -l)"
echo "resident (VmRSS):        $(field VmRSS) kB"
echo "anonymous (RssAnon):     $(field RssAnon) kB, peak $peak_anon kB"
echo "voluntary switches:      $((end_switches - start_switches)) over $seconds s ($ticks ticks)"
echo "wake-ups per tick:       $(awk -v s=$((end_switches - start_switches)) -v t="$ticks" 'BEGIN {printf "%.2f", s / t}')"
