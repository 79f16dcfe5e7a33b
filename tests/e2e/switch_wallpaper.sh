#!/bin/bash
# A stored schedule changes the wallpaper: a relative entry "R 00:01" and a clock entry for the
# minute after the start, each naming a picture of its own colour, in the order given; after the
# first tick the root window shows the colour of the entry that stands later in the list.
#   switch_wallpaper.sh DORNAVA DORNAVA_REG relative-first|clock-first
# Runs its own X server, so several can run at once. Exits 77 (skipped) without Xvfb.
set -u
dornava=$1
dornava_reg=$2
order=$3
command -v Xvfb >/dev/null || { echo "no Xvfb: skipped"; exit 77; }

work=$(mktemp -d)
cleanup() {
  [[ -n "${pid:-}" ]] && kill "$pid" 2>/dev/null
  [[ -n "${xvfb:-}" ]] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

export XDG_CONFIG_HOME=$work/config
convert -size 32x24 xc:'#ff0000' "BMP3:$work/red.bmp" || fail "cannot make pictures"
convert -size 32x24 xc:'#0000ff' "BMP3:$work/blue.bmp" || fail "cannot make pictures"

# The clock entry must fall in the minute after the start: keep clear of a minute's end.
while (($(date +%-S) >= 50)); do sleep 1; done
clock_entry="S $(date -d '+1 minute' +%H:%M) - $work/blue.bmp"
relative_entry="R 00:01 - $work/red.bmp"
key='HKCU\Software\Brenlow\Dornava'
if [[ $order == relative-first ]]; then
  first=$relative_entry second=$clock_entry expected=0000ff
else
  first=$clock_entry second=$relative_entry expected=ff0000
fi
"$dornava_reg" add "$key" /v 000 /t REG_SZ /d "$first" /f >/dev/null || fail "dornava-reg add"
"$dornava_reg" add "$key" /v 001 /t REG_SZ /d "$second" /f >/dev/null || fail "dornava-reg add"

# Without -noreset the server would reset when its last client leaves, and with it the retained
# wallpaper; on a desktop, other clients are always connected.
for _ in 1 2 3 4 5; do
  display=:$((200 + RANDOM % 700))
  Xvfb "$display" -screen 0 640x480x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
  kill -0 "$xvfb" 2>/dev/null && break
done
kill -0 "$xvfb" 2>/dev/null || fail "no X server"
export DISPLAY=$display

pixel() { import -window root -crop 1x1+320+240 -depth 8 txt:- 2>/dev/null | grep -o -i -E '#[0-9a-f]{6}' | head -n 1 | tr -d '#' | tr 'A-F' 'a-f'; }
before=$(pixel)

"$dornava" A &
pid=$!
started=$SECONDS
# Nothing may change before the first tick, a minute after the start.
sleep 50
kill -0 "$pid" 2>/dev/null || fail "dornava ended"
[[ $(pixel) == "$before" ]] || fail "the wallpaper changed before the first tick"
while [[ $(pixel) != "$expected" ]]; do
  ((SECONDS - started < 90)) || fail "after $((SECONDS - started)) s the root shows #$(pixel), not #$expected"
  sleep 1
done
sleep 2
[[ $(pixel) == "$expected" ]] || fail "the root changed again to #$(pixel)"
echo "$order: the root shows #$expected $((SECONDS - started)) s after the start"
