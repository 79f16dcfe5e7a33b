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

# own_session DESKTOP ARGS...: runs the script again with ARGS as that desktop's session, on an X
# server and a session bus of its own, and ends with its status. In that run it returns at once,
# with `work` a fresh folder for HOME and the XDG folders, set before the bus starts so that
# nothing it starts writes elsewhere.
own_session() {
  if [[ ${DORNAVA_SESSION-} ]]; then work=$DORNAVA_SESSION && return; fi
  needs Xvfb dbus-run-session import convert
  work=$(mktemp -d "${TMPDIR:-/tmp}/dornava-session.XXXXXX") && scratch+=("$work") ||
    fail "no temporary folder"
  own_display "$work"
  export HOME=$work XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache \
    XDG_RUNTIME_DIR=$work GIO_USE_VFS=local NO_AT_BRIDGE=1 XDG_CURRENT_DESKTOP=$1 \
    DORNAVA_SESSION=$work
  dbus-run-session -- bash "$0" "${@:2}"
  local status=$?
  for _ in {1..50}; do # what the bus started saves its settings in `work` as it ends
    grep -qsxz "DORNAVA_SESSION=$work" /proc/[0-9]*/environ && sleep 0.1 || break
  done
  exit "$status"
}

# one_colour FILE COLOUR: a small PNG picture of that colour. shows COLOUR: whether the middle of
# an 800x600 root window shows it (#RRGGBB). quietly COMMAND...: runs it in the background, its
# output dropped, to end with the script.
one_colour() { convert -size 64x48 "xc:$2" "png:$1" || fail "convert failed"; }
shows() { [[ $(import -window root -crop 1x1+400+300 -depth 8 txt:- 2>/dev/null) == *"$1"* ]]; }
quietly() { "$@" >/dev/null 2>&1 & background+=($!); }
