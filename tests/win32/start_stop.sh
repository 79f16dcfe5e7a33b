#!/bin/bash
# Starts Dornava.exe under Wine, closes its window as a user would (Alt+F4) and expects a clean
# exit. Usage: start_stop.sh WINE... DORNAVA_EXE. Exits 77 (skipped) without an X display.
set -u

if [[ $# -lt 2 ]]; then
  echo "usage: $0 WINE... DORNAVA_EXE" >&2
  exit 2
fi
if [[ -z "${DISPLAY:-}" ]]; then
  echo "DISPLAY is not set: skipped (run under xvfb-run)"
  exit 77
fi

wine=("${@:1:$#-1}")
exe="${!#}"
start_timeout=90  # the first start of a fresh prefix alone takes several seconds
close_timeout=30

# A Wine started without this display (wineboot just before, say) leaves a desktop with no
# graphics driver behind for as long as its server lingers; windows then cannot be created. Let
# that server end first; one started by a sibling test under this display is harmless.
if command -v wineserver >/dev/null; then
  timeout "$close_timeout" wineserver -w
fi

"${wine[@]}" "$exe" &
pid=$!

fail() {
  echo "FAIL: $*" >&2
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  exit 1
}

# Polled rather than --sync, so a process that dies early is reported at once.
deadline=$((SECONDS + start_timeout))
window=
while [[ -z "$window" ]]; do
  kill -0 "$pid" 2>/dev/null || fail "Dornava.exe ended before showing its window"
  ((SECONDS < deadline)) || fail "no window named Dornava 1.1 within ${start_timeout} s"
  sleep 0.5
  window=$(xdotool search --onlyvisible --name '^Dornava 1\.1$' 2>/dev/null | head -n 1)
done

# Without a window manager nothing gives the window the focus, and the first key may arrive
# before Wine is ready for it: focus and press again until the process is gone.
deadline=$((SECONDS + close_timeout))
while kill -0 "$pid" 2>/dev/null; do
  ((SECONDS < deadline)) || fail "still running ${close_timeout} s after the first Alt+F4"
  xdotool windowfocus "$window" 2>/dev/null && xdotool key alt+F4 2>/dev/null
  sleep 1
done

wait "$pid"
status=$?
[[ $status -eq 0 ]] || fail "exit code $status"
echo "window $window closed, exit code 0"
