# shellcheck shell=bash disable=SC2154,SC2034,SC2015,SC2317
# Shared by the whole-program test scripts; sourced, not run. Each works on an X server and Wine
# prefixes of its own, made fresh, so scripts can run side by side; all they start ends with them.
prefixes=() background=() scratch=() # scratch: folders removed at the end

cleanup() {
  local pid prefix
  for prefix in "${prefixes[@]}"; do WINEPREFIX=$prefix wineserver -k 2>/dev/null; done
  for pid in "${background[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  rm -rf "${prefixes[@]}" "${scratch[@]}"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# take_arguments WINE... EXE: the Wine command into the array `wine`, the program into `exe`.
take_arguments() {
  (($# >= 2)) && wine=("${@:1:$#-1}") && exe="${!#}" || fail "usage: $0 WINE... EXE"
}

# needs TOOL...: skips the test (exit 77) when a tool it uses is missing.
needs() {
  local tool
  for tool; do command -v "$tool" >/dev/null || { echo "$tool not found: skipped"; exit 77; }; done
}

# wait_for SECONDS WHAT COMMAND...: polls until the command succeeds; fails after SECONDS.
wait_for() {
  local seconds=$1 what=$2 deadline=$((SECONDS + $1))
  shift 2
  until "$@"; do
    ((SECONDS < deadline)) || fail "waited $seconds s in vain for $what"
    sleep 0.3
  done
}

# own_display DIR: an X server of the script's own, its number in DIR/display; sets DISPLAY. With
# -noreset a wallpaper retained on its root outlives its last client.
own_display() {
  Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 800x600x24 3>"$1/display" >/dev/null 2>&1 &
  background+=($!)
  wait_for 30 "Xvfb to start" test -s "$1/display"
  DISPLAY=:$(cat "$1/display")
  export DISPLAY
}

# own_prefix: a fresh Wine prefix, booted, on an X server of its own; its path in `prefix`. The
# Wine server is let end after the boot: a desktop made before any window is wanted may linger.
own_prefix() {
  prefix=$(mktemp -d "${TMPDIR:-/tmp}/dornava-wine.XXXXXX") || fail "no temporary folder"
  prefixes+=("$prefix")
  own_display "$prefix"
  in_prefix "$prefix" wineboot -i >/dev/null 2>&1 && WINEPREFIX=$prefix timeout 60 wineserver -w ||
    fail "wineboot -i failed"
}

# in_prefix PREFIX COMMAND...: runs a Wine command in that prefix.
in_prefix() { WINEPREFIX=$1 "${wine[@]}" "${@:2}"; }

# reg_set PREFIX KEY NAME TEXT
reg_set() {
  in_prefix "$1" reg add "$2" /v "$3" /t REG_SZ /d "$4" /f >/dev/null 2>&1 ||
    fail "reg add $2 $3 failed"
}

# wait_window REGEX: prints the X id of the visible window of that title once it is there.
wait_window() {
  local id=
  window_up() { id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [[ $id ]]; }
  wait_for 60 "a window '$1'" window_up "$1"
  echo "$id"
}
