// The .reg reader: file → values or the line of the fault. The writer is shown to match Wine's
// byte for byte by compare_with_wine.sh, and to write back what it reads by the reg_file fuzzer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RegFile.h"
#include "RegText.h"

namespace dornava::regtool {
namespace {

using namespace std::string_literals;

std::string Crlf(std::string_view text) {
  std::string out;
  for (char c : text)
    out += c == '\n' ? "\r\n" : std::string(1, c);
  return out;
}
std::string R4(std::string_view body) {
  return Crlf("REGEDIT4\n\n" + std::string(body));
}
// A Unicode file as regedit writes it: UTF-16LE with a byte-order mark, CRLF line ends.
std::string V5(std::string_view body) {
  return "\xFF\xFE" + Utf16ToLeBytes(Utf8ToUtf16(
                          Crlf("Windows Registry Editor Version 5.00\n\n" + std::string(body))));
}

// Control bytes as \xNN, the rest (UTF-8 included) as it is.
std::string Show(std::string_view data) {
  std::string out;
  for (char c : data) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned char>(c));
    out += static_cast<unsigned char>(c) < 0x20 ? std::string(buf) : std::string(1, c);
  }
  return out;
}

// "[root path] name=type:data ..." for each key; "-" marks deletions.
std::string Describe(const std::vector<RegFileKey>& keys) {
  std::string out;
  for (const RegFileKey& key : keys) {
    out += std::string(out.empty() ? "" : " ") + "[" + (key.remove ? "-" : "") +
           std::to_string(key.root & 0xF) + " " + key.path + "]";
    for (const RegFileValue& v : key.values) {
      out += " " + Show(v.value.name);
      out += v.remove ? "=-" : "=" + std::to_string(v.value.type) + ":" + Show(v.value.data);
    }
  }
  return out;
}
// What the reader makes of a file, or "line N" for an error.
std::string Read(const std::string& bytes) {
  std::vector<RegFileKey> keys;
  RegFileError error;
  if (ParseRegFile(bytes, &keys, &error)) return Describe(keys);
  EXPECT_TRUE(keys.empty() && !error.message.empty()) << "a refused file leaves nothing behind";
  return "line " + std::to_string(error.line);
}

