// The .reg reader and writer. Expected files marked "as Wine's reg exports it" were written by
// `wine reg export` (Wine 8) from the same data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RegFile.h"
#include "RegText.h"
#include "WineExports.h"

namespace dornava::regtool {
namespace {

// CRLF line ends, as regedit writes them.
std::string Crlf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// A Unicode .reg file: UTF-16LE with a byte-order mark.
std::string Utf16File(std::string_view utf8) {
  return "\xFF\xFE" + Utf16ToLeBytes(Utf8ToUtf16(utf8));
}

RegFileContent Parse(const std::string& bytes) {
  RegFileContent content;
  RegFileError error;
  EXPECT_TRUE(ParseRegFile(bytes, &content, &error))
      << "line " << error.line << ": " << error.message;
  return content;
}

// The line of the error, or -1 when the file was accepted.
int ErrorLine(const std::string& bytes, std::string* message = nullptr) {
  RegFileContent content;
  RegFileError error;
  if (ParseRegFile(bytes, &content, &error)) return -1;
  EXPECT_TRUE(content.keys.empty()) << "a refused file must leave nothing behind";
  EXPECT_FALSE(error.message.empty());
  if (message) *message = error.message;
  return error.line;
}

std::string R4(std::string_view body) {
  return Crlf("REGEDIT4\n\n" + std::string(body));
}
std::string V5(std::string_view body) {
  return Utf16File(Crlf("Windows Registry Editor Version 5.00\n\n" + std::string(body)));
}

RegFileValue OnlyValue(const RegFileContent& content) {
  EXPECT_EQ(content.keys.size(), 1u);
  EXPECT_EQ(content.keys.at(0).values.size(), 1u);
  return content.keys.at(0).values.at(0);
}

std::string Bytes(std::initializer_list<int> bytes) {
  std::string out;
  for (int b : bytes)
    out.push_back(static_cast<char>(b));
  return out;
}

using namespace std::string_literals;

TEST(RegFileRead, BothEncodingsGiveTheSameUtf8Data) {
  const std::string body =
      "[HKEY_CURRENT_USER\\Software\\Čeština]\n"
      "\"žluťoučký\"=\"kůň úpěl\"\n"
      "@=dword:0000002a\n";
  for (const std::string& file : {R4(body), V5(body)}) {
    const RegFileContent content = Parse(file);
    ASSERT_EQ(content.keys.size(), 1u);
    const RegFileKey& key = content.keys[0];
    EXPECT_EQ(key.root, kHkeyCurrentUser);
    EXPECT_EQ(key.path, "Software\\Čeština");
    ASSERT_EQ(key.values.size(), 2u);
    EXPECT_EQ(key.values[0].name, "žluťoučký");
    EXPECT_EQ(key.values[0].type, kRegSz);
    // Text is stored with its terminating zero counted.
    EXPECT_EQ(key.values[0].data, "kůň úpěl\0"s);
    EXPECT_EQ(key.values[1].name, "");
    EXPECT_EQ(key.values[1].data, Bytes({0x2a, 0, 0, 0}));
  }
  EXPECT_EQ(Parse(R4(body)).format, RegFileFormat::kRegedit4);
  EXPECT_FALSE(Parse(R4(body)).unicode);
  EXPECT_EQ(Parse(V5(body)).format, RegFileFormat::kVersion5);
  EXPECT_TRUE(Parse(V5(body)).unicode);
}

TEST(RegFileRead, StringEscapesInNamesAndData) {
  const RegFileValue v =
      OnlyValue(Parse(R4("[HKCU\\S]\n\"q\\\"n\\\\m\\r\\n\" = \"a\\\"b\\\\c\\nd\\re\"  ; note\n")));
  EXPECT_EQ(v.name, "q\"n\\m\r\n");
  EXPECT_EQ(v.data, "a\"b\\c\nd\re\0"s);

  // A ';' inside quotes is data, not a comment.
  EXPECT_EQ(OnlyValue(Parse(R4("[HKCU\\S]\n\"a\"=\"x;y\"\n"))).data, "x;y\0"s);

  std::string message;
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S]\n\"a\"=\"b\\qc\"\n"), &message), 4);
  EXPECT_NE(message.find("[\\q]"), std::string::npos) << message;
  // An embedded zero cannot be written as an escape.
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S]\n\"a\"=\"b\\0c\"\n")), 4);
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S]\n\"a\"=\"unterminated\n")), 4);
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S]\n\"a\"=\"ends in a backslash\\\n")), 4);
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S]\n\"a\"=\"x\" y\n")), 4);
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S]\n\"a\" \"x\"\n")), 4);
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S]\n\"a\"=\n")), 4);
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S]\n@ \"x\"\n")), 4);
}

