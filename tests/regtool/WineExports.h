// Files `wine reg export` (Wine 8) wrote, as UTF-8 text with LF line ends; the real files are
// UTF-16LE with a byte-order mark and CRLF.
#pragma once

namespace dornava::regtool {

// reg add ... /v b /t REG_BINARY /d 000102...3f, /v e /t REG_EXPAND_SZ /d %HOME%\x,
// /v m /t REG_MULTI_SZ /d one\0two, /v n /t REG_NONE (no data), /v "q\"n\\m" /d x, ...
inline const char* const kWineE1 = R"(Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\E1]
@="def"
"b"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\
  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,\
  30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f
"b0"=hex:
"d"=dword:12345678
"e"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,5c,00,78,00,00,00
"m"=hex(7):6f,00,6e,00,65,00,00,00,74,00,77,00,6f,00,00,00,00,00
"n"=hex(0):00,00
"q"=hex(b):88,77,66,55,44,33,22,11
"q\"n\\m"="x"
"s0"=""
"s1"="a\"b\\c"

[HKEY_CURRENT_USER\Software\E1\Empty]

[HKEY_CURRENT_USER\Software\E1\Sub]

[HKEY_CURRENT_USER\Software\E1\Sub\Deep]
"x"="y"

)";

// Non-ASCII text in hex(2) and hex(7) data and in a value name: where a hex line breaks
// depends on the name before it, counted in UTF-16 units.
inline const char* const kWineW2 = R"(Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\W2]
@=hex(2):25,00,55,00,53,00,45,00,52,00,50,00,52,00,4f,00,46,00,49,00,4c,00,45,\
  00,25,00,5c,00,4f,00,62,00,72,00,e1,00,7a,00,6b,00,79,00,5c,00,54,00,61,00,\
  70,00,65,00,74,00,79,00,5c,00,70,00,6f,00,64,00,7a,00,69,00,6d,00,2e,00,6a,\
  00,70,00,67,00,00,00
"a_long_value_name_for_wrapping_checks"=hex:00,01,02,03,04,05,06,07,08,09,0a,\
  0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,\
  24,25,26,27
"multi"=hex(7):70,00,59,01,ed,00,6c,00,69,00,61,01,00,00,7e,01,6c,00,75,00,65,\
  01,6f,00,75,00,0d,01,6b,00,fd,00,20,00,6b,00,6f,01,48,01,00,00,fa,00,70,00,\
  1b,01,6c,00,20,00,0f,01,e1,00,62,00,65,00,6c,00,73,00,6b,00,e9,00,20,00,f3,\
  00,64,00,79,00,00,00,00,00
"žluťoučký kůň"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,\
  13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27

)";

}  // namespace dornava::regtool
