#!/bin/bash
# Starts the Linux edition on a registry file that is not a database, closes its window as a
# window manager would and expects a clean exit, with the bad file kept aside untouched. Usage: start_stop.sh DORNAVA X11_CLOSE. Exits 77 (skipped) without
# an X display.
set -u
dornava=$1
x11_close=$2
if [[ -z "${DISPLAY:-}" ]]; then
  echo "DISPLAY is not set: skipped (run under xvfb-run)"
  exit 77
fi

config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
mkdir -p "$config/dornava"
echo "not a database" >"$config/dornava/registry.db"
XDG_CONFIG_HOME=$config "$dornava" 2>"$config/stderr" &
pid=$!

fail() {
  echo "FAIL: $*" >&2
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  exit 1
}

deadline=$((SECONDS + 30))
window=
while [[ -z "$window" ]]; do
  kill -0 "$pid" 2>/dev/null || fail "dornava ended before showing its window"
  ((SECONDS < deadline)) || fail "no window named Dornava 1.1 within 30 s"
  sleep 0.2
  window=$(xdotool search --onlyvisible --name '^Dornava 1\.1$' 2>/dev/null | head -n 1)
done

"$x11_close" "$window" || fail "could not ask the window to close"
deadline=$((SECONDS + 15))
while kill -0 "$pid" 2>/dev/null; do
  ((SECONDS < deadline)) || fail "still running 15 s after the close request"
  sleep 0.2
done
wait "$pid"
status=$?
[[ $status -eq 0 ]] || fail "exit code $status"
aside=("$config"/dornava/registry.db.unreadable-*)
[[ -f "${aside[0]}" && "$(cat "${aside[0]}")" == "not a database" ]] ||
  fail "the unreadable registry was not kept aside"
grep -q "moved to ${aside[0]}" "$config/stderr" || fail "no notice of the moved file on stderr"
[[ -s "$config/dornava/registry.db" ]] || fail "no fresh registry under XDG_CONFIG_HOME"
echo "window $window closed, exit code 0"