TEST(RegFileRead, HexContinuationLines) {
  const RegFileContent content =
      Parse(R4("[HKCU\\S]\n"
               "\"a\"=hex:01,02,\\\n"
               "\n"
               "; a comment between the lines\n"
               "  03,\\  ; and one after the backslash\n"
               "\t04\n"
               "\"b\"=hex:\\\n"
               "  05\n"
               "\"c\"=hex:06,07,\n"
               "\"last\"=hex:08,\\\n"));
  ASSERT_EQ(content.keys.size(), 1u);
  const auto& values = content.keys[0].values;
  ASSERT_EQ(values.size(), 4u);
  EXPECT_EQ(values[0].data, Bytes({1, 2, 3, 4}));
  EXPECT_EQ(values[1].data, Bytes({5}));
  // A trailing comma ends the list.
  EXPECT_EQ(values[2].data, Bytes({6, 7}));
  // The file may end while the list waits for more.
  EXPECT_EQ(values[3].data, Bytes({8}));

  // What follows a "\" must be hex data.
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S]\n\"a\"=hex:01,\\\n\"b\"=hex:02\n")), 5);
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S]\n\"a\"=hex:01,\\\n[HKCU\\T]\n")), 5);
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S]\n\"a\"=hex:01,\\ 02\n")), 4);
}

TEST(RegFileRead, OddHexBytes) {
  // One digit, leading zeros, upper case and blanks after the commas are all bytes.
  EXPECT_EQ(OnlyValue(Parse(R4("[HKCU\\S]\n\"a\"=hex:1,0ff, AB,\t0c ; x\n"))).data,
            Bytes({1, 0xff, 0xab, 0x0c}));
  EXPECT_EQ(OnlyValue(Parse(R4("[HKCU\\S]\n\"a\"=hex:\n"))).data, "");
  EXPECT_EQ(OnlyValue(Parse(R4("[HKCU\\S]\n\"a\"=hex:\n"))).type, kRegBinary);

  for (const char* bad : {"100", "01 02", "01 ,02", "01,,02", ",01", "0g", "-1"}) {
    EXPECT_EQ(ErrorLine(R4(std::string("[HKCU\\S]\n\"a\"=hex:") + bad + "\n")), 4) << bad;
  }
  // A comment may follow a byte directly.
  EXPECT_EQ(OnlyValue(Parse(R4("[HKCU\\S]\n\"a\"=hex:01;\n"))).data, Bytes({1}));
}

TEST(RegFileRead, HexTypesAndTheirText) {
  // In a Unicode file, string types hold UTF-16: stored as UTF-8, byte for byte otherwise.
  const RegFileContent v5 =
      Parse(V5("[HKCU\\S]\n"
               "\"e\"=hex(2):25,00,41,00,e1,00,25,00,00,00\n"
               "\"m\"=hex(7):61,00,00,00,7e,01,00,00,00,00\n"
               "\"s\"=hex(1):41,00,42,00\n"
               "\"n\"=hex(0):41,00\n"
               "\"q\"=hex(b):88,77,66,55,44,33,22,11\n"
               "\"big\"=hex(ffffffff):01\n"));
  const auto& u = v5.keys.at(0).values;
  ASSERT_EQ(u.size(), 6u);
  EXPECT_EQ(u[0].type, kRegExpandSz);
  EXPECT_EQ(u[0].data, "%Aá%\0"s);
  EXPECT_EQ(u[1].type, kRegMultiSz);
  EXPECT_EQ(u[1].data, "a\0ž\0\0"s);
  EXPECT_EQ(u[2].type, kRegSz);
  EXPECT_EQ(u[2].data, "AB");  // no terminator in the file, none added
  EXPECT_EQ(u[3].data, Bytes({0x41, 0}));
  EXPECT_EQ(u[4].type, kRegQword);
  EXPECT_EQ(u[4].data, Bytes({0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}));
  EXPECT_EQ(u[5].type, 0xFFFFFFFFu);

  // In an 8-bit file the bytes are the text already.
  const RegFileContent r4 = Parse(R4("[HKCU\\S]\n\"e\"=hex(2):25,41,c3,a1,25,00\n"));
  EXPECT_EQ(OnlyValue(r4).data, "%Aá%\0"s);

  for (const char* bad : {"hex(x):01", "hex(2)01", "hex():01", "hex(0x2):01", "hex(123456789):01",
                          "HEX:01", "Dword:00000001", "qword:01", "01,02"}) {
    EXPECT_EQ(ErrorLine(R4(std::string("[HKCU\\S]\n\"a\"=") + bad + "\n")), 4) << bad;
  }
}

