#include "RegFormat.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "RegMessages.h"
#include "store/RegData.h"

namespace dornava::regtool {

namespace {

struct TypeName {
  std::uint32_t type;
  const char* name;
};

// The type names reg.exe knows, in the order it looks them up.
constexpr TypeName kTypeNames[] = {
    {kRegNone, "REG_NONE"},
    {kRegSz, "REG_SZ"},
    {kRegExpandSz, "REG_EXPAND_SZ"},
    {kRegBinary, "REG_BINARY"},
    {kRegDword, "REG_DWORD"},
    {kRegDword, "REG_DWORD_LITTLE_ENDIAN"},
    {kRegDwordBigEndian, "REG_DWORD_BIG_ENDIAN"},
    {kRegQword, "REG_QWORD"},
    {kRegMultiSz, "REG_MULTI_SZ"},
};

std::string HexUpper(std::string_view data) {
  std::string out;
  char buf[4];
  for (char c : data) {
    std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(c));
    out += buf;
  }
  return out;
}

int Nibble(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view NumberFromText(std::uint32_t type, const std::string& data, std::string* bytes) {
  const bool qword = type == kRegQword;
  const int base = data.size() >= 2 && (data[1] == 'x' || data[1] == 'X') ? 16 : 10;
  if (!qword && !data.empty() && data[0] == '-') return kBadNumber;
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(data.c_str(), &end, base);
  if (*end != '\0' || errno == ERANGE || (!qword && v > 0xFFFFFFFFull)) return kBadNumber;
  *bytes = ToLittleEndian(v, qword ? 8 : 4);
  return {};
}

std::string_view BinaryFromText(std::string_view data, std::string* bytes) {
  std::size_t i = 0;
  if (data.size() % 2 != 0) {
    const int n = Nibble(data[0]);
    if (n < 0) return kBadHex;
    bytes->push_back(static_cast<char>(n));
    i = 1;
  }
  for (; i + 1 < data.size(); i += 2) {
    const int hi = Nibble(data[i]);
    const int lo = Nibble(data[i + 1]);
    if (hi < 0 || lo < 0) return kBadHex;
    bytes->push_back(static_cast<char>(hi * 16 + lo));
  }
  return {};
}

// Strings split at "\0" (or the separator); no empty string between two others.
std::string_view MultiFromText(std::string_view data, std::string_view separator,
                               std::string* bytes) {
  std::string out;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (separator.empty() && data[i] == '\\' && i + 1 < data.size() && data[i + 1] == '0') {
      out.push_back('\0');
      ++i;
    } else if (!separator.empty() && data.substr(i, separator.size()) == separator) {
      out.push_back('\0');
      i += separator.size() - 1;
    } else {
      out.push_back(data[i]);
    }
    const std::size_t d = out.size() - 1;
    if (d > 0 && out[d - 1] == '\0' && (out[d] == '\0' || d == 1)) return kBadString;
  }
  out.push_back('\0');
  if (out.size() > 1 && out[out.size() - 2] != '\0') out.push_back('\0');
  *bytes = std::move(out);
  return {};
}

}  // namespace

std::optional<std::uint32_t> TypeFromName(std::string_view name) {
  for (const TypeName& t : kTypeNames) {
    if (EqualsIgnoringAsciiCase(name, t.name)) return t.type;
  }
  return std::nullopt;
}

std::string NameOfType(std::uint32_t type) {
  for (const TypeName& t : kTypeNames) {
    if (t.type == type) return t.name;
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%x", static_cast<unsigned>(type));
  return buf;
}

std::string DataText(std::uint32_t type, std::string_view data) {
  char buf[32];
  switch (type) {
    case kRegSz:
    case kRegExpandSz:
      return std::string(data.substr(0, data.find('\0')));
    case kRegDword:
    case kRegDwordBigEndian:
      std::snprintf(buf, sizeof buf, "0x%x", static_cast<unsigned>(FromLittleEndian(data, 4)));
      return buf;
    case kRegQword:
      std::snprintf(buf, sizeof buf, "0x%llx",
                    static_cast<unsigned long long>(FromLittleEndian(data, 8)));
      return buf;
    case kRegMultiSz: {
      // The strings with "\0" between them, without the closing zeros.
      std::string_view body = data;
      for (int i = 0; i < 2 && !body.empty() && body.back() == '\0'; ++i)
        body.remove_suffix(1);
      std::string out;
      for (char c : body) {
        if (c == '\0') {
          out += "\\0";
        } else {
          out.push_back(c);
        }
      }
      return out;
    }
    default:
      return HexUpper(data);
  }
}

std::string_view DataFromText(std::uint32_t type, std::string_view data, std::string_view separator,
                              std::string* bytes) {
  bytes->clear();
  switch (type) {
    case kRegDword:
    case kRegDwordBigEndian:
    case kRegQword:
      return NumberFromText(type, std::string(data), bytes);
    case kRegBinary:
      return BinaryFromText(data, bytes);
    case kRegMultiSz:
      return MultiFromText(data, separator, bytes);
    default:
      // Text, kept with its terminating zero as reg.exe stores it.
      *bytes = data;
      bytes->push_back('\0');
      return {};
  }
}

}  // namespace dornava::regtool
