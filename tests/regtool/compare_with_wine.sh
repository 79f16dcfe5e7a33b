#!/usr/bin/env bash
# Runs the same operations through Wine's reg and through dornava-reg, each with a fresh
# registry (WINEPREFIX, XDG_CONFIG_HOME), and compares what they print (Wine's CRLF taken as
# LF; Wine prints errors to standard output, dornava-reg to standard error, so the two streams
# are compared together), their exit codes and the files they export. Also imports the files
# each one exported into the other and compares the exports that follow.
#
# Not compared, because they differ on purpose:
#   - questions (add without /f, delete without /f, export without /y): Wine's reg loops
#     forever when standard input is not a console; dornava-reg takes that as No, exit code 1;
#   - REG_QWORD data in query output (Wine prints "(null)"), REG_NONE data given to add (Wine
#     stores UTF-16 text, dornava-reg keeps UTF-8 as for every text);
#   - an unsupported /t type (Wine creates the key before it refuses the type);
#   - malformed .reg files (Wine skips lines it cannot read, dornava-reg refuses the file);
#   - non-ASCII text on the console (Wine writes it in a DOS code page when redirected).
#
# usage: compare_with_wine.sh DORNAVA_REG      exit 77 (skipped) when Wine cannot run here
set -u

reg=$(realpath "$1")
if ! command -v wine >/dev/null 2>&1; then
  echo "wine is not installed: skipped"
  exit 77
fi

