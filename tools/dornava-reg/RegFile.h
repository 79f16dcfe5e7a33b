// .reg files: "Windows Registry Editor Version 5.00" (UTF-16LE with a byte-order mark) and
// "REGEDIT4" (8-bit text, taken as UTF-8). Our registry is an "A" registry: text is kept as
// UTF-8 bytes, so string data of a Unicode file (its "..." strings and its hex(1), hex(2) and
// hex(7) data) is converted on the way in and back on the way out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/RegData.h"

namespace dornava::regtool {

// One value line: a value to set, or (`remove`) the name of one to delete.
struct RegFileValue {
  RegValueRecord value;
  bool remove = false;
};

struct RegFileKey {
  std::string name;  // as written between the brackets, for messages
  RegKey root = 0;
  std::string path;  // below the root; empty for the root itself
  bool remove = false;
  std::vector<RegFileValue> values;
};

struct RegFileError {
  int line = 0;  // 0 when the file as a whole is wrong
  std::string message;
};

// Reads a whole file into its keys in file order. Any line it cannot take is an error: nothing is
// half-read.
bool ParseRegFile(std::string_view bytes, std::vector<RegFileKey>* keys, RegFileError* error);

// Builds a version 5 file the way regedit writes it: CRLF line ends, a blank line before each
// key, hex data wrapped before column 80 with "\" and a two-space indent.
class RegFileWriter {
 public:
  RegFileWriter();

  // `fullName` starts with the root's long name, e.g. "HKEY_CURRENT_USER\Software".
  void Key(std::string_view fullName);
  void Value(std::string_view name, std::uint32_t type, std::string_view data);
  // The file's bytes: UTF-16LE with a byte-order mark.
  std::string Finish() const;

 private:
  std::string text_;  // UTF-8 until Finish
};

}  // namespace dornava::regtool