TEST(RegFileRead, Dwords) {
  EXPECT_EQ(OnlyValue(Parse(R4("[HKCU\\S]\n\"a\"=dword:12345678\n"))).data,
            Bytes({0x78, 0x56, 0x34, 0x12}));
  EXPECT_EQ(OnlyValue(Parse(R4("[HKCU\\S]\n\"a\"=dword: 1A ; short is fine\n"))).data,
            Bytes({0x1a, 0, 0, 0}));
  for (const char* bad : {"dword:", "dword:123456789", "dword:12g", "dword:-1", "dword:1 2"}) {
    EXPECT_EQ(ErrorLine(R4(std::string("[HKCU\\S]\n\"a\"=") + bad + "\n")), 4) << bad;
  }
}

TEST(RegFileRead, KeysAndDeletions) {
  const RegFileContent content =
      Parse(R4("[-HKEY_CURRENT_USER\\Software\\Old]\n"
               "[HKEY_LOCAL_MACHINE\\Software\\A]b]  ; the name ends at the last bracket\n"
               "\"gone\"=-\n"
               "@=-\n"
               "[hkcu\\Software\\Trailing\\]\n"
               "[HKU]\n"
               "\"at the root\"=\"x\"\n"));
  ASSERT_EQ(content.keys.size(), 4u);
  EXPECT_TRUE(content.keys[0].remove);
  EXPECT_EQ(content.keys[0].path, "Software\\Old");
  EXPECT_EQ(content.keys[1].root, kHkeyLocalMachine);
  EXPECT_EQ(content.keys[1].path, "Software\\A]b");
  ASSERT_EQ(content.keys[1].values.size(), 2u);
  EXPECT_TRUE(content.keys[1].values[0].remove);
  EXPECT_EQ(content.keys[1].values[0].name, "gone");
  EXPECT_TRUE(content.keys[1].values[1].remove);
  EXPECT_EQ(content.keys[1].values[1].name, "");
  EXPECT_EQ(content.keys[2].root, kHkeyCurrentUser);
  EXPECT_EQ(content.keys[2].path, "Software\\Trailing");
  EXPECT_EQ(content.keys[3].root, kHkeyUsers);
  EXPECT_EQ(content.keys[3].path, "");

  EXPECT_EQ(ErrorLine(R4("\"before any key\"=\"x\"\n")), 3);
  EXPECT_EQ(ErrorLine(R4("[-HKCU\\S]\n\"into a deleted key\"=\"x\"\n")), 4);
  EXPECT_EQ(ErrorLine(R4("[-HKEY_CURRENT_USER]\n")), 3);
  EXPECT_EQ(ErrorLine(R4("[HKEY_NOWHERE\\S]\n")), 3);
  EXPECT_EQ(ErrorLine(R4("[HKCUX\\S]\n")), 3);
  EXPECT_EQ(ErrorLine(R4("[ HKCU\\S]\n")), 3);
  EXPECT_EQ(ErrorLine(R4("[HKCU\\a\\\\b]\n")), 3);
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S\n")), 3);
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S] x\n")), 3);
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S]\n\"a\"=- x\n")), 4);
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S]\nname=\"x\"\n")), 4);
}