work=$(mktemp -d)
export WINEDEBUG=-all WINEPREFIX=$work/prefix WINEDLLOVERRIDES=winemenubuilder.exe=d
# Non-ASCII command-line text reaches Wine intact only in a UTF-8 locale.
export LC_ALL=C.UTF-8
cleanup() {
  wineserver -k >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

wdir=$work/wine ddir=$work/dornava
mkdir -p "$wdir" "$ddir" "$work/config"

# dornava-reg with its own fresh registry.
dreg() {
  XDG_CONFIG_HOME=$work/config timeout 30 "$reg" "$@"
}

# The first start makes the prefix (several seconds).
if ! (cd "$wdir" && timeout 120 wine reg query 'HKCU' </dev/null >/dev/null 2>&1); then
  echo "wine reg does not run here: skipped"
  exit 77
fi

failures=0 steps=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# both ARGS...: runs `reg ARGS` in both, in their own folders (so relative file names stay
# apart), and compares.
both() {
  steps=$((steps + 1))
  (cd "$wdir" && timeout 30 wine reg "$@" </dev/null >"$work/w.out" 2>/dev/null)
  local wrc=$?
  (cd "$ddir" && dreg "$@" </dev/null >"$work/d.out" 2>"$work/d.err")
  local drc=$?
  tr -d '\r' <"$work/w.out" >"$work/w.txt"
  cat "$work/d.out" "$work/d.err" >"$work/d.txt"
  if [ "$wrc" != "$drc" ] || ! cmp -s "$work/w.txt" "$work/d.txt"; then
    fail "reg $* -- exit codes wine $wrc, dornava-reg $drc"
    diff -u --label wine --label dornava-reg "$work/w.txt" "$work/d.txt" | sed 's/^/    /'
  fi
  if [ "$drc" = 0 ] && [ -s "$work/d.err" ]; then
    fail "reg $* -- succeeded with text on standard error"
  fi
  if [ "$drc" != 0 ] && grep -q '^reg: ' "$work/d.out"; then
    fail "reg $* -- error message on standard output"
  fi
}

# same_file NAME: the file each one wrote under NAME is the same, byte for byte.
same_file() {
  steps=$((steps + 1))
  if ! cmp -s "$wdir/$1" "$ddir/$1"; then
    fail "exported file $1 differs"
    diff -u --label wine --label dornava-reg <(iconv -f UTF-16 -t UTF-8 "$wdir/$1" 2>&1) \
      <(iconv -f UTF-16 -t UTF-8 "$ddir/$1" 2>&1) | sed 's/^/    /'
  fi
}

K='HKCU\Software\DornavaCmp'

# ---- add and query
both add "$K\Text" /v s1 /d hello /f
both add "$K\Text" /v 'with  spaces ' /d ' two  blanks ' /f
both add "$K\Text" /v quote /d 'a "b" \c' /f
both add "$K\Text" /ve /d def /f
both add "$K\Text" /v e1 /t REG_EXPAND_SZ /d '%PATH%;x' /f
both add "$K\Text" /v m1 /t REG_MULTI_SZ /d 'a\0b\0c' /f
both add "$K\Text" /v m2 /t REG_MULTI_SZ /d 'x#y#' /s '#' /f
both add "$K\Text" /v m3 /t REG_MULTI_SZ /d '' /f
both add "$K\Text" /v s0 /t REG_SZ /f
both add "$K\Numbers" /v d1 /t REG_DWORD /d 42 /f
both add "$K\Numbers" /v d2 /t reg_dword /d 0xFFFFFFFF /f
both add "$K\Numbers" /v d3 /t REG_DWORD_BIG_ENDIAN /d 1 /f
both add "$K\Numbers" /v d4 /t REG_DWORD_LITTLE_ENDIAN /d 7 /f
both add "$K\Numbers" /v q1 /t REG_QWORD /d 0x1122334455667788 /f
both add "$K\Binary" /v b1 /t REG_BINARY /d 0102ab /f
both add "$K\Binary" /v b2 /t REG_BINARY /d abc /f
both add "$K\Binary" /v b3 /t REG_BINARY /f
both add "$K\Binary" /v long /t REG_BINARY /d "$(printf '%02x' $(seq 0 99))" /f
both add "$K\Empty\Deeper" /f
both add "$K\Unicode" /v 'název' /d 'žluťoučký kůň' /f
both add "$K\Unicode" /v 'cesta' /t REG_EXPAND_SZ /d '%USERPROFILE%\Obrázky' /f
both add "$K\Unicode" /v 'řádky' /t REG_MULTI_SZ /d 'příliš\0úpěl' /f
both ADD 'hkey_current_user\software\dornavacmp\Text\' -v UPPER -d x -f

both query "$K\Text"
both query "$K\Text" /v S1
both query "$K\Text" /v with\ \ spaces\ 
both query "$K\Text" /ve
both query "$K\Text" /v m2
both query "$K\Text" /v nope
both query "$K\Binary"
both query "$K\Binary" /s
both query "$K"
both query "$K\Empty"
both query "$K\Empty\Deeper"
both query "$K\Empty\Deeper" /ve
both query "$K\Empty" /s
both query "$K\Text" /v m1 /s
both query "$K\Nope"
both query "$K\Nope" /v x
both query 'hkcu\software\dornavacmp\text\'
both query 'HKEY_CURRENT_USER\Software\DornavaCmp\Binary' /v b2

# ---- bad command lines
both
both frob x
both query
both Query "$K" /v
both query "$K" /v a /ve
both query "$K" extra
both query "$K" /s /s
both query HKXX\\Software
both query 'HKCU\'
both query 'HKCU\\'
both query '\\server\HKCU\Software'
both query Software
both add
both add "$K\Text" /v a /v b
both add "$K\Text" /ve /v b
both add "$K\Text" /d
both add "$K\Text" /x
both add "$K\Text" foo
both add "$K\Text" /f /f
both add "$K\Text" /reg:32 /reg:64
both add "$K\Text" /v x /t REG_MULTI_SZ /s ,, /d a
both add "$K\Text" /v x /t REG_DWORD
both add "$K\Text" /v x /t REG_DWORD /d 4294967296 /f
both add "$K\Text" /v x /t REG_DWORD /d -1 /f
both add "$K\Text" /v x /t REG_DWORD /d 12abc /f
both add "$K\Text" /v x /t REG_BINARY /d xyz /f
both add "$K\Text" /v x /t REG_MULTI_SZ /d 'a\0\0b' /f
both delete
both delete "$K\Text" /v a /va /f
both delete "$K\Text" /v a /ve /f
both delete "$K\Text" /g
both export "$K"
both export "$K" x.reg /x
both import
both import a.reg b.reg
both import missing.reg

# ---- delete
both delete "$K\Text" /v quote /f
both delete "$K\Text" /v quote /f
both delete "$K\Text" /ve /f
both delete "$K\Text" /ve /f
both delete "$K\Nope" /v x /f
both delete "$K\Nope" /f
both delete "$K\Binary" /va /f
both query "$K\Binary"
both add "$K\Gone\Sub" /v x /d y /f
both delete "$K\Gone" /f
both query "$K\Gone"

# ---- export, and each one's file into the other
both export "$K" all.reg
same_file all.reg
both export "$K" all.reg /y
same_file all.reg
both export "$K\Nope" nope.reg
both export "$K" no/such/folder.reg /y

cp "$wdir/all.reg" "$ddir/from-wine.reg"
cp "$ddir/all.reg" "$wdir/from-dornava.reg"
both delete "$K" /f
(cd "$ddir" && dreg import from-wine.reg) || fail "dornava-reg import of Wine's file"
(cd "$wdir" && wine reg import from-dornava.reg </dev/null >/dev/null 2>&1) ||
  fail "wine reg import of dornava-reg's file"
both export "$K" again.reg
same_file again.reg
steps=$((steps + 1))
cmp -s "$ddir/again.reg" "$ddir/from-wine.reg" || fail "Wine's file did not export back equal"

# ---- import: hand-written files in both encodings
printf '%s\r\n' 'REGEDIT4' '' '; a comment' '[HKEY_CURRENT_USER\Software\DornavaCmp\Imported]' \
  '"str"="a \"quoted\" \\ back"' '"multi"=hex(7):61,00,62,00,00' \
  '"bin"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\' \
  '' '  17,18,19' '"dw"=dword:0000ffff' '@="default"' '' \
  '[HKEY_CURRENT_USER\Software\DornavaCmp\Imported\Child]' '"gone"="x"' '"gone"=-' '"kept"="y"' \
  '[-HKEY_CURRENT_USER\Software\DornavaCmp\Text]' >"$work/r4.reg"
{
  printf '\xff\xfe'
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\DornavaCmp\Unicode5]' '"název"="žluťoučký kůň"' \
    '"cesta"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,5c,00,e1,00,00,00' \
    '"quoted \"name\""="line\nbreak"' '[HKEY_CURRENT_USER\Software\DornavaCmp\Unicode]' \
    '"název"=-' | iconv -f UTF-8 -t UTF-16LE
} >"$work/v5.reg"
cp "$work/r4.reg" "$work/v5.reg" "$wdir/"
cp "$work/r4.reg" "$work/v5.reg" "$ddir/"
both import r4.reg
both import v5.reg
both query "$K\Imported"
both query "$K\Imported\Child"
both query "$K\Text"
both export "$K" imported.reg
same_file imported.reg

# ---- where Wine's reg would wait for a console forever: no terminal answers No
steps=$((steps + 1))
dreg add "$K\Asked" /v a /d old /f >/dev/null
if dreg add "$K\Asked" /v a /d new </dev/null >/dev/null 2>&1 ||
  dreg delete "$K\Asked" </dev/null >/dev/null 2>&1 ||
  ! dreg query "$K\Asked" /v a | grep -q 'REG_SZ    old$'; then
  fail "dornava-reg without a terminal must refuse to overwrite or delete"
fi

echo "$steps comparisons, $failures failed"
[ "$failures" = 0 ]
