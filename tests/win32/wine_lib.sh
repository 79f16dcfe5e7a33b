# shellcheck shell=bash disable=SC2154
# Shared by the whole-program tests of the Windows edition; sourced, not run. Every test works in
# Wine prefixes of its own, made fresh, so tests that use the same registry values (the schedule,
# the Run value, the wallpaper) can run side by side with each other and with the rest.
# The sourcing script passes its arguments to take_arguments first: the Wine command, then the
# program under test.

prefixes=()
background=()

cleanup() {
  local pid prefix
  for prefix in "${prefixes[@]}"; do
    WINEPREFIX=$prefix wineserver -k 2>/dev/null
  done
  for pid in "${background[@]}"; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  for prefix in "${prefixes[@]}"; do
    rm -rf "$prefix"
  done
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# take_arguments WINE... EXE: the Wine command into the array `wine`, the program into `exe`.
take_arguments() {
  if (($# < 2)); then
    echo "usage: $0 WINE... EXE" >&2
    exit 2
  fi
  wine=("${@:1:$#-1}")
  exe="${!#}"
}

# needs TOOL...: skips the test (exit 77) when a tool it uses is missing.
needs() {
  local tool
  for tool; do
    command -v "$tool" >/dev/null || {
      echo "$tool not found: skipped"
      exit 77
    }
  done
}

# own_prefix: a fresh prefix, booted, on an X server of the test's own; its path in `prefix`.
own_prefix() {
  prefix=$(reserve_prefix) || fail "no temporary folder"
  prefixes+=("$prefix")
  private_display "$prefix"
  boot_prefix "$prefix" || fail "wineboot -i failed"
}

# Reserves a prefix folder; prints its path. Made separately so several can boot at once.
reserve_prefix() {
  mktemp -d "${TMPDIR:-/tmp}/dornava-wine.XXXXXX"
}

# Boots a reserved prefix, then lets its server end: a desktop made now, before any window is
# wanted, may otherwise linger without a graphics driver.
boot_prefix() {
  WINEPREFIX=$1 "${wine[@]}" wineboot -i >/dev/null 2>&1 &&
    WINEPREFIX=$1 timeout 60 wineserver -w
}

# in_prefix PREFIX COMMAND...: runs a Wine command in that prefix.
in_prefix() {
  WINEPREFIX=$1 "${wine[@]}" "${@:2}"
}

# reg_set PREFIX KEY NAME TEXT
reg_set() {
  in_prefix "$1" reg add "$2" /v "$3" /t REG_SZ /d "$4" /f >/dev/null 2>&1 ||
    fail "reg add $2 $3 failed"
}

# reg_text PREFIX KEY NAME: prints the text of a REG_SZ value, nothing when it is missing.
reg_text() {
  in_prefix "$1" reg query "$2" /v "$3" 2>/dev/null | tr -d '\r' |
    sed -n "s/^    $3    REG_SZ    //p"
}

# Starts an X server of the test's own, so that every window mapped on it is this test's; sets
# DISPLAY and starts `xev`, whose log (xev_log) records every window mapped from then on.
private_display() {
  local dir=$1 number=
  Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 3>"$dir/display" >/dev/null 2>&1 &
  background+=($!)
  local deadline=$((SECONDS + 30))
  while [[ -z "$number" ]]; do
    ((SECONDS < deadline)) || fail "Xvfb did not start"
    sleep 0.1
    number=$(cat "$dir/display" 2>/dev/null)
  done
  export DISPLAY=:$number
}

start_map_watch() {
  xev_log=$1
  xev -root -event substructure -event property >"$xev_log" 2>&1 &
  background+=($!)
  # xev says nothing until an event comes: make one, so no map is missed before it listens.
  local deadline=$((SECONDS + 10))
  until grep -qa _DORNAVA_WATCH "$xev_log" 2>/dev/null; do
    ((SECONDS < deadline)) || fail "xev did not start"
    xprop -root -f _DORNAVA_WATCH 8s -set _DORNAVA_WATCH 1 2>/dev/null
    sleep 0.2
  done
}

# How many windows have been mapped on the private display so far.
mapped_windows() {
  grep -ca '^MapNotify event' "$xev_log"
}

# dornava_pids PREFIX WINDOWS_PATH: the Wine processes of that prefix whose command line starts
# with the given path (Wine shows Windows command lines, unquoted, in place of the Unix ones).
dornava_pids() {
  local proc pid
  for proc in /proc/[0-9]*; do
    pid=${proc#/proc/}
    grep -qzxF "WINEPREFIX=$1" "$proc/environ" 2>/dev/null || continue
    [[ "$(tr '\0' ' ' 2>/dev/null <"$proc/cmdline")" == "$2"* ]] && echo "$pid"
  done
}