TEST(RegFileRead, FilesGiveTheirValuesOrTheLineOfTheirFault) {
  const std::pair<std::string, std::string> rows[] = {
      // Both encodings give the same UTF-8 data; text keeps its terminating zero.
      {R4("[HKEY_CURRENT_USER\\Software\\Čeština]\n\"žluťoučký\"=\"kůň\"\n@=dword:0000002a\n"),
       "[1 Software\\Čeština] žluťoučký=1:kůň\\x00 =4:*\\x00\\x00\\x00"},
      {V5("[HKEY_CURRENT_USER\\Software\\Čeština]\n\"žluťoučký\"=\"kůň\"\n@=dword:0000002a\n"),
       "[1 Software\\Čeština] žluťoučký=1:kůň\\x00 =4:*\\x00\\x00\\x00"},
      {R4("[HKCU\\S]\n\"q\\\"n\\\\m\\r\\n\" = \"a\\\"b\\\\c\\nd\" ; note\n\"s\"=\"x;y\"\n"),
       "[1 S] q\"n\\m\\x0d\\x0a=1:a\"b\\c\\x0ad\\x00 s=1:x;y\\x00"},
      {R4("[HKCU\\S]\n\"a\"=hex:01,02,\\\n\n; comment\n  03,\\  ; after\n\t04\n\"b\"=hex:\\\n  05\n"
          "\"c\"=hex:06,07,\n\"d\"=hex:1,0ff, AB,\t0c ; "
          "x\n\"e\"=hex:\n\"f\"=hex:01;\n\"g\"=hex:08,\\\n"),
       "[1 S] a=3:\\x01\\x02\\x03\\x04 b=3:\\x05 c=3:\\x06\\x07 d=3:\\x01\xff\xab\\x0c e=3: "
       "f=3:\\x01 g=3:\\x08"},
      // In a Unicode file string types hold UTF-16, kept as UTF-8; other types byte for byte.
      {V5("[HKCU\\S]\n\"e\"=hex(2):25,00,41,00,e1,00,25,00,00,00\n\"m\"=hex(7):61,00,00,00,7e,01,"
          "00,00,00,00\n\"s\"=hex(1):41,00,42,00\n\"n\"=hex(0):41,00\n\"q\"=hex(b):88,77,66,55,44,"
          "33,22,11\n\"big\"=hex(ffffffff):01\n"),
       "[1 S] e=2:%Aá%\\x00 m=7:a\\x00ž\\x00\\x00 s=1:AB n=0:A\\x00 q=11:\x88wfUD3\"\\x11 "
       "big=4294967295:\\x01"},
      {R4("[HKCU\\S]\n\"e\"=hex(2):25,41,c3,a1,25,00\n\"d\"=dword: 1A ; short\n"),
       "[1 S] e=2:%Aá%\\x00 d=4:\\x1a\\x00\\x00\\x00"},
      {R4("[-HKEY_CURRENT_USER\\Software\\Old]\n[HKEY_LOCAL_MACHINE\\Software\\A]b]  ; last\n"
          "\"gone\"=-\n@=-\n[hkcu\\Software\\Trailing\\]\n[HKU]\n\"at the root\"=\"x\"\n"),
       "[-1 Software\\Old] [2 Software\\A]b] gone=- =- [1 Software\\Trailing] [3 ] at the "
       "root=1:x\\x00"},
      // One line is wrong.
      {R4("[HKCU\\S]\n\"a\"=\"x\"\n") + "\"b\"=\"y\0\"\r\n"s, "line 5"},
      {R4("\"before any key\"=\"x\"\n"), "line 3"},
      {R4("[-HKCU\\S]\n\"into a deleted key\"=\"x\"\n"), "line 4"},
      {R4("[HKCU\\S]\n\"a\"=hex:01,\\\n\"b\"=hex:02\n"), "line 5"},
      {R4("[HKCU\\S]\n\"a\"=hex:01,\\\n[HKCU\\T]\n"), "line 5"},
      {R4("[HKCU\\S]\n\"a\" \"x\"\n"), "line 4"},
  };
  for (const auto& [file, expected] : rows)
    EXPECT_EQ(Read(file), expected) << Show(file);
  // CR, LF and CRLF all end lines; a UTF-8 mark and blanks before the header are fine.
  for (const std::string& file :
       {"REGEDIT4\r[HKCU\\S]\r\"a\"=\"1\"\r"s, "REGEDIT4\n[HKCU\\S]\n\"a\"=\"1\""s,
        "  REGEDIT4\r\n[HKCU\\S]\n\"a\"=\"1\"\r\n"s,
        "\xEF\xBB\xBFREGEDIT4\r\n[HKCU\\S]\r\n\"a\"=\"1\""s,
        "Windows Registry Editor Version 5.00\r\n[HKCU\\S]\r\n\"a\"=\"1\""s})
    EXPECT_EQ(Read(file), "[1 S] a=1:1\\x00") << Show(file);
  // The file as a whole is wrong.
  for (const std::string& file : {""s, "\xFF\xFE"s, "[HKCU\\S]\r\n"s, "REGEDIT\r\n[HKCU\\S]\r\n"s,
                                  "REGEDIT5\r\n"s, "REGEDIT4 \r\n"s, V5("[HKCU\\S]\n") + "A",
                                  V5("[HKCU\\S]\n") + Utf16ToLeBytes(u"\"a\"=\"\xD800\"")})
    EXPECT_EQ(Read(file), "line 0") << Show(file);

  // Key lines refused on their own (line 3), and value data (line 4).
  for (const char* key :
       {"[-HKEY_CURRENT_USER]", "[HKEY_NOWHERE\\S]", "[HKCUX\\S]", "[ HKCU\\S]", "[HKCU\\a\\\\b]",
        "[HKCU\\a\\\\]", "[HKCU\\\\a]", "[HKCU\\S", "[HKCU\\S] x", "name=\"x\"", "@ \"x\""})
    EXPECT_EQ(Read(R4(std::string(key) + "\n")), "line 3") << key;
  const std::string data =
      "\"b\\qc\"|\"b\\0c\"|\"unterminated|\"ends in a backslash\\|\"x\" y||- x|hex:100|hex:01 02|"
      "hex:01 ,02|hex:01,,02|hex:,01|hex:0g|hex:-1|hex:01,\\ 02|hex(x):01|hex(2)01|hex():01|"
      "hex(0x2):01|hex(123456789):01|HEX:01|Dword:00000001|qword:01|01,02|dword:|"
      "dword:123456789|dword:12g|dword:-1|dword:1 2";
  for (std::size_t start = 0; start <= data.size();) {
    const std::size_t end = std::min(data.find('|', start), data.size());
    const std::string item = data.substr(start, end - start);
    EXPECT_EQ(Read(R4("[HKCU\\S]\n\"a\"=" + item + "\n")), "line 4") << item;
    start = end + 1;
  }
}

}  // namespace
}  // namespace dornava::regtool
