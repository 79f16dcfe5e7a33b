#!/usr/bin/env bash
# The same commands through Wine's reg and dornava-reg, each on a fresh registry: output (Wine's
# CRLF as LF, its errors on stdout as ours on stderr), exit codes and exported files must agree, and
# each one's export must import into the other. What differs on purpose (questions, help, QWORD in
# query, REG_NONE text, unknown /t, deleting a root, malformed files, non-ASCII console text) is in
# RegCommandTest.cpp and RegFileTest.cpp.
# usage: compare_with_wine.sh DORNAVA_REG      exit 77 (skipped) when Wine cannot run here
# shellcheck disable=SC1003,SC2154  # backslashes in .reg lines; `prefix` is set by own_prefix
set -u
# shellcheck source-path=SCRIPTDIR source=../support/lib.sh
source "$(dirname "$0")/../support/lib.sh"
reg=$(realpath "$1") wine=(wine)
needs wine Xvfb iconv
export WINEDEBUG=-all LC_ALL=C.UTF-8 # Wine takes non-ASCII arguments intact only in UTF-8
own_prefix
WINEPREFIX=$prefix wineserver -p # one server throughout: one ending as the next command starts can fail it
wdir=$prefix/cmp/wine ddir=$prefix/cmp/dornava failures=0 steps=0
mkdir -p "$wdir" "$ddir" "$prefix/cmp/config"
dreg() { (cd "$ddir" && XDG_CONFIG_HOME=$prefix/cmp/config timeout 30 "$reg" "$@"); }
wreg() { (cd "$wdir" && WINEPREFIX=$prefix timeout 30 "${wine[@]}" reg "$@"); }
mismatch() { echo "FAIL: $*" && failures=$((failures + 1)); }

# both ARGS...: runs `reg ARGS` in both and compares.
both() {
  steps=$((steps + 1))
  wreg "$@" </dev/null 2>/dev/null | tr -d '\r' >"$prefix/w.txt"
  local wrc=${PIPESTATUS[0]}
  dreg "$@" </dev/null >"$prefix/d.out" 2>"$prefix/d.err"
  local drc=$?
  if [ "$wrc" != "$drc" ] || ! cat "$prefix/d.out" "$prefix/d.err" | cmp -s "$prefix/w.txt"; then
    mismatch "reg $* -- exit codes wine $wrc, dornava-reg $drc"
    cat "$prefix/d.out" "$prefix/d.err" | diff -u --label wine "$prefix/w.txt" - | sed 's/^/    /'
  fi
  [ "$drc" = 0 ] && [ -s "$prefix/d.err" ] && mismatch "reg $* -- success with an error"
  [ "$drc" != 0 ] && grep -q '^reg: ' "$prefix/d.out" && mismatch "reg $* -- error on stdout"
}
# same_file NAME: the files each one wrote under NAME are the same, byte for byte.
same_file() { steps=$((steps + 1)); cmp -s "$wdir/$1" "$ddir/$1" || mismatch "file $1 differs"; }

