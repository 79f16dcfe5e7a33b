#include "RegFile.h"

#include <cstdio>
#include <optional>

#include "RegText.h"
#include "store/RegData.h"

namespace dornava::regtool {

namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
// regedit breaks a hex line once it reaches this many characters, before the "\".
constexpr std::size_t kHexLineLimit = 77;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned HexValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  return static_cast<unsigned>(c - 'A' + 10);
}

std::size_t SkipBlanks(std::string_view s, std::size_t pos) {
  while (pos < s.size() && IsBlank(s[pos]))
    ++pos;
  return pos;
}

// True when only blanks or a ';' comment follow `pos`.
bool OnlyCommentFrom(std::string_view s, std::size_t pos) {
  pos = SkipBlanks(s, pos);
  return pos == s.size() || s[pos] == ';';
}

std::string ShowType(std::uint32_t type) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%x", static_cast<unsigned>(type));
  return buf;
}

class Parser {
 public:
  Parser(std::vector<RegFileKey>* keys, RegFileError* error) : keys_(keys), error_(error) {}

  bool Run(std::string_view bytes) {
    std::string text;
    if (!Decode(bytes, &text)) return false;

    std::size_t pos = 0;
    int line = 0;
    bool headerSeen = false;
    while (pos < text.size() || (!headerSeen && line == 0)) {
      std::size_t end = text.find_first_of("\r\n", pos);
      if (end == std::string::npos) end = text.size();
      const std::string_view current(text.data() + pos, end - pos);
      ++line;
      if (current.find('\0') != std::string_view::npos) return Fail(line, "NUL character in line");
      if (!headerSeen) {
        if (!Header(current)) return false;
        headerSeen = true;
      } else if (!Line(current, line)) {
        return false;
      }
      pos = end;
      if (pos < text.size())
        pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
    }
    if (pending_) FinishValue();
    return true;
  }