TEST(RegFileRead, HeadersAndLineEnds) {
  // CR only, LF only and CRLF all end lines.
  for (const std::string& file :
       {"REGEDIT4\r[HKCU\\S]\r\"a\"=\"1\"\r"s, "REGEDIT4\n[HKCU\\S]\n\"a\"=\"1\""s,
        "  REGEDIT4\r\n[HKCU\\S]\n\"a\"=\"1\"\r\n"s,
        "\xEF\xBB\xBFREGEDIT4\r\n[HKCU\\S]\r\n\"a\"=\"1\""s,
        Utf16File("Windows Registry Editor Version 5.00\r[HKCU\\S]\n\"a\"=\"1\"\r\n")}) {
    EXPECT_EQ(OnlyValue(Parse(file)).data, "1\0"s) << file;
  }
  EXPECT_EQ(ErrorLine(""), 0);
  EXPECT_EQ(ErrorLine("\xFF\xFE"), 0);
  EXPECT_EQ(ErrorLine("[HKCU\\S]\r\n"), 0);
  EXPECT_EQ(ErrorLine("REGEDIT\r\n[HKCU\\S]\r\n"), 0);
  EXPECT_EQ(ErrorLine("REGEDIT5\r\n"), 0);
  EXPECT_EQ(ErrorLine("REGEDIT4 \r\n"), 0);
  // Version 5 text without the byte-order mark is read as 8-bit text.
  EXPECT_EQ(
      OnlyValue(Parse("Windows Registry Editor Version 5.00\r\n[HKCU\\S]\r\n\"a\"=\"1\"")).data,
      "1\0"s);
  // UTF-16 cut in the middle of a character, a lone surrogate, a NUL in the text.
  EXPECT_EQ(ErrorLine(V5("[HKCU\\S]\n") + "A"), 0);
  EXPECT_EQ(ErrorLine(V5("[HKCU\\S]\n") + Utf16ToLeBytes(u"\"a\"=\"\xD800\"")), 0);
  EXPECT_EQ(ErrorLine(R4("[HKCU\\S]\n\"a\"=\"x\"\n") + "\"b\"=\"y\0\"\r\n"s), 5);
}

// @="def", the 64 bytes 00..3f, an empty binary, a dword, expand and multi strings (as our "A"
// registry keeps them: UTF-8), a qword, REG_NONE holding a UTF-16 zero, escapes in names and
// data, an empty string, keys without values.
TEST(RegFileWrite, MatchesWhatWineExports) {
  RegFileWriter w(RegFileFormat::kVersion5);
  std::string bytes64;
  for (int i = 0; i < 64; ++i)
    bytes64.push_back(static_cast<char>(i));
  w.Key("HKEY_CURRENT_USER\\Software\\E1");
  w.Value("", kRegSz, "def\0"s);
  w.Value("b", kRegBinary, bytes64);
  w.Value("b0", kRegBinary, "");
  w.Value("d", kRegDword, Bytes({0x78, 0x56, 0x34, 0x12}));
  w.Value("e", kRegExpandSz, "%HOME%\\x\0"s);
  w.Value("m", kRegMultiSz, "one\0two\0\0"s);
  w.Value("n", kRegNone, Bytes({0, 0}));
  w.Value("q", kRegQword, Bytes({0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}));
  w.Value("q\"n\\m", kRegSz, "x\0"s);
  w.Value("s0", kRegSz, "\0"s);
  w.Value("s1", kRegSz, "a\"b\\c\0"s);
  w.Key("HKEY_CURRENT_USER\\Software\\E1\\Empty");
  w.Key("HKEY_CURRENT_USER\\Software\\E1\\Sub");
  w.Key("HKEY_CURRENT_USER\\Software\\E1\\Sub\\Deep");
  w.Value("x", kRegSz, "y\0"s);
  EXPECT_EQ(w.Finish(), Utf16File(Crlf(kWineE1)));
}

struct W2Value {
  std::string name;
  std::uint32_t type;
  std::string data;
};

