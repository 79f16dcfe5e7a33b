#!/usr/bin/env bash
# The packages as a user gets them: the .deb passes lintian, its launcher and metainfo validate,
# it installs, its programs run from /usr/bin, and purging it leaves none of its files; the zip's
# Dornava.exe runs under Wine (needs DISPLAY). Arguments: the .deb and the 64-bit zip.
# Exits 77 when it cannot install: neither root nor sudo, or a dornava package already there.
set -euo pipefail
deb=$(realpath "$1") zip=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

lintian --fail-on error,warning "$deb"
dpkg-deb -x "$deb" "$work/deb"
appstreamcli validate --no-net "$work"/deb/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$work/deb/usr/share/applications/dornava.desktop"

# The schedule is empty, so started with an argument the program ends at once.
mkdir "$work/zip" && (cd "$work/zip" && cmake -E tar xf "$zip")
[[ $(ls "$work/zip") == $'Dornava.exe\nREADME.txt' ]] || fail "zip holds $(ls "$work/zip")"
WINEPREFIX=$work/wine WINEDEBUG=-all timeout 120 wine "$work/zip/Dornava.exe" A ||
  fail "Dornava.exe A exited with $?"
WINEPREFIX=$work/wine wineserver -k 2>/dev/null || true

as_root=()
if [[ $(id -u) -ne 0 ]]; then
  sudo -n true 2>/dev/null || { echo "skipped installing: needs root or sudo"; exit 77; }
  as_root=(sudo -n)
fi
[[ $(dpkg-query -W -f='${Status}' dornava 2>/dev/null) != "install ok installed" ]] ||
  { echo "skipped installing: a dornava package is installed here, and it stays as it is"; exit 77; }
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get install -y -qq "$deb" >/dev/null
trap '"${as_root[@]}" apt-get purge -y -qq dornava >/dev/null; rm -rf "$work"' EXIT
dpkg -L dornava >"$work/files"

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config && mkdir "$HOME"
/usr/bin/dornava-reg add 'HKCU\Software\Brenlow\Dornava' /f >/dev/null &&
  /usr/bin/dornava-reg query 'HKCU\Software\Brenlow\Dornava' | grep -q '^HKEY_CURRENT_USER' ||
  fail "dornava-reg add and query"
env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 /usr/bin/dornava A || fail "dornava A exited with $?"
[[ $(/usr/bin/dornava --version) == "dornava $(dpkg-deb -f "$deb" Version)" ]] || fail "--version"

"${as_root[@]}" apt-get purge -y -qq dornava >/dev/null
trap 'rm -rf "$work"' EXIT
while read -r path; do
  [[ -d $path || ! -e $path ]] || fail "$path is left after purging"
done <"$work/files"
[[ ! -e /usr/share/doc/dornava ]] || fail "/usr/share/doc/dornava is left after purging"
echo "package install check passed"