# One command after another, a line holding one or more separated by " ;; ", their words by "|";
# @ stands for the test key.
K='HKCU\Software\DornavaCmp' long=$(printf '%02x' $(seq 0 99))
while IFS= read -r line; do
  while IFS='|' read -ra words <<<"${line%% ;; *}"; do
    words=("${words[@]//@/"$K"}")
    both "${words[@]//LONG/"$long"}"
    [[ $line == *' ;; '* ]] && line=${line#* ;; } || break
  done
done <<'EOF'
add|@\Text|/v|s1|/d|hello|/f ;; add|@\Text|/v|with  spaces |/d| two  blanks |/f
add|@\Text|/v|quote "q" \b|/d|a "b" \c|/f ;; add|@\Text|/ve|/d|def|/f
add|@\Text|/v|e1|/t|REG_EXPAND_SZ|/d|%PATH%;x|/f ;; add|@\Text|/v|m1|/t|REG_MULTI_SZ|/d|a\0b\0c|/f
add|@\Text|/v|m2|/t|REG_MULTI_SZ|/d|x#y#|/s|#|/f ;; add|@\Text|/v|s0|/t|REG_SZ|/f
add|@\Numbers|/v|d1|/t|REG_DWORD_LITTLE_ENDIAN|/d|4294967295|/f
add|@\Numbers|/v|d2|/t|reg_dword|/d|0X1f|/f ;; add|@\Numbers|/v|d3|/t|REG_DWORD_BIG_ENDIAN|/d|1|/f
add|@\Numbers|/v|q1|/t|REG_QWORD|/d|0x1122334455667788|/f ;; add|@\Binary|/v|b0|/t|REG_BINARY|/f
add|@\Binary|/v|b2|/t|REG_BINARY|/d|abc|/f ;; add|@\Binary|/v|long|/t|REG_BINARY|/d|LONG|/f
add|@\Empty\Deeper|/f ;; add|@\Unicode|/v|název|/d|žluťoučký kůň|/f
add|@\Unicode|/v|řádky|/t|REG_MULTI_SZ|/d|příliš\0úpěl|/f
ADD|hkey_current_user\software\dornavacmp\Text\|-v|UPPER|-d|x|-f ;; query|@\Text
query|@\Text|/v|S1 ;; query|@\Numbers|/v|d2 ;; query|@\Binary|/s ;; query|@
query|@\Empty\Deeper|/ve ;; query|@\Empty|/s ;; query|@\Text|/v|m1|/s
query|hkcu\software\dornavacmp\text\ ;; query|@\Text|/v|nope ;; query|@\Nope ;; frob|x ;; Query
query|/?|x ;; query|@|/v ;; query|@|/v|a|/ve ;; query|@|extra ;; query|@|/s|/s ;; add|@|/v|a|/v|b
add|@|/ve|/v|b ;; add|@|/x ;; add|@|foo ;; add|@|/reg:32|/reg:64
add|@|/t|REG_MULTI_SZ|/s|,,|/d|a ;; add|@\Text|/v|x|/t|REG_DWORD|/f
add|@\Text|/v|x|/t|REG_DWORD|/d|12abc|/f ;; add|@\Text|/v|x|/t|REG_DWORD|/d|4294967296|/f
add|@\Text|/v|x|/t|REG_DWORD|/d|-1|/f ;; add|@\Text|/v|x|/t|REG_BINARY|/d|xyz|/f
add|@\Text|/v|x|/t|REG_MULTI_SZ|/d|a\0\0b|/f ;; add|@\Text|/v|x|/t|REG_MULTI_SZ|/d|\0a|/f
delete|@|/v|a|/va ;; delete|@|/ve|/va ;; delete|@|/g ;; export|@ ;; export|@|f.reg|/x ;; import
import|a|/reg:64|/reg:64 ;; import|no.reg ;; delete|@\Nope|/f ;; delete|@\Text|/v|nope|/f
export|@\Nope|x.reg ;; export|@|no/such/dir.reg ;; delete|@\Text|/v|upper|/f
delete|@\Text|/ve|/f ;; delete|@\Binary|/va|/f ;; query|@\Binary ;; delete|@\Empty|/f
query|@\Empty\Deeper ;; export|@|all.reg
EOF
same_file all.reg
both # no arguments at all
# Every command refuses a bad key name the same way.
for key in HK 'HKCU\\' 'HKCU\Software\\' 'HKCU\' '\\server\HKCU\Software' 'HKXX\Software' \
  'HKCUX\Software' 'Software\K'; do
  for command in query add delete export; do both "$command" "$key" /f; done
done

# Each one's file into the other, exported again.
cp "$wdir/all.reg" "$ddir/from-wine.reg"
cp "$ddir/all.reg" "$wdir/from-dornava.reg"
both delete "$K" /f
dreg import from-wine.reg || mismatch "dornava-reg import of Wine's file"
wreg import from-dornava.reg </dev/null >/dev/null 2>&1 || mismatch "wine reg import of our file"
both export "$K" again.reg
same_file again.reg
cmp -s "$ddir/again.reg" "$ddir/from-wine.reg" || mismatch "Wine's file did not export back equal"

# Hand-written files in both encodings: comments, continued hex, deletions of values and keys.
printf '%s\r\n' 'REGEDIT4' '' '; a comment' "[$K\Imported]" '"str"="a \"quoted\" \\ back"' \
  '"multi"=hex(7):61,00,62,00,00' '"bin"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,\' \
  '' '  17,18,19' '"dw"=dword:0000ffff' '@="default"' "[$K\Imported\Child]" '"gone"="x"' \
  '"gone"=-' '"kept"="y"' "[-$K\Text]" | sed 's/HKCU/HKEY_CURRENT_USER/' | tee "$wdir/r4.reg" >"$ddir/r4.reg"
{
  printf '\xff\xfe'
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' "[$K\Unicode5]" \
    '"název"="žluťoučký kůň"' '"cesta"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,5c,00,e1,00,00,00' \
    '"quoted \"name\""="line\nbreak"' "[$K\Unicode]" '"název"=-' | iconv -f UTF-8 -t UTF-16LE
} | tee "$wdir/v5.reg" >"$ddir/v5.reg"
both import r4.reg
both import v5.reg
both query "$K\Imported\Child"
both export "$K" imported.reg
same_file imported.reg

# Where Wine's reg would wait for a console forever, no terminal answers No.
steps=$((steps + 1)) && dreg add "$K\Asked" /v a /d old /f >/dev/null
if { dreg add "$K\Asked" /v a /d new || dreg delete "$K\Asked"; } </dev/null >/dev/null 2>&1 ||
  ! dreg query "$K\Asked" /v a | grep -q 'REG_SZ    old$'; then
  mismatch "dornava-reg without a terminal changed the registry"
fi
echo "$steps comparisons, $failures failed"
[ "$failures" = 0 ]
