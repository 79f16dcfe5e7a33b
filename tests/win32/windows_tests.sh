#!/bin/bash
# Runs the tests of the real windows in a Wine prefix and on an X server of their own: they write
# the program's own schedule key, and their windows must not meet another test's.
# Usage: windows_tests.sh WINE... TEST_EXE.
# Exits 77 (skipped) without Xvfb.
set -u
source "$(dirname "$0")/wine_lib.sh"
take_arguments "$@"
needs Xvfb wineserver

own_prefix
# Unmanaged windows: with no window manager to answer, Wine waits a second on every hide.
in_prefix "$prefix" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
  >/dev/null 2>&1 || fail "cannot set up the prefix"
in_prefix "$prefix" "$exe"
