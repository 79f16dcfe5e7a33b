#include "RegText.h"

#include "store/Utf8.h"

#include <array>

namespace dornava::regtool {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at `i`, advancing past it; malformed input yields U+FFFD and consumes
// one byte.
char32_t DecodeAt(std::string_view text, std::size_t* i) {
  char32_t c = 0;
  const std::size_t length = DecodeUtf8(text, *i, &c);
  *i += length ? length : 1;
  return length ? c : kReplacement;
}

bool IsHigh(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLow(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr std::array<RootKeyName, 5> kRoots = {{
    {kHkeyLocalMachine, "HKLM", "HKEY_LOCAL_MACHINE"},
    {kHkeyCurrentUser, "HKCU", "HKEY_CURRENT_USER"},
    {kHkeyClassesRoot, "HKCR", "HKEY_CLASSES_ROOT"},
    {kHkeyUsers, "HKU", "HKEY_USERS"},
    {kHkeyCurrentConfig, "HKCC", "HKEY_CURRENT_CONFIG"},
}};

bool MatchesRoot(std::string_view path, std::string_view name) {
  if (path.size() < name.size() || !NameEquals(path.substr(0, name.size()), name)) return false;
  return path.size() == name.size() || path[name.size()] == '\\';
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const char32_t cp = DecodeAt(text, &i);
    if (cp >= 0x10000) {
      const char32_t v = cp - 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsHigh(c) && i + 1 < text.size() && IsLow(text[i + 1])) {
      AppendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
      ++i;
    } else if (IsHigh(c) || IsLow(c)) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, c);
    }
  }
  return out;
}

bool IsValidUtf16(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) {
      ++i;
    } else if (IsHigh(text[i]) || IsLow(text[i])) {
      return false;
    }
  }
  return true;
}

std::u16string Utf16FromLeBytes(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                        (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  return out;
}

std::string Utf16ToLeBytes(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

std::size_t Utf16Length(std::string_view text) {
  std::size_t units = 0;
  std::size_t i = 0;
  while (i < text.size())
    units += DecodeAt(text, &i) >= 0x10000 ? 2 : 1;
  return units;
}

bool NameEquals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

const RootKeyName* FindRootKey(std::string_view path, std::size_t* length) {
  for (const RootKeyName& root : kRoots) {
    for (std::string_view name :
         {std::string_view(root.shortName), std::string_view(root.longName)}) {
      if (MatchesRoot(path, name)) {
        *length = name.size();
        return &root;
      }
    }
  }
  return nullptr;
}

const char* RootLongName(RegKey root) {
  for (const RootKeyName& r : kRoots) {
    if (r.key == root) return r.longName;
  }
  return "";
}

std::string ToUpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = UpperAscii(c);
  return out;
}

}  // namespace dornava::regtool
