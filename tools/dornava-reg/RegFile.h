// .reg files: "Windows Registry Editor Version 5.00" (UTF-16LE with a byte-order mark) and
// "REGEDIT4" (8-bit text, taken as UTF-8). Our registry is an "A" registry: text is kept as
// UTF-8 bytes, so string data of a Unicode file (its "..." strings and its hex(1), hex(2) and
// hex(7) data) is converted on the way in and back on the way out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/RawRegistry.h"

namespace dornava::regtool {

enum class RegFileFormat { kRegedit4, kVersion5 };

struct RegFileValue {
  std::string name;  // empty for the default value
  bool remove = false;
  std::uint32_t type = kRegNone;
  std::string data;  // as it is stored
  int line = 0;
};

struct RegFileKey {
  std::string name;  // as written between the brackets, for messages
  RegKey root = 0;
  std::string path;  // below the root; empty for the root itself
  bool remove = false;
  std::vector<RegFileValue> values;
  int line = 0;
};

struct RegFileContent {
  RegFileFormat format = RegFileFormat::kVersion5;
  bool unicode = false;
  std::vector<RegFileKey> keys;
};

struct RegFileError {
  int line = 0;  // 0 when the file as a whole is wrong
  std::string message;
};

// Reads a whole file. Any line it cannot take is an error: nothing is half-read.
bool ParseRegFile(std::string_view bytes, RegFileContent* content, RegFileError* error);

// Builds a file the way regedit writes it: CRLF line ends, a blank line before each key,
// hex data wrapped before column 80 with "\" and a two-space indent.
class RegFileWriter {
 public:
  explicit RegFileWriter(RegFileFormat format);

  // `fullName` starts with the root's long name, e.g. "HKEY_CURRENT_USER\Software".
  void Key(std::string_view fullName);
  void Value(std::string_view name, std::uint32_t type, std::string_view data);
  // The file's bytes: UTF-16LE with a byte-order mark for version 5, 8-bit text for REGEDIT4.
  std::string Finish() const;

 private:
  RegFileFormat format_;
  std::string text_;  // UTF-8 until Finish
};

// Splits a key path into its parts; false when a part is empty ("a\\b", "\a").
bool SplitKeyPath(std::string_view path, std::vector<std::string_view>* parts);

}  // namespace dornava::regtool
