#!/bin/bash
# Runs the tests of the real windows in a Wine prefix and on an X server of their own: they write
# the program's own schedule key, and their windows must not meet another test's.
# Usage: windows_tests.sh WINE... TEST_EXE.
# Exits 77 (skipped) without Xvfb.
set -u
if [[ $# -lt 2 ]]; then
  echo "usage: $0 WINE... TEST_EXE" >&2
  exit 2
fi
for tool in Xvfb wineserver; do
  command -v "$tool" >/dev/null || { echo "$tool not found: skipped"; exit 77; }
done
wine=("${@:1:$#-1}")
exe="${!#}"
source "$(dirname "$0")/wine_lib.sh"

prefix=$(reserve_prefix) || fail "no temporary folder"
prefixes+=("$prefix")
private_display "$prefix"
boot_prefix "$prefix" || fail "wineboot -i failed"
# Unmanaged windows: with no window manager to answer, Wine waits a second on every hide.
in_prefix "$prefix" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
  >/dev/null 2>&1 || fail "cannot set up the prefix"
in_prefix "$prefix" "$exe"
