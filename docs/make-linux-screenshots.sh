#!/bin/bash
# Saves screenshots of the Linux edition's three windows, taken on a virtual X server from a
# throwaway schedule: docs/linux-main.png, docs/linux-editor.png, docs/linux-about.png.
#   docs/make-linux-screenshots.sh [BUILD_DIR]      (default: build/linux)
# Needs Xvfb, xdotool and ImageMagick. There is no window manager, so no title bars are shown.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/linux}
dornava=$build/dornava
dornava_reg=$build/dornava-reg

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# A short folder of its own for the pictures, as their paths show in the windows.
pictures=/tmp/Tapety
[[ -e $pictures ]] && fail "$pictures is in the way"
work=$(mktemp -d)
cleanup() {
  [[ -n "${pid:-}" ]] && kill "$pid" 2>/dev/null
  [[ -n "${xvfb:-}" ]] && kill "$xvfb" 2>/dev/null
  rm -rf "$work" "$pictures"
}
trap cleanup EXIT
mkdir -p "$pictures"
convert -size 400x300 gradient:'#f7d36b-#d9573b' "BMP3:$pictures/ráno.bmp"
convert -size 400x300 gradient:'#9fd3ff-#1e5aa8' -fill '#2f6b2f' \
  -draw 'polygon 0,300 0,210 120,150 230,200 330,140 400,180 400,300' "BMP3:$pictures/hory.bmp"
convert -size 400x300 gradient:'#1b1f4a-#5a3d7a' "BMP3:$pictures/večer.bmp"

export XDG_CONFIG_HOME=$work/config
key='HKCU\Software\Brenlow\Dornava'
entry=0
for line in "S 07:30 - $pictures/ráno.bmp" "R 01:30 - $pictures/hory.bmp" \
  "S 19:45 - $pictures/večer.bmp"; do
  "$dornava_reg" add "$key" /v "$(printf '%03d' $entry)" /t REG_SZ /d "$line" /f >/dev/null
  entry=$((entry + 1))
done

for _ in 1 2 3 4 5; do
  display=:$((200 + RANDOM % 700))
  Xvfb "$display" -screen 0 800x600x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
  kill -0 "$xvfb" 2>/dev/null && break
done
kill -0 "$xvfb" 2>/dev/null || fail "no X server"
export DISPLAY=$display

# The id of the visible window with this exact title, waiting up to 20 s for it.
window() {
  local id deadline=$((SECONDS + 20))
  while ((SECONDS < deadline)); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    [[ -n "$id" ]] && { echo "$id"; return; }
    sleep 0.2
  done
  fail "no window \"$1\""
}
# Clicks at a point given in the window's client pixels.
click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.5
}
shot() {
  sleep 0.5
  import -window "$1" "PNG24:$2"
  echo "saved $2"
}

"$dornava" &
pid=$!
main=$(window 'Dornava [0-9.]*')
click "$main" 40 130 # the second entry
shot "$main" docs/linux-main.png

click "$main" 133 256 # "Upravit"
editor=$(window 'Přidat nastavení tapety')
shot "$editor" docs/linux-editor.png
click "$editor" 239 94 # "OK"

click "$main" 384 92 # "O programu"
about=$(window 'O programu Dornava')
shot "$about" docs/linux-about.png