std::vector<W2Value> W2Values() {
  std::string bytes40;
  for (int i = 0; i < 40; ++i)
    bytes40.push_back(static_cast<char>(i));
  return {{"", kRegExpandSz, "%USERPROFILE%\\Obrázky\\Tapety\\podzim.jpg\0"s},
          {"a_long_value_name_for_wrapping_checks", kRegBinary, bytes40},
          {"multi", kRegMultiSz, "příliš\0žluťoučký kůň\0úpěl ďábelské ódy\0\0"s},
          {"žluťoučký kůň", kRegBinary, bytes40}};
}

// Where a hex line breaks depends on the name before it, counted in UTF-16 units.
TEST(RegFileWrite, WrapsHexAfterTheNameAsWineDoes) {
  RegFileWriter w(RegFileFormat::kVersion5);
  w.Key("HKEY_CURRENT_USER\\Software\\W2");
  for (const W2Value& v : W2Values())
    w.Value(v.name, v.type, v.data);
  EXPECT_EQ(w.Finish(), Utf16File(Crlf(kWineW2)));
}

TEST(RegFileRoundTrip, WineExportReadsBackToTheStoredData) {
  const RegFileContent content = Parse(Utf16File(Crlf(kWineW2)));
  ASSERT_EQ(content.keys.size(), 1u);
  EXPECT_EQ(content.keys[0].path, "Software\\W2");
  const std::vector<W2Value> expected = W2Values();
  ASSERT_EQ(content.keys[0].values.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(content.keys[0].values[i].name, expected[i].name);
    EXPECT_EQ(content.keys[0].values[i].type, expected[i].type);
    EXPECT_EQ(content.keys[0].values[i].data, expected[i].data) << expected[i].name;
  }
}

TEST(RegFileRoundTrip, EveryKindOfValueInBothFormats) {
  const std::vector<W2Value> values = {
      {"", kRegSz, "default\0"s},
      {"quote\"back\\slash", kRegSz, "line\r\nbreak \"quoted\" \\ back\0"s},
      {"utf8 ěščř", kRegSz, "日本語 😀\0"s},
      {"unterminated expand", kRegExpandSz, "%PATH%"},
      {"multi", kRegMultiSz, "a\0ž\0\0"s},
      {"dword", kRegDword, Bytes({1, 2, 3, 4})},
      {"short dword", kRegDword, Bytes({1, 2})},
      {"big endian", 5, Bytes({0, 0, 0, 1})},
      {"qword", kRegQword, Bytes({1, 2, 3, 4, 5, 6, 7, 8})},
      {"none", kRegNone, Bytes({0xde, 0xad})},
      {"empty binary", kRegBinary, ""},
      {"long binary", kRegBinary, std::string(300, '\x5a')},
      {"odd type", 0x1234, Bytes({9})},
  };
  for (RegFileFormat format : {RegFileFormat::kVersion5, RegFileFormat::kRegedit4}) {
    RegFileWriter w(format);
    w.Key("HKEY_CURRENT_USER\\Software\\Round Trip");
    for (const W2Value& v : values)
      w.Value(v.name, v.type, v.data);
    const std::string file = w.Finish();
    const RegFileContent content = Parse(file);
    EXPECT_EQ(content.format, format);
    ASSERT_EQ(content.keys.size(), 1u);
    ASSERT_EQ(content.keys[0].values.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
      EXPECT_EQ(content.keys[0].values[i].name, values[i].name);
      EXPECT_EQ(content.keys[0].values[i].type, values[i].type);
      EXPECT_EQ(content.keys[0].values[i].data, values[i].data) << values[i].name;
    }
  }
}

TEST(RegFileWrite, Regedit4KeepsTheBytes) {
  RegFileWriter w(RegFileFormat::kRegedit4);
  w.Key("HKEY_CURRENT_USER\\Software\\Č");
  w.Value("ž", kRegExpandSz, "á\0"s);
  w.Value("s", kRegSz, "ř\0"s);
  EXPECT_EQ(w.Finish(), Crlf("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Č]\n"
                             "\"ž\"=hex(2):c3,a1,00\n\"s\"=\"ř\"\n\n"));
}

}  // namespace
}  // namespace dornava::regtool
