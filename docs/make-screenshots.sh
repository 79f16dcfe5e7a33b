#!/bin/bash
# Takes the Windows edition's screenshots for the README: the main window with a few entries, the
# entry editor with its preview and the about window, run under Wine on an X server of its own.
# Writes docs/windows-main.png, docs/windows-editor.png and docs/windows-about.png.
# Usage: docs/make-screenshots.sh [DORNAVA_EXE] (default build/windows/Dornava.exe).
# Needs wine with its own fonts (Debian: fonts-wine, for the title bars' buttons), the Liberation
# fonts (Arial's metric twin), Xvfb, xdotool and ImageMagick (convert, import).
set -u

docs=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$docs")
exe=${1:-$root/build/windows/Dornava.exe}
[[ -f $exe ]] || { echo "no $exe: build the windows preset first" >&2; exit 2; }
for tool in wine wineserver Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "$tool not found" >&2; exit 2; }
done
marlett=$(find /usr/share/wine /usr/local/share/wine -name marlett.ttf 2>/dev/null | head -n 1)
[[ -n $marlett ]] || { echo "Wine's fonts not found (Debian: apt-get install fonts-wine)" >&2; exit 2; }
wine=(wine)
export WINEDEBUG=-all
source "$root/tests/support/lib.sh"

own_prefix
# Debian's Wine does not find its own fonts where they are installed; the title bars' buttons
# need Marlett among them.
cp "$(dirname "$marlett")"/*.ttf "$prefix/drive_c/windows/Fonts/" || fail "cannot copy Wine's fonts"
# Unmanaged: Wine draws the title bars itself, as Windows would, with no window manager here.
in_prefix "$prefix" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
  >/dev/null 2>&1 || fail "cannot set up the prefix"

# A few pictures to schedule, drawn here so the shots are the same on every run.
pictures=$prefix/drive_c/Tapety
mkdir -p "$pictures" && cp "$exe" "$prefix/drive_c/Dornava.exe" || fail "cannot prepare $prefix"
convert -size 320x240 gradient:'#7fc4ec-#fdf6d8' \
  -fill '#fff3a0' -draw 'circle 240,62 240,88' \
  -fill '#3f8f4a' -draw 'polygon 0,240 0,168 70,132 160,184 240,126 320,164 320,240' \
  -fill '#2a6b35' -draw 'polygon 0,240 0,206 110,176 210,214 320,190 320,240' \
  BMP3:"$pictures/les.bmp" &&
  convert -size 320x240 gradient:'#ff8c5a-#ffd98a' \
    -fill '#fff1c4' -draw 'circle 160,150 160,182' \
    -fill '#1f5f8f' -draw 'rectangle 0,150 320,240' \
    -fill '#2d78ab' -draw 'rectangle 0,172 320,176' -draw 'rectangle 0,196 320,199' \
    BMP3:"$pictures/more.bmp" &&
  convert -size 320x240 gradient:'#9db7d6-#e8eef6' \
    -fill '#6b7a8f' -draw 'polygon 0,240 0,190 90,70 170,170 230,100 320,200 320,240' \
    -fill white -draw 'polygon 70,96 90,70 110,100 98,94 88,104' \
    -fill white -draw 'polygon 214,120 230,100 248,124 236,118' \
    BMP3:"$pictures/hory.bmp" ||
  fail "cannot draw the pictures"

schedule='HKCU\Software\Brenlow\Dornava'
reg_set "$prefix" "$schedule" 000 'S 07:30 - C:\Tapety\les.bmp'
reg_set "$prefix" "$schedule" 001 'S 12:00 - C:\Tapety\more.bmp'
reg_set "$prefix" "$schedule" 002 'R 00:45 - C:\Tapety\hory.bmp'
reg_set "$prefix" "$schedule" 003 'S 19:15 - C:\Tapety\vecer.bmp'

# window_named REGEX: waits for a visible window of that title; prints its X id.
window_named() {
  local deadline=$((SECONDS + 60)) id=
  while [[ -z "$id" ]]; do
    ((SECONDS < deadline)) || fail "no window named $1"
    sleep 0.3
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
  done
  echo "$id"
}

# click WINDOW X Y CLIENT_WIDTH CLIENT_HEIGHT: a click at a point of the window's client area,
# given in twips as the layout is (96 dpi); the client area is what the frame leaves at the
# bottom, centred across.
click() {
  local WIDTH HEIGHT X Y SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  local border=$(((WIDTH - $4) / 2))
  local top=$((HEIGHT - $5 - border))
  xdotool mousemove --window "$1" $((border + $2 / 15)) $((top + $3 / 15)) click 1
}

# shoot WINDOW NAME: the window as the screen shows it, mouse pointer moved out of the way.
shoot() {
  xdotool mousemove 0 0
  sleep 1
  import -window "$1" "$docs/$2" || fail "cannot take $2"
  echo "$docs/$2"
}

in_prefix "$prefix" 'C:\Dornava.exe' &
background+=($!)
main=$(window_named '^Dornava [0-9.]*$')
shoot "$main" windows-main.png

# The second entry into the editor: its fields, its time base and its picture.
click "$main" 3000 2000 446 285  # the list, second line
click "$main" 2002 3840 446 285  # "Upravit"
editor=$(window_named 'nastaven')
shoot "$editor" windows-editor.png
click "$editor" 3592 1417 288 229  # OK puts the entry back, at the end
sleep 1

click "$main" 5767 1387 446 285  # "O programu"
about=$(window_named '^O programu')
shoot "$about" windows-about.png