 private:
  bool Decode(std::string_view bytes, std::string* text) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
      unicode_ = true;
      bytes.remove_prefix(2);
      if (bytes.size() % 2 != 0)
        return Fail(0, "the UTF-16 text ends in the middle of a character");
      const std::u16string wide = Utf16FromLeBytes(bytes);
      if (!IsValidUtf16(wide)) return Fail(0, "the file is not valid UTF-16");
      *text = Utf16ToUtf8(wide);
      return true;
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    text->assign(bytes);
    return true;
  }

  bool Header(std::string_view line) {
    const std::string_view h = line.substr(SkipBlanks(line, 0));
    if (h == kHeader4 || h == kHeader5) return true;
    return Fail(0, "not a registry file: the first line must be \"REGEDIT4\" or \"" +
                       std::string(kHeader5) + "\"");
  }

  bool Line(std::string_view line, int number) {
    const std::size_t start = SkipBlanks(line, 0);
    if (pending_) {
      if (start == line.size() || line[start] == ';') return true;
      if (!IsHexDigit(line[start])) {
        return Fail(number, "hex data continues with something that is not a hex byte");
      }
      return HexList(line.substr(start), number);
    }
    if (start == line.size() || line[start] == ';') return true;
    switch (line[start]) {
      case '[':
        return KeyLine(line.substr(start + 1), number);
      case '@': {
        std::size_t pos = SkipBlanks(line, start + 1);
        if (pos == line.size() || line[pos] != '=') return Fail(number, "'=' expected after '@'");
        return ValueData(std::string(), line.substr(pos + 1), number);
      }
      case '"': {
        std::string name;
        std::size_t pos = 0;
        if (!Unescape(line, start + 1, &name, &pos, number)) return false;
        pos = SkipBlanks(line, pos);
        if (pos == line.size() || line[pos] != '=') {
          return Fail(number, "'=' expected after the value name");
        }
        return ValueData(std::move(name), line.substr(pos + 1), number);
      }
      default:
        return Fail(number, "a line must start with '[', '@', '\"' or ';'");
    }
  }

  bool KeyLine(std::string_view rest, int number) {
    const std::size_t close = rest.rfind(']');
    if (close == std::string_view::npos) return Fail(number, "']' missing after the key name");
    if (!OnlyCommentFrom(rest, close + 1)) return Fail(number, "text after the key name");
    std::string_view name = rest.substr(0, close);
    RegFileKey key;
    if (!name.empty() && name[0] == '-') {
      key.remove = true;
      name.remove_prefix(1);
    }
    key.name = std::string(name);
    std::size_t rootLength = 0;
    const RootKey* root = FindRootKey(name, &rootLength);
    if (root == nullptr) {
      return Fail(number, "'" + key.name + "' does not start with a root key such as " +
                              "HKEY_CURRENT_USER");
    }
    key.root = root->key;
    std::string_view path = name.substr(rootLength);
    if (!path.empty()) path.remove_prefix(1);
    // One closing backslash is read as none; an empty level anywhere else is refused.
    if (path.ends_with("\\\\") || !NormaliseKeyPath(path, false, &key.path))
      return Fail(number, "empty part in key name '" + key.name + "'");
    if (key.remove && key.path.empty()) return Fail(number, "a root key cannot be deleted");
    keys_->push_back(std::move(key));
    return true;
  }

  // `data` is what follows the '='.
  bool ValueData(std::string name, std::string_view data, int number) {
    if (keys_->empty() || keys_->back().remove) {
      return Fail(number, "value outside a key: a [key] line must come first");
    }
    std::size_t pos = SkipBlanks(data, 0);
    std::size_t end = data.size();
    while (end > pos && IsBlank(data[end - 1]))
      --end;
    data = data.substr(pos, end - pos);

    RegValueRecord value;
    value.name = std::move(name);
    if (data.empty()) return Fail(number, "value data missing after '='");
    if (data[0] == '-') {
      if (!OnlyCommentFrom(data, 1)) return Fail(number, "text after '-'");
      keys_->back().values.push_back(RegFileValue{std::move(value), true});
      return true;
    }
    if (data[0] == '"') {
      std::size_t after = 0;
      if (!Unescape(data, 1, &value.data, &after, number)) return false;
      if (!OnlyCommentFrom(data, after)) return Fail(number, "text after the closing quote");
      value.type = kRegSz;
      value.data.push_back('\0');
      keys_->back().values.push_back(RegFileValue{std::move(value), false});
      return true;
    }
    if (data.substr(0, 6) == "dword:") {
      std::size_t p = SkipBlanks(data, 6);
      std::uint32_t number32 = 0;
      std::size_t digits = 0;
      while (p < data.size() && IsHexDigit(data[p])) {
        number32 = (number32 << 4) | HexValue(data[p]);
        ++p;
        ++digits;
      }
      if (digits == 0 || digits > 8 || !OnlyCommentFrom(data, p)) {
        return Fail(number, "dword: needs 1 to 8 hex digits");
      }
      value.type = kRegDword;
      value.data = ToLittleEndian(number32, 4);
      keys_->back().values.push_back(RegFileValue{std::move(value), false});
      return true;
    }
    std::string_view list;
    if (data.substr(0, 4) == "hex:") {
      value.type = kRegBinary;
      list = data.substr(4);
    } else if (data.substr(0, 4) == "hex(") {
      std::size_t p = 4;
      std::uint64_t type = 0;
      while (p < data.size() && IsHexDigit(data[p]) && p < 12)
        type = (type << 4) | HexValue(data[p++]);
      if (p == 4 || p + 1 >= data.size() || data[p] != ')' || data[p + 1] != ':' ||
          type > 0xFFFFFFFFu) {
        return Fail(number, "hex(N): needs a type number of 1 to 8 hex digits");
      }
      value.type = static_cast<std::uint32_t>(type);
      list = data.substr(p + 2);
    } else {
      return Fail(number, "unknown data: expected \"...\", dword:, hex:, hex(N): or -");
    }
    pending_ = std::move(value);
    return HexList(list, number);
  }

  // Bytes separated by commas; a trailing "\" continues the list on the next line.
  bool HexList(std::string_view s, int number) {
    std::size_t pos = 0;
    for (;;) {
      pos = SkipBlanks(s, pos);
      if (pos == s.size() || s[pos] == ';') break;
      if (s[pos] == '\\') {
        if (!OnlyCommentFrom(s, pos + 1)) return Fail(number, "text after the continuing '\\'");
        return true;
      }
      if (!IsHexDigit(s[pos]))
        return Fail(number, "'" + std::string(1, s[pos]) + "' is not a hex byte");
      unsigned byte = 0;
      while (pos < s.size() && IsHexDigit(s[pos])) {
        byte = (byte << 4) | HexValue(s[pos++]);
        if (byte > 0xFF) return Fail(number, "hex byte larger than ff");
      }
      pending_->data.push_back(static_cast<char>(byte));
      if (pos < s.size() && s[pos] == ',') {
        ++pos;
        continue;
      }
      if (!OnlyCommentFrom(s, pos)) return Fail(number, "',' expected between hex bytes");
      break;
    }
    FinishValue();
    return true;
  }

  void FinishValue() {
    RegValueRecord value = std::move(*pending_);
    pending_.reset();
    if (unicode_ && IsStringType(value.type)) {
      value.data = Utf16ToUtf8(Utf16FromLeBytes(value.data));
    }
    keys_->back().values.push_back(RegFileValue{std::move(value), false});
  }

  // Reads a quoted string from `s` starting after its opening quote; *after is set past the
  // closing quote.
  bool Unescape(std::string_view s, std::size_t pos, std::string* out, std::size_t* after,
                int number) {
    while (pos < s.size()) {
      const char c = s[pos];
      if (c == '"') {
        *after = pos + 1;
        return true;
      }
      if (c != '\\') {
        out->push_back(c);
        ++pos;
        continue;
      }
      if (pos + 1 == s.size()) break;
      switch (const char e = s[pos + 1]) {
        case '\\':
        case '"':
          out->push_back(e);
          break;
        case 'n':
          out->push_back('\n');
          break;
        case 'r':
          out->push_back('\r');
          break;
        default:
          return Fail(number, std::string("unrecognized escape sequence [\\") + e + "]");
      }
      pos += 2;
    }
    return Fail(number, "closing quote missing");
  }

  bool Fail(int line, std::string message) {
    error_->line = line;
    error_->message = std::move(message);
    return false;
  }

  std::vector<RegFileKey>* keys_;
  RegFileError* error_;
  bool unicode_ = false;                   // UTF-16 text: string data is UTF-16 too
  std::optional<RegValueRecord> pending_;  // hex data that may continue on the next line
};

void AppendEscaped(std::string_view text, std::string* out) {
  for (char c : text) {
    switch (c) {
      case '\0':
        return;
      case '\\':
        *out += "\\\\";
        break;
      case '"':
        *out += "\\\"";
        break;
      case '\r':
        *out += "\\r";
        break;
      case '\n':
        *out += "\\n";
        break;
      default:
        out->push_back(c);
    }
  }
}

}  // namespace

bool ParseRegFile(std::string_view bytes, std::vector<RegFileKey>* keys, RegFileError* error) {
  keys->clear();
  *error = RegFileError();
  Parser parser(keys, error);
  if (parser.Run(bytes)) return true;
  keys->clear();
  return false;
}

RegFileWriter::RegFileWriter() : text_(std::string(kHeader5) + "\r\n") {}

void RegFileWriter::Key(std::string_view fullName) {
  text_ += "\r\n[";
  text_ += fullName;
  text_ += "]\r\n";
}

void RegFileWriter::Value(std::string_view name, std::uint32_t type, std::string_view data) {
  std::string line;
  if (name.empty()) {
    line = "@=";
  } else {
    line = "\"";
    AppendEscaped(name, &line);
    line += "\"=";
  }
  if (type == kRegSz) {
    line += '"';
    AppendEscaped(data, &line);
    line += '"';
  } else if (type == kRegDword && data.size() == 4) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(FromLittleEndian(data, 4)));
    line += buf;
  } else {
    line += type == kRegBinary ? std::string("hex:") : "hex(" + ShowType(type) + "):";
    std::string bytes;
    if (IsStringType(type)) {
      bytes = Utf16ToLeBytes(Utf8ToUtf16(data));
      data = bytes;
    }
    std::size_t width = Utf16Length(line);
    for (std::size_t i = 0; i < data.size(); ++i) {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(data[i]));
      line += buf;
      if (i + 1 == data.size()) break;
      line += ',';
      width += 3;
      if (width >= kHexLineLimit) {
        line += "\\\r\n  ";
        width = 2;
      }
    }
  }
  text_ += line;
  text_ += "\r\n";
}

std::string RegFileWriter::Finish() const {
  return "\xFF\xFE" + Utf16ToLeBytes(Utf8ToUtf16(text_ + "\r\n"));
}

}  // namespace dornava::regtool
